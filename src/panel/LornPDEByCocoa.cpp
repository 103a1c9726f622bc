#include "panel/LornPDEByCocoa.h"

#include "common/Localization.h"
#include "common/NotificationNames.h"
#include "common/NotifyUnit.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMAUI.h"
#include "device/IOTOptionUpdater.h"
#include "device/JobNameWinController.h"
#include "device/PdeAutomaticPaperTraySelection.h"
#include "panel/DetailedSettingsWinController.h"
#include "panel/PanelTrayDialogs.h"
#include "panes/AppPreference.h"
#include "panes/ServerListCommand.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/CaughtFailure.h"
#include "platform/foundation/SystemLog.h"
#include "platform/printing/PDEPlugInCallback.h"
#include "platform/printing/PrintSession.h"
#include "platform/printing/Printer.h"
#include "platform/ui/Button.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "ppd/PpdFile.h"

#include <cups/http.h>

#include <algorithm>

namespace velmora {
namespace {

constexpr const char* kBypassKey = PanelTrayDialogs::kBypassKey;

// The option keys whose changes the panel follows.
const std::vector<std::string>& observedKeys() {
    static const std::vector<std::string> keys = {
        "PagePrintOnCenter", "ColorMode", "StapleMode_StapleMechanism",
        "Punch_PunchHoles",  "Fold",      "OutputTray",
        "OffsetMode",        kBypassKey,  "KVInputSlot"};
    return keys;
}

// The host part of a URI ("ipp://press.example:631/ipp" → "press.example"); null without one.
std::optional<std::string> hostOfURI(const std::string& uri) {
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, user, sizeof user,
                        host, sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK)
        return std::nullopt;
    if (!*host)
        return std::nullopt;
    return std::string(host);
}

} // namespace

// ---- Start-up and tear-down ----

LornPDEByCocoa::LornPDEByCocoa(PDEPlugInCallback* callback, std::shared_ptr<Bundle> bundle)
    : _ticketEntries(callback, kPanelKind, [this] { return _useConstraintHandling; }),
      _pdePluginCallbackObject(callback) {
    if (bundle) {
        _plugInBundle = bundle;
        SetNSBundleForPrincipalBundle(bundle);
        SetNSBundleForLocalizedString(bundle);
    }
    _useConstraintHandling = callback && callback->respondsToWillChangePPDOptionKeyValue();
    _panePlugInMgr = &PanePlugInMgr::sharedInstance();
    _panePlugInMgr->loadPlugIns();
    _panePlugInMgr->setPDEObject(this);
    _panePlugInMgr->serverLists().getAllList();
    _trayDialogs = std::make_unique<PanelTrayDialogs>(*_panePlugInMgr, _plugInBundle);
    _detailedSettingsWinController = &DetailedSettingsWinController::sharedInstance();
    findHostName();
    _setDefaults();
}

LornPDEByCocoa::~LornPDEByCocoa() {
    configuringNotification(false);
    // The manager and the windows outlive the panel: nothing may lead back to it afterwards.
    if (_panePlugInMgr && _panePlugInMgr->PDEObject() == this)
        _panePlugInMgr->setPDEObject(nullptr);
    if (_panePlugInMgr && _panePlugInMgr->delegate() == this)
        _panePlugInMgr->setDelegate(nullptr);
    for (auto* button : {_views.saveFavoriteButton.get(), _views.deleteFavoriteButton.get(),
                         _views.jobNameButton.get(), _views.showDetailedSettingsButton.get(),
                         _views.revertToDefaultSettingsButton.get(),
                         _views.automaticPaperTraySelectionButton.get(),
                         _views.bypassPaperTraySelectionButton.get()})
        if (button)
            button->setTarget({});
    if (_views.favorite)
        _views.favorite->setTarget({});
    _trayDialogs->reset();
    _isIntializedUi = false;
}

void LornPDEByCocoa::findHostName() {
    if (_hostName || !_pdePluginCallbackObject)
        return;
    PrintSession* session = _pdePluginCallbackObject->printSession();
    auto printer = session ? session->currentPrinter() : nullptr;
    auto uri = printer ? printer->deviceURI() : std::nullopt;
    auto host = uri ? hostOfURI(*uri) : std::nullopt;
    if (!host)
        return;
    _hostName = hostNameFromDeviceURIHost(*host);
    _panePlugInMgr->setHostName(_hostName);
}

// "v1." starts the URI form of a scoped IPv6 address, whose zone follows a "+".
std::string LornPDEByCocoa::hostNameFromDeviceURIHost(const std::string& host) {
    if (!host.starts_with("v1."))
        return host;
    std::string address = host.substr(3);
    if (auto plus = address.find('+'); plus != std::string::npos)
        address[plus] = '%';
    return address;
}

std::optional<Value> LornPDEByCocoa::sendCommand(const std::string& listName) {
    return ServerListCommand(_pdePluginCallbackObject).sendCommand(listName);
}

// ---- The view and its controls ----

std::shared_ptr<ui::View> LornPDEByCocoa::panelView() {
    if (!_views.view) {
        _views = layOutPanel();
        connectActions();
    }
    return _views.view;
}

std::optional<Array> LornPDEByCocoa::supportedPPDOptionKeys() {
    if (!_plugInBundle || _plugInBundle->infoDictionary().empty())
        return std::nullopt;
    if (const Array* keys = _plugInBundle->infoDictionary().get("PMPPDKeysSupported").array())
        return *keys;
    return std::nullopt;
}

void LornPDEByCocoa::connectActions() {
    auto on = [](const std::shared_ptr<ui::Button>& button, const char* action,
                 std::function<void()> run) {
        button->setAction(action);
        button->setTarget([run = std::move(run)](ui::Control&) { run(); });
    };
    on(_views.saveFavoriteButton,
       "clickedSaveFavoriteButton:", [this] { clickedSaveFavoriteButton(); });
    on(_views.deleteFavoriteButton,
       "clickedDeleteFavoriteButton:", [this] { clickedDeleteFavoriteButton(); });
    on(_views.jobNameButton, "clickedJobNameButton:", [this] { clickedJobNameButton(); });
    on(_views.showDetailedSettingsButton,
       "clickedShowDetailedSettingsButton:", [this] { clickedShowDetailedSettingsButton(); });
    on(_views.revertToDefaultSettingsButton,
       "clickedRevertToDefaultSettings:", [this] { clickedRevertToDefaultSettings(); });
    on(_views.automaticPaperTraySelectionButton, "clickedSelectPaperTraySelectionButton:", [this] {
        clickedSelectPaperTraySelectionButton(_views.automaticPaperTraySelectionButton->tag());
    });
    on(_views.bypassPaperTraySelectionButton, "clickedSelectPaperTraySelectionButton:", [this] {
        clickedSelectPaperTraySelectionButton(_views.bypassPaperTraySelectionButton->tag());
    });
    _views.favorite->setAction("selectFavorite:");
    _views.favorite->setTarget([this](ui::Control&) { selectFavorite(); });
}

void LornPDEByCocoa::setLocalizedTitles() {
    auto text = [](const char* key) { return BSLocalizedString(key).value_or(""); };
    _views.titleFavorite->setStringValue(text("Favorites:"));
    _views.saveFavoriteButton->setTitle(text("Save..."));
    _views.deleteFavoriteButton->setTitle(text("Delete..."));
    _views.jobNameButton->setTitle(text("Job name..."));
    _views.jobName->setStringValue(text("Auto"));
    _views.showDetailedSettingsButton->setTitle(text("Show Detailed Settings"));
    _views.revertToDefaultSettingsButton->setTitle(text("Revert to Default Settings"));
    _views.automaticPaperTraySelectionButton->setTitle(text("Automatic Tray..."));
}

void LornPDEByCocoa::_buildUi() {
    if (_isIntializedUi)
        return;
    try {
        panelView();
        setLocalizedTitles();
        AppPreference::sharedInstance().buildFavoritePopup(*_views.favorite);
        selectRestoredFavorite();
        auto path = _favorites.currentPath();
        if (!path || path->empty())
            setDeleteButtonEnabled(false);
        _isHiddenNumCopies = _panePlugInMgr->isHiddenNumCopies();
        _isHiddenDuplex = _panePlugInMgr->isHiddenDuplex();
        _isHiddenCollate = _panePlugInMgr->isHiddenCollate();
        buildControls();
        _trayDialogs->build();
        checkDevice();
        updateOutputTrayList();
        updateInputSlotList();
        _isIntializedUi = true;
    } catch (...) {
        // An exception leaves the panel unbuilt; the next show tries again.
        SystemLog::write("###Error: the panel was not built: " + caughtFailure());
    }
}

void LornPDEByCocoa::buildControls() {
    auto settings = _panePlugInMgr->uiSettings();
    static const Dictionary kNoSettings;
    const Dictionary& descriptions = settings ? *settings : kNoSettings;
    if (descriptions.get(kBypassKey).dictionary()) {
        setUpOptionControl(_views.autoTraySettingToBypass, descriptions, kBypassKey);
        _views.bypassPaperTraySelectionButton->setTitle(
            BSLocalizedString("Bypass Tray...").value_or(""));
        _views.bypassPaperTraySelectionButton->setHidden(false);
    }
    for (const auto& [key, control] : _views.optionControls())
        setUpOptionControl(control, descriptions, key);
}

void LornPDEByCocoa::setUpOptionControl(const std::shared_ptr<ZEMAUI>& control,
                                        const Dictionary& settings, const std::string& key) {
    static const Dictionary kNoDescription;
    const Dictionary* description = settings.get(key).dictionary();
    control->setControlDictionary(description ? *description : kNoDescription, _plugInBundle);
    control->setUISettings(_panePlugInMgr->uiSettings());
    control->updateControl();
    _panePlugInMgr->setZemaUiToZemaMgr(control);
}

// The favorite the print settings named before the pop-up was filled: it is selected now, and
// the settings are compared with it once the panel shows them.
void LornPDEByCocoa::selectRestoredFavorite() {
    if (_favoriteToSelect.empty())
        return;
    if (_favorites.selectPath(_favoriteToSelect)) {
        _selectedFavorite = _views.favorite->titleOfSelectedItem();
        _compareWithRestoredFavorite = true;
    }
    _favoriteToSelect.clear();
}

// ---- Device-dependent lists ----

void LornPDEByCocoa::checkDevice() {
    IOTOptionUpdater::Controls controls;
    controls.staple = _views.stapleMode.get();
    controls.punch = _views.punch.get();
    controls.fold = _views.fold.get();
    controls.offset = _views.offsetMode.get();
    IOTOptionUpdater::updateDeviceOptions(controls, std::nullopt, std::nullopt,
                                          _panePlugInMgr->serverLists().getDeviceList());
}

void LornPDEByCocoa::updateOutputTrayList() {
    auto stackers = _panePlugInMgr->serverLists().getStackerInfoList();
    if (!stackers || !stackers->array() || stackers->array()->empty())
        return;
    IOTOptionUpdater::Choices trays;
    IOTOptionUpdater::getOutputTrayArray(trays, *stackers);
    ZEMAUI& control = *_views.outputTray;
    auto remembered = control.getStringValue();
    control.setPopupButtonArray(trays);
    if (!control.updateWithPrintOption()) {
        if (remembered)
            control.setStringValue(remembered);
        else
            control.setDefault();
    }
}

void LornPDEByCocoa::updateInputSlotList() {
    auto feeders = _panePlugInMgr->serverLists().getFeederInfoList();
    if (!feeders || !feeders->array() || feeders->array()->empty())
        return;
    updateInputSlotList(*feeders);
}

void LornPDEByCocoa::updateInputSlotList(const Value& feeders) {
    IOTOptionUpdater::Choices slots;
    IOTOptionUpdater::getInputSlotArray(slots, feeders, {"0"}, {"25"}, true, false);
    IOTOptionUpdater::updateInputSlotZEMAUI(_views.inputSlot.get(), slots);
}

// ---- Showing and hiding ----

void LornPDEByCocoa::willShow() {
    try {
        _buildUi();
        giveCustomPapersToTrayDialogs();
        _panePlugInMgr->willShowAllBundle();
        _updatePaneFromModel();
        if (_compareWithRestoredFavorite) {
            _compareWithRestoredFavorite = false;
            _checkDifferenceFromCurrentFavorite(true);
        }
        hideFavoriteStrip();
        configuringNotification(true);
        _isMyPluginPDE = true;
    } catch (...) {
        // The panel stays not shown.
        SystemLog::write("###Error: the panel was not shown: " + caughtFailure());
    }
}

void LornPDEByCocoa::giveCustomPapersToTrayDialogs() {
    if (auto papers = _panePlugInMgr->serverLists().getPrePostDeviceList())
        _trayDialogs->offerCustomPapers(*papers);
}

// The favorites row is not offered while the panel is shown: its strip is cut off the top.
void LornPDEByCocoa::hideFavoriteStrip() {
    if (!_views.view)
        return;
    _views.favorite->setHidden(true);
    _views.titleFavorite->setHidden(true);
    _views.saveFavoriteButton->setHidden(true);
    ui::View* strip = _views.saveFavoriteButton->superview();
    if (!strip)
        return;
    double cut = _views.saveFavoriteButton->frame().origin.y;
    // What lies in the strip that is cut off cannot be seen any more.
    for (const auto& view : strip->subviews())
        if (view->frame().origin.y >= cut)
            view->setHidden(true);
    strip->setFrameSize({strip->frame().size.width, cut});
}

bool LornPDEByCocoa::shouldHide() {
    _isMyPluginPDE = false;
    return true;
}

void LornPDEByCocoa::configuringNotification(bool observe) {
    NotifyUnit::removeObserver(this);
    if (!observe)
        return;
    for (const auto& key : observedKeys())
        NotifyUnit::addObserver(
            this, [this](const Notification& notification) { keyChangeNotification(notification); },
            key);
    // By name, not for every name: posts nobody listens to (the end-of-change notices) stay
    // cheap for the engine.
    for (const auto& key : _panePlugInMgr->zemaMgr().keywords())
        NotifyUnit::addObserver(
            this, [this](const Notification& notification) { takeEngineChange(notification); },
            key);
    NotifyUnit::addObserver(
        this, [this](const Notification&) { tellDialogDuplex(); },
        NotificationNames::changeFinished("DuplexMode"));
}

// The panel's duplex pop-up and the dialog's two-sided setting are one setting: the PPD's duplex
// choice, which the dialog follows, takes the pop-up's choice once the engine accepted it.
void LornPDEByCocoa::tellDialogDuplex() {
    auto choice = managerValue("DuplexMode");
    if (!choice || !_useConstraintHandling || !_pdePluginCallbackObject)
        return;
    if (_panePlugInMgr->optionNames().isExistsInPpd("Duplex", *choice) &&
        queueOffers("Duplex", *choice))
        _pdePluginCallbackObject->willChangePPDOptionKeyValue("Duplex", *choice);
}

void LornPDEByCocoa::keyChangeNotification(const Notification& notification) {
    if (notification.name.empty() || notification.userInfo.empty() || !_printOption)
        return;
    _gatherValuesFromPane(*_printOption);
    if (_isIntializedUi)
        if (auto sample = managerValue("SamplePrintMode"))
            _printOption->set("SamplePrintMode", Value(*sample));
    _checkDifferenceFromCurrentFavorite(false);
}

// A change may set other options along (cooperation, restored conflicts); the engine announces
// each option it sets, and the dictionary takes the new value, so that saving writes it too.
void LornPDEByCocoa::takeEngineChange(const Notification& notification) {
    if (!_printOption || !_printOption->contains(notification.name))
        return;
    if (auto value = managerValue(notification.name))
        _printOption->set(notification.name, Value(*value));
}

void LornPDEByCocoa::_updatePaneFromModel() {
    if (_printOption)
        _restoreValuesToPane(*_printOption);
    _updateJobNameUI();
}

// ---- Buttons ----

void LornPDEByCocoa::clickedSelectPaperTraySelectionButton(long tag) {
    giveCustomPapersToTrayDialogs();
    _trayDialogs->open(tag, [this] { automaticPapaerTraySelectionDidEnd(); });
}

void LornPDEByCocoa::automaticPapaerTraySelectionDidEnd() {
    if (!_printOption)
        _printOption = Dictionary();
    _gatherValuesFromPane(*_printOption);
    _checkDifferenceFromCurrentFavorite(false);
}

void LornPDEByCocoa::clickedJobNameButton() {
    auto& dialog = JobNameWinController::sharedInstance();
    // The dialog's field holds the escaped form; the shown name would be escaped again.
    dialog.restoreValues(_specificJobNameValue, _escapedJobNameValue);
    if (dialog.showAsModalDialog() != JobNameWinController::kOK)
        return;
    _specificJobNameValue = dialog.specificJobName();
    _escapedJobNameValue = dialog.escapedJobName();
    _jobNameValue = dialog.jobName();
    _updateJobNameUI();
}

void LornPDEByCocoa::_updateJobNameUI() {
    if (!_views.jobName)
        return;
    if (_specificJobNameValue != "Auto" && !_jobNameValue.empty())
        _views.jobName->setStringValue(_jobNameValue);
    else
        _views.jobName->setStringValue(BSLocalizedString("Auto").value_or(""));
}

void LornPDEByCocoa::clickedShowDetailedSettingsButton() {
    configuringNotification(false);
    saveValuesAndReturnError(nullptr);
    _printOption_old = _printOption;
    restoreValuesAndReturnError(nullptr);
    if (!_printOption)
        _printOption = Dictionary();
    _gatherValuesFromPane(*_printOption);
    _panePlugInMgr->values().restorePrintOptionValues(_printOption);
    sendCommand("DeviceLinkFile");
    Dictionary backup = *_printOption;
    _panePlugInMgr->willShowAllBundle();
    if (_detailedSettingsWinController->showAsModalDialog(*_printOption) !=
        DetailedSettingsWinController::kOK) {
        if (_defaultPrintOption)
            _restoreValuesToPane(*_defaultPrintOption);
        _printOption = backup;
        _panePlugInMgr->values().restorePrintOptionValues(_printOption);
        // The panel and the dialog's own settings (copies, tray) show what they showed before
        // the window opened, not the defaults.
        _restoreValuesToPane(*_printOption);
    } else {
        _restoreValuesToPane(*_printOption);
        setCollate(_printOption->get("Collate") == Value("True"));
        _checkDifferenceFromCurrentFavorite(false);
        saveValuesAndReturnError_Fast(nullptr);
    }
    configuringNotification(true);
}

// ---- Save, restore, summary ----

bool LornPDEByCocoa::saveValuesAndReturnError(std::string* error) {
    auto setButtons = [this](bool enabled) {
        if (_views.showDetailedSettingsButton)
            _views.showDetailedSettingsButton->setEnabled(enabled);
        if (_views.automaticPaperTraySelectionButton)
            _views.automaticPaperTraySelectionButton->setEnabled(enabled);
    };
    setButtons(false);
    bool saved = saveValues(&LornPDEByCocoa::_gatherPrintOptionFromUi, error);
    setButtons(true);
    return saved;
}

bool LornPDEByCocoa::passesFinalCheck() {
    auto values = _panePlugInMgr->values().gatherPrintOptionValues(false, 0, false, false, false);
    return !values || _panePlugInMgr->values().isPrintOptionConsistencyCheck(*values);
}

bool LornPDEByCocoa::saveValuesAndReturnError_Fast(std::string* error) {
    return saveValues(&LornPDEByCocoa::_gatherPrintOptionFromUi_Fast, error);
}

// Settings that could not be gathered are not saved, and the print dialog is told why: it must
// not print what the panel shows as though it had been saved.
bool LornPDEByCocoa::saveValues(int (LornPDEByCocoa::*gather)(Ticket*, Dictionary*),
                                std::string* error) {
    std::string reason;
    try {
        int status = (this->*gather)(nullptr, nullptr);
        if (status == kNoErr)
            return true;
        reason = "status " + std::to_string(status);
    } catch (...) {
        reason = caughtFailure();
    }
    SystemLog::write("###Error: the panel's settings were not saved: " + reason);
    if (error)
        *error = "The panel's settings were not saved: " + reason;
    return false;
}

bool LornPDEByCocoa::restoreValuesAndReturnError(std::string* error) {
    // While the panel is shown the dialog's copies field holds what the person typed since the
    // print settings were last saved: that count stays.
    auto typed = _isMyPluginPDE ? getCopies() : std::nullopt;
    bool restored = true;
    try {
        _setDefaults();
        if (_defaultPrintOption)
            _restoreValuesToPane(*_defaultPrintOption);
        restored = _restorePrintOptionToUi(nullptr, nullptr) == kNoErr;
        if (!restored && error)
            *error = "The panel's settings were restored only in part.";
    } catch (...) {
        restored = false;
        std::string reason = caughtFailure();
        SystemLog::write("###Error: the panel's settings were not restored: " + reason);
        if (error)
            *error = "The panel's settings were not restored: " + reason;
    }
    if (typed) {
        setCopies(typed); // the dialog keeps its own count when it cannot take the text
        takeCopiesFromDialog();
        if (auto kept = getCopies())
            _panePlugInMgr->setStringValue(*kept, "NumCopies");
    }
    return restored;
}

// The summary reflects the saved settings: before the panel was ever shown, it is built,
// restored and saved once.
void LornPDEByCocoa::buildForSummary() {
    if (!_isIntializedUi) {
        _buildUi();
        _updatePaneFromModel();
        saveValuesAndReturnError(nullptr);
    }
}

std::optional<Dictionary> LornPDEByCocoa::summaryInfo() {
    buildForSummary();
    return _panePlugInMgr->summary().summaryInfoFromPrintOption(_printOption ? _printOption
                                                                             : _defaultPrintOption);
}

std::vector<SummaryGroup> LornPDEByCocoa::summaryGroups() {
    buildForSummary();
    const auto& options = _printOption ? _printOption : _defaultPrintOption;
    return options ? _panePlugInMgr->summary().summaryGroupsFromPrintOption(*options)
                   : std::vector<SummaryGroup>{};
}

void LornPDEByCocoa::PPDOptionKeyValueDidChange(const std::optional<std::string>& option,
                                                const std::optional<std::string>& choice) {
    if (!option || !choice || !_printOption)
        return;
    // The dialog's two-sided box changed the duplex choice: the pop-up follows as if the person
    // had chosen there, with the press's rules.
    if (*option == "Duplex" && _isIntializedUi && managerValue("DuplexMode") &&
        managerValue("DuplexMode") != *choice) {
        _panePlugInMgr->zemaMgr().validateMainKeyword("DuplexMode", *choice);
        _printOption->set("DuplexMode", Value(*managerValue("DuplexMode")));
        // Refused (the person answered No, or a rule forbids it): the dialog goes back too.
        if (managerValue("DuplexMode") != *choice) {
            tellDialogDuplex();
            return;
        }
    }
    // The dialog names the choice as the queue's PPD does; the panel keeps the press's names.
    auto [pressOption, pressChoice] = queueNames().ofPress(*option, *choice);
    if (!_printOption->contains(pressOption))
        return;
    const PpdFileExt* ppd = _PPD();
    if (!ppd)
        return;
    auto keywords = ppd->optionKeywords(*option);
    if (!keywords || std::find(keywords->begin(), keywords->end(), *choice) == keywords->end())
        return;
    _printOption->set(pressOption, Value(pressChoice));
    takeCopiesFromDialog(); // the model may not have seen the count typed since
    _updatePaneFromModel();
}

const PpdFileExt* LornPDEByCocoa::_PPD() {
    if (!_ppdFile && _useConstraintHandling && _pdePluginCallbackObject)
        if (ppd_file_s* file = _pdePluginCallbackObject->ppdFile())
            _ppdFile = std::make_unique<PpdFileExt>(file);
    return _ppdFile.get();
}

// ---- Small helpers ----

std::optional<std::string> LornPDEByCocoa::managerValue(const std::string& key) const {
    return _panePlugInMgr->getStringValueFromKey(key);
}

void LornPDEByCocoa::setDeleteButtonEnabled(bool enabled) {
    if (_views.deleteFavoriteButton)
        _views.deleteFavoriteButton->setEnabled(enabled);
}

} // namespace velmora
