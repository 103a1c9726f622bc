#include "Command.h"

#include "platform/printing/JobPackage.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>

#include <cstdio>
#include <memory>

namespace velmora::app {

namespace {

// The largest document whose pages are counted: a larger one is reported without its count.
constexpr std::size_t kMaxCountedDocumentBytes = 1u << 30;

void ignorePopplerMessage(const std::string&, void*) {}

// The number of pages of a PDF, or null when Poppler cannot read it.
Value pagesOf(const std::string& bytes) {
    std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
    if (!document || document->is_locked())
        return Value();
    return Value(static_cast<std::int64_t>(document->pages()));
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
    poppler::set_debug_error_function(ignorePopplerMessage, nullptr);
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
