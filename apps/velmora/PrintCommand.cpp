// velmora print: one print dialog session on a CUPS queue (or the embedded sample press), then
// the job is submitted with exactly the settings the panel saved.
#include "Command.h"
#include "JobCommandOptions.h"
#include "PanelSession.h"
#include "PrintJob.h"

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

constexpr const char* kUsage = "usage: velmora print FILE... [-d QUEUE] [--save-defaults] "
                               "[--output-dir DIR] [--embedded] [--no-gui]\n"
                               "       velmora print --job ID [--keep-held] [--no-gui]\n"
                               "         %s\n";

} // namespace

int runPrintCommand(const std::vector<std::string>& arguments) {
    auto options = parseJobCommand(arguments, JobFrontEnd::Print);
    if (!options) {
        std::fprintf(stderr, kUsage, kPanelOptionsUsage);
        return 2;
    }
    for (const auto& file : options->files)
        if (std::error_code code; !fs::is_regular_file(file, code))
            return failCommand("print", file + (fs::exists(file, code) ? ": not a regular file"
                                                                       : ": no such file"));
    if (!options->panel.language.empty())
        ::setenv("LANGUAGE", options->panel.language.c_str(), 1);
    if (options->job)
        return printHeldJob(*options);

    // The queue: the one named, else the user's default, else the embedded sample press, but
    // only when no default is configured at all: a job meant for a queue whose scheduler is down
    // must not quietly land in the sample press's folder.
    CupsConnection cups;
    Status connected = options->embedded ? Status() : cups.connect();
    bool reachable = !options->embedded && connected;
    if (!options->embedded && !reachable) {
        if (!options->queue.empty())
            return failCommand("print", connected.error());
        if (auto configured = CupsConnection::configuredDefault())
            return failCommand("print", connected.error() + "; the default queue \"" + *configured +
                                            "\" cannot be used");
    }
    std::string queue = options->queue;
    if (queue.empty() && reachable)
        queue = cups.defaultDestination().value_or("");
    bool embedded = queue.empty();
    if (embedded && options->saveDefaults)
        return failCommand(
            "print",
            "--save-defaults keeps the options of a CUPS queue; the sample press has none");

    Destination destination = embeddedDestination(options->panel);
    if (!embedded) {
        auto found = queueDestination(cups, queue, options->panel);
        if (!found)
            return failCommand("print", found.error());
        destination = std::move(*found);
    }
    if (!options->panel.settings.empty()) {
        auto settings = readPrintSettingsFile(options->panel.settings);
        if (!settings)
            return failCommand("print", settings.error());
        destination.restoreFrom = std::move(*settings);
    }

    // What can be checked is checked before anything is done: a caller who tries again after a
    // failure must not print twice, nor find the favorite it asked for already saved.
    std::string error;
    if (!options->panel.output.empty() && !FileUtil::canWrite(options->panel.output, &error))
        return failCommand("print", "cannot write " + options->panel.output + ": " + error);
    PanelSession session(options->panel, destination.host);
    if (!session.run(destination.restoreFrom))
        return failCommand("print", session.error());
    Dictionary report = session.report();
    Dictionary settings = *report.get("printSettings").dictionary();
    JobRequest request{options->files, jobTitle(session.panel().get(), options->files),
                       options->outputDir, options->saveDefaults};
    auto result = deliverJob(cups, destination, settings, request);
    if (!result)
        return failCommand("print", result.error());
    if (embedded && !options->embedded)
        result->set("note", Value(std::string("no CUPS default queue is configured, so the job "
                                              "went to the embedded sample press")));
    result->set("summary", report.get("summary"));
    result->set("alerts", report.get("alerts"));
    if (!options->panel.output.empty() &&
        !FileUtil::writeFileAtomically(options->panel.output, Value(settings).toJson(2) + "\n",
                                       &error, FileUtil::Readers::OwnerOnly))
        result->set("warning", Value((result->get("warning").isString()
                                          ? result->get("warning").stringValue() + "; "
                                          : std::string("the job was sent, but ")) +
                                     options->panel.output + " was not written: " + error));
    if (const std::string* warning = result->get("warning").string())
        reportCommandProblem("print", *warning);
    std::printf("%s\n", Value(std::move(*result)).toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
