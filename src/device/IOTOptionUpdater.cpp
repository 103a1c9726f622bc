#include "device/IOTOptionUpdater.h"

#include "platform/foundation/SystemLog.h"

#include <algorithm>
#include <set>

namespace velmora {
namespace {

// The feeder number a press reports for its interposer.
constexpr const char* kInterposerFeeder = "9";

// One entry of a device list as its two strings; null (with a log line) when it is not one.
std::optional<std::pair<std::string, std::string>> entryOf(const Value& entry, const char* list,
                                                           std::size_t index) {
    const Array* pair = entry.array();
    if (pair && pair->size() == 2 && (*pair)[0].isString() && (*pair)[1].isString())
        return std::make_pair(*(*pair)[0].string(), *(*pair)[1].string());
    SystemLog::format("###IOT: %s entry %zu skipped: not two strings", list, index);
    return std::nullopt;
}

// The entries of a list, the malformed ones left out; an absent list or another value has none.
std::vector<std::pair<std::string, std::string>> entriesOf(const Value& input, const char* list) {
    std::vector<std::pair<std::string, std::string>> entries;
    const Array* array = input.array();
    if (!array) {
        if (!input.isNull())
            SystemLog::format("###IOT: %s is not a list", list);
        return entries;
    }
    for (std::size_t i = 0; i < array->size(); ++i) {
        if (auto entry = entryOf((*array)[i], list, i))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

// Appends a choice once: a pop-up cannot offer the same keyword twice.
void appendChoice(IOTOptionUpdater::Choices& result, const IOTOptionUpdater::Choice& choice) {
    for (const auto& present : result) {
        if (present.second == choice.second) {
            SystemLog::write("###IOT: " + choice.second + " reported twice");
            return;
        }
    }
    result.push_back(choice);
}

void appendFromTable(IOTOptionUpdater::Choices& result, const IOTOptionUpdater::Table& table,
                     const std::string& number) {
    auto found = table.find(number);
    if (found != table.end())
        appendChoice(result, found->second);
}

void fill(IOTOptionUpdater::Groups& keyDevices, IOTOptionUpdater::Groups& keyOptions,
          IOTOptionUpdater::Groups devices, IOTOptionUpdater::Groups options) {
    keyDevices = std::move(devices);
    keyOptions = std::move(options);
}

std::optional<std::string> selectedKeyword(ZEMAUI& control) {
    auto value = control.getStringValue();
    if (value && value->empty())
        return std::nullopt;
    return value;
}

// Puts the remembered keyword back, or the default when there was none (or it is gone).
void reselect(ZEMAUI& control, const std::optional<std::string>& remembered) {
    auto offered = control.popupButtonArray();
    bool stillOffered = remembered && offered &&
                        std::any_of(offered->begin(), offered->end(),
                                    [&](const PopupEntry& e) { return e.second == *remembered; });
    if (remembered && (stillOffered || !offered))
        control.setStringValue(remembered);
    else
        control.setDefault();
}

// The staple control holds corner and edge modes joined with their mechanism
// ("TopLeftCornerUseStaple"): a mode the device cannot staple goes in every joined form.
IOTOptionUpdater::Groups withStapleMechanisms(const IOTOptionUpdater::Groups& keyOptions) {
    IOTOptionUpdater::Groups expanded;
    for (const auto& group : keyOptions) {
        std::vector<std::string> keywords;
        for (const auto& keyword : group)
            keywords.insert(keywords.end(),
                            {keyword, keyword + "UseStaple", keyword + "Stapleless"});
        expanded.push_back(std::move(keywords));
    }
    return expanded;
}

} // namespace

// ---- Tables ----

void IOTOptionUpdater::getInputSlotDict(Table& table, bool isInputSlot, bool hasTrayInterposer) {
    table = {
        {"0", {"自動選択", isInputSlot ? "AutoSelect" : "TrayAuto"}},
        {"5", {"手差しトレイ", isInputSlot ? "Manual" : "TrayMSI"}},
        {"1", {"トレイ1", "Tray1"}},
        {"2", {"トレイ2", "Tray2"}},
        {"3", {"トレイ3", "Tray3"}},
        {"4", {"トレイ4", "Tray4"}},
        {"7", {"トレイ6", "Tray6"}},
        {"8", {"トレイ7", "Tray7"}},
        {"11", {"トレイ8", "Tray8"}},
        {"12", {"トレイ9", "Tray9"}},
        {"14", {"トレイA1_1", "TrayA1_1"}},
        {"15", {"トレイA1_2", "TrayA1_2"}},
        {"16", {"トレイA2_1", "TrayA2_1"}},
        {"17", {"トレイA2_2", "TrayA2_2"}},
        {"20", {"ジョブ設定を使用", "TrayJobSameTray"}},
        {"25", {"メディア", "TrayStk"}},
        {"27", {"システム設定に従う", "TraySystemSetting"}},
    };
    if (hasTrayInterposer)
        table["9"] = {"インターポーザー", "TrayInterposer"};
}

void IOTOptionUpdater::getOutputTrayDict(Table& table) {
    table = {
        {"2", {"自動選択", "Auto"}},
        {"5", {"Top Tray", "Toptray"}},
        {"6", {"スタッカートレイ", "Stackertray"}},
        {"8", {"スタッカートレイ2", "Stackertray2"}},
        {"9", {"スタッカートレイ(自動切替え)", "Autochange"}},
        {"12", {"外部フィニッシャー", "Documentfinishing"}},
        {"13", {"スタッカー排出トレイ", "Stackertoptray"}},
        {"14", {"フィニッシャートレイ", "D3finishertray"}},
        {"15", {"フィニッシャー排出トレイ", "D3finishertoptray"}},
        {"16", {"スタッカー排出トレイ2", "Stackertoptray2"}},
        {"26", {"バイパストランスポート", "BypassTransport"}},
        {"24", {"BIN", "Bin"}},
        {"25", {"PDL設定に従う", "Pdl"}},
    };
}

void IOTOptionUpdater::getDstTypeMap(std::map<std::string, std::string>& map) {
    map = {{"9", "6"},  {"10", "8"}, {"16", "12"}, {"4", "13"},
           {"6", "14"}, {"3", "15"}, {"5", "16"},  {"17", "26"}};
}

void IOTOptionUpdater::getStapleOptionsWithKeyDevices(Groups& keyDevices, Groups& keyOptions) {
    fill(keyDevices, keyOptions,
         {{"singleTop", "singleBottom"},
          {"doubleStitch"},
          {"saddleFoldStaple"},
          {"singleStitch"},
          {"quadStitch"}},
         {{"TopLeftCorner", "TopRightCorner", "BottomLeftCorner", "BottomRightCorner",
           "MixSizeCorner"},
          {"TopEdge", "BottomEdge", "LeftEdge", "RightEdge", "MixSizeEdge"},
          {"SaddleInside", "SaddleOutside", "Saddle"},
          {"TopCenter", "BottomCenter", "LeftCenter", "RightCenter"},
          {"TopEdge4", "BottomEdge4", "LeftEdge4", "RightEdge4"}});
}

void IOTOptionUpdater::getPunchOptionsWithKeyDevices(Groups& keyDevices, Groups& keyOptions) {
    fill(keyDevices, keyOptions,
         {{"doublePunch", "usDoublePunch"},
          {"triplePunch"},
          {"quadPunch"},
          {"a4CoilPunch", "letterPunch", "isoCoilPunch", "ansiCoilPunch"}},
         {{"LeftHoles2", "RightHoles2", "TopHoles2", "BottomHoles2", "MixSizeHoles2"},
          {"LeftHoles3", "RightHoles3", "TopHoles3", "BottomHoles3", "MixSizeHoles3"},
          {"LeftHoles4", "RightHoles4", "TopHoles4", "BottomHoles4", "MixSizeHoles4"},
          {"LeftHolesMulti", "RightHolesMulti", "TopHolesMulti", "BottomHolesMulti"}});
}

void IOTOptionUpdater::getFoldOptionsWithKeyDevices(Groups& keyDevices, Groups& keyOptions) {
    fill(keyDevices, keyOptions, {{"saddleFoldNoStaple"}, {"zFold"}, {"triFoldC"}, {"triFoldZ"}},
         {{"BifoldInside", "BifoldOutside", "Bifold"},
          {"ZfoldRightBind", "ZfoldLeftBind", "MixSizeZfold"},
          {"C_TrifoldInside", "C_TrifoldOutside"},
          {"Z_TrifoldInside", "Z_TrifoldOutside"}});
}

void IOTOptionUpdater::getCreaseModeOptionsWithKeyDevices(Groups& keyDevices, Groups& keyOptions) {
    fill(
        keyDevices, keyOptions, {{"creaserFoldAbility"}, {"specifiedPositionCreaseAbility"}},
        {{"SaddleFold", "CTriFold", "ZTriFold", "ZFoldRightBind", "ZFoldLeftBind", "DoubleGateFold",
          "ParallelFold", "3LineAccordionFold", "4LineAccordionFold", "5LineAccordionFold"},
         {"Custom"}});
}

// ---- Choices ----

void IOTOptionUpdater::getInputSlotArray(Choices& result, const Value& input,
                                         const std::vector<std::string>& preKey,
                                         const std::vector<std::string>& suffKey, bool isInputSlot,
                                         bool hasTrayInterposer) {
    Table table;
    getInputSlotDict(table, isInputSlot, hasTrayInterposer);
    for (const auto& number : preKey)
        appendFromTable(result, table, number);
    auto feeders = entriesOf(input, "feeder list");
    bool reportsTray1 = std::any_of(feeders.begin(), feeders.end(),
                                    [](const auto& entry) { return entry.first == "1"; });
    // Tray 1 is always there: in its reported place, or right after the leading choices.
    if (!reportsTray1)
        appendFromTable(result, table, "1");
    for (const auto& [number, key] : feeders) {
        if (table.count(number))
            appendFromTable(result, table, number);
        else if (number == kInterposerFeeder && !hasTrayInterposer)
            continue; // the press's interposer, known, and not a source of the job's paper here
        else
            SystemLog::write("###IOT: feeder " + number + " is not known");
    }
    for (const auto& number : suffKey)
        appendFromTable(result, table, number);
}

void IOTOptionUpdater::getInputSlotArray(Choices& result, const Value& input,
                                         const std::vector<std::string>& preKey,
                                         const std::vector<std::string>& suffKey,
                                         bool hasTrayInterposer) {
    getInputSlotArray(result, input, preKey, suffKey, false, hasTrayInterposer);
}

void IOTOptionUpdater::getOutputTrayArray(Choices& result, const Value& input) {
    Table table;
    getOutputTrayDict(table);
    std::map<std::string, std::string> types;
    getDstTypeMap(types);
    appendFromTable(result, table, "2");
    bool sawStacker9 = false;
    for (const auto& [type, key] : entriesOf(input, "stacker list")) {
        auto mapped = types.find(type);
        if (mapped == types.end()) {
            SystemLog::write("###IOT: stacker type " + type + " is not known");
            continue;
        }
        appendFromTable(result, table, mapped->second);
        if (type == "9")
            sawStacker9 = true;
        else if (type == "10" && sawStacker9)
            appendFromTable(result, table, "9");
    }
}

// ---- Devices ----

std::optional<IOTOptionUpdater::DeviceDict>
IOTOptionUpdater::convertArrayToDict(const Value& input) {
    if (!input.isArray()) {
        if (!input.isNull())
            SystemLog::write("###IOT: device list is not a list");
        return std::nullopt;
    }
    DeviceDict devices;
    for (const auto& [value, key] : entriesOf(input, "device list"))
        devices[key] = value;
    return devices;
}

bool IOTOptionUpdater::isEnableWithDict(const DeviceDict* deviceDict,
                                        const std::vector<std::string>& keys) {
    if (!deviceDict || deviceDict->empty())
        return false;
    return std::any_of(keys.begin(), keys.end(), [&](const std::string& key) {
        auto found = deviceDict->find(key);
        return found != deviceDict->end() && found->second == "true";
    });
}

bool IOTOptionUpdater::updatePopupButtonComponent(ZEMAUI* control, const DeviceDict* deviceDict,
                                                  const Groups* keyDevices,
                                                  const Groups* keyOptions) {
    if (!control)
        return false;
    if (!deviceDict || !keyDevices || !keyOptions) {
        control->setHidden(true);
        return false;
    }
    bool supported = false;
    std::vector<std::string> removals;
    for (std::size_t i = 0; i < keyDevices->size(); ++i) {
        if (isEnableWithDict(deviceDict, (*keyDevices)[i]))
            supported = true;
        else if (i < keyOptions->size())
            removals.insert(removals.end(), (*keyOptions)[i].begin(), (*keyOptions)[i].end());
    }
    if (!supported) {
        control->setHidden(true);
        return false;
    }
    control->setHidden(false);
    updatePopupButtonComponent(control, removals);
    return true;
}

void IOTOptionUpdater::updatePopupButtonComponent(ZEMAUI* control,
                                                  const std::vector<std::string>& removeItems) {
    if (!control || removeItems.empty())
        return;
    // The control rebuilds its choices from its description on every removal: choices removed
    // before are named again so that they stay removed.
    std::vector<std::string> removals = removeItems;
    if (const auto& offered = control->popupButtonArray()) {
        std::set<std::string> present;
        for (const auto& entry : *offered)
            present.insert(entry.second);
        for (const auto& choice : control->description().choices())
            if (!present.count(choice.choice))
                removals.push_back(choice.choice);
    }
    auto remembered = selectedKeyword(*control);
    control->removePopupButtonArray(removals);
    reselect(*control, remembered);
}

void IOTOptionUpdater::updateInputSlotZEMAUI(ZEMAUI* control, const Choices& array) {
    if (!control || array.empty())
        return;
    auto remembered = selectedKeyword(*control);
    control->setPopupButtonArray(array);
    if (!control->updateWithPrintOption())
        reselect(*control, remembered);
}

bool IOTOptionUpdater::hasStapleForTCBMWithDevice(const DeviceDict* deviceDict) {
    return isEnableWithDict(deviceDict, {"saddleFoldStaple"});
}

bool IOTOptionUpdater::isFoldForTCBM(const DeviceDict* deviceDict) {
    return isEnableWithDict(deviceDict, {"saddleFoldNoStaple"});
}

bool IOTOptionUpdater::isDocumentfinishing(const Choices& choices) {
    return std::any_of(choices.begin(), choices.end(),
                       [](const Choice& choice) { return choice.second == "Documentfinishing"; });
}

// ---- The panel's sequence ----

void IOTOptionUpdater::updateDeviceOptions(const Controls& controls,
                                           const std::optional<Value>& feeders,
                                           const std::optional<Value>& stackers,
                                           const std::optional<Value>& devices) {
    if (feeders && feeders->array() && !feeders->array()->empty()) {
        Choices slots;
        getInputSlotArray(slots, *feeders, {"0"}, {"25"}, true, false);
        updateInputSlotZEMAUI(controls.inputSlot, slots);
    }
    if (stackers && stackers->array() && !stackers->array()->empty()) {
        Choices trays;
        getOutputTrayArray(trays, *stackers);
        updateInputSlotZEMAUI(controls.outputTray, trays);
    }
    auto deviceDict = devices ? convertArrayToDict(*devices) : std::nullopt;
    const DeviceDict* dict = deviceDict ? &*deviceDict : nullptr;
    Groups keyDevices, keyOptions;
    getStapleOptionsWithKeyDevices(keyDevices, keyOptions);
    keyOptions = withStapleMechanisms(keyOptions);
    updatePopupButtonComponent(controls.staple, dict, &keyDevices, &keyOptions);
    getPunchOptionsWithKeyDevices(keyDevices, keyOptions);
    updatePopupButtonComponent(controls.punch, dict, &keyDevices, &keyOptions);
    getFoldOptionsWithKeyDevices(keyDevices, keyOptions);
    updatePopupButtonComponent(controls.fold, dict, &keyDevices, &keyOptions);
    if (controls.offset)
        controls.offset->setHidden(!isEnableWithDict(dict, {"offset"}));
}

} // namespace velmora
