#include "device/PdeAutomaticPaperTraySelection.h"

#include "common/ControlHelpers.h"
#include "common/NotificationNames.h"
#include "common/NotifyUnit.h"
#include "controls/ZEMATextField.h"
#include "controls/ZEMAUI.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr const char* kPaperTypeTabbed = "PaperType_MediaTypeTabbed";
constexpr const char* kPaperTypeD = "PaperTypeD";
constexpr const char* kBypassPaperType =
    "PaperTypeBypass_MediaTypeTabbedBypass_MediaTypeCoatingMaterialBypass_"
    "MediaTypePreprintedBypass_MediaTypeDrilledBypass_PaperTypeCustomNumberBypass";
constexpr const char* kUnspecified = "Unspecified";
constexpr const char* kOptionalMedia[] = {"MediaTypeCoatingMaterial", "MediaTypeDrilled",
                                          "MediaTypeGlossFine", "MediaTypePreprinted"};

bool isCustomPaper(const std::string& paperType) {
    return paperType.find("CustomPaper") != std::string::npos;
}

} // namespace

PdeAutomaticPaperTraySelection::PdeAutomaticPaperTraySelection()
    : TDWindowController("AutomaticPaperTraySelection") {}

PdeAutomaticPaperTraySelection::~PdeAutomaticPaperTraySelection() {
    NotifyUnit::removeObserver(this);
}

std::optional<std::string>
PdeAutomaticPaperTraySelection::weightGroupForPaperType(const std::string& paperType) {
    static const std::map<std::string, std::string> groups = {
        {"Uncoated", "Group2"},
        {"UncoatedBack", "Group2"},
        {"Drilled", "Group0"},
        {"StationeryRecycled", "Group1"},
        {"Coated", "Group0"},
        {"CoatedBack", "Group0"},
        {"CastCoated", "Group0"},
        {"MatteCoated", "Group0"},
        {"Emboss", "Group4"},
        {"TabEmboss", "Group4"},
        {"Transparency", kUnspecified},
        {"TackFilm", kUnspecified},
        {"Label", "Group4"},
        {"Film", "Group0"},
        {"TabPaper", "Group4"},
        {"PostCard", "Group4"},
    };
    if (isCustomPaper(paperType))
        return kUnspecified;
    auto found = groups.find(paperType);
    return found == groups.end() ? std::nullopt : std::optional<std::string>(found->second);
}

bool PdeAutomaticPaperTraySelection::initializePanel(std::shared_ptr<Bundle> bundle,
                                                     bool bypassFlag, PanePlugInMgr* callback) {
    _plugInBundle = std::move(bundle);
    _callback = callback;
    _uiFilePath = callback ? callback->getUIFilePath() : std::nullopt;
    _bypassFlag = bypassFlag;
    window(); // loads the interface, which configures the controls
    return true;
}

std::shared_ptr<ui::Window> PdeAutomaticPaperTraySelection::buildWindow() {
    _views = layOutAutomaticPaperTraySelectionWindow();
    _views.close->setAction("clickButtonClose:");
    _views.close->setTarget([this](ui::Control&) { clickButtonClose(); });
    return _views.window;
}

std::string PdeAutomaticPaperTraySelection::localized(const std::string& key) const {
    const std::string* text =
        _plugInBundle ? _plugInBundle->findLocalizedString(key, "Localizable") : nullptr;
    return text ? *text : key;
}

// The manager's file is the manager's dictionary, read once for every pane and window.
std::shared_ptr<const Dictionary> PdeAutomaticPaperTraySelection::readSettings() const {
    if (_callback && _uiFilePath && _uiFilePath == _callback->getUIFilePath())
        if (auto shared = _callback->uiSettings())
            return shared;
    std::optional<std::string> path = _uiFilePath;
    if (!path && _plugInBundle)
        path = _plugInBundle->pathForResource("UI", "plist");
    auto settings = path ? PropertyList::readFile(*path) : std::nullopt;
    Dictionary* dictionary = settings ? settings->dictionary() : nullptr;
    return std::make_shared<const Dictionary>(dictionary ? std::move(*dictionary) : Dictionary());
}

std::shared_ptr<ZEMAUI>
PdeAutomaticPaperTraySelection::configure(const std::shared_ptr<const Dictionary>& settings,
                                          const std::string& key) {
    static const Dictionary kNoDescription;
    const Dictionary* description = settings->get(key).dictionary();
    auto control = std::make_shared<ZEMAUI>(ui::Rect::make(0, 0, 400, 60));
    control->setControlDictionary(description ? *description : kNoDescription, _plugInBundle);
    control->setUISettings(settings);
    control->updateControl();
    _zemauiList[key] = control;
    return control;
}

std::shared_ptr<ZEMAUI>
PdeAutomaticPaperTraySelection::configureFirst(const std::shared_ptr<const Dictionary>& settings,
                                               std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        if (settings->contains(key))
            return configure(settings, key);
    }
    return configure(settings, *(keys.end() - 1));
}

void PdeAutomaticPaperTraySelection::configureAutomatic(
    const std::shared_ptr<const Dictionary>& settings) {
    std::vector<std::shared_ptr<ZEMAUI>> left, right;
    _paperType = configureFirst(settings, {kPaperTypeTabbed, kPaperTypeD});
    left.push_back(_paperType);
    if (settings->contains("PaperTypeCustomName"))
        left.push_back(configure(settings, "PaperTypeCustomName"));
    _sequence = configure(settings, "MediaTypeSequence");
    left.push_back(_sequence);
    _paperColor = configure(settings, "PaperColor");
    left.push_back(_paperColor);
    if (settings->contains("PaperColorCustomName")) {
        _paperColorCustomName = configure(settings, "PaperColorCustomName");
        left.push_back(_paperColorCustomName);
    }
    _weight = configureFirst(settings, {"MediaTypeWeightValue", "MediaTypeWeight"});
    left.push_back(_weight);
    for (const char* key : kOptionalMedia) {
        if (settings->contains(key))
            right.push_back(configure(settings, key));
    }
    window()->setTitle(localized("AutomaticWindowTitle"));
    arrangeAutomaticPaperTraySelection(_views, left, right);
    if (right.empty())
        narrowAutomaticPaperTraySelection(_views);
}

void PdeAutomaticPaperTraySelection::configureBypass(
    const std::shared_ptr<const Dictionary>& settings) {
    _paperType = configure(settings, kBypassPaperType);
    _sequence = configure(settings, "MediaTypeSequenceBypass");
    _paperColor = configure(settings, "PaperColorBypass");
    _weight = configure(settings, "MediaTypeWeightBypass");
    window()->setTitle(localized("BypassWindowTitle"));
    arrangeAutomaticPaperTraySelection(_views, {_paperType, _sequence, _paperColor, _weight}, {});
    narrowAutomaticPaperTraySelection(_views);
}

void PdeAutomaticPaperTraySelection::initCtrl() {
    auto settings = readSettings();
    _zemauiList.clear();
    if (_bypassFlag)
        configureBypass(settings);
    else
        configureAutomatic(settings);
    _views.close->setTitle(localized("close"));
}

void PdeAutomaticPaperTraySelection::setPaperTypeCustomList(
    const std::vector<std::pair<std::string, std::string>>& choices) {
    if (!_paperType)
        return;
    auto remembered = _paperType->getStringValue();
    _paperType->addPopupButtonArray(choices);
    applyPaperTypeRemovals();
    _paperType->setStringValue(remembered);
}

void PdeAutomaticPaperTraySelection::removePaperTypeChoices(
    const std::vector<std::string>& keywords) {
    if (!_paperType || keywords.empty())
        return;
    _removedPaperTypes.insert(_removedPaperTypes.end(), keywords.begin(), keywords.end());
    auto remembered = _paperType->getStringValue();
    applyPaperTypeRemovals();
    bool gone = remembered && std::find(_removedPaperTypes.begin(), _removedPaperTypes.end(),
                                        *remembered) != _removedPaperTypes.end();
    if (gone)
        _paperType->setDefault();
    else
        _paperType->setStringValue(remembered);
}

void PdeAutomaticPaperTraySelection::applyPaperTypeRemovals() {
    if (_removedPaperTypes.empty())
        return;
    std::vector<PopupEntry> offered;
    if (const auto& current = _paperType->popupButtonArray())
        offered = *current;
    else
        for (const auto& choice : _paperType->description().choices())
            if (!choice.text.empty())
                offered.emplace_back(choice.text, choice.choice);
    std::vector<PopupEntry> kept;
    for (const auto& entry : offered)
        if (std::find(_removedPaperTypes.begin(), _removedPaperTypes.end(), entry.second) ==
            _removedPaperTypes.end())
            kept.push_back(entry);
    _paperType->setPopupButtonArray(kept);
}

// The paper type implies a weight group: it goes to the weight pop-up ("MediaTypeWeight"),
// also when the window shows the weight as a number instead, and to every control of that
// option the panel has.
void PdeAutomaticPaperTraySelection::setWeight(const std::string& group) {
    std::string key = _bypassFlag ? "MediaTypeWeightBypass" : "MediaTypeWeight";
    auto shown = _zemauiList.find(key);
    if (shown != _zemauiList.end())
        shown->second->setStringValue(group);
    if (_callback)
        _callback->setStringValue(group, key);
}

void PdeAutomaticPaperTraySelection::modalWindow(std::function<void()> didEnd) {
    auto dialog = window();
    if (!dialog)
        return;
    _parentDidEnd = std::move(didEnd);
    if (_paperType)
        _paperType->popupButtonAction();
    if (_paperColorCustomName && _paperColor)
        _paperColorCustomName->setEnabled(_paperColor->getStringValue() == "StkCustom");
    _lastPaperTypeDValue = _paperType ? _paperType->getStringValue() : std::nullopt;
    NotifyUnit::removeObserver(this);
    NotifyUnit::addObserver(
        this, [this](const Notification&) { changePaperTypeDButton(); },
        NotificationNames::kPaperTypeChanged);
    if (_lastPaperTypeDValue && isCustomPaper(*_lastPaperTypeDValue))
        setWeight(kUnspecified);
    ui::Application::shared().runModalForWindow(*dialog);
}

void PdeAutomaticPaperTraySelection::changePaperTypeDButton() {
    if (!_paperType)
        return;
    std::string value = _paperType->getStringValue().value_or("");
    if (isCustomPaper(value)) {
        setWeight(kUnspecified);
    } else if (value != _lastPaperTypeDValue) {
        if (auto group = weightGroupForPaperType(value))
            setWeight(*group);
    }
    _lastPaperTypeDValue = value;
}

void PdeAutomaticPaperTraySelection::clickButtonClose() {
    auto dialog = window();
    if (!dialog)
        return;
    dialog->endEditingFor(nullptr);
    dialog->orderOut();
    if (_parentDidEnd)
        _parentDidEnd();
    dialog->close();
    ui::Application::shared().stopModalWithCode(ui::kModalResponseStop);
}

std::string PdeAutomaticPaperTraySelection::controlText(const std::string& key) const {
    auto found = _zemauiList.find(key);
    if (found == _zemauiList.end())
        return {};
    if (auto field = found->second->textField())
        return field->stringValue();
    return found->second->getStringValue().value_or("");
}

Dictionary PdeAutomaticPaperTraySelection::getTextFieldStringDictionary() const {
    Dictionary texts;
    if (_bypassFlag) {
        texts.set("MediaTypeSequenceBypass", controlText("MediaTypeSequenceBypass"));
        return texts;
    }
    texts.set("MediaTypeSequence", controlText("MediaTypeSequence"));
    for (const char* key :
         {"PaperTypeCustomName", "PaperColorCustomName", "MediaTypeWeightValue",
          "MediaTypePreprinted", "MediaTypeCoatingMaterial", "MediaTypeDrilled"}) {
        if (_zemauiList.count(key))
            texts.set(key, controlText(key));
    }
    return texts;
}

} // namespace velmora
