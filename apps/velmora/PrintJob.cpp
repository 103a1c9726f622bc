// What a job from the panel is called; where it goes and how is the printing layer's
// (JobDelivery).
#include "PrintJob.h"

#include "panel/LornPDEByCocoa.h"

#include <filesystem>

namespace velmora::app {

namespace {

bool namedInThePanel(const LornPDEByCocoa* panel) {
    return panel && panel->specificJobNameValue() != "Auto" && !panel->jobNameValue().empty();
}

} // namespace

std::string jobTitle(const LornPDEByCocoa* panel, const std::vector<std::string>& files) {
    if (namedInThePanel(panel))
        return panel->jobNameValue();
    return files.empty() ? std::string("Untitled")
                         : std::filesystem::path(files.front()).filename().string();
}

std::string heldJobTitle(const LornPDEByCocoa* panel, const std::string& title) {
    return namedInThePanel(panel) ? panel->jobNameValue() : title;
}

} // namespace velmora::app
