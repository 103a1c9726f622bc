#include "platform/printing/SheetPlanner.h"

#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/Value.h"
#include "platform/printing/PpdTranslation.h"
#include "platform/printing/PressTicket.h"

namespace velmora {

SheetPlanner::SheetPlanner(const std::optional<std::string>& ppdPath) : _ppd(ppdPath) {
    // The defaults are read in the press's keywords, before the names are translated.
    _defaults = PressTicket::optionsOfJob(_ppd.get(), Dictionary());
    if (_ppd.get() && ppdPath)
        PpdTranslation::readFile(*ppdPath, PreferredLanguages::first()).applyTo(_ppd.get());
}

SheetPlan SheetPlanner::plan(const std::map<std::string, std::string>& choices) const {
    std::map<std::string, std::string> options = _defaults;
    for (const auto& [option, choice] : choices)
        options[option] = choice;
    return SheetPlan::of(options, _ppd.get());
}

} // namespace velmora
