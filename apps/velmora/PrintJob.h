#pragma once

#include "PanelSession.h"

#include "platform/printing/JobDelivery.h"

#include <string>
#include <vector>

namespace velmora {
class LornPDEByCocoa;
}

namespace velmora::app {

using Destination = JobDelivery::Destination;
using JobRequest = JobDelivery::Request;
inline constexpr const char* kEmbeddedDestinationName = JobDelivery::kEmbeddedDestinationName;

// The embedded sample press with the panel options' bundle and PPD.
inline Destination embeddedDestination(const PanelOptions& panel) {
    return JobDelivery::embedded(panel.bundle, panel.ppd);
}
// A CUPS queue with the panel options' bundle (see JobDelivery::queue).
inline Result<Destination> queueDestination(CupsConnection& cups, const std::string& queue,
                                            const PanelOptions& panel, bool* notAPress = nullptr) {
    return JobDelivery::queue(cups, queue, panel.bundle, notAPress);
}
inline Result<Dictionary> deliverJob(CupsConnection& cups, const Destination& destination,
                                     const Dictionary& snapshot, const JobRequest& request) {
    return JobDelivery::deliver(cups, destination, snapshot, request);
}

// What a job is called: the job name the panel was given, else the first document's name.
std::string jobTitle(const LornPDEByCocoa* panel, const std::vector<std::string>& files);
// What a held job is called once set up: the job name the panel was given, else its title.
std::string heldJobTitle(const LornPDEByCocoa* panel, const std::string& title);

} // namespace velmora::app
