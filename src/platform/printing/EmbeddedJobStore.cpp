#include "platform/printing/EmbeddedJobStore.h"

#include <filesystem>

namespace velmora {

namespace fs = std::filesystem;

Result<EmbeddedJobStore::StoredJob>
EmbeddedJobStore::store(const std::string& folder, const PressTicket& ticket,
                        const std::vector<JobPackage::Document>& documents, ppd_file_s* ppd) {
    std::error_code code;
    fs::create_directories(folder, code);
    for (int id = 1; id < 100000; ++id) {
        fs::path job = fs::path(folder) / ("job-" + std::to_string(id));
        if (!fs::create_directory(job, code)) {
            if (code)
                return Failure{"cannot write into " + folder + ": " + code.message()};
            continue;
        }
        fs::permissions(job, fs::perms::owner_all, code);
        if (auto written = JobPackage::write((job / kPackageName).string(), ticket, documents, ppd);
            !written) {
            fs::remove_all(job, code); // no half-stored job is left behind
            return Failure{written.error()};
        }
        return StoredJob{id, fs::absolute(job).string()};
    }
    return Failure{"no free job folder in " + folder};
}

} // namespace velmora
