#pragma once

#include "platform/foundation/Result.h"
#include "platform/printing/JobPackage.h"

#include <string>
#include <vector>

struct ppd_file_s;

namespace velmora {

// Where the embedded sample press keeps its jobs: each job in a folder of its own, job-N under
// the store's folder, holding the job package a queue's device would receive (job.xjmf.zip). The
// folder is the user's alone (0700, the package 0600): a job's ticket holds the press's encoded
// passwords.
class EmbeddedJobStore {
public:
    static constexpr const char* kPackageName = "job.xjmf.zip";

    // A stored job: its number (the N of job-N, which the job is reported by) and its folder.
    struct StoredJob {
        int id = 0;
        std::string folder;
    };

    // Stores one job; the reason when it cannot (and no folder left behind).
    static Result<StoredJob> store(const std::string& folder, const PressTicket& ticket,
                                   const std::vector<JobPackage::Document>& documents,
                                   ppd_file_s* ppd);
};

} // namespace velmora
