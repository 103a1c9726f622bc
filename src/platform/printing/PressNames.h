#pragma once

#include "platform/foundation/Value.h"

#include <map>
#include <string>
#include <utility>

struct ppd_file_s;

namespace velmora {

// The press's own names of what a queue's PPD names for print clients. CUPS reads some options
// only under names of its own (the output bins of "OutputBin", colour as "ColorModel" with "RGB"
// and "Gray", "MediaType") and turns their choices into IPP keywords; the panel, its favorites
// and the settings people saved keep the press's names. The PPD says which of its names stand
// for which of the press's, one attribute each:
//
//     *VelmoraPressName OutputBin: "OutputTray"             the option
//     *VelmoraPressName OutputBin.stacker-1: "Stackertray"  one of its choices
//
// A name the PPD does not list is the same on both sides, so a PPD without these attributes
// (an older queue, another press) takes the press's names as they are.
class PressNames {
public:
    static constexpr const char* kAttribute = "VelmoraPressName";

    // Option keyword and choice.
    using Choice = std::pair<std::string, std::string>;

    PressNames() = default;
    explicit PressNames(ppd_file_s* ppd);

    // The PPD's option for one of the press's, and back.
    std::string optionInPpd(const std::string& pressOption) const;
    std::string optionOfPress(const std::string& ppdOption) const;
    // The PPD's option and choice for one of the press's, and back.
    Choice inPpd(const std::string& pressOption, const std::string& pressChoice) const;
    Choice ofPress(const std::string& ppdOption, const std::string& ppdChoice) const;

    // Options in the PPD's names, whichever names they were saved or sent with: an option of the
    // PPD at one of its choices stays; one the press names that way (saved before the PPD named
    // it for print clients, or given by someone who knows the press) takes the PPD's names,
    // unless the PPD's own option is given as well, which decides; anything else stays as it is.
    Dictionary inPpdNames(const Dictionary& options) const;

    bool renamesAnything() const { return !_pressOfOption.empty() || !_pressOfChoice.empty(); }

private:
    ppd_file_s* _ppd = nullptr;
    std::map<std::string, std::string> _pressOfOption, _ppdOfOption;
    // (PPD option, PPD choice) → press's choice, and (PPD option, press's choice) → PPD choice.
    std::map<Choice, std::string> _pressOfChoice, _ppdOfChoice;

    bool ppdOffers(const Choice& choice) const;
};

} // namespace velmora
