// The panes of the sample press. One shared object serves every pane bundle: each bundle's
// PaneLayout.plist says what its pane shows (option placeholders, nested tabs, numbered
// profiles), and the manager turns the placeholders into option controls.
#include "controls/ZEMAUI.h"
#include "panes/PanePlugInHost.h"
#include "panes/PanePlugInInterface.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TabView.h"
#include "platform/ui/TextField.h"

#include <algorithm>
#include <map>

namespace velmora::press {
namespace {

constexpr double kPaneWidth = 560;
constexpr double kMargin = 16;
constexpr double kGap = 6;
constexpr double kTabHeader = 34;
constexpr double kPlaceholderHeight = 26;
constexpr double kPopUpHeight = 26;
constexpr int kMostNesting = 4;

std::string localizedIn(const Bundle& bundle, const std::string& key) {
    const std::string* text = bundle.findLocalizedString(key, "Localizable");
    return text ? *text : key;
}

// The height a view needs: controls report theirs, containers add up their children.
double neededHeight(const ui::View& view);

double stackedHeight(const ui::View& container) {
    double height = 0;
    for (const auto& child : container.subviews())
        height += neededHeight(*child) + kGap;
    return height + 2 * kMargin;
}

// A control's own rows and what lies below them (child controls, a slider's texts): the control
// keeps its content at its top, so it needs the height down to the lowest of it.
double controlHeight(const ZEMAUI& control) {
    double height = std::max(control.getControlHeight(), kPlaceholderHeight);
    double top = control.frame().size.height;
    for (const auto& part : control.subviews())
        if (!part->isHidden())
            height = std::max(height, top - part->frame().origin.y);
    return height;
}

double neededHeight(const ui::View& view) {
    if (auto* control = dynamic_cast<const ZEMAUI*>(&view))
        return controlHeight(*control);
    if (auto* tabs = dynamic_cast<const ui::TabView*>(&view)) {
        double tallest = 0;
        for (const auto& item : tabs->tabViewItems())
            tallest = std::max(tallest, stackedHeight(*item->view()));
        return tallest + kTabHeader;
    }
    if (view.subviews().empty())
        return view.frame().size.height;
    return stackedHeight(view);
}

// Places the children of a container from its top down (y grows upwards), each as wide as
// the container allows.
void arrange(ui::View& container, double width) {
    double height = stackedHeight(container);
    container.setFrame({container.frame().origin, {width, height}});
    double top = height - kMargin;
    for (const auto& child : container.subviews()) {
        double childHeight = neededHeight(*child);
        double childWidth = width - 2 * kMargin;
        top -= childHeight;
        child->setFrame(ui::Rect::make(kMargin, top, childWidth, childHeight));
        top -= kGap;
        if (auto* tabs = dynamic_cast<ui::TabView*>(child.get())) {
            // Every part starts right under the row of tabs, however short it is beside the
            // tallest (which sets the tab view's height).
            for (const auto& item : tabs->tabViewItems()) {
                ui::View& part = *item->view();
                arrange(part, childWidth);
                part.setFrameOrigin(
                    {part.frame().origin.x, childHeight - kTabHeader - part.frame().size.height});
            }
        }
    }
}

} // namespace

class PressPane : public PanePlugInInterface,
                  public PaneProfileProvider,
                  public PaneAutomaticPaperTrayWriter {
public:
    bool initializePanel(std::shared_ptr<Bundle> bundle, PanePlugInHost& callback) override {
        _bundle = bundle;
        _callback = &callback;
        auto path = bundle->pathForResource("PaneLayout", "plist");
        auto layout = path ? PropertyList::readFile(*path) : std::nullopt;
        const Dictionary* description = layout ? layout->dictionary() : nullptr;
        if (!description)
            return false;
        _title = localizedIn(*bundle, description->get("title").stringValue());
        _showsTraySelection = description->get("automaticPaperTray").boolValue();
        _view = std::make_shared<ui::View>(ui::Rect::make(0, 0, kPaneWidth, 100));
        addItems(*_view, description->get("items"), 0);
        addProfiles(description->get("profiles"));
        if (_showsTraySelection)
            addTraySummary();
        registerControls(callback);
        arrange(*_view, kPaneWidth);
        return true;
    }

    std::vector<std::shared_ptr<ZEMAUI>> getListZEMAUI() override { return _controls; }
    void willShow() override { writeAutomaticPapaerTraySelection(); }
    std::string panelName() override { return _title; }
    std::shared_ptr<ui::View> panelView() override { return _view; }

    PaneProfileProvider* profileProvider() override { return _profiles.empty() ? nullptr : this; }
    PaneAutomaticPaperTrayWriter* automaticPaperTrayWriter() override {
        return _showsTraySelection ? this : nullptr;
    }

    ProfileUiInformations profileUiInformations() override {
        ProfileUiInformations informations;
        for (const auto& profile : _profiles)
            informations.emplace_back(
                profile.keyword, ProfileUiInformation{profile.popUp, profile.max, profile.format});
        return informations;
    }

    // The line under the tray options that says which tray and media the press will use.
    void writeAutomaticPapaerTraySelection() override {
        if (!_traySummary || !_callback)
            return;
        auto tray = _callback->getStringValueFromKey("KVInputSlot").value_or("");
        auto media = _callback->getStringValueFromKey("MediaType").value_or("");
        std::optional<std::string> trayText, mediaText;
        _callback->getAlias(nullptr, &trayText, std::string("KVInputSlot"), tray);
        _callback->getAlias(nullptr, &mediaText, std::string("MediaType"), media);
        _traySummary->setStringValue(trayText.value_or(tray) + " / " + mediaText.value_or(media));
    }

private:
    struct Profile {
        std::string keyword;
        std::shared_ptr<ui::PopUpButton> popUp;
        long max = 0;
        std::string format;
    };

    std::shared_ptr<Bundle> _bundle;
    PanePlugInHost* _callback = nullptr;
    std::string _title;
    bool _showsTraySelection = false;
    std::shared_ptr<ui::View> _view;
    std::shared_ptr<ui::TextField> _traySummary;
    std::vector<Profile> _profiles;
    std::vector<std::shared_ptr<ZEMAUI>> _controls;

    void addItems(ui::View& container, const Value& items, int depth) {
        const Array* list = items.array();
        if (!list || depth > kMostNesting)
            return;
        for (const Value& item : *list) {
            if (const std::string* keyword = item.string())
                addPlaceholder(container, *keyword);
            else if (const Dictionary* group = item.dictionary())
                addTabs(container, group->get("tabs"), depth);
        }
    }

    static void addPlaceholder(ui::View& container, const std::string& keyword) {
        auto placeholder = std::make_shared<ZEMAUI>(
            ui::Rect::make(0, 0, kPaneWidth - 2 * kMargin, kPlaceholderHeight));
        placeholder->setToolTip(keyword);
        container.addSubview(placeholder);
    }

    void addTabs(ui::View& container, const Value& tabs, int depth) {
        const Array* list = tabs.array();
        if (!list)
            return;
        auto tabView = std::make_shared<ui::TabView>(ui::Rect::make(0, 0, kPaneWidth, 100));
        for (const Value& tab : *list) {
            const Dictionary* description = tab.dictionary();
            if (!description)
                continue;
            auto item = std::make_shared<ui::TabViewItem>(description->get("identifier"));
            item->setLabel(localizedIn(*_bundle, description->get("label").stringValue()));
            addItems(*item->view(), description->get("items"), depth + 1);
            tabView->addTabViewItem(item);
        }
        container.addSubview(tabView);
    }

    void addProfiles(const Value& profiles) {
        const Dictionary* list = profiles.dictionary();
        if (!list)
            return;
        for (const auto& [keyword, entry] : *list) {
            const Dictionary* description = entry.dictionary();
            if (!description)
                continue;
            auto popUp = std::make_shared<ui::PopUpButton>(
                ui::Rect::make(0, 0, kPaneWidth - 2 * kMargin, kPopUpHeight));
            _view->addSubview(popUp);
            _profiles.push_back({keyword, popUp,
                                 static_cast<long>(description->get("max").integerValue()),
                                 description->get("format").stringValue()});
        }
    }

    void addTraySummary() {
        _traySummary = ui::TextField::label(
            ui::Rect::make(0, 0, kPaneWidth - 2 * kMargin, kPlaceholderHeight), "");
        _view->addSubview(_traySummary);
    }

    // Titles and icons of the options live in the press's own tables, so the controls are
    // built against the principal bundle.
    void registerControls(PanePlugInHost& callback) {
        auto placeholders = callback.controlsIn(_view.get());
        std::map<std::string, std::shared_ptr<ZEMAUI>> byKeyword;
        auto settings = callback.uiSettings();
        callback.setupZEMAUIControls(&placeholders, settings.get(), &byKeyword,
                                     callback.principalBundle());
        for (const auto& control : placeholders) {
            if (!control->mainKeyword().empty())
                _controls.push_back(control);
        }
        callback.buildPaneUi(*this, _bundle);
    }
};

} // namespace velmora::press

using PressPane = velmora::press::PressPane;
VELMORA_PANE_PLUGIN(PressPane)
