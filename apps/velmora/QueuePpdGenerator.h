#pragma once

#include <optional>
#include <string>

namespace velmora::app {

// The parts of a press's queue PPD that follow from its plug-in bundle, so that every print
// client sees the press as the panel does:
//   - the options in groups named like the panel's panes, in the panes' order, and the groups'
//     texts in each language the PPD declares (*cupsLanguages) from the panes' own titles;
//   - the press's rules from the UI settings: a conflict between two plain choices as a pair of
//     *UIConstraints, a conflict of more choices as *cupsUIConstraints, and the choices the panel
//     turns to (a conflict the person may resolve) as its *cupsUIResolver. The printing system's
//     duplex and input slot, which follow the press's own, get the same rules.
// Each part sits between its marker lines in the PPD; the rest of the PPD is kept as it is.
class QueuePpdGenerator {
public:
    static constexpr const char* kGroupsBegin = "*% ==== Options by pane (velmora queue-ppd) ====";
    static constexpr const char* kGroupsEnd = "*% ==== End of the options by pane ====";
    static constexpr const char* kRulesBegin = "*% ==== Rules (velmora queue-ppd) ====";
    static constexpr const char* kRulesEnd = "*% ==== End of the rules ====";
    static constexpr const char* kTextsBegin = "*% ==== Group texts (velmora queue-ppd) ====";
    static constexpr const char* kTextsEnd = "*% ==== End of the group texts ====";

    struct Result {
        std::string ppd;
        int constraints = 0; // *UIConstraints lines and *cupsUIConstraints
        int resolvers = 0;
        int skippedRules = 0; // rules no PPD choice can state (numbers, ranges, custom values)
    };

    // The PPD (its text and a file libcups reads) regenerated from the bundle; null with the
    // reason when a marker is missing or the bundle cannot be read.
    static std::optional<Result> generate(const std::string& ppdPath, const std::string& bundlePath,
                                          std::string& error);
};

} // namespace velmora::app
