// velmora jobs, velmora hold and velmora print --job: jobs from any application held on a
// Velmora queue, set up by an operator in the panel, then released. The scheduler holds them,
// keeps their settings and decides who may change them.
#include "Command.h"
#include "JobCommandOptions.h"
#include "PanelSession.h"
#include "PrintJob.h"

#include "panel/LornPDEByCocoa.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/FileUtil.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/HeldJobSettings.h"
#include "platform/printing/HeldJobUpdate.h"
#include "platform/printing/HeldJobs.h"
#include "platform/printing/JobOptions.h"

#include <cstdio>
#include <map>

namespace velmora::app {
namespace {

// A job as velmora jobs lists it, its options read against its queue's PPD.
Dictionary jobEntry(const HeldJob& job, const std::string& ppdPath) {
    return Dictionary{{"id", Value(job.id)},
                      {"queue", Value(job.queue)},
                      {"title", Value(job.title)},
                      {"user", Value(job.user)},
                      {"pages", job.pages ? Value(*job.pages) : Value()},
                      {"state", Value(job.state)},
                      {"time", Value(DateFormat::iso8601(static_cast<double>(job.created)))},
                      {"options", Value(JobOptions::withSecretsHidden(
                                      HeldJobSettings::chosenOptions(job.options, ppdPath)))}};
}

} // namespace

int runJobsCommand(const std::vector<std::string>& arguments) {
    std::string queue;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "-d" && i + 1 < arguments.size()) {
            queue = arguments[++i];
        } else {
            std::fprintf(stderr, "usage: velmora jobs [-d QUEUE]\n");
            return 2;
        }
    }
    CupsConnection cups;
    if (auto connected = cups.connect(); !connected)
        return failCommand("jobs", connected.error());
    // The queue named must be a press; without one, the jobs of every press are listed and those
    // of other queues left out.
    std::map<std::string, Result<JobDelivery::Destination>> presses;
    auto pressOf = [&](const std::string& name) -> const Result<JobDelivery::Destination>& {
        auto known = presses.find(name);
        if (known == presses.end()) {
            bool notAPress = false;
            known =
                presses.emplace(name, JobDelivery::queue(cups, name, pluginDirectory(), &notAPress))
                    .first;
            // Another printer's jobs are left out quietly; a queue that cannot be looked at (its
            // PPD not fetched, say) is named, so that a list lacking its jobs does not pass for
            // complete.
            if (!known->second && !notAPress && queue.empty())
                reportCommandProblem("jobs", "the jobs on " + name +
                                                 " are left out: " + known->second.error());
        }
        return known->second;
    };
    if (!queue.empty())
        if (const auto& press = pressOf(queue); !press)
            return failCommand("jobs", press.error());
    auto jobs = HeldJobs(cups).list(queue);
    if (!jobs)
        return failCommand("jobs", jobs.error());
    Array listed;
    for (const auto& job : *jobs)
        if (const auto& press = pressOf(job.queue))
            listed.push_back(Value(jobEntry(job, press->host.ppdPath.value_or(""))));
    std::printf("%s\n", Value(std::move(listed)).toJson(2).c_str());
    return 0;
}

int runHoldCommand(const std::vector<std::string>& arguments) {
    std::string queue, setting;
    bool usable = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "-d" && i + 1 < arguments.size())
            queue = arguments[++i];
        else if ((arguments[i] == "on" || arguments[i] == "off") && setting.empty())
            setting = arguments[i];
        else
            usable = false;
    }
    if (!usable || setting.empty()) {
        std::fprintf(stderr, "usage: velmora hold [-d QUEUE] on|off\n");
        return 2;
    }
    CupsConnection cups;
    auto chosen = cups.connectToQueue(queue);
    if (!chosen)
        return failCommand("hold", chosen.error());
    if (auto held = HeldJobs(cups).holdNewJobs(*chosen, setting == "on"); !held)
        return failCommand("hold", held.error());
    std::printf("%s\n",
                Value(Dictionary{{"queue", Value(*chosen)}, {"hold", Value(setting == "on")}})
                    .toJson(2)
                    .c_str());
    return 0;
}

int printHeldJob(const JobCommandOptions& options) {
    auto failed = [](const std::string& message) { return failCommand("print", message); };
    CupsConnection cups;
    if (auto connected = cups.connect(); !connected)
        return failed(connected.error());
    auto job = HeldJobs(cups).find(options.job);
    if (!job)
        return failed(job.error());
    auto destination = HeldJobUpdate::destination(cups, *job, options.panel.bundle);
    if (!destination)
        return failed(destination.error() + "; nothing was written");
    if (!options.panel.settings.empty()) {
        auto settings = readPrintSettingsFile(options.panel.settings);
        if (!settings)
            return failed(settings.error());
        destination->restoreFrom = std::move(*settings);
    }
    std::string error;
    if (!options.panel.output.empty() && !FileUtil::canWrite(options.panel.output, &error))
        return failed("cannot write " + options.panel.output + ": " + error);

    PanelSession session(options.panel, destination->host);
    if (!session.run(destination->restoreFrom))
        return failed(session.error() + "; nothing was written");
    Dictionary report = session.report();
    Dictionary settings = *report.get("printSettings").dictionary();
    HeldJobUpdate::Request request{*job, heldJobTitle(session.panel().get(), job->title),
                                   !options.keepHeld};
    Dictionary refused;
    auto result = HeldJobUpdate::apply(cups, *destination, settings, request, refused);
    if (!result) {
        for (const auto& [option, reason] : refused)
            reportCommandProblem("print", option + ": " + reason.stringValue());
        return failed(result.error());
    }
    result->set("summary", report.get("summary"));
    result->set("alerts", report.get("alerts"));
    if (!options.panel.output.empty() &&
        !FileUtil::writeFileAtomically(options.panel.output, Value(settings).toJson(2) + "\n",
                                       &error, FileUtil::Readers::OwnerOnly))
        result->set("warning", Value((result->get("warning").isString()
                                          ? result->get("warning").stringValue() + "; "
                                          : std::string()) +
                                     options.panel.output + " was not written: " + error));
    std::printf("%s\n", Value(*result).toJson(2).c_str());
    if (const std::string* warning = result->get("warning").string())
        return failed(*warning);
    return 0;
}

} // namespace velmora::app
