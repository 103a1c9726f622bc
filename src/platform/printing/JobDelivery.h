#pragma once

#include "platform/foundation/Result.h"
#include "platform/foundation/Value.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/InMemoryPrintDialog.h"
#include "platform/printing/SheetPlan.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Where a job goes, and sending it there: shared by every front end that prints.
class JobDelivery {
public:
    static constexpr const char* kEmbeddedDestinationName = "VelmoraPress (embedded)";
    static constexpr const char* kSampleDeviceURI = "ipp://velmora-press.local/ipp/print";

    // A CUPS queue (its PPD fetched into the user's cache, its saved options to start from) or
    // the embedded sample press.
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

    struct Request {
        std::vector<std::string> files;
        std::string title;
        std::string outputDir = "velmora-jobs";
        bool saveDefaults = false;
        // A queue's job waits for release (job-hold-until=indefinite); otherwise it prints at
        // once, also on a queue that holds every new job, since velmora's jobs were set up
        // before they were sent.
        bool held = false;
    };

    // The embedded sample press with a plug-in bundle and PPD.
    static Destination embedded(const std::string& bundle, const std::string& ppd);
    // A CUPS queue of a connected scheduler ("QUEUE", or "QUEUE/INSTANCE" for an instance the
    // user saved); the reason when it is not there or its PPD cannot be fetched. notAPress tells
    // a queue that is there but is not a Velmora press (a raw queue, another printer's PPD).
    static Result<Destination> queue(CupsConnection& cups, const std::string& requested,
                                     const std::string& bundle, bool* notAPress = nullptr);

    // Sends the job with the settings the panel saved (a settings snapshot) as the press's job
    // package (the ticket with every option, and the documents, which must be PDF): to the
    // queue, whose job attributes get the options without passwords, or into a folder of its own
    // under the output folder for the embedded press. The result says where it went:
    // {"destination", "title", "job", ["folder", "package"], "documents", "options" (passwords
    // shown as "********"), ["warning"]}. What can be checked (saved options that would be
    // refused, documents that are not PDF) is checked before the job goes; a failure after it
    // went is a warning. The reason when the job did not go.
    static Result<Dictionary> deliver(CupsConnection& cups, const Destination& destination,
                                      const Dictionary& snapshot, const Request& request);
    // How the press will lay out and finish the job the settings snapshot describes: read from
    // the same options its ticket gives the press, so that a preview and the press agree.
    static SheetPlan sheetPlan(const Destination& destination, const Dictionary& snapshot);
};

} // namespace velmora
