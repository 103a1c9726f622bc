// One print dialog session in the in-memory host, driven from the command line as a person would
// drive it.
#include "PanelSession.h"

#include "Command.h"

#include "UserAction.h"

#include "controls/ZEMAUI.h"
#include "device/JobNameWinController.h"
#include "favoritewindows/SaveFavoriteWindowController.h"
#include "panel/DetailedSettingsWinController.h"
#include "panel/LornPDEByCocoa.h"
#include "panes/AppPreference.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/FileSystem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TabView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

namespace velmora::app {
namespace {

Array offeredChoices(ZEMAUI& control) {
    Array choices;
    if (auto popUp = control.popUpButton()) {
        for (const auto& item : popUp->itemArray())
            if (!item->isSeparatorItem() && item->isEnabled())
                choices.push_back(Value(item->representedObject().stringValue()));
        return choices;
    }
    for (const auto& choice : control.description().choices())
        choices.push_back(Value(choice.choice));
    return choices;
}

} // namespace

OptionParse parsePanelOption(const std::vector<std::string>& arguments, std::size_t& i,
                             PanelOptions& options) {
    static const std::vector<std::string> known = {
        "--bundle",  "--ppd",    "--settings", "--favorite", "--job-name", "--save-favorite",
        "--comment", "--output", "--lang",     "--answer",   "--set"};
    const std::string& arg = arguments[i];
    if (arg == "--replace") {
        options.replace = true;
        return OptionParse::Taken;
    }
    if (std::find(known.begin(), known.end(), arg) == known.end())
        return OptionParse::NotMine;
    if (i + 1 >= arguments.size())
        return OptionParse::Bad;
    const std::string& value = arguments[++i];
    if (arg == "--bundle")
        options.bundle = value;
    else if (arg == "--ppd")
        options.ppd = value;
    else if (arg == "--settings")
        options.settings = value;
    else if (arg == "--favorite")
        options.favorite = value;
    else if (arg == "--job-name") {
        options.jobName = value;
        options.hasJobName = true;
    } else if (arg == "--save-favorite")
        options.saveFavorite = value;
    else if (arg == "--comment") {
        options.comment = value;
        options.hasComment = true;
    } else if (arg == "--output")
        options.output = value;
    else if (arg == "--lang")
        options.language = value;
    else if (arg == "--answer" && (value == "yes" || value == "no")) {
        options.answerYes = value == "yes";
        options.hasAnswer = true;
    } else if (arg == "--set" && value.find('=') != std::string::npos && value.front() != '=') {
        auto eq = value.find('=');
        options.sets.emplace_back(value.substr(0, eq), value.substr(eq + 1));
    } else
        return OptionParse::Bad;
    return OptionParse::Taken;
}

bool panelOptionsComplete(const PanelOptions& options) {
    return (!options.hasComment && !options.replace) || !options.saveFavorite.empty();
}

PanelSession::PanelSession(const PanelOptions& options, InMemoryPrintDialog::Options host)
    : _options(options), _alerts(options.answerYes), _dialog(std::move(host)) {
    _oldInteraction = ui::Application::shared().setInteraction([this](ui::Window& window) {
        auto steps = std::move(_steps);
        _steps = nullptr;
        if (steps)
            steps(window);
        auto& app = ui::Application::shared();
        if (app.modalWindow() == &window && !app.isModalStopped()) {
            if (_error.empty())
                _error = "the window \"" + window.title() + "\" did not close" + lastAlert();
            app.abortModal();
        }
    });
}

PanelSession::~PanelSession() {
    ui::Application::shared().setInteraction(std::move(_oldInteraction));
}

bool PanelSession::run(const std::optional<Dictionary>& restoreFrom) {
    if (auto opened = _dialog.open(); !opened) {
        _error = opened.error();
        return false;
    }
    _panel = std::dynamic_pointer_cast<LornPDEByCocoa>(_dialog.panel());
    if (!_panel) {
        _error = "the plug-in's panel is not a Velmora Flow panel";
        return false;
    }
    if (restoreFrom)
        _dialog.restoreSnapshot(*restoreFrom);
    // A session does not go on from settings restored only in part: what it saved or printed
    // would not be what was asked for.
    if (std::string reason; !_panel->restoreValuesAndReturnError(&reason)) {
        _error = reason.empty() ? "the panel's settings were not restored" : reason;
        return false;
    }
    _dialog.showPanel();
    if (!chooseFavorite() || !nameJob() || !setOnPanel() || !setInDetailedSettings())
        return false;
    // What is saved or printed passes the final check, also when nothing was set here: saved
    // defaults or a settings file may lack what the press needs (a secure print PIN).
    if (!_panel->passesFinalCheck()) {
        _error = "the settings cannot be printed as they are" + lastAlert();
        return false;
    }
    if (!saveFavorite())
        return false;
    // Settings the panel could not save are not printed or written as though they were.
    std::string reason;
    if (!_panel->saveValuesAndReturnError(&reason)) {
        _error = reason.empty() ? "the panel's settings were not saved" : reason;
        return false;
    }
    return true;
}

std::string PanelSession::lastAlert() const {
    if (_alerts.alerts.empty())
        return {};
    const Dictionary* alert = _alerts.alerts.back().dictionary();
    return ": " + alert->get("message").stringValue() + " " +
           alert->get("informative").stringValue();
}

bool PanelSession::click(ui::Button& button, std::function<void(ui::Window&)> steps) {
    return perform([&] { button.performClick(); }, std::move(steps));
}

bool PanelSession::perform(const std::function<void()>& action,
                           std::function<void(ui::Window&)> steps) {
    _steps = std::move(steps);
    action();
    _steps = nullptr;
    return _error.empty();
}

bool PanelSession::chooseFavorite() {
    if (_options.favorite.empty())
        return true;
    ui::PopUpButton& popUp = *_panel->views().favorite;
    int index = popUp.indexOfItemWithTitle(_options.favorite);
    if (index < 0) {
        _error = "no favorite named \"" + _options.favorite + "\"";
        return false;
    }
    popUp.selectItemAtIndex(index);
    popUp.sendAction();
    return true;
}

bool PanelSession::nameJob() {
    if (!_options.hasJobName)
        return true;
    return click(*_panel->views().jobNameButton, [this](ui::Window& window) {
        auto& dialog = JobNameWinController::sharedInstance();
        dialog.specificJobNameRadio()->clickCellAt(_options.jobName.empty() ? 0 : 1, 0);
        if (!_options.jobName.empty())
            if (auto refused = typeAsUser(*dialog.jobNameEdit(), _options.jobName, window)) {
                _error = "job name: " + *refused;
                return;
            }
        dialog.okButton()->performClick();
    });
}

bool PanelSession::setOnPanel() {
    std::vector<std::shared_ptr<ZEMAUI>> controls;
    for (const auto& [key, control] : _panel->views().optionControls())
        controls.push_back(control);
    controls.push_back(_panel->views().autoTraySettingToBypass);
    for (const auto& [key, value] : _options.sets) {
        ZEMAUI* control = findOptionControl(controls, key);
        if (!control || control->mainKeyword().empty())
            continue;
        if (auto refused = actAsUser(*control, value, *_dialog.window())) {
            _error = *refused;
            return false;
        }
    }
    return true;
}

bool PanelSession::isPanelKey(const std::string& key) const {
    for (const auto& [name, control] : _panel->views().optionControls())
        if (name == key && !control->mainKeyword().empty())
            return true;
    return key == "AutoTraySettingToBypass" &&
           !_panel->views().autoTraySettingToBypass->mainKeyword().empty();
}

bool PanelSession::setInDetailedSettings() {
    std::vector<std::pair<std::string, std::string>> detailed;
    for (const auto& set : _options.sets)
        if (!isPanelKey(set.first))
            detailed.push_back(set);
    if (detailed.empty())
        return true;
    bool ran = click(*_panel->views().showDetailedSettingsButton, [&](ui::Window& window) {
        auto& controller = DetailedSettingsWinController::sharedInstance();
        for (const auto& [key, value] : detailed)
            if (!setInTab(*controller.views().tabView, key, value, window))
                return;
        controller.views().ok->performClick();
    });
    // A refused OK keeps the window open; it is then given up.
    if (!ran && _error.starts_with("the window"))
        _error = "the detailed settings were refused" + lastAlert();
    return ran;
}

bool PanelSession::setInTab(ui::TabView& tabs, const std::string& key, const std::string& value,
                            ui::Window& window) {
    for (const auto& item : tabs.tabViewItems()) {
        if (!item->view())
            continue;
        ZEMAUI* control =
            findOptionControl(PaneControlServices::getZEMAUIControls(item->view().get()), key);
        if (!control)
            continue;
        tabs.selectTabViewItem(item.get());
        if (auto refused = actAsUser(*control, value, window)) {
            _error = *refused;
            return false;
        }
        return true;
    }
    _error = key + ": no option of that name in the panel or the panes";
    return false;
}

bool PanelSession::saveFavorite() {
    if (_options.saveFavorite.empty())
        return true;
    // The save dialog reads the folder's names and writes into it: no other command may change
    // it meanwhile.
    auto lock = lockFavoriteFolder();
    if (!lock) {
        _error = lock.error();
        return false;
    }
    // The save dialog asks before it replaces a favorite, and a session answers yes: the
    // command line says so itself.
    if (auto path = AppPreference::sharedInstance().favoritePathWithName(_options.saveFavorite);
        path && FileSystem::exists(*path) && !_options.replace) {
        _error = "a favorite named \"" + _options.saveFavorite +
                 "\" exists; add --replace to replace it";
        return false;
    }
    // The favorites row is cut off the shown panel; its action is still the panel's.
    return perform([this] { _panel->clickedSaveFavoriteButton(); },
                   [this](ui::Window& window) {
                       const auto& views = SaveFavoriteWindowController::sharedInstance().views();
                       auto refused =
                           typeAsUser(*views.favoriteName, _options.saveFavorite, window);
                       if (!refused && _options.hasComment)
                           refused = typeAsUser(*views.comment, _options.comment, window);
                       if (refused) {
                           _error = "favorite: " + *refused;
                           return;
                       }
                       views.ok->performClick();
                   });
}

Array PanelSession::controlsReport() {
    Array controls;
    auto add = [&](ZEMAUI& control) {
        if (control.mainKeyword().empty())
            return;
        auto value = control.getStringValue();
        controls.push_back(Value(Dictionary{{"mainKeyword", Value(control.mainKeyword())},
                                            {"value", value ? Value(*value) : Value()},
                                            {"enabled", Value(control.isEnabled())},
                                            {"hidden", Value(control.isHidden())},
                                            {"choices", Value(offeredChoices(control))}}));
    };
    for (const auto& [key, control] : _panel->views().optionControls())
        add(*control);
    add(*_panel->views().autoTraySettingToBypass);
    return controls;
}

Array summaryEntries(const std::optional<Dictionary>& summary) {
    Array entries;
    if (summary)
        for (const auto& [title, value] : *summary)
            entries.push_back(Value(Dictionary{{"title", Value(title)}, {"value", value}}));
    return entries;
}

Dictionary PanelSession::report() {
    return Dictionary{{"panel", Value(_panel->panelName())},
                      {"controls", Value(controlsReport())},
                      {"favorite", Value(_panel->views().favorite->titleOfSelectedItem())},
                      {"jobName", Value(_panel->views().jobName->stringValue())},
                      {"alerts", Value(_alerts.alerts)},
                      {"summary", Value(summaryEntries(_panel->summaryInfo()))},
                      {"printSettings", Value(_dialog.settingsSnapshot())}};
}

} // namespace velmora::app
