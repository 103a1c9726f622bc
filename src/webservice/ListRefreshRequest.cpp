#include "webservice/ListRefreshRequest.h"

#include "platform/printing/CommandFile.h"
#include "platform/printing/FilterMessage.h"
#include "webservice/ServerListSource.h"

#include <set>

namespace velmora {
namespace {

constexpr std::size_t kMaxQuotedName = 60;
constexpr std::size_t kMaxReasonBytes = 60;

// Printable ASCII without the characters a PPD value cannot hold, cut to maxBytes.
std::string plainText(std::string_view text, std::size_t maxBytes) {
    std::string out;
    for (char c : text) {
        if (out.size() >= maxBytes) {
            out.replace(out.size() - 3, 3, "...");
            break;
        }
        bool printable = c >= 0x20 && c < 0x7f && c != '"' && c != '\'' && c != '\\';
        out += printable ? c : ' ';
    }
    return out;
}

} // namespace

ListRefreshRequest ListRefreshRequest::parse(std::string_view commandFile) {
    ListRefreshRequest request;
    std::size_t skippedCount = 0;
    auto skip = [&](const std::string& what) {
        if (++skippedCount <= kMaxSkippedLines)
            request.skipped.push_back(
                FilterMessage::line(FilterMessage::Level::Debug, "velmora-command: " + what));
    };
    std::set<std::string> taken;
    for (const auto& command : CommandFile::parse(commandFile)) {
        if (command.name != "ReportLevels") {
            skip(FilterMessage::quoted(command.name, kMaxQuotedName) +
                 " is not a command of this press");
            continue;
        }
        for (const auto& name : command.arguments) {
            if (!ServerListSource::isKnown(name))
                skip(FilterMessage::quoted(name, kMaxQuotedName) + " is not a list of this press");
            else if (taken.insert(name).second)
                request.lists.push_back(name);
        }
    }
    if (skippedCount > kMaxSkippedLines)
        request.skipped.push_back(FilterMessage::line(
            FilterMessage::Level::Debug,
            "velmora-command: " + std::to_string(skippedCount - kMaxSkippedLines) +
                " more commands or names skipped"));
    return request;
}

std::string ListRefreshRequest::failureSummary(const std::vector<Failure>& failures,
                                               std::size_t asked, std::size_t maxBytes) {
    if (failures.empty())
        return "";
    std::string summary = std::to_string(failures.size()) + " of " + std::to_string(asked) +
                          (asked == 1 ? " list" : " lists") + " failed";
    if (summary.size() > maxBytes)
        return "";
    for (std::size_t i = 0; i < failures.size(); ++i) {
        std::string_view more = i == 0 ? ": ..." : "; ...";
        std::string entry = (i == 0 ? ": " : "; ") + plainText(failures[i].list, kMaxQuotedName) +
                            " (" + plainText(failures[i].reason, kMaxReasonBytes) + ")";
        bool last = i + 1 == failures.size();
        std::size_t needed = summary.size() + entry.size() + (last ? 0 : more.size());
        if (needed > maxBytes) {
            if (summary.size() + more.size() <= maxBytes)
                summary += more;
            break;
        }
        summary += entry;
    }
    return summary;
}

} // namespace velmora
