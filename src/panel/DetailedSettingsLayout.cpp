#include "panel/DetailedSettingsLayout.h"

#include "common/DialogLayout.h"
#include "common/Localization.h"
#include "platform/ui/Button.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TabView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora {
namespace {

using namespace DialogLayout;
constexpr double kOutlineWidth = 180;
constexpr double kOutlineGap = 20;
constexpr double kTabHeader = 34;
constexpr double kStyleWidth = 180;
constexpr double kMinPaneWidth = 400, kMinPaneHeight = 300;

// The extent of what a pane holds: from its lowest to its topmost edge, and its rightmost edge.
struct PaneExtent {
    double bottom = 0, top = 0, right = 0;
    double height() const { return top - bottom; }
};

PaneExtent paneExtent(const ui::View& pane) {
    PaneExtent extent;
    bool first = true;
    for (const auto& sub : pane.subviews()) {
        if (sub->isHidden())
            continue;
        ui::Rect frame = sub->frame();
        extent.bottom = first ? frame.minY() : std::min(extent.bottom, frame.minY());
        extent.top = first ? frame.top() : std::max(extent.top, frame.top());
        extent.right = std::max(extent.right, frame.maxX());
        first = false;
    }
    return extent;
}

// The room the tab view's panes take. Measured from what they hold, not from their frames,
// which the tab view sets to its own size: otherwise every fit would grow the window.
ui::Size paneContentSize(const ui::TabView& tabs) {
    ui::Size size{kMinPaneWidth, kMinPaneHeight};
    for (const auto& item : tabs.tabViewItems()) {
        if (auto view = item->view()) {
            PaneExtent extent = paneExtent(*view);
            size.height = std::max(size.height, extent.height());
            size.width = std::max(size.width, extent.right);
        }
    }
    return size;
}

// Every pane fills the tab view below its tabs and keeps what it holds at its top, so that a
// short pane does not sit at the bottom of a tall window.
void pinPanesToTop(ui::TabView& tabs) {
    ui::Rect bounds = tabs.bounds();
    for (const auto& item : tabs.tabViewItems()) {
        auto view = item->view();
        if (!view)
            continue;
        view->setFrame(bounds);
        double shift = bounds.height() - kTabHeader - paneExtent(*view).top;
        for (const auto& sub : view->subviews())
            sub->setFrameOrigin({sub->frame().origin.x, sub->frame().origin.y + shift});
    }
}

} // namespace

DetailedSettingsViews layOutDetailedSettingsWindow() {
    DetailedSettingsViews views;
    views.window = std::make_shared<ui::Window>(ui::Rect::make(0, 0, 900, 600),
                                                BSLocalizedStringOrKey("Detailed Settings"));
    auto content = views.window->contentView();

    views.viewStyle = std::make_shared<ui::PopUpButton>();
    for (auto [key, tag] : {std::pair{"Tabs", 1L}, std::pair{"Outline", 2L}}) {
        auto item = std::make_shared<ui::MenuItem>(BSLocalizedStringOrKey(key));
        item->setTag(tag);
        views.viewStyle->addItem(item);
    }
    content->addSubview(views.viewStyle);
    views.viewStyleTitle = ui::TextField::label({}, BSLocalizedStringOrKey("View:"));
    views.viewStyle->setTitleView(views.viewStyleTitle);
    content->addSubview(views.viewStyleTitle);

    views.outlineHolder = std::make_shared<ui::View>();
    auto clip = std::make_shared<ui::View>();
    views.outline = std::make_shared<ui::OutlineView>();
    auto column = std::make_shared<ui::TableColumn>("panes");
    views.outline->addTableColumn(column);
    views.outlineColumn = column.get();
    views.outlineHolder->addSubview(clip);
    clip->addSubview(views.outline);
    content->addSubview(views.outlineHolder);

    views.tabView = std::make_shared<ui::TabView>();
    content->addSubview(views.tabView);

    views.versionInfo = ui::Button::pushButton({}, BSLocalizedStringOrKey("version info..."));
    views.revertToDefault =
        ui::Button::pushButton({}, BSLocalizedStringOrKey("Revert to Default Settings"));
    views.download = ui::Button::pushButton({}, BSLocalizedStringOrKey("Download"));
    views.download->setHidden(true);
    for (const auto& button : {views.versionInfo, views.revertToDefault, views.download})
        content->addSubview(button);
    auto ends = addEndButtons(*content, BSLocalizedStringOrKey("Cancel"),
                              BSLocalizedStringOrKey("Setting"), 0, kMargin);
    views.cancel = ends.cancel;
    views.ok = ends.ok;
    fitDetailedSettingsWindow(views);
    return views;
}

void fitDetailedSettingsWindow(DetailedSettingsViews& views) {
    bool outlineShown = !views.outlineHolder->isHidden();
    ui::Size pane = paneContentSize(*views.tabView);
    double tabX = kMargin + (outlineShown ? kOutlineWidth + kOutlineGap : 0);
    double buttonsTop = kMargin + kButtonHeight;
    double tabY = buttonsTop + kRowGap;
    double tabWidth = pane.width + kMargin, tabHeight = pane.height + kTabHeader;
    double styleY = tabY + tabHeight + kRowGap;

    std::string cancel = views.cancel->title(), ok = views.ok->title();
    double leftButtons = kMargin + buttonWidth(views.versionInfo->title()) + kButtonGap +
                         buttonWidth(views.revertToDefault->title());
    double width = std::max(tabX + tabWidth + kMargin,
                            leftButtons + 2 * kButtonGap + buttonRowWidth({cancel, ok}) + kMargin);
    tabWidth = width - kMargin - tabX;
    double height = styleY + kRowHeight + kMargin;

    views.window->setFrame(ui::Rect::make(views.window->frame().origin.x,
                                          views.window->frame().origin.y, width, height));
    constexpr double kStyleTitleWidth = 60;
    views.viewStyleTitle->setFrame(ui::Rect::make(kMargin, styleY + 3, kStyleTitleWidth, 17));
    views.viewStyle->setFrame(
        ui::Rect::make(kMargin + kStyleTitleWidth, styleY, kStyleWidth, kRowHeight));
    views.tabView->setFrame(ui::Rect::make(tabX, tabY, tabWidth, tabHeight));
    pinPanesToTop(*views.tabView);
    ui::Rect outline = ui::Rect::make(kMargin, tabY, kOutlineWidth, tabHeight);
    views.outlineHolder->setFrame(outline);
    views.outline->superview()->setFrame(ui::Rect::make(0, 0, kOutlineWidth, tabHeight));
    views.outline->setFrame(ui::Rect::make(0, 0, kOutlineWidth, tabHeight));

    double x = kMargin;
    for (const auto& button : {views.versionInfo, views.revertToDefault}) {
        button->setFrame(ui::Rect::make(x, kMargin, buttonWidth(button->title()), kButtonHeight));
        x += buttonWidth(button->title()) + kButtonGap;
    }
    views.download->setFrame(
        ui::Rect::make(x, kMargin, buttonWidth(views.download->title()), kButtonHeight));
    double right = width - kMargin;
    views.ok->setFrameOrigin({right - buttonWidth(ok), kMargin});
    views.cancel->setFrameOrigin(
        {right - buttonWidth(ok) - kButtonGap - buttonWidth(cancel), kMargin});
}

} // namespace velmora
