#pragma once

#include "platform/printing/DestinationPpd.h"
#include "platform/printing/SheetPlan.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

// The sheet plans of one destination, its PPD read once: what a preview asks for on every change
// of the settings. The PPD's option and choice names are in the person's language where it has
// them (the trays are shown by name); the choices given are read in the press's own keywords.
class SheetPlanner {
public:
    explicit SheetPlanner(const std::optional<std::string>& ppdPath);
    // On a PPD read for the dialog already: its marks are left alone.
    explicit SheetPlanner(std::shared_ptr<const DestinationPpd> ppd);
    SheetPlanner(const SheetPlanner&) = delete;
    SheetPlanner& operator=(const SheetPlanner&) = delete;

    // The plan of the press's choices (as PressTicket::optionsOfJob gives them, or a panel's
    // pressChoices()); the PPD's defaults stand for the options they name none of.
    SheetPlan plan(const std::map<std::string, std::string>& choices) const;
    // The PPD the plans are read against; null when there is none.
    ppd_file_t* ppd() const { return _ppd ? _ppd->get() : nullptr; }

private:
    std::shared_ptr<const DestinationPpd> _ppd;
};

} // namespace velmora
