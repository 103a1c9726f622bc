#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class PaneDirectory;
class PaneOptionNames;

// The summary as a person reads it: by pane, in the panes' order; options that no pane shows
// come last, in a group of their own.
struct SummaryGroup {
    std::string title;
    std::string bundleName; // the pane's bundle; empty for the options no pane shows
    std::vector<std::pair<std::string, std::string>> rows; // option title, choice title
};

// Says a set of option values in the titles a person reads.
class PaneSummary {
public:
    PaneSummary(PaneOptionNames& names, PaneDirectory& panes) : _names(names), _panes(panes) {}

    // Option title → choice title, for every option that has both.
    std::optional<Dictionary> summaryInfoFromPrintOption(const std::optional<Dictionary>& options);
    // Grouped by pane, leaving out options whose control is hidden or disabled (they do not
    // apply as the job is set up). With onlyApplying false, every option a pane shows is listed,
    // whatever the panel's own controls say of it now (settings other than the panel's, such as
    // a favorite's).
    std::vector<SummaryGroup> summaryGroupsFromPrintOption(const Dictionary& options,
                                                           bool onlyApplying = true);
    // One row: the option's title and its choice's; null when either has none.
    std::optional<std::pair<std::string, std::string>> summaryRow(const std::string& key,
                                                                  const Value& value);

private:
    PaneOptionNames& _names;
    PaneDirectory& _panes;
};

} // namespace velmora
