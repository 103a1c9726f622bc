#pragma once

#include "PanelSession.h"

#include "platform/foundation/Value.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/InMemoryPrintDialog.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {
class LornPDEByCocoa;
}

namespace velmora::app {

inline constexpr const char* kEmbeddedDestinationName = "VelmoraPress (embedded)";

// Where a job goes: a CUPS queue (its PPD fetched into the user's cache, its saved options to
// start from) or the embedded sample press.
struct Destination {
    bool embedded = true;
    std::string queue;
    std::optional<std::string> instance; // QUEUE/INSTANCE of the user's lpoptions
    InMemoryPrintDialog::Options host;
    std::optional<Dictionary> restoreFrom;

    std::string displayName() const {
        if (embedded)
            return kEmbeddedDestinationName;
        return instance ? queue + "/" + *instance : queue;
    }
};

// The embedded sample press with the panel options' bundle and PPD.
Destination embeddedDestination(const PanelOptions& panel);
// A CUPS queue of a connected scheduler ("QUEUE", or "QUEUE/INSTANCE" for an instance the user
// saved); null with the reason when it is not there or its PPD cannot be fetched. notAPress
// tells a queue that is there but is not a Velmora press (a raw queue, another printer's PPD).
std::optional<Destination> queueDestination(CupsConnection& cups, const std::string& queue,
                                            const PanelOptions& panel, std::string& error,
                                            bool* notAPress = nullptr);

// What a job is called: the job name the panel was given, else the first document's name.
std::string jobTitle(const LornPDEByCocoa* panel, const std::vector<std::string>& files);

struct JobRequest {
    std::vector<std::string> files;
    std::string title;
    std::string outputDir = "velmora-jobs";
    bool saveDefaults = false;
};

// Sends the job with the settings the panel saved (a settings snapshot): to the queue, or into
// a folder of its own under the output folder for the embedded press. The result says where it
// went: {"destination", "title", "job", ["folder"], "documents", "options"}.
std::optional<Dictionary> deliverJob(CupsConnection& cups, const Destination& destination,
                                     const Dictionary& snapshot, const JobRequest& request,
                                     std::string& error);

} // namespace velmora::app
