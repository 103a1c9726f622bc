// The panel's side of the print settings: gathering its controls and every pane into the print
// option dictionary and writing it out as PPD choices and entries of its own, reading it back,
// and the host dialog's copies and collate controls.

#include "panel/LornPDEByCocoa.h"

#include "common/Localization.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMAUI.h"
#include "device/PdeAutomaticPaperTraySelection.h"
#include "panel/DetailedSettingsWinController.h"
#include "panel/OptionText.h"
#include "panel/PanelTrayDialogs.h"
#include "platform/foundation/CaughtFailure.h"
#include "platform/foundation/ScopedValue.h"
#include "platform/foundation/SystemLog.h"
#include "platform/foundation/UnicodeText.h"
#include "platform/printing/PDEPlugInCallback.h"
#include "platform/printing/PrintSettings.h"
#include "platform/printing/Ticket.h"
#include "platform/ui/Button.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "ppd/PpdFile.h"
#include "ppd/PrintOptionConverter.h"
#include "validation/StringEscapeConverter.h"

namespace velmora {
namespace {

using optiontext::setIfValue;
using optiontext::textOf;

constexpr const char* kBypassKey = PanelTrayDialogs::kBypassKey;

// The frames at which print dialogs put their copies field.
const ui::Rect kCopiesFrames[] = {ui::Rect::make(95, 4, 70, 22), ui::Rect::make(95, 4, 50, 22),
                                  ui::Rect::make(101, 4, 60, 22), ui::Rect::make(92, 4, 60, 22)};

bool sameFrame(const ui::Rect& a, const ui::Rect& b) {
    return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width &&
           a.size.height == b.size.height;
}

bool matchesHostControl(const ui::View& view, const std::string& key) {
    if (key == "Collate" || key == "DuplexMode") {
        auto* button = dynamic_cast<const ui::Button*>(&view);
        const char* action = key == "Collate" ? "collatedSelected:" : "twoSidedSelected:";
        return button && button->action() == action;
    }
    if (key == "NumCopies") {
        if (!dynamic_cast<const ui::TextField*>(&view))
            return false;
        for (const auto& frame : kCopiesFrames)
            if (sameFrame(view.frame(), frame))
                return true;
    }
    return false;
}

} // namespace

// ---- Ticket access ----

std::map<std::string, std::string> LornPDEByCocoa::pressChoices() {
    // The panel's own settings, then the engine's values, which are the newer while the detailed
    // settings window is open (the panel takes them only on OK).
    Dictionary options = _printOption ? *_printOption : Dictionary();
    if (auto live = _panePlugInMgr->values().gatherPrintOptionValues(false, 0, false, false, false))
        for (const auto& [key, value] : *live)
            options.set(key, value);
    PrintOptionConverter::convertToCanonicalPpdKeyword(options, true);
    std::map<std::string, std::string> choices;
    for (const auto& [key, value] : options) {
        if (value.isNull())
            continue;
        auto [option, choice] = queueNames().inPpd(
            key, PanelFavoritesPopUp::stringFromBooleanIfNeed(value).stringValue());
        choices[option] = choice;
    }
    return choices;
}

void LornPDEByCocoa::removedObjectByGatheringPrintOption(const std::string& keyword) {
    _ticketEntries.customSetString(nullptr, keyword, std::nullopt);
}

// ---- The panel's controls ↔ a dictionary ----

void LornPDEByCocoa::_gatherValuesFromPane(Dictionary& options) {
    if (!_isIntializedUi)
        return;
    bool bypass = _trayDialogs->gather(options);
    if (options.contains(kBypassKey))
        _views.bypassPaperTraySelectionButton->setEnabled(!bypass);
    options.set("PagePrintOnCenter", Value(managerValue("PagePrintOnCenter") == "True"));
    setIfValue(options, "ColorMode", managerValue("ColorMode"));
    options.set("SpotColorCorrection", Value(managerValue("SpotColorCorrection") == "True"));
    options.set("CmykAdjustmentSpotColor",
                Value(managerValue("CmykAdjustmentSpotColor") == "True"));
    for (const char* key : {"StapleMode_StapleMechanism", "Punch_PunchHoles", "Fold", "OutputTray",
                            "OffsetMode", "KVInputSlot"})
        setIfValue(options, key, managerValue(key));
    setIfValue(options, "NumCopies", getCopies());
    setIfValue(options, "Collate", getCollate());
    setIfValue(options, "DuplexMode", managerValue("DuplexMode"));
}

void LornPDEByCocoa::setManagerValue(const Dictionary& options, const std::string& key) {
    _panePlugInMgr->setStringValue(textOf(options.find(key)), key);
}

void LornPDEByCocoa::_restoreValuesToPane(const Dictionary& options) {
    if (!_isIntializedUi)
        return;
    bool bypass = _trayDialogs->restore(options);
    if (options.contains(kBypassKey))
        _views.bypassPaperTraySelectionButton->setEnabled(!bypass);
    const Value* center = options.find("PagePrintOnCenter");
    _panePlugInMgr->setStringValue(center && center->boolValue() ? "True" : "False",
                                   "PagePrintOnCenter");
    setManagerValue(options, "ColorMode");
    for (const char* key :
         {"StapleMode_StapleMechanism", "Punch_PunchHoles", "Fold", "OutputTray"}) {
        setManagerValue(options, key);
        _panePlugInMgr->zemaMgr().updateOldValue(key);
    }
    for (const char* key : {"OffsetMode", "KVInputSlot", "DuplexMode"})
        setManagerValue(options, key);
    if (_isMyPluginPDE)
        restoreHostControls(options);
}

// While the panel is shown the dialog's copies and input tray follow the restored values.
void LornPDEByCocoa::restoreHostControls(const Dictionary& options) {
    setCopies(textOf(options.find("NumCopies")));
    setKVInputSlot(textOf(options.find("KVInputSlot")));
    setManagerValue(options, "NumCopies");
    setManagerValue(options, "KVInputSlot");
    if (!_printOption)
        return;
    for (const char* key : {"NumCopies", "InputSlot"})
        if (const Value* value = _printOption->find(key); value && !value->isNull())
            _setValueToPpdDictionary(nullptr, nullptr, key,
                                     PanelFavoritesPopUp::stringFromBooleanIfNeed(*value));
}

// ---- The dialog's own controls ----

void LornPDEByCocoa::takeCopiesFromDialog() {
    if (auto copies = getCopies(); copies && _printOption)
        _printOption->set("NumCopies", Value(*copies));
}

ui::Window* LornPDEByCocoa::hostWindow() const {
    return _views.view ? _views.view->window() : nullptr;
}

ui::Control* LornPDEByCocoa::getCocoaPDEsControl(ui::View* view, const std::string& key) const {
    if (!view)
        return nullptr;
    for (const auto& sub : view->subviews()) {
        if (matchesHostControl(*sub, key))
            return static_cast<ui::Control*>(sub.get());
        // Plain views and boxes are searched; other kinds hold no dialog controls.
        ui::View* inside = nullptr;
        if (sub->className() == "NSView" || sub->className() == "NSBox")
            inside = sub.get();
        if (ui::Control* found = getCocoaPDEsControl(inside, key))
            return found;
    }
    return nullptr;
}

std::optional<std::string> LornPDEByCocoa::getCopies() {
    if (_isHiddenNumCopies)
        return std::nullopt;
    ui::Window* window = hostWindow();
    ui::Control* field =
        window ? getCocoaPDEsControl(window->contentView().get(), "NumCopies") : nullptr;
    if (!field)
        return std::nullopt;
    return field->stringValue();
}

void LornPDEByCocoa::setCopies(const std::optional<std::string>& copies) {
    if (_isHiddenNumCopies || !copies)
        return;
    ui::Window* window = hostWindow();
    ui::Control* field =
        window ? getCocoaPDEsControl(window->contentView().get(), "NumCopies") : nullptr;
    if (!field)
        return;
    field->setStringValue(*copies);
    field->sendAction();
}

std::optional<std::string> LornPDEByCocoa::getCollate() {
    if (_isHiddenCollate || !_pdePluginCallbackObject)
        return std::nullopt;
    PrintSettings* settings = _pdePluginCallbackObject->printSettings();
    if (!settings)
        return std::nullopt;
    return settings->collate() ? "True" : "False";
}

void LornPDEByCocoa::setCollate(bool collate) {
    if (_isHiddenCollate || !_pdePluginCallbackObject)
        return;
    if (PrintSettings* settings = _pdePluginCallbackObject->printSettings())
        settings->setCollate(collate);
    ui::Window* window = hostWindow();
    ui::Control* box =
        window ? getCocoaPDEsControl(window->contentView().get(), "Collate") : nullptr;
    if (auto* button = dynamic_cast<ui::Button*>(box)) {
        button->setState(collate ? 1 : 0);
        button->sendAction();
    }
}

void LornPDEByCocoa::setKVInputSlot(const std::optional<std::string>& slot) {
    if (!slot || !_pdePluginCallbackObject)
        return;
    if (PrintSettings* settings = _pdePluginCallbackObject->printSettings())
        settings->setValue("KVInputSlot", Value(*slot));
}

// ---- Save ----

int LornPDEByCocoa::_gatherPrintOptionFromUi(Ticket* ticket, Dictionary* ppdDictionary) {
    return gatherPrintOption(ticket, ppdDictionary, false);
}

int LornPDEByCocoa::_gatherPrintOptionFromUi_Fast(Ticket* ticket, Dictionary* ppdDictionary) {
    return gatherPrintOption(ticket, ppdDictionary, true);
}

int LornPDEByCocoa::gatherPrintOption(Ticket* ticket, Dictionary* ppdDictionary, bool fast) {
    writeCustomTicketEntries(ticket);
    if (!_printOption)
        _printOption = Dictionary();
    completeFromPanes();
    _gatherValuesFromPane(*_printOption);
    PrintOptionConverter::convertToCanonicalPpdKeyword(*_printOption, true);
    Dictionary canonical = *_printOption;
    for (const auto& [key, stored] : canonical) {
        if (stored.isNull())
            continue;
        Value value = stored;
        if (!fast && key == "UserName" && value.string())
            value = Value(UnicodeText::normalizeNFC(*value.string()));
        value = PanelFavoritesPopUp::stringFromBooleanIfNeed(value);
        if (fast && isUnchangedSinceSnapshot(key, value.stringValue()))
            continue;
        _setValueToPpdDictionary(ticket, ppdDictionary, key, value);
    }
    PrintOptionConverter::convertToInternalPpdKeyword(*_printOption);
    if (ppdDictionary)
        for (const auto& key : ppdDictionary->keys())
            if (!_printOption->contains(queueNames().optionOfPress(key)))
                ppdDictionary->remove(key);
    return _checkUIConstraint(ticket, ppdDictionary);
}

void LornPDEByCocoa::writeCustomTicketEntries(Ticket* ticket) {
    _ticketEntries.customSetString(ticket, std::string("ZRSpecificJobName"), _specificJobNameValue);
    _ticketEntries.customSetString(ticket, std::string("JobName"), _escapedJobNameValue);
    if (_views.favorite) {
        std::optional<std::string> favorite;
        if (auto item = _views.favorite->selectedItem())
            if (const std::string* path = item->representedObject().string();
                path && !path->empty())
                favorite = *path;
        if (favorite) {
            _ticketEntries.customSetString(ticket, std::string("FavoriteName"), favorite);
        } else {
            // The default item names no favorite: the entry of a favorite the person moved off
            // goes, or the next session would start from it again. One the pop-up does not
            // list (a file of another machine) is kept as it was.
            std::optional<std::string> stored;
            if (_ticketEntries.customGetString(ticket, std::string("FavoriteName"), &stored) ==
                    kNoErr &&
                stored && !stored->empty() &&
                _views.favorite->indexOfItemWithRepresentedObject(
                    Value(PanelTicketEntries::unescape(*stored))) >= 0)
                _ticketEntries.customSetString(ticket, std::string("FavoriteName"), std::nullopt);
        }
    }
    _ticketEntries.customSetString(ticket, std::string("ProfilePath"), _selectedProfilePath);
}

// Every pane's values fill what the dictionary lacks; the manager knows the panel meanwhile.
void LornPDEByCocoa::completeFromPanes() {
    _panePlugInMgr->setDelegate(this);
    struct ClearDelegate {
        PanePlugInMgr* manager;
        ~ClearDelegate() { manager->setDelegate(nullptr); }
    } clear{_panePlugInMgr};
    _detailedSettingsWinController->reformatPrintOption(*_printOption);
}

// A comparison that cannot be made counts as a change.
bool LornPDEByCocoa::isUnchangedSinceSnapshot(const std::string& key,
                                              const std::string& value) const {
    if (!_printOption_old)
        return false;
    const Value* old = _printOption_old->find(key);
    if (!old)
        return false;
    if (const std::string* text = old->string())
        return UnicodeText::equalIgnoringCase(*text, value);
    if (old->isNumber() || old->isBoolean())
        return UnicodeText::equalIgnoringCase(old->boolValue() ? "True" : "False", value);
    return false;
}

void LornPDEByCocoa::_setValueToPpdDictionary(Ticket* ticket, Dictionary* ppdDictionary,
                                              const std::string& optionKeyword,
                                              const Value& value) {
    std::string choice = value.stringValue();
    // The queue's PPD may name the option or choice for print clients (an IPP output bin).
    auto [queueOption, queueChoice] = queueNames().inPpd(optionKeyword, choice);
    if (_panePlugInMgr->optionNames().isExistsInPpd(optionKeyword, choice) &&
        queueOffers(optionKeyword, choice)) {
        _willChangePPDOptionKeyValue(queueOption, queueChoice, ppdDictionary);
        std::optional<std::string> stored;
        if (_ticketEntries.customGetString(ticket, optionKeyword, &stored) == kNoErr && stored)
            removedObjectByGatheringPrintOption(optionKeyword);
        return;
    }
    _ticketEntries.customSetString(ticket, optionKeyword, choice);
    if (_panePlugInMgr->optionNames().isExistsInPpd(optionKeyword, std::nullopt) &&
        queueOffers(optionKeyword, std::nullopt)) {
        if (_defaultPrintOption)
            if (auto fallback = textOf(_defaultPrintOption->find(optionKeyword))) {
                auto named = queueNames().inPpd(optionKeyword, *fallback);
                _willChangePPDOptionKeyValue(named.first, named.second, ppdDictionary);
            }
    } else if (ppdDictionary) {
        ppdDictionary->remove(queueOption);
    }
}

// The queue's own PPD may lack what the press's bundle PPD has (another model, an older driver);
// what the queue cannot take as a choice is kept as an entry of the panel's own.
bool LornPDEByCocoa::queueOffers(const std::string& option,
                                 const std::optional<std::string>& choice) {
    const PpdFileExt* queue = _useConstraintHandling ? _PPD() : nullptr;
    if (!queue || !queue->handle())
        return true;
    if (!choice)
        return queue->isExists(queueNames().optionInPpd(option));
    auto [queueOption, queueChoice] = queueNames().inPpd(option, *choice);
    return queue->isExists(queueOption, queueChoice);
}

const PressNames& LornPDEByCocoa::queueNames() {
    if (!_queueNames)
        _queueNames =
            PressNames(_pdePluginCallbackObject ? _pdePluginCallbackObject->ppdFile() : nullptr);
    return *_queueNames;
}

std::optional<std::string> LornPDEByCocoa::queueChoiceOf(const PpdFileExt* queue,
                                                         const Dictionary* ppdDictionary,
                                                         const std::string& option) {
    std::string queueOption = queueNames().optionInPpd(option);
    std::optional<std::string> choice;
    if (ppdDictionary)
        choice = textOf(ppdDictionary->find(queueOption));
    else if (queue)
        if (auto marked = queue->findMarkedChoice(queueOption))
            choice = marked->stringValue();
    if (!choice)
        return std::nullopt;
    return queueNames().ofPress(queueOption, *choice).second;
}

void LornPDEByCocoa::_willChangePPDOptionKeyValue(const std::string& option,
                                                  const std::string& choice,
                                                  Dictionary* ppdDictionary) {
    if (ppdDictionary) {
        ppdDictionary->set(option, Value(choice));
        return;
    }
    if (_useConstraintHandling)
        _pdePluginCallbackObject->willChangePPDOptionKeyValue(option, choice);
}

int LornPDEByCocoa::_checkUIConstraint(Ticket* ticket, Dictionary* ppdDictionary) {
    std::optional<std::string> duplex;
    std::int32_t duplexing = 0;
    if (_ticketEntries.getSInt32(ticket, PrintSettings::kDuplexingKey, &duplexing) == kNoErr) {
        if (duplexing == PrintSettings::kDuplexNoTumble)
            duplex = "DuplexNoTumble";
        else if (duplexing == PrintSettings::kDuplexTumble)
            duplex = "DuplexTumble";
        else if (duplexing == PrintSettings::kDuplexNone)
            duplex = "None";
    }
    std::optional<std::string> mediaType;
    if (_useConstraintHandling)
        mediaType = queueChoiceOf(_PPD(), nullptr, "ZRMediaType");
    else if (ppdDictionary)
        mediaType = queueChoiceOf(nullptr, ppdDictionary, "ZRMediaType");
    Dictionary answer = _panePlugInMgr->resloveConflictAlertDuplex(duplex, mediaType, 1);
    return answer.contains("alert") ? kConflictErr : kNoErr;
}

void LornPDEByCocoa::_setDefaults() {
    Dictionary defaults = _panePlugInMgr->values().defaultSettings();
    if (defaults.empty())
        return;
    _defaultPrintOption = defaults;
    _printOption = std::move(defaults);
}

// ---- Restore ----

int LornPDEByCocoa::_restorePrintOptionToUi(Ticket* ticket, Dictionary* ppdDictionary) {
    int status = kNoErr;
    try {
        const PpdFileExt* ppd = _useConstraintHandling ? _PPD() : nullptr;
        if (!_printOption)
            _printOption = Dictionary();
        PrintOptionConverter::convertToCanonicalPpdKeyword(*_printOption, true);
        for (const auto& key : _printOption->keys()) {
            std::optional<std::string> stored;
            if (_ticketEntries.customGetString(ticket, key, &stored) == kNoErr && stored)
                _printOption->set(key, Value(PanelTicketEntries::unescape(*stored)));
            else if (auto choice = queueChoiceOf(ppd, ppdDictionary, key))
                _printOption->set(key, Value(*choice));
        }
        PrintOptionConverter::convertToInternalPpdKeyword(*_printOption);
        if (!_panePlugInMgr->values().restorePrintOptionValues(_printOption))
            status = kParamErr;
    } catch (...) {
        // What could not be read stays as it was; the panel's own entries follow, and the caller
        // is told.
        SystemLog::write("###Error: the print settings were restored only in part: " +
                         caughtFailure());
        status = kParamErr;
    }
    restoreTicketEntries(ticket);
    _updateJobNameUI();
    if (_printOption)
        _restoreValuesToPane(*_printOption);
    _checkDifferenceFromCurrentFavorite(true);
    return status;
}

void LornPDEByCocoa::restoreTicketEntries(Ticket* ticket) {
    std::optional<std::string> stored;
    if (_ticketEntries.customGetString(ticket, std::string("ZRSpecificJobName"), &stored) ==
            kNoErr &&
        stored)
        _specificJobNameValue = PanelTicketEntries::unescape(*stored);
    stored.reset();
    // The job name comes back in the job name dialog's own escaped form; what the label shows
    // is that form unescaped.
    if (_ticketEntries.customGetString(ticket, std::string("JobName"), &stored) == kNoErr &&
        stored) {
        _escapedJobNameValue = PanelTicketEntries::unescape(*stored);
        _jobNameValue = StringEscapeConverter::standardConverter(IsJapanesePreferred())
                            .unEscape(_escapedJobNameValue);
    }
    stored.reset();
    if (_ticketEntries.customGetString(ticket, std::string("FavoriteName"), &stored) == kNoErr &&
        stored) {
        std::string path = PanelTicketEntries::unescape(*stored);
        if (!path.empty() && _favorites.selectPath(path))
            selectFavorite();
        else if (!_isIntializedUi)
            _favoriteToSelect = path; // the pop-up is filled when the panel is built
    }
    stored.reset();
    if (_ticketEntries.customGetString(ticket, std::string("ProfilePath"), &stored) == kNoErr &&
        stored)
        _selectedProfilePath = PanelTicketEntries::unescape(*stored);
}

// ---- Revert to default ----

void LornPDEByCocoa::clickedRevertToDefaultSettings() {
    if (!_defaultPrintOption)
        return;
    auto changed = _panePlugInMgr->zemaMgr().setStringValueWithRestoreConfliction(
        "OutputTray", _defaultPrintOption->get("OutputTray").stringValue());
    _restoreValuesToPane(*_defaultPrintOption);
    _panePlugInMgr->setStringValue(std::string("None"), "DuplexMode");
    setCollate(true);
    if (!_printOption)
        _printOption = Dictionary();
    _gatherValuesFromPane(*_printOption);
    if (changed)
        for (const auto& key : *changed)
            setIfValue(*_printOption, key, managerValue(key));
    _checkDifferenceFromCurrentFavorite(true);
}

} // namespace velmora
