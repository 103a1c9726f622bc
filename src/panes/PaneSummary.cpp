// The summary of a set of option values, in the titles a person reads.
#include "panes/PaneSummary.h"

#include "common/Localization.h"
#include "controls/ZEMAUI.h"
#include "panes/PaneControlServices.h"
#include "panes/PaneDirectory.h"
#include "panes/PaneOptionNames.h"

#include <set>

namespace velmora {

std::optional<Dictionary>
PaneSummary::summaryInfoFromPrintOption(const std::optional<Dictionary>& options) {
    if (!options)
        return std::nullopt;
    Dictionary summary;
    for (const auto& [key, value] : *options)
        if (auto row = summaryRow(key, value))
            summary.set(row->first, row->second);
    return summary;
}

std::optional<std::pair<std::string, std::string>> PaneSummary::summaryRow(const std::string& key,
                                                                           const Value& value) {
    if (value.isNull())
        return std::nullopt;
    auto title = _names.mainAlias(key, nullptr);
    auto choice = _names.optionAlias(PaneControlServices::textOf(value), key, nullptr);
    if (!title || !choice)
        return std::nullopt;
    return std::make_pair(*title, *choice);
}

namespace {

// The option controls of a pane and their child controls, in the order the pane shows them.
void addWithChildren(const std::shared_ptr<ZEMAUI>& control,
                     std::vector<std::shared_ptr<ZEMAUI>>& all) {
    all.push_back(control);
    for (const auto& child : control->childControls())
        addWithChildren(child, all);
}

// A control applies to the job as set up when neither it nor a control it belongs to is hidden
// or disabled (a child of an unticked box, "2 Up" while imposition is off). The view's own
// hidden state counts: a control without an input element of its own (a group's title) calls
// itself hidden, but its children show.
bool applies(const ZEMAUI& control) {
    for (const ui::View* view = &control; view; view = view->superview()) {
        auto* owner = dynamic_cast<const ZEMAUI*>(view);
        if (!owner)
            break;
        if (owner->ui::View::isHidden() || !owner->isEnabled())
            return false;
    }
    return true;
}

} // namespace

std::vector<SummaryGroup> PaneSummary::summaryGroupsFromPrintOption(const Dictionary& options,
                                                                    bool onlyApplying) {
    std::vector<SummaryGroup> groups;
    std::set<std::string> seen, listed;
    // The panes in the order the detailed settings show them.
    const Dictionary* tree = _panes.panesTreeDictionary();
    const Array* items = tree ? tree->get("items").array() : nullptr;
    for (const Value& node : items ? *items : Array()) {
        const Dictionary* description = node.dictionary();
        const std::string* name = description ? description->get("bundleName").string() : nullptr;
        if (!name)
            continue;
        SummaryGroup group{_panes.panelNameOfBundleName(*name).value_or(*name), *name, {}};
        std::vector<std::shared_ptr<ZEMAUI>> controls;
        for (const auto& control :
             PaneControlServices::getZEMAUIControls(_panes.panelViewOfBundleName(*name).get()))
            addWithChildren(control, controls);
        for (const auto& control : controls) {
            const std::string& key = control->mainKeyword();
            if (key.empty() || !options.contains(key))
                continue;
            seen.insert(key);
            // An option shows once, with the first pane that shows it as applying.
            if (listed.contains(key) || (onlyApplying && !applies(*control)))
                continue;
            if (auto row = summaryRow(key, options.get(key))) {
                group.rows.push_back(std::move(*row));
                listed.insert(key);
            }
        }
        if (!group.rows.empty())
            groups.push_back(std::move(group));
    }
    SummaryGroup rest{BSLocalizedStringOrKey("Summary_OtherOptions"), {}, {}};
    for (const auto& [key, value] : options)
        if (!seen.contains(key))
            if (auto row = summaryRow(key, value))
                rest.rows.push_back(std::move(*row));
    if (!rest.rows.empty())
        groups.push_back(std::move(rest));
    return groups;
}

} // namespace velmora
