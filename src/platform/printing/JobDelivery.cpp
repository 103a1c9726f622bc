#include "platform/printing/JobDelivery.h"

#include "platform/printing/CupsPrinter.h"
#include "platform/printing/EmbeddedJobStore.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/PpdCache.h"

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
Dictionary storedOptions(const Dictionary& job, const JobDelivery::Destination& destination) {
    ppd_file_t* ppd = ppdOpenFile(destination.host.ppdPath.value_or("").c_str());
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

} // namespace

JobDelivery::Destination JobDelivery::embedded(const std::string& bundle, const std::string& ppd) {
    Destination destination;
    destination.host = InMemoryPrintDialog::Options{
        bundle, ppd, "VelmoraPress", std::string(kSampleDeviceURI), true, nullptr};
    return destination;
}

std::optional<JobDelivery::Destination> JobDelivery::queue(CupsConnection& cups,
                                                           const std::string& requested,
                                                           const std::string& bundle,
                                                           std::string& error, bool* notAPress) {
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
    Destination destination = embedded(bundle, "");
    destination.embedded = false;
    destination.queue = queue;
    destination.instance = instance;
    auto ppd = PpdCache::entry(cups, queue, error);
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

std::optional<Dictionary> JobDelivery::deliver(CupsConnection& cups, const Destination& destination,
                                               const Dictionary& snapshot, const Request& request,
                                               std::string& error) {
    Dictionary job = jobOptions(snapshot, destination.host.ppdPath.value_or(""));
    Dictionary result{{"destination", Value(destination.displayName())},
                      {"title", Value(request.title)}};
    if (destination.embedded) {
        std::string where;
        int id = EmbeddedJobStore::store(request.outputDir, request.files, job, where, error);
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

} // namespace velmora
