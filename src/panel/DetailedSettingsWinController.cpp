#include "panel/DetailedSettingsWinController.h"

#include "common/AboutPanelController.h"
#include "common/Alerts.h"
#include "common/Localization.h"
#include "panes/PanePlugInMgr.h"
#include "panes/SharedWithManager.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TabView.h"
#include "validation/ValidatingTextFields.h"

#include <memory>

namespace velmora {
namespace {

constexpr double kOutlineOffset = 200;
constexpr double kTabContentX = 187;
constexpr const char* kFakeTabAction = "clickedFakeTabButton:";

std::vector<ui::TabView*> tabViewsOf(const ui::View& content) {
    std::vector<ui::TabView*> found;
    for (const auto& sub : content.subviews())
        if (auto* tabs = dynamic_cast<ui::TabView*>(sub.get()))
            found.push_back(tabs);
    return found;
}

// Tabs show the fake tab buttons of each pane with the pane's content beside them; the
// outline takes over their work in the other style.
bool hasFakeTabButtons(const ui::View& page) {
    for (const auto& button : page.descendantsOfType<ui::Button>())
        if (button->action() == kFakeTabAction)
            return true;
    return false;
}

void arrangeTabContents(ui::TabView& tabs, bool tabStyle) {
    for (const auto& item : tabs.tabViewItems()) {
        auto view = item->view();
        // A page without tab buttons keeps its content where it is: there is nothing beside it.
        if (!view || !hasFakeTabButtons(*view))
            continue;
        for (const auto& sub : view->subviews()) {
            auto* button = dynamic_cast<ui::Button*>(sub.get());
            if (button && button->action() == kFakeTabAction)
                button->setHidden(!tabStyle);
            else
                sub->setFrameOrigin({tabStyle ? kTabContentX : 0, sub->frame().origin.y});
        }
    }
}

// A page whose pane offers no tab buttons of its own shows the tabs of its parts (paper and
// trays: paper source, paper, bypass) in the tabs view; in the outline the tree stands for them.
void showOwnTabsOfPages(ui::TabView& tabs, bool tabStyle) {
    for (const auto& item : tabs.tabViewItems()) {
        auto view = item->view();
        if (!view)
            continue;
        if (hasFakeTabButtons(*view))
            continue;
        for (const auto& nested : view->descendantsOfType<ui::TabView>())
            nested->setTabViewType(tabStyle ? ui::TabViewType::TopTabsBezelBorder
                                            : ui::TabViewType::NoTabsNoBorder);
    }
}

} // namespace

DetailedSettingsWinController& DetailedSettingsWinController::sharedInstance() {
    return sharedWithManager<DetailedSettingsWinController>();
}

DetailedSettingsWinController::DetailedSettingsWinController(PanePlugInMgr& manager)
    : TDWindowController("DetailedSettings"), _manager(manager) {}

DetailedSettingsWinController::~DetailedSettingsWinController() {
    if (_window)
        _window->setDelegate(nullptr);
}

std::shared_ptr<ui::Window> DetailedSettingsWinController::buildWindow() {
    _views = layOutDetailedSettingsWindow();
    _views.window->setFrameAutosaveName(kFrameAutosaveName);
    _views.window->setDelegate(this);
    connectActions();
    return _views.window;
}

void DetailedSettingsWinController::windowDidLoad() {
    awakeFromNib();
}

void DetailedSettingsWinController::connectActions() {
    auto on = [](const std::shared_ptr<ui::Button>& button, const char* action,
                 std::function<void()> run) {
        button->setAction(action);
        button->setTarget([run = std::move(run)](ui::Control&) { run(); });
    };
    on(_views.ok, "okButton:", [this] { okButton(); });
    on(_views.cancel, "cancelButton:", [this] { cancelButton(); });
    on(_views.revertToDefault, "clickedRevertToDefault:", [this] { clickedRevertToDefault(); });
    on(_views.versionInfo, "clickedVersionInfo:", [this] { clickedVersionInfo(); });
    _views.viewStyle->setAction("setupViewStylePopupButton:");
    _views.viewStyle->setTarget([this](ui::Control& popUp) {
        setupViewStylePopupButton(static_cast<ui::PopUpButton&>(popUp));
    });
    _views.outline->setOutlineDataSource(&_dataSource);
    _views.outline->setOutlineDelegate(&_dataSource);
}

void DetailedSettingsWinController::awakeFromNib() {
    try {
        setLocalizedTitles();
        _manager.loadPlugIns();
        addPaneTabs();
        if (_manager.getTabTreeView()) {
            showOutline();
            _views.viewStyle->selectItemAtIndex(1);
        } else {
            _views.outlineHolder->setHidden(true);
            _views.viewStyle->selectItemAtIndex(0);
        }
        setupViewStylePopupButton(*_views.viewStyle);
    } catch (const std::exception& e) {
        ExceptionAlert(&e);
        throw;
    }
}

void DetailedSettingsWinController::setLocalizedTitles() {
    _views.window->setTitle(BSLocalizedStringOrKey("Detailed Settings"));
    _views.cancel->setTitle(BSLocalizedStringOrKey("Cancel"));
    _views.ok->setTitle(BSLocalizedStringOrKey("Setting"));
    _views.revertToDefault->setTitle(BSLocalizedStringOrKey("Revert to Default Settings"));
    _views.versionInfo->setTitle(BSLocalizedStringOrKey("version info..."));
}

void DetailedSettingsWinController::addPaneTabs() {
    ui::TabView& tabs = *_views.tabView;
    while (tabs.numberOfTabViewItems() > 0)
        tabs.removeTabViewItem(tabs.tabViewItemAtIndex(0).get());
    const Dictionary* tree = _manager.panesTreeDictionary();
    const Array* items = tree ? tree->get("items").array() : nullptr;
    if (!items)
        return;
    for (const Value& node : *items) {
        const Dictionary* description = node.dictionary();
        const std::string* name = description ? description->get("bundleName").string() : nullptr;
        if (!name)
            continue;
        auto item = std::make_shared<ui::TabViewItem>(Value(*name));
        item->setLabel(_manager.panelNameOfBundleName(*name).value_or(*name));
        if (auto view = _manager.panelViewOfBundleName(*name))
            item->setView(view);
        tabs.addTabViewItem(item);
    }
}

double DetailedSettingsWinController::outlineColumnWidth(const std::string& language) {
    if (language.find("es") != std::string::npos)
        return 460;
    if (language.find("de") != std::string::npos)
        return 230;
    if (language.find("it") != std::string::npos)
        return 365;
    if (language.find("fr") != std::string::npos)
        return 415;
    return 185;
}

void DetailedSettingsWinController::showOutline() {
    _views.outlineHolder->setHidden(false);
    auto languages = PreferredLanguages::current();
    _views.outlineColumn->setWidth(outlineColumnWidth(languages.empty() ? "" : languages.front()));
    // The outline asks for its rows before the window is assembled; the second load counts.
    for (int pass = 0; pass < 2; ++pass) {
        _views.outline->reloadData();
        _views.outline->display();
    }
    highlightShownPage();
}

// The outline marks the page shown beside it, whichever way it came to be shown.
void DetailedSettingsWinController::highlightShownPage() {
    _views.outline->selectRow(_dataSource.rowOfShownPage(*_views.outline));
}

void DetailedSettingsWinController::setupViewStylePopupButton(ui::PopUpButton& viewStyle) {
    auto selected = viewStyle.selectedItem();
    long tag = selected ? selected->tag() : 0;
    if (tag != 1 && tag != 2)
        return;
    bool tabStyle = tag == 1;
    _views.outlineHolder->setHidden(tabStyle);
    // The outline builds its tree from the tab views (and makes the nested ones tabless, as the
    // tree stands for them) before their style is set here: the tabs view keeps its rows of tabs.
    _views.outline->reloadData();
    _views.outline->display();
    for (ui::TabView* tabs : tabViewsOf(*_views.window->contentView())) {
        double x = tabs->frame().origin.x;
        if (tabStyle && x > kOutlineOffset)
            tabs->setFrameOrigin({x - kOutlineOffset, tabs->frame().origin.y});
        else if (!tabStyle && x < kOutlineOffset)
            tabs->setFrameOrigin({x + kOutlineOffset, tabs->frame().origin.y});
        tabs->setTabViewType(tabStyle ? ui::TabViewType::TopTabsBezelBorder
                                      : ui::TabViewType::NoTabsNoBorder);
        arrangeTabContents(*tabs, tabStyle);
        showOwnTabsOfPages(*tabs, tabStyle);
        tabs->display();
    }
    if (!tabStyle)
        highlightShownPage();
    fitDetailedSettingsWindow(_views);
}

long DetailedSettingsWinController::showAsModalDialog(Dictionary& options) {
    _prevSelectedProfileName.clear();
    auto dialog = window();
    if (!dialog)
        return kCancel;
    long code = kCancel;
    while (!runOnce(options, code)) {
    }
    dialog->orderOut();
    return code;
}

// One modal run; false when OK was refused and the window must run again.
bool DetailedSettingsWinController::runOnce(Dictionary& options, long& code) {
    code = ui::Application::shared().runModalForWindow(*_window);
    if (code != kOK)
        return true;
    if (!_window->makeFirstResponder(nullptr))
        return false;
    if (auto values = _manager.values().gatherPrintOptionValues(false, 0, false, false, false))
        options = std::move(*values);
    return _manager.values().isPrintOptionConsistencyCheck(options);
}

void DetailedSettingsWinController::reformatPrintOption(Dictionary& options) {
    _manager.values().updateEnabledStates(0, true, false, false);
    auto all = _manager.values().gatherPrintOptionValues(true, 0, false, false, false);
    if (!all)
        return;
    for (const auto& [key, value] : options)
        all->set(key, value);
    options = std::move(*all);
}

void DetailedSettingsWinController::okButton() {
    ui::Application::shared().stopModalWithCode(kOK);
}

void DetailedSettingsWinController::cancelButton() {
    ui::Application::shared().stopModalWithCode(kCancel);
}

void DetailedSettingsWinController::clickedRevertToDefault() {
    _manager.values().restorePrintOptionValues(_manager.values().defaultSettings());
}

void DetailedSettingsWinController::clickedVersionInfo() {
    AboutPanelController::runModalPanel();
}

void DetailedSettingsWinController::_updateEnabledStates(
    const std::optional<std::string>& plugInName) {
    if (plugInName)
        _manager.updateEnabledStatesByBundleName(*plugInName, 0, false, false, false);
    else
        _manager.values().updateEnabledStates(0, true, false, false);
}

ui::FieldEditor* DetailedSettingsWinController::windowWillReturnFieldEditor(ui::Window&,
                                                                            ui::View* object) {
    if (auto* field = dynamic_cast<NoEmptyTextField*>(object))
        return field->fieldEditor();
    if (auto* field = dynamic_cast<MailAddressTextField*>(object))
        return field->fieldEditor();
    return nullptr;
}

} // namespace velmora
