#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What a command job asks the press's filter to do: the server lists of its "ReportLevels"
// commands. The file comes from whoever may print, so only names of the press's lists are taken,
// each once; everything else is told back in a bounded number of log lines, quoted and cut.
class ListRefreshRequest {
public:
    // At most this many lines tell what was skipped; one more says how many others there were.
    static constexpr std::size_t kMaxSkippedLines = 10;

    struct Failure {
        std::string list;
        std::string reason; // may come from the print server
    };

    // The requested lists, in the order first asked for.
    std::vector<std::string> lists;
    // Ready-made filter message lines about skipped commands and names.
    std::vector<std::string> skipped;

    static ListRefreshRequest parse(std::string_view commandFile);

    // What the queue's PPD keeps about lists that could not be refreshed, short enough for one
    // PPD line: "2 of 27 lists failed: Font (reason); DeviceList (reason)", with as many lists
    // as fit and "; ..." when some are left out. Empty when nothing failed.
    static std::string failureSummary(const std::vector<Failure>& failures, std::size_t asked,
                                      std::size_t maxBytes);
};

} // namespace velmora
