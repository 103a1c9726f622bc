// What the press's filter writes to the scheduler is built from outside text: a printing user's
// command file and a print server's answers. Whatever the text, every line must be shorter than
// the bound, printable, end in its one newline and begin with a prefix the scheduler knows.
#include "platform/printing/FilterMessage.h"
#include "webservice/ListRefreshRequest.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using velmora::FilterMessage;

void requireSound(const std::string& line) {
    if (line.empty() || line.size() >= FilterMessage::kMaxLineBytes || line.back() != '\n')
        std::abort();
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        if (line[i] < 0x20 || line[i] > 0x7e)
            std::abort();
    std::string_view text(line);
    bool known = false;
    for (const char* prefix : {"DEBUG: ", "INFO: ", "WARNING: ", "ERROR: ", "PPD: "})
        known = known || text.starts_with(prefix);
    if (!known)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    std::string text(reinterpret_cast<const char*>(data), size);

    auto request = velmora::ListRefreshRequest::parse(text);
    if (request.skipped.size() > velmora::ListRefreshRequest::kMaxSkippedLines + 1)
        std::abort();
    for (const auto& line : request.skipped)
        requireSound(line);

    requireSound(FilterMessage::line(FilterMessage::Level::Debug, text));
    requireSound(FilterMessage::line(FilterMessage::Level::Error,
                                     "velmora-command: " + FilterMessage::quoted(text, 300)));

    // The first line as a keyword, the rest as its value.
    auto newline = text.find('\n');
    std::string keyword = text.substr(0, newline);
    std::string value = newline == std::string::npos ? "" : text.substr(newline + 1);
    if (auto message = FilterMessage::ppdKeyword(keyword, value)) {
        requireSound(*message);
        if (1 + keyword.size() + 2 + value.size() + 2 > FilterMessage::kMaxPpdLineBytes)
            std::abort();
    }

    // Each line a failed list and its reason, as a server could word them.
    std::vector<velmora::ListRefreshRequest::Failure> failures;
    std::size_t at = 0;
    while (at < text.size() && failures.size() < 64) {
        std::size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        auto tab = line.find('\t');
        failures.push_back(
            {line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
        at = end == std::string::npos ? text.size() : end + 1;
    }
    std::size_t room = FilterMessage::maxPpdValueBytes("VelmoraListsFailed");
    std::string summary =
        velmora::ListRefreshRequest::failureSummary(failures, failures.size() + 1, room);
    if (summary.size() > room)
        std::abort();
    auto note = FilterMessage::ppdKeyword("VelmoraListsFailed", summary);
    if (!note)
        std::abort();
    requireSound(*note);
    return 0;
}
