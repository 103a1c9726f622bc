#include "platform/printing/CupsConnection.h"

#include "platform/printing/JobOptions.h"

// libcups marks its PPD fetching deprecated, but a queue's PPD can only be had through it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/cups.h>
#include <cups/ppd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <strings.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace velmora {
namespace {

constexpr int kConnectTimeoutMs = 5000;

Failure fail(std::string reason) {
    return Failure{std::move(reason)};
}

// What the scheduler adds to a destination's options about the queue itself; the rest are
// options a user saved.
bool isQueueAttribute(const std::string& name) {
    return name.starts_with("printer-") || name.starts_with("marker-") || name == "device-uri" ||
           name == "auth-info-required" || name == "job-sheets" || name == "number-up" ||
           name == "finishings";
}

// The destinations libcups knows, freed when the list goes.
class DestinationList {
public:
    explicit DestinationList(http_t* http) { _count = cupsGetDests2(http, &_dests); }
    ~DestinationList() { cupsFreeDests(_count, _dests); }
    DestinationList(const DestinationList&) = delete;
    DestinationList& operator=(const DestinationList&) = delete;

    cups_dest_t* find(const std::string& name, const std::optional<std::string>& instance) {
        return cupsGetDest(name.c_str(), instance ? instance->c_str() : nullptr, _count, _dests);
    }
    cups_dest_t* begin() { return _dests; }
    cups_dest_t* end() { return _dests + _count; }
    int& count() { return _count; }
    cups_dest_t*& dests() { return _dests; }

private:
    int _count = 0;
    cups_dest_t* _dests = nullptr;
};

// The options of a dictionary as libcups holds them, freed when the list goes.
class OptionList {
public:
    explicit OptionList(const Dictionary& options) {
        for (const auto& [name, value] : options)
            _count = cupsAddOption(name.c_str(), value.stringValue().c_str(), _count, &_options);
    }
    ~OptionList() { cupsFreeOptions(_count, _options); }
    OptionList(const OptionList&) = delete;
    OptionList& operator=(const OptionList&) = delete;
    int count() const { return _count; }
    cups_option_t* options() const { return _options; }

private:
    int _count = 0;
    cups_option_t* _options = nullptr;
};

std::string lastError() {
    const char* text = cupsLastErrorString();
    return text && *text ? text : "the print server refused the request";
}

ipp_t* jobRequest(int jobId, const std::vector<const char*>& attributes) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(attributes.size()), nullptr, attributes.data());
    return request;
}

// A Get-Printer-Attributes request for one attribute (or group) of a queue.
ipp_t* printerRequest(const std::string& name, const char* attribute) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[1024];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", name.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 attribute);
    return request;
}

} // namespace

std::string CupsConnection::attributeText(ipp_attribute_t* attribute) {
    ipp_tag_t tag = ippGetValueTag(attribute);
    bool text = tag == IPP_TAG_TEXT || tag == IPP_TAG_NAME || tag == IPP_TAG_TEXTLANG ||
                tag == IPP_TAG_NAMELANG || tag == IPP_TAG_KEYWORD || tag == IPP_TAG_URI ||
                tag == IPP_TAG_MIMETYPE || tag == IPP_TAG_CHARSET || tag == IPP_TAG_LANGUAGE;
    if (!text) {
        std::array<char, 8192> buffer{};
        ippAttributeString(attribute, buffer.data(), buffer.size());
        return buffer.data();
    }
    std::string joined;
    for (int i = 0; i < ippGetCount(attribute); ++i) {
        const char* value = ippGetString(attribute, i, nullptr);
        if (i)
            joined += ',';
        joined += value ? value : "";
    }
    return joined;
}

namespace {

bool sendFile(http_t* http, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::array<char, 65536> buffer;
    while (in) {
        in.read(buffer.data(), buffer.size());
        std::streamsize got = in.gcount();
        if (got > 0 && cupsWriteRequestData(http, buffer.data(), static_cast<std::size_t>(got)) !=
                           HTTP_STATUS_CONTINUE)
            return false;
    }
    return in.eof();
}

// HTTP dates count whole seconds, so a PPD changed again within the second of the copy we hold
// carries the same date and would be reported unchanged. A copy fetched within that second is
// dated a second earlier, which makes the next fetch take the scheduler's copy again.
std::time_t dateToAskAgainWith(std::time_t lastModified) {
    return lastModified < std::time(nullptr) ? lastModified : lastModified - 1;
}

} // namespace

CupsConnection::CupsConnection() = default;

CupsConnection::~CupsConnection() {
    if (_http)
        httpClose(_http);
}

std::string CupsConnection::serverName() const {
    std::string server = cupsServer();
    if (server.starts_with('/'))
        return server; // a local socket
    return server + ":" + std::to_string(ippPort());
}

Status CupsConnection::connect() {
    if (_http)
        return {};
    _http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                         kConnectTimeoutMs, nullptr);
    // libcups keeps no reason of its own for a connection that failed.
    if (!_http)
        return fail("cannot reach the CUPS scheduler at " + serverName() +
                    " (is cupsd running, and CUPS_SERVER right?)");
    return {};
}

std::vector<std::string> CupsConnection::destinationNames() {
    std::vector<std::string> names;
    DestinationList list(_http);
    for (const cups_dest_t& dest : list)
        if (!dest.instance)
            names.emplace_back(dest.name);
    return names;
}

std::optional<std::string> CupsConnection::defaultDestination() {
    DestinationList list(_http);
    if (cups_dest_t* dest = cupsGetDest(nullptr, nullptr, list.count(), list.dests()))
        return std::string(dest->name);
    return std::nullopt;
}

Result<std::string> CupsConnection::chooseQueue(const std::string& requested) {
    std::string queue = requested.empty() ? defaultDestination().value_or("") : requested;
    if (queue.empty())
        return fail("no queue given and " + serverName() + " has no default destination");
    if (!hasDestination(queue))
        return fail("there is no queue \"" + queue + "\" on " + serverName());
    return queue;
}

Result<std::string> CupsConnection::connectToQueue(const std::string& requested) {
    if (auto connected = connect(); !connected)
        return fail(connected.error());
    return chooseQueue(requested);
}

bool CupsConnection::hasDestination(const std::string& name) {
    cups_dest_t* dest = cupsGetNamedDest(_http, name.c_str(), nullptr);
    cupsFreeDests(dest ? 1 : 0, dest);
    return dest != nullptr;
}

bool CupsConnection::hasInstance(const std::string& name, const std::string& instance) {
    DestinationList list(_http);
    return list.find(name, instance) != nullptr;
}

Result<std::string> CupsConnection::instanceName(const std::string& favoriteName) {
    std::string instance;
    for (unsigned char c : favoriteName) {
        if (c == ' ') {
            instance += '_';
        } else if (c < 0x20 || c == 0x7f || c == '/' || c == '#' || c == '\\' || c == '\t') {
            return fail("\"" + favoriteName +
                        "\" cannot be a CUPS instance name: it holds \"/\", "
                        "\"#\", a backslash or a control character");
        } else {
            instance += static_cast<char>(c);
        }
    }
    if (instance.empty())
        return fail("an empty name cannot be a CUPS instance name");
    return instance;
}

Dictionary CupsConnection::savedOptions(const std::string& name,
                                        const std::optional<std::string>& instance) {
    Dictionary options;
    DestinationList list(_http);
    cups_dest_t* dest = list.find(name, instance);
    if (!dest)
        return options;
    Dictionary queues = queueDefaults(name);
    for (int i = 0; i < dest->num_options; ++i) {
        std::string option = dest->options[i].name, value = dest->options[i].value;
        if (isQueueAttribute(option) || queues.get(option) == Value(value))
            continue;
        options.set(option, Value(value));
    }
    return options;
}

Dictionary CupsConnection::queueDefaults(const std::string& name) {
    ipp_t* response = cupsDoRequest(_http, printerRequest(name, "printer-defaults"), "/");
    Dictionary defaults;
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute;
         attribute = ippNextAttribute(response)) {
        std::string attributeName = ippGetName(attribute) ? ippGetName(attribute) : "";
        constexpr std::string_view kSuffix = "-default";
        if (!attributeName.ends_with(kSuffix))
            continue;
        char text[2048];
        ippAttributeString(attribute, text, sizeof text);
        defaults.set(attributeName.substr(0, attributeName.size() - kSuffix.size()), Value(text));
    }
    ippDelete(response);
    return defaults;
}

std::optional<std::string> CupsConnection::configuredDefault() {
    for (const char* variable : {"LPDEST", "PRINTER"})
        if (const char* value = std::getenv(variable);
            value && *value && std::string_view(value) != "lp")
            return std::string(value);
    // The user's lpoptions win over the machine's, as libcups reads them.
    std::vector<std::string> files;
    if (const char* home = std::getenv("HOME"); home && *home)
        files.push_back(std::string(home) + "/.cups/lpoptions");
    const char* root = std::getenv("CUPS_SERVERROOT");
    files.push_back(std::string(root && *root ? root : "/etc/cups") + "/lpoptions");
    for (const auto& file : files) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) {
            if (line.size() < 8 || strncasecmp(line.c_str(), "Default", 7) != 0 ||
                (line[7] != ' ' && line[7] != '\t'))
                continue;
            std::string rest = line.substr(8);
            rest.erase(0, rest.find_first_not_of(" \t"));
            std::string destination = rest.substr(0, rest.find_first_of(" \t"));
            if (!destination.empty())
                return destination;
        }
    }
    return std::nullopt;
}

namespace {

// The bytes of the lpoptions line libcups writes for a destination: "Dest NAME[/INSTANCE]" and
// " option=value" for each option, with a backslash before each space, tab, quote or backslash.
std::size_t lpoptionsLineBytes(const std::string& name, const std::optional<std::string>& instance,
                               const cups_option_t* options, int count) {
    auto written = [](std::string_view text) {
        std::size_t bytes = text.size();
        for (char c : text)
            if (c == ' ' || c == '\t' || c == '\\' || c == '"' || c == '\'')
                ++bytes;
        return bytes;
    };
    std::size_t bytes =
        std::string_view("Dest ").size() + name.size() + (instance ? 1 + instance->size() : 0) + 1;
    for (int i = 0; i < count; ++i)
        bytes += 1 + written(options[i].name) + 1 + written(options[i].value);
    return bytes;
}

// The options an instance would leave empty while its queue's line sets them: libcups starts an
// instance from its queue's options, and an empty value cannot be written to say otherwise.
std::string inheritedOverEmpty(const cups_dest_t& queue, const Dictionary& options) {
    Dictionary queueOptions;
    for (int i = 0; i < queue.num_options; ++i)
        if (!isQueueAttribute(queue.options[i].name) && *queue.options[i].value)
            queueOptions.set(queue.options[i].name, Value(queue.options[i].value));
    queueOptions = JobOptions::fromStored(queueOptions);
    std::string names;
    for (const auto& [option, value] : JobOptions::fromStored(options))
        if (value.stringValue().empty() && queueOptions.contains(option))
            names += (names.empty() ? "" : ", ") +
                     (option.starts_with(JobOptions::kEntryPrefix)
                          ? option.substr(std::string_view(JobOptions::kEntryPrefix).size())
                          : option);
    return names;
}

// The options a destination's lpoptions line will hold: its queue attributes as they are and the
// options given (not the empty ones). False, with the reason, when libcups would cut the line or
// an instance would take text its options leave empty from its queue's line.
Status preparedOptions(const cups_dest_t& queue, const cups_dest_t* dest, const std::string& name,
                       const std::optional<std::string>& instance, const Dictionary& options,
                       int& count, cups_option_t*& prepared) {
    if (instance)
        if (auto inherited = inheritedOverEmpty(queue, options); !inherited.empty())
            return fail("the queue's own saved options set " + inherited +
                        ", which these options leave empty; an instance takes what "
                        "it leaves empty from its queue, so nothing was saved: give "
                        "them a value, or clear them in the queue's saved options");
    count = 0;
    prepared = nullptr;
    for (int i = 0; dest && i < dest->num_options; ++i)
        if (isQueueAttribute(dest->options[i].name))
            count = cupsAddOption(dest->options[i].name, dest->options[i].value, count, &prepared);
    // Measured and written as every line is written (see storeEntriesInTheStoredForm).
    for (const auto& [option, value] : JobOptions::inStoredForm(options))
        if (std::string text = value.stringValue(); !text.empty())
            count = cupsAddOption(option.c_str(), text.c_str(), count, &prepared);
    // libcups reads only so much of a line: what lies beyond would be lost without a word, and
    // the next rewrite of lpoptions would save the cut set.
    std::size_t bytes = lpoptionsLineBytes(name, instance, prepared, count);
    if (bytes > CupsConnection::kMaxLpoptionsLineBytes) {
        cupsFreeOptions(count, prepared);
        return fail("the options would take " + std::to_string(bytes) +
                    " bytes in lpoptions, more than the " +
                    std::to_string(CupsConnection::kMaxLpoptionsLineBytes) +
                    " that CUPS reads back; nothing was saved");
    }
    return {};
}

// Lines written in the long form of the panel's entries take the stored form, all at once: an
// instance written in the long form under a queue line in the short one would otherwise be
// read with both.
void storeEntriesInTheStoredForm(cups_dest_t& dest) {
    Dictionary options;
    bool entries = false;
    for (int i = 0; i < dest.num_options; ++i) {
        std::string option = dest.options[i].name;
        entries = entries || option.starts_with(JobOptions::kEntryPrefix) ||
                  option.starts_with(JobOptions::kStoredEntryPrefix);
        options.set(option, Value(dest.options[i].value));
    }
    if (!entries)
        return;
    int count = 0;
    cups_option_t* stored = nullptr;
    for (const auto& [option, value] : JobOptions::inStoredForm(options))
        count = cupsAddOption(option.c_str(), value.stringValue().c_str(), count, &stored);
    cupsFreeOptions(dest.num_options, dest.options);
    dest.num_options = count;
    dest.options = stored;
}

} // namespace

Status CupsConnection::canSaveOptions(const std::string& name,
                                      const std::optional<std::string>& instance,
                                      const Dictionary& options) {
    DestinationList list(_http);
    const cups_dest_t* queue = list.find(name, std::nullopt);
    if (!queue)
        return fail("there is no destination \"" + name + "\"");
    int count = 0;
    cups_option_t* prepared = nullptr;
    auto fits = preparedOptions(*queue, list.find(name, instance), name, instance, options, count,
                                prepared);
    if (!fits)
        return fits;
    cupsFreeOptions(count, prepared);
    return {};
}

Status CupsConnection::saveOptions(const std::string& name,
                                   const std::optional<std::string>& instance,
                                   const Dictionary& options, bool remove) {
    DestinationList list(_http);
    if (!list.find(name, std::nullopt))
        return fail("there is no destination \"" + name + "\"");
    const char* inst = instance ? instance->c_str() : nullptr;
    if (remove) {
        list.count() = cupsRemoveDest(name.c_str(), inst, list.count(), &list.dests());
    } else {
        int count = 0;
        cups_option_t* prepared = nullptr;
        if (auto fits = preparedOptions(*list.find(name, std::nullopt), list.find(name, instance),
                                        name, instance, options, count, prepared);
            !fits)
            return fits;
        if (!list.find(name, instance))
            list.count() = cupsAddDest(name.c_str(), inst, list.count(), &list.dests());
        cups_dest_t* dest = list.find(name, instance);
        cupsFreeOptions(dest->num_options, dest->options);
        dest->num_options = count;
        dest->options = prepared;
    }
    for (int i = 0; i < list.count(); ++i)
        storeEntriesInTheStoredForm(list.dests()[i]);
    if (cupsSetDests2(_http, list.count(), list.dests()) != 0)
        return fail("the saved options cannot be written: " + lastError());
    return {};
}

namespace {

// Why libcups cannot read a PPD file; empty when it can.
std::string unreadablePpd(const std::string& path) {
    if (ppd_file_t* ppd = ppdOpenFile(path.c_str())) {
        ppdClose(ppd);
        return "";
    }
    int line = 0;
    ppd_status_t status = ppdLastError(&line);
    return std::string(ppdErrorString(status)) + " on line " + std::to_string(line);
}

} // namespace

// libcups empties the file it is given before it knows whether the PPD changed, so a fresh copy
// goes to a file of its own beside the cached one (two processes may fetch at once) and replaces
// it only when it came whole: a copy libcups cannot read would otherwise be kept for good, since
// the scheduler answers "not modified" from then on.
Status CupsConnection::fetchPpd(const std::string& name, FetchedPpd& ppd, bool* noPpd) {
    std::error_code code;
    bool cached = !ppd.path.empty() && std::filesystem::is_regular_file(ppd.path, code) &&
                  std::filesystem::file_size(ppd.path, code) > 0;
    std::string target;
    if (!ppd.path.empty()) {
        target = ppd.path + ".XXXXXX";
        int fd = ::mkstemp(target.data());
        if (fd < 0)
            return fail("the PPD of \"" + name + "\" cannot be kept: " + std::strerror(errno));
        ::close(fd);
    }
    std::array<char, 1024> buffer{};
    std::strncpy(buffer.data(), target.c_str(), buffer.size() - 1);
    std::time_t modified = cached ? ppd.modified : 0;
    http_status_t status =
        cupsGetPPD3(_http, name.c_str(), &modified, buffer.data(), buffer.size());
    auto discard = [&] {
        if (!target.empty())
            std::filesystem::remove(target, code);
    };
    if (status == HTTP_STATUS_NOT_MODIFIED && cached) {
        discard();
        return {};
    }
    if (noPpd)
        *noPpd = status == HTTP_STATUS_NOT_FOUND;
    if (status == HTTP_STATUS_NOT_FOUND) {
        discard();
        if (cached)
            std::filesystem::remove(ppd.path, code); // the queue no longer has the PPD kept here
        return fail("the queue \"" + name + "\" has no PPD");
    }
    if (status != HTTP_STATUS_OK) {
        discard();
        return fail("the PPD of \"" + name + "\" cannot be fetched: " + lastError());
    }
    if (std::string reason = unreadablePpd(buffer.data()); !reason.empty()) {
        std::filesystem::remove(buffer.data(), code);
        return fail("the PPD of \"" + name + "\" cannot be read: " + reason);
    }
    if (target.empty()) {
        ppd.path = buffer.data();
    } else {
        std::filesystem::rename(buffer.data(), ppd.path, code);
        if (code) {
            discard();
            return fail("the PPD of \"" + name + "\" cannot be kept: " + code.message());
        }
    }
    ppd.modified = dateToAskAgainWith(modified);
    // The copy carries the date to ask with, so that a later process can use it as it is.
    struct timespec times[2] = {{0, UTIME_OMIT}, {ppd.modified, 0}};
    // Not through a link libcups may have made to the scheduler's own PPD.
    ::utimensat(AT_FDCWD, ppd.path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return {};
}

std::optional<std::string> CupsConnection::deviceURI(const std::string& name) {
    cups_dest_t* dest = cupsGetNamedDest(_http, name.c_str(), nullptr);
    if (!dest)
        return std::nullopt;
    const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options);
    std::optional<std::string> result = uri ? std::optional<std::string>(uri) : std::nullopt;
    cupsFreeDests(1, dest);
    return result;
}

Result<int> CupsConnection::submitJob(const std::string& name, const std::string& title,
                                      const std::vector<std::string>& files,
                                      const Dictionary& options, const std::string& format) {
    OptionList list(options);
    int job = cupsCreateJob(_http, name.c_str(), title.c_str(), list.count(), list.options());
    if (job == 0)
        return fail("the job cannot be created on \"" + name + "\": " + lastError());
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string document = std::filesystem::path(files[i]).filename().string();
        bool last = i + 1 == files.size();
        bool sent = cupsStartDocument(_http, name.c_str(), job, document.c_str(),
                                      format.empty() ? CUPS_FORMAT_AUTO : format.c_str(),
                                      last) == HTTP_STATUS_CONTINUE &&
                    sendFile(_http, files[i]);
        if (cupsFinishDocument(_http, name.c_str()) > IPP_STATUS_OK_CONFLICTING || !sent) {
            std::string reason = "\"" + files[i] + "\" cannot be sent: " + lastError();
            cupsCancelJob2(_http, name.c_str(), job, 1);
            return fail(reason);
        }
    }
    return job;
}

Result<int> CupsConnection::submitCommand(const std::string& name, const std::string& title,
                                          const std::vector<std::string>& commands) {
    // A command is for the queue, not a job for an operator to release, also where the queue
    // holds every job.
    OptionList options(Dictionary{{"job-hold-until", Value("no-hold")}});
    int job = cupsCreateJob(_http, name.c_str(), title.c_str(), options.count(), options.options());
    if (job == 0)
        return fail("the command cannot be sent to \"" + name + "\": " + lastError());
    std::string text = "#CUPS-COMMAND\n";
    for (const auto& command : commands)
        text += command + "\n";
    bool sent = cupsStartDocument(_http, name.c_str(), job, title.c_str(), CUPS_FORMAT_COMMAND,
                                  1) == HTTP_STATUS_CONTINUE &&
                cupsWriteRequestData(_http, text.data(), text.size()) == HTTP_STATUS_CONTINUE;
    if (cupsFinishDocument(_http, name.c_str()) > IPP_STATUS_OK_CONFLICTING || !sent)
        return fail("the command cannot be sent to \"" + name + "\": " + lastError());
    return job;
}

std::optional<std::string> CupsConnection::jobState(int jobId) {
    ipp_t* response = cupsDoRequest(_http, jobRequest(jobId, {"job-state"}), "/");
    std::optional<std::string> state;
    if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
        state = ippEnumString("job-state", ippGetInteger(attribute, 0));
    ippDelete(response);
    return state;
}

std::optional<std::string> CupsConnection::waitForJob(int jobId, double timeoutSeconds) {
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::milliseconds(static_cast<long>(timeoutSeconds * 1000));
    for (;;) {
        auto state = jobState(jobId);
        if (!state || *state == "completed" || *state == "aborted" || *state == "canceled" ||
            *state == "processing-stopped" || std::chrono::steady_clock::now() >= deadline)
            return state;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

Status CupsConnection::cancelJob(const std::string& name, int jobId) {
    if (cupsCancelJob2(_http, name.c_str(), jobId, 0) > IPP_STATUS_OK_CONFLICTING)
        return fail("job " + std::to_string(jobId) + " cannot be cancelled: " + lastError());
    return {};
}

std::string CupsConnection::printerStateMessage(const std::string& name) {
    ipp_t* response = cupsDoRequest(_http, printerRequest(name, "printer-state-message"), "/");
    ipp_attribute_t* attribute = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
    const char* message = attribute ? ippGetString(attribute, 0, nullptr) : nullptr;
    std::string result = message ? message : "";
    ippDelete(response);
    return result;
}

Dictionary CupsConnection::jobAttributes(int jobId) {
    Dictionary attributes;
    ipp_t* response = cupsDoRequest(_http, jobRequest(jobId, {"all"}), "/");
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute;
         attribute = ippNextAttribute(response)) {
        const char* name = ippGetName(attribute);
        if (!name || ippGetGroupTag(attribute) != IPP_TAG_JOB)
            continue;
        attributes.set(name, Value(attributeText(attribute)));
    }
    ippDelete(response);
    return attributes;
}

} // namespace velmora
