#pragma once

#include "platform/foundation/Result.h"
#include "platform/foundation/Value.h"
#include "platform/printing/HeldJobs.h"
#include "platform/printing/JobDelivery.h"

#include <optional>
#include <string>

namespace velmora {

// A held job set up in the panel: the destination the panel opens on (the job's queue, with the
// job's options as its starting settings), and the panel's settings written to the job.
class HeldJobUpdate {
public:
    // The job's queue with the job's options as the settings to restore; the reason when the
    // job is not held or its queue is not a Velmora press.
    static Result<JobDelivery::Destination> destination(CupsConnection& cups, const HeldJob& job,
                                                        const std::string& bundle);

    struct Request {
        HeldJob job;       // as it was when the panel opened on it
        std::string title; // the job's name from now on
        bool release = true;
    };

    // Writes the settings the panel saved (a settings snapshot) to the job and releases it,
    // unless asked to keep it held. Only what the person changed is written: what differs from
    // the job as the panel opened on it (request.job), so that what someone else changed
    // meanwhile and the person left alone stays. A job
    // no longer held (released, printing or ended meanwhile) is left alone, and so is one whose
    // settings the scheduler refuses: refused then names each refused option with the reason.
    //
    // Passwords and PINs never become job attributes: a job set up with one is sent again as
    // the press's job package (its documents fetched from the scheduler, the password inside);
    // so is a job velmora sent as a package, whose settings the press takes from the package,
    // held until the held job is cancelled, then released as asked. When the scheduler does not
    // let the held job be cancelled, the copy is withdrawn and nothing is changed.
    //
    // The result: {"job", "queue", "title", "written" (the options written, passwords shown as
    // "********"), "released", "state"}, with "replaces" (the held job's id) when it was sent
    // again, and "warning" for a failure after the job was changed; the reason when nothing was
    // changed.
    static Result<Dictionary> apply(CupsConnection& cups,
                                    const JobDelivery::Destination& destination,
                                    const Dictionary& snapshot, const Request& request,
                                    Dictionary& refused);
};

} // namespace velmora
