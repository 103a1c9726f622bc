// velmora print: one print dialog session on a CUPS queue (or the embedded sample press), then
// the job is submitted with exactly the settings the panel saved.
#include "Command.h"
#include "PanelSession.h"

#include "panel/LornPDEByCocoa.h"
#include "platform/foundation/FileUtil.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/CupsPrinter.h"
#include "platform/printing/JobOptions.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace velmora::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSampleDeviceURI = "ipp://velmora-press.local/ipp/print";

struct PrintOptions {
    PanelOptions panel;
    std::vector<std::string> files;
    std::string queue, outputDir = "velmora-jobs";
    bool saveDefaults = false, embedded = false;
};

constexpr const char* kUsage = "usage: velmora print FILE... [-d QUEUE] [--save-defaults] "
                               "[--output-dir DIR] [--embedded]\n"
                               "         %s\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "velmora print: %s\n", message.c_str());
    return 1;
}

std::optional<PrintOptions> parse(const std::vector<std::string>& arguments) {
    PrintOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        auto panel = parsePanelOption(arguments, i, options.panel);
        if (panel == OptionParse::Bad)
            return std::nullopt;
        if (panel == OptionParse::Taken)
            continue;
        if ((arg == "-d" || arg == "--output-dir") && i + 1 < arguments.size())
            (arg == "-d" ? options.queue : options.outputDir) = arguments[++i];
        else if (arg == "--save-defaults")
            options.saveDefaults = true;
        else if (arg == "--embedded")
            options.embedded = true;
        else if (!arg.empty() && arg[0] != '-')
            options.files.push_back(arg);
        else
            return std::nullopt;
    }
    if (options.files.empty() || !panelOptionsComplete(options.panel) ||
        (options.embedded && !options.queue.empty()))
        return std::nullopt;
    return options;
}

// A queue's PPD kept in the user's cache, fetched again only when the scheduler's copy changed.
CupsConnection::FetchedPpd cachedPpd(const std::string& queue) {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    fs::path folder = cache && *cache ? fs::path(cache) : fs::path(home ? home : "/tmp") / ".cache";
    folder /= "velmora/ppd";
    std::error_code code;
    fs::create_directories(folder, code);
    CupsConnection::FetchedPpd ppd{(folder / (queue + ".ppd")).string(), 0};
    struct stat info {};
    if (::stat(ppd.path.c_str(), &info) == 0)
        ppd.modified = info.st_mtime;
    return ppd;
}

// The snapshot a queue's saved options give, read against the queue's PPD.
Dictionary savedSettings(CupsConnection& cups, const std::string& queue,
                         const std::string& ppdPath) {
    ppd_file_t* ppd = ppdOpenFile(ppdPath.c_str());
    Dictionary snapshot = JobOptions::toSnapshot(cups.savedOptions(queue), ppd);
    if (ppd)
        ppdClose(ppd);
    return snapshot;
}

Dictionary jobOptions(const Dictionary& snapshot, const std::string& ppdPath) {
    ppd_file_t* ppd = ppdOpenFile(ppdPath.c_str());
    Dictionary options = JobOptions::fromSnapshot(snapshot, ppd);
    if (ppd)
        ppdClose(ppd);
    return options;
}

std::string jobTitle(const PanelSession& session, const std::vector<std::string>& files) {
    auto panel = session.panel();
    if (panel && panel->specificJobNameValue() != "Auto" && !panel->jobNameValue().empty())
        return panel->jobNameValue();
    return fs::path(files.front()).filename().string();
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
        for (const auto& file : files)
            if (!fs::copy_file(file, job / fs::path(file).filename(),
                               fs::copy_options::overwrite_existing, code)) {
                error = "cannot copy " + file + ": " + code.message();
                return 0;
            }
        if (!FileUtil::writeFileAtomically((job / "options.json").string(),
                                           Value(options).toJson(2) + "\n", &error))
            return 0;
        where = fs::absolute(job).string();
        return id;
    }
    error = "no free job folder in " + folder;
    return 0;
}

} // namespace

int runPrintCommand(const std::vector<std::string>& arguments) {
    auto options = parse(arguments);
    if (!options) {
        std::fprintf(stderr, kUsage, kPanelOptionsUsage);
        return 2;
    }
    for (const auto& file : options->files)
        if (std::error_code code; !fs::is_regular_file(file, code))
            return fail(file + ": no such file");
    if (!options->panel.language.empty())
        ::setenv("LANGUAGE", options->panel.language.c_str(), 1);

    // The queue: the one named, else the user's default, else the embedded sample press.
    CupsConnection cups;
    std::string error;
    bool reachable = !options->embedded && cups.connect(&error);
    if (!options->queue.empty() && !reachable)
        return fail(error);
    std::string queue = options->queue;
    if (queue.empty() && reachable)
        queue = cups.defaultDestination().value_or("");
    bool embedded = queue.empty();
    if (embedded && options->saveDefaults)
        return fail("--save-defaults keeps the options of a CUPS queue; the sample press has none");

    std::optional<Dictionary> restoreFrom;
    InMemoryPrintDialog::Options host{options->panel.bundle,
                                      options->panel.ppd,
                                      "VelmoraPress",
                                      std::string(kSampleDeviceURI),
                                      true,
                                      nullptr};
    CupsConnection::FetchedPpd ppd;
    if (!embedded) {
        if (!cups.hasDestination(queue))
            return fail("there is no queue \"" + queue + "\" on " + cups.serverName());
        ppd = cachedPpd(queue);
        if (!cups.fetchPpd(queue, ppd, &error))
            return fail(error);
        host.ppdPath = ppd.path;
        host.printerName = queue;
        host.printer = std::make_shared<CupsPrinter>(cups, queue);
        restoreFrom = savedSettings(cups, queue, ppd.path);
    }
    if (!options->panel.settings.empty() &&
        !(restoreFrom = readPrintSettingsFile(options->panel.settings, error)))
        return fail(error);

    PanelSession session(options->panel, host);
    if (!session.run(restoreFrom))
        return fail(session.error());
    Dictionary report = session.report();
    Dictionary settings = *report.get("printSettings").dictionary();
    Dictionary job = jobOptions(settings, *host.ppdPath);
    std::string title = jobTitle(session, options->files);

    Dictionary result{
        {"destination", Value(embedded ? std::string("VelmoraPress (embedded)") : queue)},
        {"title", Value(title)}};
    if (embedded) {
        std::string where;
        int id = storeEmbeddedJob(options->outputDir, options->files, job, where, error);
        if (!id)
            return fail(error);
        result.set("job", Value(id));
        result.set("folder", Value(where));
    } else {
        int id = cups.submitJob(queue, title, options->files, job, &error);
        if (!id)
            return fail(error);
        result.set("job", Value(id));
        if (options->saveDefaults &&
            !cups.saveOptions(queue, std::nullopt, JobOptions::shareable(job), false, &error))
            return fail(error);
    }
    Array documents;
    for (const auto& file : options->files)
        documents.push_back(Value(fs::absolute(file).string()));
    result.set("documents", Value(std::move(documents)));
    result.set("options", Value(std::move(job)));
    result.set("summary", report.get("summary"));
    result.set("alerts", report.get("alerts"));
    if (!options->panel.output.empty() &&
        !FileUtil::writeFileAtomically(options->panel.output, Value(settings).toJson(2) + "\n",
                                       &error))
        return fail("cannot write " + options->panel.output + ": " + error);
    std::printf("%s\n", Value(std::move(result)).toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
