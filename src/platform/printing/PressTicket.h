#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ppd_file_s;

namespace velmora {

// The job ticket the press receives with a job: a CIP4 XJDF 2.2 document. The options a press
// maker's device reads without knowing this panel are in XJDF's own resources (media and its
// tray, sides, colour, stitching, hole making, folding, output bin, copies, job name); every
// option the job was printed with, the press's own included, is in the resource
// "vf:PressOptions" of our namespace, which is what this reader reads back.
class PressTicket {
public:
    static constexpr const char* kXjdfNamespace = "http://www.CIP4.org/JDFSchema_2_0";
    static constexpr const char* kXjdfVersion = "2.2";
    static constexpr const char* kPressNamespace = "urn:velmora:xjdf:press:1";
    static constexpr const char* kPressOptionsResource = "vf:PressOptions";

    struct Document {
        std::string path;     // where the package holds it, from the package's root
        std::string name;     // the name the person gave it
        std::string mimeType; // "application/pdf"
        std::uint64_t size = 0;
    };

    std::string jobId;   // an XML name token that identifies this job
    std::string jobName; // the job's title
    int copies = 1;
    // Option keyword → value: each PPD option at its choice, each of the panel's own entries by
    // its keyword with the value it is stored with (a password in the codec's encoding).
    std::map<std::string, std::string> options;
    std::vector<Document> documents;

    // A job ID of its own for a ticket made on the client: "vf-" and 32 random hexadecimal digits.
    static std::string newJobId();

    // Every option a job is printed with on a queue: each of the PPD's options at the job's
    // choice (the PPD's default where the job names none; IPP's "sides", or else the press's
    // DuplexMode, marks the PPD's Duplex, and the press's tray KVInputSlot its InputSlot, as the
    // panel's host does), and the panel's own entries,
    // in whichever form (long or stored) the job carries them. Job attributes of CUPS's own
    // (copies, job-uuid, number-up, ...) are not press options and are left out.
    static std::map<std::string, std::string> optionsOfJob(ppd_file_s* ppd,
                                                           const Dictionary& jobOptions);

    // The XJDF document; page sizes come from the PPD's paper dimensions when one is given.
    // Null with the reason when a name or value cannot be carried by XML as it is.
    std::optional<std::string> toXjdf(ppd_file_s* ppd, std::string& error) const;
    // Reads a ticket this class wrote, or another XJDF 2.x ticket with the same extension; null
    // with the reason for anything else (not XML, not XJDF, a DTD, options without names, ...).
    static std::optional<PressTicket> fromXjdf(std::string_view xml, std::string& error);

    // Whether XML from outside is small enough in shape to be parsed: no document type
    // declaration (whose entities could make a small ticket large), at most kMaxXmlElements
    // elements and kMaxXmlAttributes attributes on any one (the XML parser's cost grows with
    // the square of an element's attributes). False with the reason.
    static constexpr std::size_t kMaxXmlElements = 20000;
    static constexpr std::size_t kMaxXmlAttributes = 64;
    static bool hasParsableShape(std::string_view xml, std::string& error);

    // The path inside a package that a ticket's local URL names (%XX decoded); null when the URL
    // is not a plain relative path (a scheme, a query, "..", an absolute or empty path).
    static std::optional<std::string> pathOfLocalUrl(const std::string& url);

    // The ticket as JSON-ready values, passwords and PINs shown as JobOptions::kHiddenSecret.
    Dictionary toDictionary() const;
};

} // namespace velmora
