#include "platform/printing/EmbeddedJobStore.h"

#include <filesystem>

namespace velmora {

namespace fs = std::filesystem;

int EmbeddedJobStore::store(const std::string& folder, const PressTicket& ticket,
                            const std::vector<JobPackage::Document>& documents, ppd_file_s* ppd,
                            std::string& where, std::string& error) {
    std::error_code code;
    fs::create_directories(folder, code);
    for (int id = 1; id < 100000; ++id) {
        fs::path job = fs::path(folder) / ("job-" + std::to_string(id));
        if (!fs::create_directory(job, code)) {
            if (code) {
                error = "cannot write into " + folder + ": " + code.message();
                return 0;
            }
            continue;
        }
        fs::permissions(job, fs::perms::owner_all, code);
        if (!JobPackage::write((job / kPackageName).string(), ticket, documents, ppd, error)) {
            fs::remove_all(job, code); // no half-stored job is left behind
            return 0;
        }
        where = fs::absolute(job).string();
        return id;
    }
    error = "no free job folder in " + folder;
    return 0;
}

} // namespace velmora
