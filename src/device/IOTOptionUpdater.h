#pragma once

#include "controls/ZEMAUI.h"
#include "platform/foundation/Value.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Turns what the press reports about its attached devices (feeders, stackers, finishers) into
// the choices of the paper source, output tray and finishing options, and applies them to the
// option controls. Device lists arrive as arrays of two-string entries, value first, key second.
// Entries that are not two strings, numbers nobody knows and repeated trays are left out with
// a log line: what is offered is always a list a person can pick from.
class IOTOptionUpdater {
public:
    // [display text, option keyword]
    using Choice = PopupEntry;
    using Choices = std::vector<Choice>;
    using Table = std::map<std::string, Choice>;
    using DeviceDict = std::map<std::string, std::string>;
    using Groups = std::vector<std::vector<std::string>>;

    static void getInputSlotArray(Choices& result, const Value& input,
                                  const std::vector<std::string>& preKey,
                                  const std::vector<std::string>& suffKey, bool isInputSlot,
                                  bool hasTrayInterposer);
    static void getInputSlotArray(Choices& result, const Value& input,
                                  const std::vector<std::string>& preKey,
                                  const std::vector<std::string>& suffKey,
                                  bool hasTrayInterposer);
    static void getInputSlotDict(Table& table, bool isInputSlot, bool hasTrayInterposer);
    static void getOutputTrayArray(Choices& result, const Value& input);
    static void getOutputTrayDict(Table& table);
    static void getDstTypeMap(std::map<std::string, std::string>& map);

    static void getStapleOptionsWithKeyDevices(Groups& keyDevices, Groups& keyOptions);
    static void getPunchOptionsWithKeyDevices(Groups& keyDevices, Groups& keyOptions);
    static void getFoldOptionsWithKeyDevices(Groups& keyDevices, Groups& keyOptions);
    static void getCreaseModeOptionsWithKeyDevices(Groups& keyDevices, Groups& keyOptions);

    // Null for an absent (or non-array) list.
    static std::optional<DeviceDict> convertArrayToDict(const Value& input);
    static bool isEnableWithDict(const DeviceDict* deviceDict, const std::vector<std::string>& keys);

    static bool updatePopupButtonComponent(ZEMAUI* control, const DeviceDict* deviceDict,
                                           const Groups* keyDevices, const Groups* keyOptions);
    static void updatePopupButtonComponent(ZEMAUI* control,
                                           const std::vector<std::string>& removeItems);
    static void updateInputSlotZEMAUI(ZEMAUI* control, const Choices& array);

    static bool hasStapleForTCBMWithDevice(const DeviceDict* deviceDict);
    static bool isFoldForTCBM(const DeviceDict* deviceDict);
    static bool isDocumentfinishing(const Choices& choices);

    // The panel's sequence while it builds its controls: input slot, output tray, finishing.
    struct Controls {
        ZEMAUI* inputSlot = nullptr;
        ZEMAUI* outputTray = nullptr;
        ZEMAUI* staple = nullptr;
        ZEMAUI* punch = nullptr;
        ZEMAUI* fold = nullptr;
        ZEMAUI* offset = nullptr;
    };
    static void updateDeviceOptions(const Controls& controls, const std::optional<Value>& feeders,
                                    const std::optional<Value>& stackers,
                                    const std::optional<Value>& devices);
};

} // namespace velmora
