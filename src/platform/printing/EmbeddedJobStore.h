#pragma once

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

    // Stores one job; its number, with where = its folder, or 0 with the reason (and no folder
    // left behind).
    static int store(const std::string& folder, const PressTicket& ticket,
                     const std::vector<JobPackage::Document>& documents, ppd_file_s* ppd,
                     std::string& where, std::string& error);
};

} // namespace velmora
