#pragma once

#include "platform/foundation/Result.h"
#include "platform/printing/PressTicket.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ppd_file_s;

namespace velmora {

// What the press receives for a job: a ZIP package as XJDF 2.2 packages a job (section 9.7,
// "XJDF Packaging"): root.xjmf, an XJMF command that submits the ticket; ticket.xjdf, the job
// ticket; and the job's documents under documents/, each named in the ticket by a local URL and
// stored as it is (a PDF is compressed already, and a stored document is never larger inside
// than the package). Nothing is encrypted (section 9.7.1.4). The package holds the job's
// passwords in the codec's encoding, so it is written only into a folder its owner alone can
// enter.
class JobPackage {
public:
    static constexpr const char* kMimeType = "application/vnd.cip4-xjmf+zip";
    static constexpr const char* kRootName = "root.xjmf";
    static constexpr const char* kTicketName = "ticket.xjdf";
    static constexpr const char* kFileExtension = ".xjmf.zip";
    // Bounds of what is read from a package, whoever wrote it.
    static constexpr std::size_t kMaxEntries = 1000;
    // A ticket of the press's 223 options is about 20 KiB.
    static constexpr std::size_t kMaxTicketBytes = 1u << 20;
    static constexpr std::size_t kMaxRootBytes = 64u << 10;

    // A document to put into a package: the file and the name the ticket gives it.
    struct Document {
        std::string path;
        std::string name;
    };

    // Writes a new package at path (which must not exist; created 0600) in a folder that only
    // its owner may enter (libzip writes a temporary file beside it first): the ticket gets the
    // documents' entries. The documents must be PDF. Fails with the reason, and nothing left at
    // path, when the folder is open to others, a document cannot be read or is not PDF, or the
    // ticket cannot be written.
    static Status write(const std::string& path, PressTicket ticket,
                        const std::vector<Document>& documents, ppd_file_s* ppd);

    // Opens a package and reads its ticket; the reason when it is not a package of this form
    // (not a ZIP, encrypted, an entry outside the package or a link, no root.xjmf or ticket, a
    // ticket's document missing, compressed or named twice, too many entries, a part larger than
    // its bound, ...).
    static Result<JobPackage> open(const std::string& path);
    static Result<JobPackage> fromBytes(std::string bytes);

    JobPackage(JobPackage&&) noexcept;
    JobPackage& operator=(JobPackage&&) noexcept;
    ~JobPackage();

    const PressTicket& ticket() const { return _ticket; }
    const std::string& ticketXml() const { return _ticketXml; }
    // The bytes of the ticket's document at index, at most limit bytes; the reason when it is
    // larger or cannot be read.
    Result<std::string> documentBytes(std::size_t index, std::size_t limit) const;

    // Copies the ticket's document at index into a new file at path (0600); the reason, and
    // nothing left at path, when it cannot.
    Status extractDocument(std::size_t index, const std::string& path) const;

    // Whether bytes begin as a ZIP file does (what a filter is given tells whether it is a
    // package or a document).
    static bool looksLikeZip(std::string_view head);

private:
    struct Archive;
    JobPackage();
    std::unique_ptr<Archive> _archive;
    PressTicket _ticket;
    std::string _ticketXml;

    static Result<JobPackage> read(std::unique_ptr<Archive> archive);
    // The ZIP entry of the ticket's document at index, or the reason.
    Result<std::uint64_t> documentEntry(std::size_t index) const;
};

} // namespace velmora
