#include "platform/printing/PressTicket.h"
#include "platform/printing/SheetPlan.h"

#include "platform/foundation/TextEncoding.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/PressNames.h"
#include "platform/printing/PrintSettings.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/uri.h>

#include <cstring>
#include <memory>
#include <random>
#include <sstream>

namespace velmora {
namespace {

const xmlChar* x(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}

// What an attribute value of XML 1.0 carries and gives back as it was: UTF-8 without control
// characters (a line break would be read back as a space).
bool isXmlText(std::string_view text) {
    if (!TextEncodings::isValidUtf8(text))
        return false;
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return false;
    return text.find("\xEF\xBF\xBE") == std::string_view::npos &&
           text.find("\xEF\xBF\xBF") == std::string_view::npos;
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

// A written ticket: XJDF's own elements in its default namespace, ours with the prefix "vf".
class XjdfWriter {
public:
    XjdfWriter() : _doc(xmlNewDoc(x("1.0"))) {
        _root = xmlNewDocNode(_doc.get(), nullptr, x("XJDF"), nullptr);
        xmlDocSetRootElement(_doc.get(), _root);
        _xjdf = xmlNewNs(_root, x(PressTicket::kXjdfNamespace), nullptr);
        _press = xmlNewNs(_root, x(PressTicket::kPressNamespace), x("vf"));
        xmlSetNs(_root, _xjdf);
    }
    xmlNode* root() const { return _root; }
    xmlNode* child(xmlNode* parent, const char* name, bool ours = false) {
        return xmlNewChild(parent, ours ? _press : _xjdf, x(name), nullptr);
    }
    static void set(xmlNode* node, const char* name, const std::string& value) {
        xmlNewProp(node, x(name), x(value.c_str()));
    }
    // ResourceSet[@Name][@Usage]/Resource, with a partition when one is given.
    xmlNode* resource(const char* name, const char* usage, const char* partKey = nullptr,
                      const std::string& partValue = "") {
        xmlNode* set = child(_root, "ResourceSet");
        XjdfWriter::set(set, "Name", name);
        if (usage)
            XjdfWriter::set(set, "Usage", usage);
        xmlNode* resource = child(set, "Resource");
        if (partKey)
            XjdfWriter::set(child(resource, "Part"), partKey, partValue);
        return resource;
    }
    std::string text() const {
        xmlChar* bytes = nullptr;
        int size = 0;
        xmlDocDumpFormatMemoryEnc(_doc.get(), &bytes, &size, "UTF-8", 1);
        std::string text(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
        xmlFree(bytes);
        return text;
    }

private:
    Doc _doc;
    xmlNode* _root = nullptr;
    xmlNs* _xjdf = nullptr;
    xmlNs* _press = nullptr;
};

// A relative URL for a path inside the package: what is neither unreserved nor a slash is
// percent-encoded.
std::string localUrl(const std::string& path) {
    xmlChar* escaped = xmlURIEscapeStr(x(path.c_str()), x("/"));
    std::string url = escaped ? reinterpret_cast<const char*>(escaped) : "";
    xmlFree(escaped);
    return url;
}

class StandardElements {
public:
    StandardElements(const PressTicket& ticket, ppd_file_t* ppd, XjdfWriter& writer)
        : _ticket(ticket), _ppd(ppd), _writer(writer), _names(ppd) {}

    // The processes whose parameters the ticket gives, for XJDF/@Types.
    std::string types() const {
        std::string types = "DigitalPrinting";
        if (SheetPlan::stitchingOf(option("StapleMode")).count > 0)
            types += " Stitching";
        if (isSet("Punch"))
            types += " HoleMaking";
        if (isSet("Fold"))
            types += " Folding";
        if (hasOutputBin())
            types += " Stacking";
        return types;
    }

    void write() {
        writeCopies();
        writeMedia();
        writePrinting();
        writeColour();
        writeStitching();
        writeHoleMaking();
        writeFolding();
        writeStacking();
    }

private:
    const PressTicket& _ticket;
    ppd_file_t* _ppd;
    XjdfWriter& _writer;
    PressNames _names;

    std::string option(const std::string& keyword) const {
        auto found = _ticket.options.find(keyword);
        return found == _ticket.options.end() ? std::string() : found->second;
    }
    // The press's choice of one of its options, which the ticket holds under the PPD's names.
    std::string pressChoice(const std::string& pressOption) const {
        std::string ppdOption = _names.optionInPpd(pressOption);
        std::string choice = option(ppdOption);
        return choice.empty() ? choice : _names.ofPress(ppdOption, choice).second;
    }
    bool isSet(const char* keyword) const {
        std::string value = option(keyword);
        return !value.empty() && value != "None" && value != "Off";
    }
    bool hasOutputBin() const {
        std::string bin = pressChoice("OutputTray");
        return !bin.empty() && bin != "Auto";
    }

    void writeCopies() {
        xmlNode* resource = _writer.resource("Component", "Output");
        xmlNode* amount = _writer.child(_writer.child(resource, "AmountPool"), "PartAmount");
        XjdfWriter::set(amount, "Amount", std::to_string(_ticket.copies));
        _writer.child(resource, "Component");
    }

    void writeMedia() {
        std::string tray = option("KVInputSlot");
        bool chosenTray = !tray.empty() && tray != "AutoSelect" && tray != "TraySystemSetting";
        xmlNode* resource = chosenTray ? _writer.resource("Media", "Input", "Location", tray)
                                       : _writer.resource("Media", "Input");
        xmlNode* media = _writer.child(resource, "Media");
        std::string type = option("PaperType");
        XjdfWriter::set(media, "MediaType", mediaType(type));
        if (!type.empty() && type != "Unspecified")
            XjdfWriter::set(media, "MediaTypeDetails", type);
        if (auto coating = coatingOf(type))
            XjdfWriter::set(media, "Coating", *coating);
        std::string size = option("PageSize");
        if (ppd_size_t* paper = _ppd && !size.empty() ? ppdPageSize(_ppd, size.c_str()) : nullptr)
            XjdfWriter::set(media, "Dimension", number(paper->width) + " " + number(paper->length));
    }

    void writePrinting() {
        xmlNode* params = _writer.child(_writer.resource("DigitalPrintingParams", "Input"),
                                        "DigitalPrintingParams");
        std::string collate = option("Collate");
        if (!collate.empty())
            XjdfWriter::set(params, "Collate", collate == "False" ? "None" : "Sheet");
        if (option("KVInputSlot") == "Manual")
            XjdfWriter::set(params, "ManualFeed", "true");
        std::string duplex = option("Duplex");
        if (!duplex.empty())
            XjdfWriter::set(params, "Sides", duplex == "None" ? "OneSidedFront" : "TwoSided");
    }

    void writeColour() {
        std::string mode = pressChoice("ColorMode");
        if (mode.empty())
            return;
        xmlNode* control =
            _writer.child(_writer.resource("ColorantControl", "Input"), "ColorantControl");
        XjdfWriter::set(control, "ProcessColorModel", mode == "Gray" ? "DeviceGray" : "DeviceCMYK");
    }

    void writeStitching() {
        if (!isSet("StapleMode"))
            return;
        // Read as the preview reads it, so that what a person is shown is what the press is told.
        SheetPlan::Stitching stitching = SheetPlan::stitchingOf(option("StapleMode"));
        if (stitching.count == 0)
            return;
        xmlNode* params =
            _writer.child(_writer.resource("StitchingParams", "Input"), "StitchingParams");
        using Type = SheetPlan::Stitching::Type;
        XjdfWriter::set(params, "StitchType",
                        stitching.type == Type::Saddle   ? "Saddle"
                        : stitching.type == Type::Corner ? "Corner"
                                                         : "Side");
        XjdfWriter::set(params, "NumberOfStitches", std::to_string(stitching.count));
    }

    void writeHoleMaking() {
        if (!isSet("Punch"))
            return;
        xmlNode* params =
            _writer.child(_writer.resource("HoleMakingParams", "Input"), "HoleMakingParams");
        xmlNode* pattern = _writer.child(params, "HolePattern");
        static const std::map<std::string, const char*> kPatterns = {{"Holes2", "R2-generic"},
                                                                     {"Holes3", "R3-generic"},
                                                                     {"Holes4", "R4-generic"},
                                                                     {"HolesMulti", "S-generic"}};
        if (auto found = kPatterns.find(option("PunchHoles")); found != kPatterns.end())
            XjdfWriter::set(pattern, "Pattern", found->second);
        std::string edge = option("Punch");
        if (SheetPlan::punchEdgeOf(edge))
            XjdfWriter::set(pattern, "ReferenceEdge", edge);
    }

    void writeFolding() {
        if (!isSet("Fold"))
            return;
        std::string fold = option("Fold");
        xmlNode* params =
            _writer.child(_writer.resource("FoldingParams", "Input"), "FoldingParams");
        // The fold catalogue's F4-1 is the single fold across the middle; the press's other folds
        // are named by the press, beside its own option.
        if (fold.starts_with("Bifold"))
            XjdfWriter::set(params, "FoldCatalog", "F4-1");
        XjdfWriter::set(params, "FoldingDetails", fold);
    }

    void writeStacking() {
        if (!hasOutputBin())
            return;
        xmlNode* params =
            _writer.child(_writer.resource("StackingParams", "Input"), "StackingParams");
        // The bin as print clients name it: IPP's keyword where the queue's PPD gives one.
        XjdfWriter::set(params, "OutputBin", option(_names.optionInPpd("OutputTray")));
    }

    static std::string mediaType(const std::string& paperType) {
        if (paperType == "Transparency")
            return "Transparency";
        if (paperType == "Film")
            return "Film";
        if (paperType == "TackFilm" || paperType == "Label")
            return "SelfAdhesive";
        return "Paper";
    }
    static std::optional<std::string> coatingOf(const std::string& paperType) {
        if (paperType == "Uncoated" || paperType == "UncoatedBack")
            return "None";
        if (paperType == "MatteCoated")
            return "Matte";
        if (paperType == "Coated" || paperType == "CoatedBack" || paperType == "CastCoated")
            return "Coated";
        return std::nullopt;
    }
    static std::string number(float points) {
        std::ostringstream out;
        out << points;
        return out.str();
    }
};

std::string attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetNoNsProp(node, x(name));
    if (!value)
        return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

bool hasAttribute(xmlNode* node, const char* name) {
    return xmlHasNsProp(node, x(name), nullptr);
}

bool isElement(xmlNode* node, const char* name, const char* space) {
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0 && node->ns &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), space) == 0;
}

std::vector<xmlNode*> children(xmlNode* parent, const char* name, const char* space) {
    std::vector<xmlNode*> found;
    for (xmlNode* node = parent ? parent->children : nullptr; node; node = node->next)
        if (isElement(node, name, space))
            found.push_back(node);
    return found;
}

xmlNode* firstChild(xmlNode* parent, const char* name, const char* space) {
    auto found = children(parent, name, space);
    return found.empty() ? nullptr : found.front();
}

const char* duplexOfSides(const std::string& sides) {
    if (sides == "one-sided")
        return "None";
    if (sides == "two-sided-long-edge")
        return "DuplexNoTumble";
    if (sides == "two-sided-short-edge")
        return "DuplexTumble";
    return nullptr;
}

// The press's own option takes the printing system's choice when the job named only the latter
// (or IPP's "sides" for Duplex) and the press's option has that choice.
void followPrintingSystemChoice(ppd_file_t* ppd, const Dictionary& given, const char* system,
                                const char* press) {
    bool namesSystem =
        given.contains(system) || (std::string(system) == "Duplex" && given.contains("sides"));
    if (!namesSystem || given.contains(press))
        return;
    if (ppd_choice_t* chosen = ppdFindMarkedChoice(ppd, system))
        if (ppdFindChoice(ppdFindOption(ppd, press), chosen->choice))
            ppdMarkOption(ppd, press, chosen->choice);
}

bool readOptions(xmlNode* root, PressTicket& ticket, std::string& error) {
    bool found = false;
    for (xmlNode* set : children(root, "ResourceSet", PressTicket::kXjdfNamespace)) {
        if (attribute(set, "Name") != PressTicket::kPressOptionsResource)
            continue;
        found = true;
        for (xmlNode* resource : children(set, "Resource", PressTicket::kXjdfNamespace))
            for (xmlNode* options :
                 children(resource, "PressOptions", PressTicket::kPressNamespace))
                for (xmlNode* option : children(options, "Option", PressTicket::kPressNamespace)) {
                    std::string name = attribute(option, "Name");
                    if (name.empty() || !hasAttribute(option, "Value")) {
                        error = "an option of the ticket has no name or no value";
                        return false;
                    }
                    if (!ticket.options.emplace(name, attribute(option, "Value")).second) {
                        error = "the ticket names the option \"" + name + "\" twice";
                        return false;
                    }
                }
    }
    if (!found)
        error = "the ticket holds no press options (resource " +
                std::string(PressTicket::kPressOptionsResource) + ")";
    return found;
}

bool readCopies(xmlNode* root, PressTicket& ticket, std::string& error) {
    for (xmlNode* set : children(root, "ResourceSet", PressTicket::kXjdfNamespace)) {
        if (attribute(set, "Name") != "Component" || attribute(set, "Usage") != "Output")
            continue;
        xmlNode* amount =
            firstChild(firstChild(firstChild(set, "Resource", PressTicket::kXjdfNamespace),
                                  "AmountPool", PressTicket::kXjdfNamespace),
                       "PartAmount", PressTicket::kXjdfNamespace);
        auto copies =
            amount ? PrintSettings::copiesOfText(attribute(amount, "Amount")) : std::nullopt;
        if (!copies) {
            error = "the ticket's copies are not a count of 1 to 9999";
            return false;
        }
        ticket.copies = *copies;
        return true;
    }
    error = "the ticket says no number of copies";
    return false;
}

bool readDocuments(xmlNode* root, PressTicket& ticket, std::string& error) {
    for (xmlNode* set : children(root, "ResourceSet", PressTicket::kXjdfNamespace)) {
        if (attribute(set, "Name") != "RunList")
            continue;
        for (xmlNode* resource : children(set, "Resource", PressTicket::kXjdfNamespace)) {
            xmlNode* file = firstChild(firstChild(resource, "RunList", PressTicket::kXjdfNamespace),
                                       "FileSpec", PressTicket::kXjdfNamespace);
            auto path = PressTicket::pathOfLocalUrl(file ? attribute(file, "URL") : std::string());
            if (!path) {
                error = "a document of the ticket is not named by a path inside the package";
                return false;
            }
            PressTicket::Document document{*path, attribute(file, "UserFileName"),
                                           attribute(file, "MimeType"), 0};
            if (std::string size = attribute(file, "FileSize"); !size.empty()) {
                char* end = nullptr;
                errno = 0;
                document.size = std::strtoull(size.c_str(), &end, 10);
                if (*end || errno || size.front() == '-') {
                    error = "a document's size in the ticket is not a number";
                    return false;
                }
            }
            ticket.documents.push_back(std::move(document));
        }
    }
    return true;
}

} // namespace

std::optional<std::string> PressTicket::pathOfLocalUrl(const std::string& url) {
    std::string path;
    for (std::size_t i = 0; i < url.size(); ++i) {
        char c = url[i];
        if (c == '%' && i + 2 < url.size() &&
            std::isxdigit(static_cast<unsigned char>(url[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(url[i + 2]))) {
            path += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (c == '%' || c == ':' || c == '?' || c == '#' || c == '\\') {
            return std::nullopt;
        } else {
            path += c;
        }
    }
    if (path.empty() || path.front() == '/' || path.find('\0') != std::string::npos)
        return std::nullopt;
    std::istringstream parts(path);
    for (std::string part; std::getline(parts, part, '/');)
        if (part.empty() || part == "." || part == "..")
            return std::nullopt;
    return path;
}

bool PressTicket::hasParsableShape(std::string_view xml, std::string& error) {
    std::size_t elements = 0;
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at)) {
        auto skipTo = [&](std::string_view end) {
            std::size_t found = xml.find(end, at);
            return found == std::string_view::npos ? xml.size() : found + end.size();
        };
        std::string_view rest = xml.substr(at);
        if (rest.starts_with("<!--")) {
            at = skipTo("-->");
            continue;
        }
        if (rest.starts_with("<![CDATA[")) {
            at = skipTo("]]>");
            continue;
        }
        if (rest.starts_with("<?")) {
            at = skipTo("?>");
            continue;
        }
        if (rest.starts_with("<!")) {
            error = "the XML has a document type declaration";
            return false;
        }
        if (++elements > kMaxXmlElements) {
            error = "the XML has more than " + std::to_string(kMaxXmlElements) + " elements";
            return false;
        }
        // The tag up to its end, quoted values skipped: each "=" outside them is an attribute.
        std::size_t attributes = 0;
        char quote = 0;
        for (++at; at < xml.size(); ++at) {
            char c = xml[at];
            if (quote) {
                quote = c == quote ? 0 : quote;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=') {
                if (++attributes > kMaxXmlAttributes) {
                    error = "an element of the XML has more than " +
                            std::to_string(kMaxXmlAttributes) + " attributes";
                    return false;
                }
            } else if (c == '>') {
                break;
            }
        }
    }
    return true;
}

std::string PressTicket::newJobId() {
    std::random_device random;
    std::string id = "vf-";
    static const char* hex = "0123456789abcdef";
    for (int i = 0; i < 32; ++i)
        id += hex[random() & 15];
    return id;
}

std::map<std::string, std::string> PressTicket::optionsOfJob(ppd_file_s* ppd,
                                                             const Dictionary& jobOptions) {
    std::map<std::string, std::string> options;
    // The press's names of options the PPD names for print clients (lp -o OutputTray=…, a
    // package made by an older velmora) are taken under the PPD's names.
    Dictionary given = PressNames(ppd).inPpdNames(JobOptions::fromStored(jobOptions));
    const std::string_view entryPrefix = JobOptions::kEntryPrefix;
    if (ppd) {
        ppdMarkDefaults(ppd);
        // IPP's two-sided printing as the PPD's Duplex (what libcups's own mapping does, without
        // the PPD cache it builds for it); a PPD option the job names itself decides after it.
        if (const std::string* sides = given.get("sides").string()) {
            if (const char* duplex = duplexOfSides(*sides))
                ppdMarkOption(ppd, "Duplex", duplex);
        } else if (const std::string* mode = given.get("DuplexMode").string()) {
            // What the panel's host derives from the press's own options, for a job that names
            // only those (lp -o DuplexMode=…): two-sided printing and the paper source.
            ppdMarkOption(ppd, "Duplex", mode->c_str());
        }
        if (const std::string* tray = given.get("KVInputSlot").string())
            ppdMarkOption(ppd, "InputSlot", tray->c_str());
        for (const auto& [name, value] : given)
            if (!name.starts_with(entryPrefix) && ppdFindOption(ppd, name.c_str()))
                ppdMarkOption(ppd, name.c_str(), value.stringValue().c_str());
        // A print client that knows only IPP (media-source, sides, which the scheduler turns
        // into InputSlot and Duplex) chose the press's tray and two-sided printing too.
        followPrintingSystemChoice(ppd, given, "InputSlot", "KVInputSlot");
        followPrintingSystemChoice(ppd, given, "Duplex", "DuplexMode");
        for (ppd_option_t* option = ppdFirstOption(ppd); option; option = ppdNextOption(ppd))
            if (ppd_choice_t* choice = ppdFindMarkedChoice(ppd, option->keyword))
                options[option->keyword] = choice->choice;
    }
    for (const auto& [name, value] : given)
        if (name.starts_with(entryPrefix) && name.size() > entryPrefix.size())
            options.emplace(name.substr(entryPrefix.size()), value.stringValue());
    return options;
}

std::optional<std::string> PressTicket::toXjdf(ppd_file_s* ppd, std::string& error) const {
    auto unwritable = [&](const std::string& what, const std::string& text) {
        if (isXmlText(text))
            return false;
        error = what + " holds a character a job ticket cannot carry (a control character or "
                       "bytes that are not UTF-8)";
        return true;
    };
    if (unwritable("the job name", jobName))
        return std::nullopt;
    for (const auto& [name, value] : options)
        if (unwritable("the option \"" + name + "\"", name + value))
            return std::nullopt;
    for (const auto& document : documents)
        if (unwritable("the document name", document.name))
            return std::nullopt;
    XjdfWriter writer;
    StandardElements standard(*this, ppd, writer);
    XjdfWriter::set(writer.root(), "JobID", jobId);
    XjdfWriter::set(writer.root(), "DescriptiveName", jobName);
    XjdfWriter::set(writer.root(), "Types", standard.types());
    XjdfWriter::set(writer.root(), "Version", kXjdfVersion);
    standard.write();
    for (std::size_t i = 0; i < documents.size(); ++i) {
        xmlNode* runList = writer.child(
            writer.resource("RunList", "Input", "Run", "R" + std::to_string(i + 1)), "RunList");
        xmlNode* file = writer.child(runList, "FileSpec");
        XjdfWriter::set(file, "URL", localUrl(documents[i].path));
        XjdfWriter::set(file, "MimeType", documents[i].mimeType);
        XjdfWriter::set(file, "UserFileName", documents[i].name);
        XjdfWriter::set(file, "FileSize", std::to_string(documents[i].size));
    }
    xmlNode* press =
        writer.child(writer.resource(kPressOptionsResource, "Input"), "PressOptions", true);
    for (const auto& [name, value] : options) {
        xmlNode* option = writer.child(press, "Option", true);
        XjdfWriter::set(option, "Name", name);
        XjdfWriter::set(option, "Value", value);
    }
    return writer.text();
}

std::optional<PressTicket> PressTicket::fromXjdf(std::string_view xml, std::string& error) {
    if (!hasParsableShape(xml, error)) {
        error = "the ticket is refused: " + error;
        return std::nullopt;
    }
    Doc doc(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "ticket.xjdf", nullptr,
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc) {
        const xmlError* last = xmlGetLastError();
        std::string reason = last && last->message ? last->message : "not XML";
        while (!reason.empty() && reason.back() == '\n')
            reason.pop_back();
        error = "the ticket is not well-formed XML: " + reason;
        return std::nullopt;
    }
    // Entities could make a small ticket large when read; a ticket has no use for a DTD.
    if (doc->intSubset || doc->extSubset) {
        error = "the ticket has a document type declaration";
        return std::nullopt;
    }
    xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root || !isElement(root, "XJDF", kXjdfNamespace)) {
        error = "the ticket is not an XJDF document";
        return std::nullopt;
    }
    PressTicket ticket;
    ticket.jobId = attribute(root, "JobID");
    ticket.jobName = attribute(root, "DescriptiveName");
    if (ticket.jobId.empty()) {
        error = "the ticket has no JobID";
        return std::nullopt;
    }
    if (!readCopies(root, ticket, error) || !readDocuments(root, ticket, error) ||
        !readOptions(root, ticket, error))
        return std::nullopt;
    return ticket;
}

Dictionary PressTicket::toDictionary() const {
    Dictionary given;
    for (const auto& [name, value] : options)
        given.set(name, Value(value));
    Array files;
    for (const auto& document : documents)
        files.push_back(
            Value(Dictionary{{"path", Value(document.path)},
                             {"name", Value(document.name)},
                             {"mime-type", Value(document.mimeType)},
                             {"size", Value(static_cast<std::int64_t>(document.size))}}));
    return Dictionary{{"job-id", Value(jobId)},
                      {"job-name", Value(jobName)},
                      {"copies", Value(static_cast<std::int64_t>(copies))},
                      {"documents", Value(std::move(files))},
                      {"options", Value(JobOptions::withSecretsHidden(given))}};
}

} // namespace velmora
