#pragma once

#include "platform/foundation/Result.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

typedef struct _ipp_s ipp_t;

namespace velmora {

class CupsConnection;

// A job the scheduler has not finished, as an operator sees it before release.
struct HeldJob {
    int id = 0;
    std::string queue, title, user;
    // IPP's job state keyword: "pending-held" while it waits for release, "pending",
    // "processing", "completed", ...
    std::string state;
    std::optional<std::int64_t> pages;
    std::string reasons;      // job-state-reasons, joined by ","
    std::int64_t created = 0; // seconds since 1970
    int documents = 0;
    std::string format; // the documents' MIME type
    // The job's attributes as the queue's filters receive them on their command line: integers
    // and enums as numbers, several values joined by ",", and "media-col" as the "media" it
    // stands for ("size,source,type"). Attributes of the scheduler's own (job-id, job-state,
    // time-at-…) are left out.
    Dictionary options;

    // Held for release, and whole: a job whose documents are still arriving is not.
    bool held() const {
        return state == "pending-held" && reasons.find("job-incoming") == std::string::npos;
    }
};

// Jobs waiting in a CUPS queue, set up by an operator before they print: listing them, writing
// settings to a held job, releasing it, fetching its documents, and the queue's default hold
// that makes every application's job wait. Every request goes to the scheduler, which applies
// its own policy: what it refuses is reported with its reason, never worked around.
class HeldJobs {
public:
    explicit HeldJobs(CupsConnection& cups) : _cups(cups) {}

    // The jobs not yet finished on a queue (on every queue when the name is empty) that the
    // scheduler shows this user, oldest first; the reason when it cannot be asked.
    Result<std::vector<HeldJob>> list(const std::string& queue);
    // One job, finished or not; the reason when the scheduler has no such job or does not show
    // it.
    Result<HeldJob> find(int id);
    // Why a job cannot be set up any more (released meanwhile, printing, finished); nothing while
    // it is held.
    static std::optional<std::string> whyNotHeld(const HeldJob& job);

    // Writes options to the job as its attributes (what lp -i JOB -o … sends), after checking
    // that the job is still held. Nothing is sent when a value is one the scheduler would refuse;
    // such options, and those the scheduler refuses, are named in refused (option → reason).
    // Fails with the reason when nothing, or not everything, was written.
    Status write(int id, const Dictionary& options, Dictionary& refused);
    // Lets a held job print.
    Status release(int id);
    // Sets (or clears) the queue's default hold, job-hold-until-default=indefinite, as lpadmin -o
    // does; the scheduler decides who may.
    Status holdNewJobs(const std::string& queue, bool hold);
    // The job's documents, each into a file of the folder (0600), in their order; their paths,
    // or the reason. The scheduler lets only the job's owner and its operators.
    Result<std::vector<std::string>> fetchDocuments(const HeldJob& job, const std::string& folder);

    // The jobs of a scheduler's answer (Get-Jobs, Get-Job-Attributes), as they are read here;
    // attributes of a kind a filter never receives are left out.
    static std::vector<HeldJob> jobsOf(ipp_t* response);

private:
    CupsConnection& _cups;
};

} // namespace velmora
