#include "device/AutomaticPaperTraySelectionLayout.h"

#include "controls/ZEMAUI.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr double kColumnWidth = 400;
constexpr double kMargin = 16;
constexpr double kGap = 4;
constexpr double kButtonWidth = 100;
constexpr double kButtonHeight = 28;
constexpr double kWindowWidth = 2 * kColumnWidth + 3 * kMargin;

double columnHeight(const std::vector<std::shared_ptr<ZEMAUI>>& column) {
    double height = 0;
    for (const auto& control : column)
        height += control->getControlHeight() + kGap;
    return height;
}

void stack(const std::vector<std::shared_ptr<ZEMAUI>>& column, double x, double top) {
    for (const auto& control : column) {
        double height = control->getControlHeight();
        top -= height;
        control->setFrame(ui::Rect::make(x, top, kColumnWidth, height));
        top -= kGap;
    }
}

} // namespace

AutomaticPaperTraySelectionViews layOutAutomaticPaperTraySelectionWindow() {
    AutomaticPaperTraySelectionViews views;
    views.window = std::make_shared<ui::Window>(ui::Rect::make(0, 0, kWindowWidth, 300));
    views.separator = std::make_shared<ui::Box>(
        ui::Rect::make(kMargin, kMargin + kButtonHeight + 12, kWindowWidth - 2 * kMargin, 1));
    views.close = ui::Button::pushButton(
        ui::Rect::make(kWindowWidth - kMargin - kButtonWidth, kMargin, kButtonWidth,
                       kButtonHeight),
        "");
    views.close->setKeyEquivalent("\r");
    views.window->contentView()->addSubview(views.separator);
    views.window->contentView()->addSubview(views.close);
    return views;
}

void arrangeAutomaticPaperTraySelection(const AutomaticPaperTraySelectionViews& views,
                                        const std::vector<std::shared_ptr<ZEMAUI>>& left,
                                        const std::vector<std::shared_ptr<ZEMAUI>>& right) {
    auto content = views.window->contentView();
    for (const auto* column : {&left, &right})
        for (const auto& control : *column)
            if (!control->superview())
                content->addSubview(control);
    double footer = kMargin + kButtonHeight + 12 + 1 + kMargin;
    double height = footer + std::max(columnHeight(left), columnHeight(right)) + kMargin;
    ui::Rect frame = views.window->frame();
    views.window->setFrame(ui::Rect::make(frame.origin.x, frame.origin.y, kWindowWidth, height));
    stack(left, kMargin, height - kMargin);
    stack(right, 2 * kMargin + kColumnWidth, height - kMargin);
}

void narrowAutomaticPaperTraySelection(const AutomaticPaperTraySelectionViews& views) {
    ui::Rect box = views.separator->frame();
    views.separator->setFrame(
        ui::Rect::make(box.origin.x, box.origin.y, box.size.width / 2 + 16, box.size.height));
    ui::Rect frame = views.window->frame();
    double width = frame.size.width / 2 + 32;
    views.window->setFrame(
        ui::Rect::make(frame.origin.x, frame.origin.y, width, frame.size.height));
    ui::Rect close = views.close->frame();
    views.close->setFrame(ui::Rect::make(width - kMargin - close.size.width, close.origin.y,
                                         close.size.width, close.size.height));
    views.window->display();
}

} // namespace velmora
