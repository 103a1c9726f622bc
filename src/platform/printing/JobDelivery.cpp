#include "platform/printing/JobDelivery.h"

#include "platform/foundation/TemporaryFolder.h"
#include "platform/printing/CupsPrinter.h"
#include "platform/printing/DestinationPpd.h"
#include "platform/printing/EmbeddedJobStore.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/JobPackage.h"
#include "platform/printing/OpenedPpd.h"
#include "platform/printing/PpdCache.h"
#include "platform/printing/PrintSettings.h"
#include "platform/printing/SheetPlanner.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <filesystem>

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string notAVelmoraPress(const std::string& queue, const std::string& why) {
    return "the queue \"" + queue + "\" is not a Velmora press: " + why +
           "; print to it with lp or another application's dialog";
}

// The model a queue's PPD names when the PPD lacks the press's tray option, which every panel of
// the press sets: a driverless or generic queue would be shown the press's trays and sent its
// entries. Nothing when the PPD is the press's (or unread: the fetch has checked that libcups
// reads it).
std::optional<std::string> modelWithoutThePressOptions(ppd_file_t* ppd) {
    if (!ppd || ppdFindOption(ppd, "KVInputSlot"))
        return std::nullopt;
    return ppd->nickname ? ppd->nickname : ppd->modelname ? ppd->modelname : "no model";
}

// Whether the queue's PPD hands the press's job packages to the press (a filter from the
// package's type): a queue set up with an older PPD of the press takes only documents.
bool takesJobPackages(ppd_file_t* ppd) {
    const std::string from = std::string(JobPackage::kMimeType) + " ";
    for (ppd_attr_t* filter = ppd ? ppdFindAttr(ppd, "cupsFilter2", nullptr) : nullptr; filter;
         filter = ppdFindNextAttr(ppd, "cupsFilter2", nullptr))
        if (filter->value && std::string_view(filter->value).starts_with(from))
            return true;
    return false;
}

// The ticket of a job the client sends: the job's options completed from the queue's PPD.
PressTicket ticketOfJob(const Dictionary& job, const std::string& title, ppd_file_t* ppd) {
    PressTicket ticket;
    ticket.jobId = PressTicket::newJobId();
    ticket.jobName = title;
    if (auto copies = PrintSettings::copiesOfText(job.get("copies").stringValue()))
        ticket.copies = *copies;
    ticket.options = PressTicket::optionsOfJob(ppd, job);
    return ticket;
}

} // namespace

JobDelivery::Destination JobDelivery::embedded(const std::string& bundle, const std::string& ppd) {
    Destination destination;
    destination.host = InMemoryPrintDialog::Options{
        bundle, ppd, "VelmoraPress", std::string(kSampleDeviceURI), true, nullptr, nullptr};
    return destination;
}

Result<JobDelivery::Destination> JobDelivery::queue(CupsConnection& cups,
                                                    const std::string& requested,
                                                    const std::string& bundle, bool* notAPress) {
    std::string queue = requested.substr(0, requested.find('/'));
    std::optional<std::string> instance;
    if (auto slash = requested.find('/'); slash != std::string::npos)
        instance = requested.substr(slash + 1);
    if (!cups.hasDestination(queue))
        return Failure{"there is no queue \"" + queue + "\" on " + cups.serverName()};
    if (instance && !cups.hasInstance(queue, *instance))
        return Failure{"the queue \"" + queue + "\" has no instance \"" + *instance + "\""};
    Destination destination = embedded(bundle, "");
    destination.embedded = false;
    destination.queue = queue;
    destination.instance = instance;
    auto ppd = PpdCache::entry(cups, queue);
    if (!ppd)
        return Failure{ppd.error()};
    bool noPpd = false;
    if (auto fetched = cups.fetchPpd(queue, *ppd, &noPpd); !fetched) {
        if (notAPress)
            *notAPress = noPpd;
        return Failure{noPpd ? notAVelmoraPress(queue, "it has no PPD (a raw queue)")
                             : fetched.error()};
    }
    // Read once here for the whole session: the dialog and its preview take it from the host.
    auto opened = DestinationPpd::open(ppd->path);
    if (auto model = modelWithoutThePressOptions(opened->get())) {
        if (notAPress)
            *notAPress = true;
        return Failure{notAVelmoraPress(queue, "its PPD (" + *model +
                                                   ") lacks the press's tray option KVInputSlot")};
    }
    destination.host.ppdPath = ppd->path;
    destination.host.ppd = opened;
    destination.host.printerName = queue;
    destination.host.printer = std::make_shared<CupsPrinter>(cups, queue);
    // The snapshot the queue's saved options give, read against its PPD.
    destination.restoreFrom =
        JobOptions::toSnapshot(cups.savedOptions(queue, instance), opened->get());
    return destination;
}

SheetPlan JobDelivery::sheetPlan(const Destination& destination, const Dictionary& snapshot) {
    // One reading of the PPD: its translation changes only the texts, not the names the
    // snapshot's options are read by.
    SheetPlanner planner(destination.host.ppdPath);
    return planner.plan(PressTicket::optionsOfJob(
        planner.ppd(), JobOptions::fromSnapshot(snapshot, planner.ppd())));
}

Result<Dictionary> JobDelivery::deliver(CupsConnection& cups, const Destination& destination,
                                        const Dictionary& snapshot, const Request& request) {
    OpenedPpd ppd(destination.host.ppdPath);
    Dictionary job = JobOptions::fromSnapshot(snapshot, ppd.get());
    PressTicket ticket = ticketOfJob(job, request.title, ppd.get());
    std::vector<JobPackage::Document> documents;
    for (const auto& file : request.files)
        documents.push_back({file, fs::path(file).filename().string()});
    Dictionary result{{"destination", Value(destination.displayName())},
                      {"title", Value(request.title)}};
    if (destination.embedded) {
        auto stored = EmbeddedJobStore::store(request.outputDir, ticket, documents, ppd.get());
        if (!stored)
            return Failure{stored.error()};
        result.set("job", Value(stored->id));
        result.set("folder", Value(stored->folder));
        result.set("package", Value(stored->folder + "/" + EmbeddedJobStore::kPackageName));
    } else {
        // Options that cannot be saved are said before the job goes: a caller who tries again
        // must not print twice.
        // As lpoptions keeps them for a queue or one of its instances.
        Dictionary stored = request.saveDefaults
                                ? JobOptions::toStored(JobOptions::shareable(job), ppd.get(),
                                                       destination.instance.has_value())
                                : Dictionary();
        if (request.saveDefaults) {
            if (auto fits = cups.canSaveOptions(destination.queue, destination.instance, stored);
                !fits)
                return Failure{fits.error()};
        }
        if (!ppd.get())
            return Failure{"the PPD of the queue \"" + destination.queue + "\" cannot be read"};
        if (!takesJobPackages(ppd.get()))
            return Failure{
                "the queue \"" + destination.queue +
                "\" does not take the press's job packages: its PPD is older than this "
                "velmora; set the queue up again with the press's current PPD (lpadmin -p " +
                destination.queue + " -P VelmoraPress.ppd)"};
        // The job's passwords travel only inside the package, which the scheduler keeps readable
        // by itself and its filters alone; its attributes are shown to everyone.
        TemporaryFolder folder("velmora-job");
        std::string package = folder.path() + "/job" + JobPackage::kFileExtension;
        if (folder.path().empty())
            return Failure{"no temporary folder can be made for the job package"};
        if (auto written = JobPackage::write(package, ticket, documents, ppd.get()); !written)
            return Failure{written.error()};
        Dictionary attributes = JobOptions::withoutSecrets(job);
        attributes.set("job-hold-until", Value(request.held ? "indefinite" : "no-hold"));
        auto id = cups.submitJob(destination.queue, request.title, {package}, attributes,
                                 JobPackage::kMimeType);
        if (!id)
            return Failure{id.error()};
        result.set("job", Value(*id));
        if (request.saveDefaults) {
            if (auto saved =
                    cups.saveOptions(destination.queue, destination.instance, stored, false);
                !saved)
                result.set("warning", Value("the job was sent, but its options were not saved: " +
                                            saved.error()));
        }
    }
    Array files;
    for (const auto& file : request.files)
        files.push_back(Value(fs::absolute(file).string()));
    result.set("documents", Value(std::move(files)));
    result.set("options", Value(JobOptions::withSecretsHidden(job)));
    return result;
}

} // namespace velmora
