#include "platform/printing/EmbeddedJobStore.h"

#include "platform/foundation/FileUtil.h"

#include <filesystem>
#include <set>

namespace velmora {

namespace fs = std::filesystem;

int EmbeddedJobStore::store(const std::string& folder, const std::vector<std::string>& files,
                            const Dictionary& options, std::string& where, std::string& error) {
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
        // A job's options may hold the press's encoded passwords: the folder is the user's.
        fs::permissions(job, fs::perms::owner_all, code);
        // Each document keeps its name; one that another took (two folders' "same.pdf") or
        // that the options take is numbered by its place in the job.
        std::set<std::string> taken{"options.json"};
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::string name = fs::path(files[i]).filename().string();
            std::string given = name;
            for (int n = 0; !taken.insert(name).second; ++n)
                name = std::to_string(i + 1) + (n ? "." + std::to_string(n) : "") + "-" + given;
            if (!fs::copy_file(files[i], job / name, fs::copy_options::none, code)) {
                error = "cannot copy " + files[i] + ": " + code.message();
                fs::remove_all(job, code); // no half-stored job is left behind
                return 0;
            }
        }
        if (!FileUtil::writeFileAtomically((job / "options.json").string(),
                                           Value(options).toJson(2) + "\n", &error,
                                           FileUtil::Readers::OwnerOnly)) {
            fs::remove_all(job, code);
            return 0;
        }
        where = fs::absolute(job).string();
        return id;
    }
    error = "no free job folder in " + folder;
    return 0;
}

} // namespace velmora
