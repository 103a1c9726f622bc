#include "platform/printing/JobPackage.h"

#include "platform/foundation/FileUtil.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>

namespace velmora {

struct JobPackage::Archive {
    std::string bytes; // what a package read from memory is read from
    zip_t* zip = nullptr;
    ~Archive() {
        if (zip)
            zip_discard(zip);
    }
};

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kZipSignature{"PK\x03\x04", 4};
constexpr std::string_view kEmptyZipSignature{"PK\x05\x06", 4};
constexpr const char* kDeviceId = "velmora";

std::string nowInUtc() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// The XJMF that submits the package's ticket to the press's queue.
std::string rootMessage() {
    std::string time = nowInUtc();
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<XJMF xmlns=\"") +
           PressTicket::kXjdfNamespace + "\" Version=\"" + PressTicket::kXjdfVersion +
           "\">\n  <Header DeviceID=\"" + kDeviceId + "\" ID=\"M1\" Time=\"" + time +
           "\"/>\n  <CommandSubmitQueueEntry>\n    <Header DeviceID=\"" + kDeviceId +
           "\" ID=\"C1\" Time=\"" + time + "\"/>\n    <QueueSubmissionParams URL=\"" +
           JobPackage::kTicketName + "\"/>\n  </CommandSubmitQueueEntry>\n</XJMF>\n";
}

// The ticket a package's root message submits, as a path in the package; or the reason.
Result<std::string> ticketOfRoot(const std::string& xml) {
    if (std::string why; !PressTicket::hasParsableShape(xml, why))
        return Failure{std::string("the package's ") + JobPackage::kRootName +
                       " is refused: " + why};
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), JobPackage::kRootName, nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
        xmlFreeDoc);
    auto named = [](xmlNode* node, const char* name) {
        return node && node->type == XML_ELEMENT_NODE &&
               std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0 && node->ns &&
               std::strcmp(reinterpret_cast<const char*>(node->ns->href),
                           PressTicket::kXjdfNamespace) == 0;
    };
    auto child = [&](xmlNode* parent, const char* name) -> xmlNode* {
        for (xmlNode* node = parent ? parent->children : nullptr; node; node = node->next)
            if (named(node, name))
                return node;
        return nullptr;
    };
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root || doc->intSubset || !named(root, "XJMF"))
        return Failure{std::string("the package's ") + JobPackage::kRootName +
                       " is not an XJMF message"};
    xmlNode* params = child(child(root, "CommandSubmitQueueEntry"), "QueueSubmissionParams");
    xmlChar* url =
        params ? xmlGetNoNsProp(params, reinterpret_cast<const xmlChar*>("URL")) : nullptr;
    if (!url)
        return Failure{std::string("the package's ") + JobPackage::kRootName +
                       " submits no ticket (CommandSubmitQueueEntry/QueueSubmissionParams/@URL)"};
    std::string path(reinterpret_cast<const char*>(url));
    xmlFree(url);
    return path;
}

// A name of an entry that stays inside the package wherever it is unpacked.
bool isPlainEntryName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        std::string_view part =
            name.substr(start, end == std::string_view::npos ? end : end - start);
        // A folder's own entry ("documents/") ends with an empty part.
        if (part == "." || part == ".." || (part.empty() && end != std::string_view::npos))
            return false;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return true;
}

Result<std::string> readEntry(zip_t* zip, zip_uint64_t index, std::size_t limit,
                              const std::string& name) {
    zip_file_t* file = zip_fopen_index(zip, index, 0);
    if (!file)
        return Failure{"the package's " + name + " cannot be read: " + zip_strerror(zip)};
    // The sizes a ZIP's headers give are not trusted: reading stops one byte past the limit.
    std::string bytes;
    char buffer[65536];
    zip_int64_t got = 0;
    while ((got = zip_fread(file, buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > limit) {
            zip_fclose(file);
            return Failure{"the package's " + name + " is larger than " +
                           std::to_string(limit >> 10) + " KiB"};
        }
    }
    std::string reason = got < 0 ? zip_file_strerror(file) : "";
    zip_fclose(file);
    if (got < 0)
        return Failure{"the package's " + name + " cannot be read: " + reason};
    return bytes;
}

bool isPdf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[5] = {};
    return in.read(head, 5) && std::string_view(head, 5) == "%PDF-";
}

} // namespace

JobPackage::JobPackage() = default;
JobPackage::JobPackage(JobPackage&&) noexcept = default;
JobPackage& JobPackage::operator=(JobPackage&&) noexcept = default;
JobPackage::~JobPackage() = default;

bool JobPackage::looksLikeZip(std::string_view head) {
    return head.starts_with(kZipSignature) || head.starts_with(kEmptyZipSignature);
}

Status JobPackage::write(const std::string& path, PressTicket ticket,
                         const std::vector<Document>& documents, ppd_file_s* ppd) {
    // libzip writes a temporary file beside the package, with the umask's permissions: the
    // folder keeps others out of both.
    struct stat folder {};
    std::string parent = fs::path(path).parent_path().string();
    if (::stat(parent.empty() ? "." : parent.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode) ||
        (folder.st_mode & 077) || folder.st_uid != ::geteuid())
        return Failure{"the job package is not made in " + (parent.empty() ? "." : parent) +
                       ": the folder must be the user's alone"};
    ticket.documents.clear();
    for (std::size_t i = 0; i < documents.size(); ++i) {
        std::error_code code;
        auto size = fs::file_size(documents[i].path, code);
        if (code || !fs::is_regular_file(documents[i].path))
            return Failure{"\"" + documents[i].path +
                           "\" cannot be read: " + (code ? code.message() : "it is not a file")};
        if (!isPdf(documents[i].path))
            return Failure{"\"" + documents[i].path +
                           "\" is not a PDF document: the press prints PDF"};
        ticket.documents.push_back({"documents/" + std::to_string(i + 1) + ".pdf",
                                    documents[i].name, "application/pdf", size});
    }
    std::string error;
    auto xjdf = ticket.toXjdf(ppd, error);
    if (!xjdf)
        return Failure{error};
    std::string root = rootMessage();

    int code = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!zip) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        Failure failure{"the job package cannot be made at " + path + ": " +
                        zip_error_strerror(&reason)};
        zip_error_fini(&reason);
        return failure;
    }
    auto fail = [&](const std::string& what) -> Status {
        Failure failure{"the job package cannot be made: " + what + ": " + zip_strerror(zip)};
        zip_discard(zip);
        return failure;
    };
    // A source that was not added is still the caller's to free.
    auto add = [&](const std::string& name, zip_source_t* source) -> zip_int64_t {
        zip_int64_t index = source ? zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0 && source)
            zip_source_free(source);
        return index;
    };
    auto addText = [&](const char* name, const std::string& text) {
        return add(name, zip_source_buffer(zip, text.data(), text.size(), 0)) >= 0;
    };
    // libzip reads the sources when the package is closed: the texts stay alive until then.
    if (!addText(kRootName, root) || !addText(kTicketName, *xjdf))
        return fail("the ticket");
    for (std::size_t i = 0; i < documents.size(); ++i) {
        zip_int64_t index =
            add(ticket.documents[i].path, zip_source_file(zip, documents[i].path.c_str(), 0, -1));
        if (index < 0)
            return fail("\"" + documents[i].path + "\"");
        // A PDF is compressed already.
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(zip) != 0)
        return fail("it cannot be written");
    if (::chmod(path.c_str(), 0600) != 0) {
        Failure failure{"the job package cannot be made private: " +
                        std::string(std::strerror(errno))};
        ::unlink(path.c_str());
        return failure;
    }
    return {};
}

Result<JobPackage> JobPackage::open(const std::string& path) {
    auto archive = std::make_unique<Archive>();
    int code = 0;
    archive->zip = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive->zip) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        Failure failure{"\"" + path + "\" is not a job package: " + zip_error_strerror(&reason)};
        zip_error_fini(&reason);
        return failure;
    }
    return read(std::move(archive));
}

Result<JobPackage> JobPackage::fromBytes(std::string bytes) {
    auto archive = std::make_unique<Archive>();
    archive->bytes = std::move(bytes);
    zip_error_t reason;
    zip_error_init(&reason);
    zip_source_t* source =
        zip_source_buffer_create(archive->bytes.data(), archive->bytes.size(), 0, &reason);
    archive->zip =
        source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &reason) : nullptr;
    if (!archive->zip) {
        Failure failure{std::string("the data is not a job package: ") +
                        zip_error_strerror(&reason)};
        if (source)
            zip_source_free(source);
        zip_error_fini(&reason);
        return failure;
    }
    zip_error_fini(&reason);
    return read(std::move(archive));
}

Result<JobPackage> JobPackage::read(std::unique_ptr<Archive> archive) {
    zip_t* zip = archive->zip;
    zip_int64_t count = zip_get_num_entries(zip, 0);
    if (count < 0)
        return Failure{"the package's entries cannot be read: " + std::string(zip_strerror(zip))};
    if (static_cast<zip_uint64_t>(count) > kMaxEntries)
        return Failure{"the package has more than " + std::to_string(kMaxEntries) + " entries"};
    std::set<std::string> names;
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
        zip_stat_t stat;
        if (zip_stat_index(zip, i, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            return Failure{"an entry of the package cannot be read: " +
                           std::string(zip_strerror(zip))};
        if (!isPlainEntryName(stat.name))
            return Failure{"the package's entry \"" + std::string(stat.name) +
                           "\" is not a plain path inside the package"};
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            return Failure{"the package's entry \"" + std::string(stat.name) + "\" is encrypted"};
        // An entry that unpacks as a link would lead whoever unpacks it out of the package.
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(zip, i, 0, &system, &attributes) == 0 &&
            system == ZIP_OPSYS_UNIX && S_ISLNK(attributes >> 16))
            return Failure{"the package's entry \"" + std::string(stat.name) + "\" is a link"};
        if (!names.insert(stat.name).second)
            return Failure{"the package holds \"" + std::string(stat.name) + "\" twice"};
    }
    auto entry = [&](const std::string& name, std::size_t limit) -> Result<std::string> {
        zip_int64_t index = zip_name_locate(zip, name.c_str(), 0);
        if (index < 0)
            return Failure{"the package has no " + name};
        return readEntry(zip, static_cast<zip_uint64_t>(index), limit, name);
    };
    auto root = entry(kRootName, kMaxRootBytes);
    if (!root)
        return Failure{root.error()};
    auto ticketPath = ticketOfRoot(*root);
    if (!ticketPath)
        return Failure{ticketPath.error()};
    auto ticketEntry = PressTicket::pathOfLocalUrl(*ticketPath);
    if (!ticketEntry)
        return Failure{"the package's ticket is not named by a path inside the package"};
    auto xml = entry(*ticketEntry, kMaxTicketBytes);
    if (!xml)
        return Failure{xml.error()};
    std::string error;
    auto ticket = PressTicket::fromXjdf(*xml, error);
    if (!ticket)
        return Failure{error};
    std::set<std::string> documents;
    for (const auto& document : ticket->documents) {
        zip_stat_t stat;
        const std::string& path = document.path;
        if (zip_stat(zip, path.c_str(), 0, &stat) != 0)
            return Failure{"the package lacks the ticket's document \"" + path + "\""};
        if (!documents.insert(path).second || path == kRootName || path == *ticketEntry)
            return Failure{"the ticket names \"" + path +
                           "\" as a document twice or as one of its parts"};
        // Stored as it is, a document is never larger than the package that holds it.
        if (!(stat.valid & ZIP_STAT_COMP_METHOD) || stat.comp_method != ZIP_CM_STORE)
            return Failure{"the package's \"" + path +
                           "\" is compressed: documents are stored as they are"};
        if (document.size && (stat.valid & ZIP_STAT_SIZE) && stat.size != document.size)
            return Failure{"the package's \"" + path + "\" is not the size its ticket says"};
    }
    JobPackage package;
    package._archive = std::move(archive);
    package._ticket = std::move(*ticket);
    package._ticketXml = std::move(*xml);
    return package;
}

Result<std::uint64_t> JobPackage::documentEntry(std::size_t index) const {
    if (index >= _ticket.documents.size())
        return Failure{"the ticket has no document " + std::to_string(index + 1)};
    const std::string& path = _ticket.documents[index].path;
    zip_int64_t entry = zip_name_locate(_archive->zip, path.c_str(), 0);
    if (entry < 0)
        return Failure{"the package lacks \"" + path + "\""};
    return static_cast<zip_uint64_t>(entry);
}

Status JobPackage::extractDocument(std::size_t index, const std::string& path) const {
    auto entry = documentEntry(index);
    if (!entry)
        return Failure{entry.error()};
    const std::string& name = _ticket.documents[index].path;
    zip_file_t* file = zip_fopen_index(_archive->zip, *entry, 0);
    if (!file)
        return Failure{"the package's \"" + name +
                       "\" cannot be read: " + zip_strerror(_archive->zip)};
    int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool copied = out >= 0;
    char buffer[65536];
    zip_int64_t got = 0;
    while (copied && (got = zip_fread(file, buffer, sizeof buffer)) > 0)
        copied = FileUtil::writeAll(out, std::string_view(buffer, static_cast<std::size_t>(got)));
    copied = copied && got == 0;
    zip_fclose(file);
    if (out >= 0)
        copied = ::close(out) == 0 && copied;
    if (!copied) {
        if (out >= 0)
            ::unlink(path.c_str());
        return Failure{"the package's \"" + name + "\" cannot be copied to " + path};
    }
    return {};
}

Result<std::string> JobPackage::documentBytes(std::size_t index, std::size_t limit) const {
    auto entry = documentEntry(index);
    if (!entry)
        return Failure{entry.error()};
    return readEntry(_archive->zip, *entry, limit, _ticket.documents[index].path);
}

} // namespace velmora
