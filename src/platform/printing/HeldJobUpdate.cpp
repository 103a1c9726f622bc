#include "platform/printing/HeldJobUpdate.h"

#include "platform/foundation/TemporaryFolder.h"
#include "platform/printing/HeldJobSettings.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/JobPackage.h"
#include "platform/printing/OpenedPpd.h"

#include <filesystem>

namespace velmora {
namespace {

namespace fs = std::filesystem;

bool carriesASecret(const Dictionary& options) {
    for (const auto& [name, value] : options)
        if (JobOptions::isSecret(name) && !value.stringValue().empty())
            return true;
    return false;
}

std::string jobName(int id) {
    return "job " + std::to_string(id);
}

// The documents of a job velmora sent as the press's package, taken out of it under the names
// its ticket gives them; the job's own documents otherwise.
Result<std::vector<std::string>> documentsOf(HeldJobs& jobs, const HeldJob& job,
                                             const std::string& folder) {
    auto fetched = jobs.fetchDocuments(job, folder);
    if (!fetched || job.format != JobPackage::kMimeType)
        return fetched;
    std::vector<std::string> documents;
    for (std::size_t i = 0; i < fetched->size(); ++i) {
        auto package = JobPackage::open((*fetched)[i]);
        if (!package)
            return Failure{package.error()};
        for (std::size_t d = 0; d < package->ticket().documents.size(); ++d) {
            std::string name = fs::path(package->ticket().documents[d].name).filename().string();
            std::string place = folder + "/" + std::to_string(i + 1) + "-" + std::to_string(d + 1);
            std::error_code ignored;
            fs::create_directory(place, ignored);
            std::string path =
                place + "/" + (name.empty() || name == "." || name == ".." ? "document.pdf" : name);
            if (auto extracted = package->extractDocument(d, path); !extracted)
                return Failure{extracted.error()};
            documents.push_back(path);
        }
    }
    return documents;
}

// The job sent again as the press's package with the new settings (a password inside, or the
// settings of a job velmora sent as a package, which the press's filter takes from the package
// rather than from the job's attributes). The copy waits until the held job is cancelled, and
// is withdrawn when the scheduler does not let the held job go, so that the job is never there
// twice.
Result<Dictionary> sendAgain(CupsConnection& cups, const JobDelivery::Destination& destination,
                             const Dictionary& snapshot, const HeldJob& job,
                             const HeldJobUpdate::Request& request) {
    const std::string why =
        (job.format == JobPackage::kMimeType
             ? jobName(job.id) + " carries its settings inside the press's job package, so it "
             : "a password or PIN travels only inside the job, so " + jobName(job.id) + " ") +
        "must be sent again, and ";
    HeldJobs jobs(cups);
    TemporaryFolder folder("velmora-held");
    if (folder.path().empty())
        return Failure{why +
                       "no temporary folder can be made for its documents; nothing was changed"};
    auto documents = documentsOf(jobs, job, folder.path());
    if (!documents)
        return Failure{why + documents.error() + "; nothing was changed"};
    JobDelivery::Request resend{*documents, request.title, "", false, true};
    auto sent = JobDelivery::deliver(cups, destination, snapshot, resend);
    if (!sent)
        return Failure{why + "it cannot be: " + sent.error() + "; nothing was changed"};
    int id = static_cast<int>(sent->get("job").integerValue());
    if (auto cancelled = cups.cancelJob(job.queue, job.id); !cancelled) {
        auto withdrawn = cups.cancelJob(job.queue, id);
        return Failure{why + "the scheduler did not let the held job go (" + cancelled.error() +
                       ")" +
                       (withdrawn ? "; the copy was withdrawn and nothing was changed"
                                  : "; its copy, " + jobName(id) +
                                        ", could not be withdrawn: " + withdrawn.error())};
    }
    Dictionary result{{"job", Value(id)},
                      {"replaces", Value(job.id)},
                      {"queue", Value(job.queue)},
                      {"title", Value(request.title)},
                      {"written", sent->get("options")},
                      {"released", Value(false)}};
    if (request.release) {
        if (auto released = jobs.release(id))
            result.set("released", Value(true));
        else
            result.set("warning", Value(jobName(job.id) + " was sent again as " + jobName(id) +
                                        " with its settings, but " + released.error()));
    }
    result.set("state", Value(cups.jobState(id).value_or("")));
    return result;
}

} // namespace

Result<JobDelivery::Destination>
HeldJobUpdate::destination(CupsConnection& cups, const HeldJob& job, const std::string& bundle) {
    if (auto why = HeldJobs::whyNotHeld(job))
        return Failure{*why};
    auto destination = JobDelivery::queue(cups, job.queue, bundle);
    if (!destination)
        return destination;
    const std::string path = destination->host.ppdPath.value_or("");
    OpenedPpd ppd(path);
    destination->restoreFrom =
        JobOptions::toSnapshot(HeldJobSettings::optionsOfJob(job.options, path), ppd.get());
    return destination;
}

Result<Dictionary> HeldJobUpdate::apply(CupsConnection& cups,
                                        const JobDelivery::Destination& destination,
                                        const Dictionary& snapshot, const Request& request,
                                        Dictionary& refused) {
    HeldJobs jobs(cups);
    // The job as it is now: it may have been released or cancelled while the panel was open.
    auto job = jobs.find(request.job.id);
    if (!job)
        return Failure{job.error()};
    if (auto why = HeldJobs::whyNotHeld(*job))
        return Failure{*why + "; nothing was written"};
    OpenedPpd ppd(destination.host.ppdPath);
    Dictionary wanted = JobOptions::fromSnapshot(snapshot, ppd.get());
    if (carriesASecret(wanted) || job->format == JobPackage::kMimeType)
        return sendAgain(cups, destination, snapshot, *job, request);
    // What the person changed, against the job as the panel opened on it: what someone else
    // changed meanwhile and the person left alone stays as they set it.
    const std::string path = destination.host.ppdPath.value_or("");
    Dictionary changes =
        HeldJobSettings::changes(HeldJobSettings::optionsOfJob(request.job.options, path),
                                 JobOptions::withoutSecrets(wanted), job->options, path);
    if (request.title != request.job.title)
        changes.set("job-name", Value(request.title));
    if (auto written = jobs.write(job->id, changes, refused); !written)
        return Failure{written.error()};
    Dictionary result{{"job", Value(job->id)},
                      {"queue", Value(job->queue)},
                      {"title", Value(request.title)},
                      {"written", Value(JobOptions::withSecretsHidden(changes))},
                      {"released", Value(false)}};
    if (request.release) {
        if (auto released = jobs.release(job->id))
            result.set("released", Value(true));
        else
            result.set("warning", Value("the settings were written, but " + released.error()));
    }
    result.set("state", Value(cups.jobState(job->id).value_or("")));
    return result;
}

} // namespace velmora
