#include "platform/printing/HeldJobs.h"

#include "platform/printing/CupsConnection.h"

#include <cups/cups.h>
#include <cups/pwg.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <filesystem>

namespace velmora {
namespace {

Failure fail(std::string reason) {
    return Failure{std::move(reason)};
}

std::string schedulersReason() {
    const char* text = cupsLastErrorString();
    return text && *text ? text : ippErrorString(cupsLastError());
}

bool refusedByScheduler() {
    return cupsLastError() > IPP_STATUS_OK_CONFLICTING;
}

// A request on a job, by its URI, from this user.
ipp_t* jobRequest(ipp_op_t operation, int id) {
    ipp_t* request = ippNewRequest(operation);
    std::string uri = "ipp://localhost/jobs/" + std::to_string(id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

ipp_t* printerRequest(ipp_op_t operation, const std::string& queue) {
    ipp_t* request = ippNewRequest(operation);
    char uri[1024];
    if (queue.empty())
        std::snprintf(uri, sizeof uri, "ipp://localhost/");
    else
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                         "/printers/%s", queue.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

// Attributes the scheduler keeps about a job rather than how it is to be printed.
bool isSchedulersOwn(std::string_view name) {
    for (std::string_view prefix : {"job-", "time-at-", "date-time-at-", "document-", "number-of-",
                                    "output-device-", "printer-", "compression", "attributes-"})
        if (name.starts_with(prefix))
            return true;
    return false;
}

// A value as the scheduler writes it on a filter's command line; nothing for values it leaves
// out there.
std::optional<std::string> optionText(ipp_attribute_t* attribute) {
    std::string text;
    for (int i = 0; i < ippGetCount(attribute); ++i) {
        if (i)
            text += ',';
        switch (ippGetValueTag(attribute)) {
        case IPP_TAG_INTEGER:
        case IPP_TAG_ENUM: text += std::to_string(ippGetInteger(attribute, i)); break;
        case IPP_TAG_BOOLEAN: text += ippGetBoolean(attribute, i) ? "true" : "false"; break;
        case IPP_TAG_RANGE: {
            int upper = 0, lower = ippGetRange(attribute, i, &upper);
            text += lower == upper ? std::to_string(lower)
                                   : std::to_string(lower) + "-" + std::to_string(upper);
            break;
        }
        case IPP_TAG_NAME:
        case IPP_TAG_NAMELANG:
        case IPP_TAG_TEXT:
        case IPP_TAG_TEXTLANG:
        case IPP_TAG_KEYWORD: {
            const char* value = ippGetString(attribute, i, nullptr);
            text += value ? value : "";
            break;
        }
        default: return std::nullopt;
        }
    }
    return text;
}

// What an IPP client's media-col asks for, in the form of "media" (size, source and type, as
// libcups reads that option against a PPD).
std::string mediaOfCollection(ipp_attribute_t* mediaCol) {
    ipp_t* collection = ippGetCollection(mediaCol, 0);
    std::string media;
    auto add = [&](const char* value) {
        if (!value || !*value)
            return;
        if (!media.empty())
            media += ',';
        media += value;
    };
    if (ipp_attribute_t* name = ippFindAttribute(collection, "media-size-name", IPP_TAG_ZERO)) {
        add(ippGetString(name, 0, nullptr));
    } else if (ipp_attribute_t* size =
                   ippFindAttribute(collection, "media-size", IPP_TAG_BEGIN_COLLECTION)) {
        ipp_t* dimensions = ippGetCollection(size, 0);
        ipp_attribute_t* x = ippFindAttribute(dimensions, "x-dimension", IPP_TAG_INTEGER);
        ipp_attribute_t* y = ippFindAttribute(dimensions, "y-dimension", IPP_TAG_INTEGER);
        if (x && y)
            if (pwg_media_t* pwg = pwgMediaForSize(ippGetInteger(x, 0), ippGetInteger(y, 0)))
                add(pwg->pwg);
    }
    for (const char* member : {"media-source", "media-type"})
        if (ipp_attribute_t* value = ippFindAttribute(collection, member, IPP_TAG_ZERO))
            add(ippGetString(value, 0, nullptr));
    return media;
}

// The queue a printer URI names, its name decoded (the scheduler encodes "%" and bytes beyond
// ASCII).
std::string queueOfUri(const std::string& uri) {
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, user, sizeof user,
                        host, sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK)
        return "";
    std::string path = resource;
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The job whose attributes run from attribute on, up to the next job's (or the end).
HeldJob readJob(ipp_t* response, ipp_attribute_t*& attribute) {
    HeldJob job;
    ipp_attribute_t* mediaCol = nullptr;
    for (; attribute && ippGetGroupTag(attribute) == IPP_TAG_JOB;
         attribute = ippNextAttribute(response)) {
        const char* rawName = ippGetName(attribute);
        if (!rawName)
            break;
        std::string name = rawName;
        if (name == "job-id")
            job.id = ippGetInteger(attribute, 0);
        else if (name == "job-name")
            job.title = CupsConnection::attributeText(attribute);
        else if (name == "job-originating-user-name")
            job.user = CupsConnection::attributeText(attribute);
        else if (name == "job-printer-uri")
            job.queue = queueOfUri(CupsConnection::attributeText(attribute));
        else if (name == "job-state")
            job.state = ippEnumString("job-state", ippGetInteger(attribute, 0));
        else if (name == "time-at-creation")
            job.created = ippGetInteger(attribute, 0);
        else if (name == "number-of-documents")
            job.documents = ippGetInteger(attribute, 0);
        else if (name == "job-state-reasons")
            job.reasons = CupsConnection::attributeText(attribute);
        else if (name == "document-format")
            job.format = CupsConnection::attributeText(attribute);
        else if ((name == "job-impressions" || name == "job-pages") && !job.pages &&
                 ippGetValueTag(attribute) == IPP_TAG_INTEGER)
            job.pages = ippGetInteger(attribute, 0);
        else if (name == "media-col")
            mediaCol = attribute;
        else if (!isSchedulersOwn(name))
            if (auto text = optionText(attribute))
                job.options.set(name, Value(*text));
    }
    if (mediaCol && !job.options.contains("media"))
        if (std::string media = mediaOfCollection(mediaCol); !media.empty())
            job.options.set("media", Value(media));
    return job;
}

} // namespace

std::vector<HeldJob> HeldJobs::jobsOf(ipp_t* response) {
    std::vector<HeldJob> jobs;
    ipp_attribute_t* attribute = ippFirstAttribute(response);
    while (attribute) {
        if (ippGetGroupTag(attribute) != IPP_TAG_JOB || !ippGetName(attribute)) {
            attribute = ippNextAttribute(response);
            continue;
        }
        HeldJob job = readJob(response, attribute);
        if (job.id > 0)
            jobs.push_back(std::move(job));
    }
    return jobs;
}

namespace {

std::string jobName(int id) {
    return "job " + std::to_string(id);
}

} // namespace

Result<std::vector<HeldJob>> HeldJobs::list(const std::string& queue) {
    ipp_t* request = printerRequest(IPP_OP_GET_JOBS, queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
                 "not-completed");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "all");
    ipp_t* response = cupsDoRequest(_cups.http(), request, "/");
    if (!response || refusedByScheduler()) {
        ippDelete(response);
        return fail("the scheduler does not list the jobs" +
                    (queue.empty() ? std::string() : " of \"" + queue + "\"") + ": " +
                    schedulersReason());
    }
    auto jobs = jobsOf(response);
    ippDelete(response);
    return jobs;
}

Result<HeldJob> HeldJobs::find(int id) {
    ipp_t* request = jobRequest(IPP_OP_GET_JOB_ATTRIBUTES, id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "all");
    ipp_t* response = cupsDoRequest(_cups.http(), request, "/");
    std::optional<HeldJob> job;
    if (response && !refusedByScheduler()) {
        auto jobs = jobsOf(response);
        if (!jobs.empty())
            job = std::move(jobs.front());
    }
    ippDelete(response);
    if (!job)
        return fail(cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND
                        ? "there is no " + jobName(id) + " on " + _cups.serverName()
                        : "the scheduler does not show " + jobName(id) + ": " + schedulersReason());
    return std::move(*job);
}

std::optional<std::string> HeldJobs::whyNotHeld(const HeldJob& job) {
    const std::string& state = job.state;
    std::string name = jobName(job.id);
    if (job.held())
        return std::nullopt;
    if (state == "pending-held")
        return name + " is still being received";
    if (state == "pending")
        return name + " is no longer held: it was released and waits to print";
    if (state == "processing" || state == "processing-stopped")
        return name + " is no longer held: it is printing";
    if (state == "completed")
        return name + " has been printed";
    if (state == "canceled" || state == "aborted")
        return name + " has ended (" + state + ")";
    return name + " is not held (" + (state.empty() ? std::string("state unknown") : state) + ")";
}

Status HeldJobs::write(int id, const Dictionary& options, Dictionary& refused) {
    auto job = find(id);
    if (!job)
        return fail(job.error());
    if (auto why = whyNotHeld(*job))
        return fail(*why + "; nothing was written");
    if (options.empty())
        return {};
    // The scheduler refuses the attributes it keeps itself, and stops at the first value it
    // finds bad, after writing those before it: a job is written whole or not at all.
    for (const auto& [name, value] : options)
        if (isSchedulersOwn(name) && name != "job-name" && name != "job-priority" &&
            name != "job-hold-until")
            refused.set(name, Value(std::string("the scheduler keeps it itself")));
    ipp_t* request = jobRequest(IPP_OP_SET_JOB_ATTRIBUTES, id);
    cups_option_t* list = nullptr;
    int count = 0;
    for (const auto& [name, value] : options)
        if (name != "job-name")
            count = cupsAddOption(name.c_str(), value.stringValue().c_str(), count, &list);
    cupsEncodeOptions2(request, count, list, IPP_TAG_JOB);
    cupsFreeOptions(count, list);
    if (const std::string* title = options.get("job-name").string())
        ippAddString(request, IPP_TAG_JOB, IPP_TAG_NAME, "job-name", nullptr, title->c_str());
    for (ipp_attribute_t* attribute = ippFirstAttribute(request); attribute;
         attribute = ippNextAttribute(request))
        if (ippGetGroupTag(attribute) == IPP_TAG_JOB && !ippValidateAttribute(attribute))
            refused.set(ippGetName(attribute), Value(schedulersReason()));
    if (!refused.empty()) {
        ippDelete(request);
        return fail("the scheduler would refuse some settings of " + jobName(id) +
                    "; nothing was written");
    }
    ipp_t* response = cupsDoRequest(_cups.http(), request, "/jobs/");
    bool written = response && !refusedByScheduler();
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute;
         attribute = ippNextAttribute(response))
        if (ippGetGroupTag(attribute) == IPP_TAG_UNSUPPORTED_GROUP && ippGetName(attribute))
            refused.set(ippGetName(attribute), Value(schedulersReason()));
    ippDelete(response);
    if (!written)
        return fail("the scheduler did not let the settings of " + jobName(id) +
                    " be changed: " + schedulersReason());
    if (!refused.empty())
        return fail("the scheduler refused some settings of " + jobName(id));
    return {};
}

Status HeldJobs::release(int id) {
    ippDelete(cupsDoRequest(_cups.http(), jobRequest(IPP_OP_RELEASE_JOB, id), "/jobs/"));
    if (refusedByScheduler())
        return fail("the scheduler did not release " + jobName(id) + ": " + schedulersReason());
    return {};
}

Status HeldJobs::holdNewJobs(const std::string& queue, bool hold) {
    ipp_t* request = printerRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, queue);
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "job-hold-until-default", nullptr,
                 hold ? "indefinite" : "no-hold");
    ippDelete(cupsDoRequest(_cups.http(), request, "/admin/"));
    if (refusedByScheduler())
        return fail("the scheduler did not change the hold of \"" + queue +
                    "\": " + schedulersReason());
    return {};
}

Result<std::vector<std::string>> HeldJobs::fetchDocuments(const HeldJob& job,
                                                          const std::string& folder) {
    std::vector<std::string> paths;
    for (int number = 1; number <= job.documents; ++number) {
        std::string path = folder + "/document-" + std::to_string(number);
        int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0)
            return fail("no file can be made for the documents of " + jobName(job.id));
        ipp_t* request = jobRequest(IPP_OP_CUPS_GET_DOCUMENT, job.id);
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "document-number", number);
        ippDelete(cupsDoIORequest(_cups.http(), request, "/", -1, out));
        bool closed = ::close(out) == 0;
        if (refusedByScheduler() || !closed)
            return fail("the scheduler did not give the documents of " + jobName(job.id) + ": " +
                        schedulersReason());
        paths.push_back(path);
    }
    if (paths.empty())
        return fail(jobName(job.id) + " holds no document");
    return paths;
}

} // namespace velmora
