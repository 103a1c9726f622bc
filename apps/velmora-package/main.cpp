// velmora-package: the CUPS filter that gives the press its job package. A document from any
// application (a PDF, after pdftopdf) becomes a package whose ticket holds every option of the
// job: the queue PPD's options at the job's choices (the PPD's defaults where the job names none)
// and the panel's own entries the job carries. A package that velmora made on the client (whose
// passwords never became job attributes) is read and made anew.
//
// Copies are the press's: the queue's PPD says so (*cupsManualCopies: False), pdftopdf leaves
// them to the device, and the ticket carries the count the scheduler gives this filter. CUPS's
// own page ranges and number-up are applied by pdftopdf to the pages before they get here, so the
// ticket leaves them out; the press's own imposition options are the ticket's.
//
// A package is never passed on as it came: whoever may print can send one. The press receives
// the ticket as this filter writes it and the PDF documents it names, stored as they are.
//
// Nothing a job says is repeated on standard error, through FilterMessage.

#include "platform/foundation/FileUtil.h"
#include "platform/foundation/TemporaryFolder.h"
#include "platform/printing/FilterMessage.h"
#include "platform/printing/JobPackage.h"
#include "platform/printing/PressNames.h"
#include "platform/printing/PressTicket.h"
#include "platform/printing/PrintSettings.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/cups.h>
#include <cups/ppd.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace velmora;
using Level = FilterMessage::Level;

void ignoreParserMessage(void*, const char*, ...) {}
void ignoreStructuredParserMessage(void*, xmlErrorPtr) {}

void say(Level level, const std::string& text) {
    FilterMessage::emit(FilterMessage::line(level, "velmora-package: " + text));
}

bool copyAll(int from, int to) {
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 ||
            !FileUtil::writeAll(to, std::string_view(buffer, static_cast<std::size_t>(got))))
            return false;
    }
}

// The job's document, as a file of this run's folder.
bool saveInput(int argc, char** argv, const std::string& path) {
    int in = argc > 6 ? ::open(argv[6], O_RDONLY | O_CLOEXEC) : 0;
    int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool saved = in >= 0 && out >= 0 && copyAll(in, out);
    if (in > 0)
        ::close(in);
    if (out >= 0)
        saved = ::close(out) == 0 && saved;
    return saved;
}

bool sendFile(const std::string& path) {
    int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    bool sent = in >= 0 && copyAll(in, 1);
    if (in >= 0)
        ::close(in);
    return sent;
}

bool isPackageInput(const std::string& path) {
    if (const char* type = std::getenv("CONTENT_TYPE"))
        return std::strcmp(type, JobPackage::kMimeType) == 0;
    char head[4] = {};
    FILE* file = std::fopen(path.c_str(), "rb");
    std::size_t got = file ? std::fread(head, 1, sizeof head, file) : 0;
    if (file)
        std::fclose(file);
    return JobPackage::looksLikeZip(std::string_view(head, got));
}

// A ticket of this job, as the scheduler describes it.
PressTicket ticketOfJob(char** argv, ppd_file_t* ppd) {
    cups_option_t* parsed = nullptr;
    int count = cupsParseOptions(argv[5], 0, &parsed);
    Dictionary given;
    for (int i = 0; i < count; ++i)
        given.set(parsed[i].name, Value(std::string(parsed[i].value)));
    PressTicket ticket;
    const char* uuid = cupsGetOption("job-uuid", count, parsed);
    ticket.jobId = uuid && *uuid ? uuid : std::string("cups-job-") + argv[1];
    cupsFreeOptions(count, parsed);
    ticket.jobName = argv[3];
    ticket.options = PressTicket::optionsOfJob(ppd, given);
    // The scheduler's count, or the panel's own where a job names only that (lp -o NumCopies=3).
    auto copies = PrintSettings::copiesOfText(argv[4]);
    auto numCopies = ticket.options.find("NumCopies");
    auto panelCopies = numCopies == ticket.options.end()
                           ? std::nullopt
                           : PrintSettings::copiesOfText(numCopies->second);
    ticket.copies = copies && *copies > 1 ? *copies : panelCopies ? *panelCopies : 1;
    return ticket;
}

// A package from the client, made anew: its ticket as this filter writes tickets and the PDF
// documents the ticket names, nothing else of what the package held. A package that is not a
// press job package, or names no document, or a document that is not PDF, ends the job.
Status rewritePackage(const std::string& input, const std::string& folder,
                      const std::string& package, ppd_file_t* ppd) {
    auto given = JobPackage::open(input);
    if (!given)
        return Failure{"the job is not a press job package: " + given.error()};
    PressTicket ticket = given->ticket();
    // A package of an older velmora names the press's options as the queue's PPD did then.
    Dictionary options;
    for (const auto& [name, value] : ticket.options)
        options.set(name, Value(value));
    ticket.options.clear();
    for (const auto& [name, value] : PressNames(ppd).inPpdNames(options))
        ticket.options.emplace(name, value.stringValue());
    if (ticket.documents.empty())
        return Failure{"the job package holds no document"};
    std::vector<JobPackage::Document> documents;
    for (std::size_t i = 0; i < ticket.documents.size(); ++i) {
        std::string path = folder + "/document-" + std::to_string(i + 1);
        if (auto extracted = given->extractDocument(i, path); !extracted)
            return extracted;
        documents.push_back({path, ticket.documents[i].name});
    }
    return JobPackage::write(package, ticket, documents, ppd);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6 || argc > 7) {
        std::fputs("Usage: velmora-package job user title copies options [file]\n", stderr);
        return 1;
    }
    xmlInitParser();
    xmlSetGenericErrorFunc(nullptr, ignoreParserMessage);
    xmlSetStructuredErrorFunc(nullptr, ignoreStructuredParserMessage);
    TemporaryFolder folder("velmora-package");
    if (folder.path().empty()) {
        say(Level::Error, "no temporary folder can be made");
        return 1;
    }
    std::string input = folder.path() + "/input";
    if (!saveInput(argc, argv, input)) {
        say(Level::Error, "the job's document cannot be read");
        return 1;
    }
    const char* ppdPath = std::getenv("PPD");
    ppd_file_t* ppd = ppdPath ? ppdOpenFile(ppdPath) : nullptr;
    if (!ppd) {
        say(Level::Error, "the queue's PPD cannot be read");
        return 1;
    }
    std::string package = folder.path() + "/job" + JobPackage::kFileExtension;
    Status written = isPackageInput(input) ? rewritePackage(input, folder.path(), package, ppd)
                                           : JobPackage::write(package, ticketOfJob(argv, ppd),
                                                               {{input, argv[3]}}, ppd);
    ppdClose(ppd);
    if (!written) {
        say(Level::Error, written.error());
        return 1;
    }
    say(Level::Info, "job package ready");
    return sendFile(package) ? 0 : (say(Level::Error, "the package cannot be sent"), 1);
}
