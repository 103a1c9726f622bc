// What a job from the panel is called; where it goes and how is the printing layer's
// (JobDelivery).
#include "PrintJob.h"

#include "panel/LornPDEByCocoa.h"

#include <filesystem>

namespace velmora::app {

std::string jobTitle(const LornPDEByCocoa* panel, const std::vector<std::string>& files) {
    if (panel && panel->specificJobNameValue() != "Auto" && !panel->jobNameValue().empty())
        return panel->jobNameValue();
    return files.empty() ? std::string("Untitled")
                         : std::filesystem::path(files.front()).filename().string();
}

} // namespace velmora::app
