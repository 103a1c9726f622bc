#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

class PaneDirectory;
class PaneOptionNames;
class ZEMAMgr;

// The values of all options at once, as the panel, the windows and the favorites give and take
// them; the engine keeps them, the panes show them.
class PaneValues {
public:
    PaneValues(ZEMAMgr& engine, PaneOptionNames& names, PaneDirectory& panes)
        : _engine(engine), _names(names), _panes(panes) {}

    // The values as the panes first set them, captured once until forgetDefaults.
    Dictionary defaultSettings();
    void forgetDefaults() { _defaultDictionary.reset(); }
    // Every option's value; null when the server's settings are used instead.
    std::optional<Dictionary> gatherPrintOptionValues(bool values, int fileType,
                                                      bool useServerSetting,
                                                      bool sameSettingForNext,
                                                      bool unifiedFileType);
    // False when a pane failed while the values were given to it (the log and an alert say why).
    bool restorePrintOptionValues(const std::optional<Dictionary>& values);
    // Throws std::logic_error when no pane is loaded.
    void updateEnabledStates(int fileType, bool unifiedFileType, bool useServerSetting,
                             bool sameSettingForNext);
    static bool isEnable(bool values, int fileType, bool useServerSetting, bool sameSettingForNext,
                         bool unifiedFileType);

    // The choice the panel starts with for key; "CMYK1" reads as "CMYK2" where the PPD has it.
    std::optional<std::string> selectedOptionKeyword(const std::string& key);
    // True when the values may be printed as they are; otherwise one alert lists every problem.
    bool isPrintOptionConsistencyCheck(const Dictionary& options);
    static int checkPageRangeForSpecialToner(const std::string& range);

private:
    ZEMAMgr& _engine;
    PaneOptionNames& _names;
    PaneDirectory& _panes;
    std::optional<Dictionary> _defaultDictionary;
};

} // namespace velmora
