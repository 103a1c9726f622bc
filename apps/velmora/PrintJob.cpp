// Destinations and job delivery, shared by `velmora print` and the graphical print dialog.
#include "PrintJob.h"

#include "InstallPaths.h"

#include "panel/LornPDEByCocoa.h"
#include "platform/foundation/FileUtil.h"
#include "platform/printing/CupsPrinter.h"
#include "platform/printing/JobOptions.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace velmora::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSampleDeviceURI = "ipp://velmora-press.local/ipp/print";

// The user's cache folder: never a shared one, where another user could plant a link.
std::optional<fs::path> cacheFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        return fs::path(cache);
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return fs::path(home) / ".cache";
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir == '/')
        return fs::path(user->pw_dir) / ".cache";
    return std::nullopt;
}

// A name that stays one plain file name whatever a server or queue is called.
std::string fileNamePart(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        bool plain = std::isalnum(c) || c == '-' || c == '_' || c == '.';
        if (plain && !(c == '.' && out.empty()))
            out += static_cast<char>(c);
        else
            out += "%" + std::string(1, "0123456789ABCDEF"[c >> 4]) + "0123456789ABCDEF"[c & 15];
    }
    return out;
}

// A queue's PPD kept in the user's cache, one copy per scheduler and queue, fetched again only
// when the scheduler's copy changed.
std::optional<CupsConnection::FetchedPpd> cachedPpd(const CupsConnection& cups,
                                                    const std::string& queue, std::string& error) {
    auto base = cacheFolder();
    if (!base) {
        error = "there is no cache folder for the queue's PPD (HOME is not set)";
        return std::nullopt;
    }
    fs::path folder = *base / "velmora/ppd" / fileNamePart(cups.serverName());
    std::error_code code;
    fs::create_directories(folder, code);
    ::chmod(folder.c_str(), 0700);
    CupsConnection::FetchedPpd ppd{(folder / (fileNamePart(queue) + ".ppd")).string(), 0};
    struct stat info {};
    if (::stat(ppd.path.c_str(), &info) == 0)
        ppd.modified = info.st_mtime;
    return ppd;
}

std::string notAVelmoraPress(const std::string& queue, const std::string& why) {
    return "the queue \"" + queue + "\" is not a Velmora press: " + why +
           "; print to it with lp or another application's dialog";
}

// The model a queue's PPD names when the PPD lacks the press's tray option, which every panel of
// the press sets: a driverless or generic queue would be shown the press's trays and sent its
// entries. Nothing when the PPD is the press's.
std::optional<std::string> modelWithoutThePressOptions(const std::string& ppdPath) {
    ppd_file_t* ppd = ppdOpenFile(ppdPath.c_str());
    if (!ppd)
        return std::nullopt; // the fetch has checked that libcups reads it
    std::optional<std::string> model;
    if (!ppdFindOption(ppd, "KVInputSlot"))
        model = ppd->nickname ? ppd->nickname : ppd->modelname ? ppd->modelname : "no model";
    ppdClose(ppd);
    return model;
}

// The snapshot a queue's saved options give, read against the queue's PPD.
Dictionary savedSettings(CupsConnection& cups, const std::string& queue,
                         const std::optional<std::string>& instance, const std::string& ppdPath) {
    ppd_file_t* ppd = ppdOpenFile(ppdPath.c_str());
    Dictionary snapshot = JobOptions::toSnapshot(cups.savedOptions(queue, instance), ppd);
    if (ppd)
        ppdClose(ppd);
    return snapshot;
}

// The job's options as lpoptions keeps them for a queue or one of its instances.
Dictionary storedOptions(const Dictionary& job, const Destination& destination) {
    ppd_file_t* ppd = ppdOpenFile(destination.host.ppdPath.value_or(queuePpd()).c_str());
    Dictionary options =
        JobOptions::toStored(JobOptions::shareable(job), ppd, destination.instance.has_value());
    if (ppd)
        ppdClose(ppd);
    return options;
}

Dictionary jobOptions(const Dictionary& snapshot, const std::string& ppdPath) {
    ppd_file_t* ppd = ppdOpenFile(ppdPath.c_str());
    Dictionary options = JobOptions::fromSnapshot(snapshot, ppd);
    if (ppd)
        ppdClose(ppd);
    return options;
}

// The embedded destination keeps each job in a folder of its own: the documents and the options.
int storeEmbeddedJob(const std::string& folder, const std::vector<std::string>& files,
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
            if (!taken.insert(name).second) {
                name = std::to_string(i + 1) + "-" + name;
                taken.insert(name);
            }
            if (!fs::copy_file(files[i], job / name, fs::copy_options::overwrite_existing, code)) {
                error = "cannot copy " + files[i] + ": " + code.message();
                return 0;
            }
        }
        if (!FileUtil::writeFileAtomically((job / "options.json").string(),
                                           Value(options).toJson(2) + "\n", &error,
                                           FileUtil::Readers::OwnerOnly))
            return 0;
        where = fs::absolute(job).string();
        return id;
    }
    error = "no free job folder in " + folder;
    return 0;
}

} // namespace

Destination embeddedDestination(const PanelOptions& panel) {
    Destination destination;
    destination.host = InMemoryPrintDialog::Options{
        panel.bundle, panel.ppd, "VelmoraPress", std::string(kSampleDeviceURI), true, nullptr};
    return destination;
}

std::optional<Destination> queueDestination(CupsConnection& cups, const std::string& requested,
                                            const PanelOptions& panel, std::string& error,
                                            bool* notAPress) {
    std::string queue = requested.substr(0, requested.find('/'));
    std::optional<std::string> instance;
    if (auto slash = requested.find('/'); slash != std::string::npos)
        instance = requested.substr(slash + 1);
    if (!cups.hasDestination(queue)) {
        error = "there is no queue \"" + queue + "\" on " + cups.serverName();
        return std::nullopt;
    }
    if (instance && !cups.hasInstance(queue, *instance)) {
        error = "the queue \"" + queue + "\" has no instance \"" + *instance + "\"";
        return std::nullopt;
    }
    Destination destination = embeddedDestination(panel);
    destination.embedded = false;
    destination.queue = queue;
    destination.instance = instance;
    auto ppd = cachedPpd(cups, queue, error);
    if (!ppd)
        return std::nullopt;
    bool noPpd = false;
    if (!cups.fetchPpd(queue, *ppd, &error, &noPpd)) {
        if (noPpd)
            error = notAVelmoraPress(queue, "it has no PPD (a raw queue)");
        if (notAPress)
            *notAPress = noPpd;
        return std::nullopt;
    }
    if (auto model = modelWithoutThePressOptions(ppd->path)) {
        error = notAVelmoraPress(queue, "its PPD (" + *model +
                                            ") lacks the press's tray option KVInputSlot");
        if (notAPress)
            *notAPress = true;
        return std::nullopt;
    }
    destination.host.ppdPath = ppd->path;
    destination.host.printerName = queue;
    destination.host.printer = std::make_shared<CupsPrinter>(cups, queue);
    destination.restoreFrom = savedSettings(cups, queue, instance, ppd->path);
    return destination;
}

std::string jobTitle(const LornPDEByCocoa* panel, const std::vector<std::string>& files) {
    if (panel && panel->specificJobNameValue() != "Auto" && !panel->jobNameValue().empty())
        return panel->jobNameValue();
    return files.empty() ? std::string("Untitled") : fs::path(files.front()).filename().string();
}

std::optional<Dictionary> deliverJob(CupsConnection& cups, const Destination& destination,
                                     const Dictionary& snapshot, const JobRequest& request,
                                     std::string& error) {
    Dictionary job = jobOptions(snapshot, destination.host.ppdPath.value_or(queuePpd()));
    Dictionary result{{"destination", Value(destination.displayName())},
                      {"title", Value(request.title)}};
    if (destination.embedded) {
        std::string where;
        int id = storeEmbeddedJob(request.outputDir, request.files, job, where, error);
        if (!id)
            return std::nullopt;
        result.set("job", Value(id));
        result.set("folder", Value(where));
    } else {
        // Options that cannot be saved are said before the job goes: a caller who tries again
        // must not print twice.
        Dictionary stored = request.saveDefaults ? storedOptions(job, destination) : Dictionary();
        if (request.saveDefaults &&
            !cups.canSaveOptions(destination.queue, destination.instance, stored, &error))
            return std::nullopt;
        int id = cups.submitJob(destination.queue, request.title, request.files, job, &error);
        if (!id)
            return std::nullopt;
        result.set("job", Value(id));
        if (request.saveDefaults &&
            !cups.saveOptions(destination.queue, destination.instance, stored, false, &error)) {
            result.set("warning",
                       Value("the job was sent, but its options were not saved: " + error));
            error.clear();
        }
    }
    Array documents;
    for (const auto& file : request.files)
        documents.push_back(Value(fs::absolute(file).string()));
    result.set("documents", Value(std::move(documents)));
    result.set("options", Value(std::move(job)));
    return result;
}

} // namespace velmora::app
