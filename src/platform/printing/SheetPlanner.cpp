#include "platform/printing/SheetPlanner.h"

namespace velmora {

SheetPlanner::SheetPlanner(const std::optional<std::string>& ppdPath)
    : SheetPlanner(ppdPath ? DestinationPpd::open(*ppdPath) : nullptr) {}

SheetPlanner::SheetPlanner(std::shared_ptr<const DestinationPpd> ppd) : _ppd(std::move(ppd)) {}

SheetPlan SheetPlanner::plan(const std::map<std::string, std::string>& choices) const {
    std::map<std::string, std::string> options;
    if (_ppd)
        options = _ppd->defaults();
    for (const auto& [option, choice] : choices)
        options[option] = choice;
    return SheetPlan::of(options, ppd());
}

} // namespace velmora
