#pragma once

#include "platform/foundation/Value.h"

#include <string>
#include <vector>

namespace velmora {

// Where the embedded sample press keeps its jobs: each job in a folder of its own, job-N under
// the store's folder, holding the documents and options.json. The folder is the user's alone
// (0700, options 0600): a job's options may hold the press's encoded passwords.
class EmbeddedJobStore {
public:
    // Stores one job; its number, with where = its folder, or 0 with the reason. A document
    // whose name another document of the job (or options.json) took is stored as "N-name", N
    // its place in the job.
    static int store(const std::string& folder, const std::vector<std::string>& files,
                     const Dictionary& options, std::string& where, std::string& error);
};

} // namespace velmora
