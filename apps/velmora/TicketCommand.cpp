#include "Command.h"
#include "PdfModule.h"

#include "platform/printing/JobPackage.h"

#include <cstdio>
#include <memory>

namespace velmora::app {

namespace {

// The largest document whose pages are counted: a larger one is reported without its count.
constexpr std::size_t kMaxCountedDocumentBytes = 1u << 30;

// The number of pages of a PDF, or null when it cannot be read.
Value pagesOf(const std::string& bytes) {
    PdfDocument::Problem problem = PdfDocument::Problem::None;
    auto document = PdfModule::open(std::string_view(bytes), problem);
    return document ? Value(static_cast<std::int64_t>(document->pageCount())) : Value();
}

} // namespace

int runTicketCommand(const std::vector<std::string>& arguments) {
    bool xjdf = arguments.size() == 2 && arguments[0] == "--xjdf";
    if (arguments.size() != 1 && !xjdf) {
        std::fprintf(stderr, "usage: velmora ticket [--xjdf] FILE\n");
        return 2;
    }
    auto package = JobPackage::open(arguments.back());
    if (!package)
        return failCommand("ticket", package.error());
    if (xjdf) {
        std::fwrite(package->ticketXml().data(), 1, package->ticketXml().size(), stdout);
        return 0;
    }
    // Without the PDF module the ticket is still shown, its documents without their counts.
    if (!package->ticket().documents.empty())
        if (std::string missing = PdfModule::unavailable(); !missing.empty())
            reportCommandProblem("ticket", missing + "; pages are not counted");
    Dictionary shown = package->ticket().toDictionary();
    Array documents;
    for (std::size_t i = 0; i < package->ticket().documents.size(); ++i) {
        Dictionary document = *shown.get("documents").array()->at(i).dictionary();
        auto bytes = package->documentBytes(i, kMaxCountedDocumentBytes);
        if (!bytes && bytes.error().find("larger than") == std::string::npos)
            return failCommand("ticket", bytes.error());
        document.set("pages", bytes ? pagesOf(*bytes) : Value());
        documents.push_back(Value(std::move(document)));
    }
    shown.set("documents", Value(std::move(documents)));
    std::printf("%s\n", Value(shown).toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
