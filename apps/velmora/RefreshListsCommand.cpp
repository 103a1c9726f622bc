// velmora refresh-lists: asks a queue to bring the server lists kept in its PPD up to date (one
// command job of "ReportLevels NAME" lines), waits for it, and tells which lists changed.
#include "Command.h"

#include "panes/PanePlugInMgr.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/FilterMessage.h"
#include "ppd/PpdDataBlock.h"
#include "ppd/PpdFile.h"
#include "webservice/ServerListSource.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace velmora::app {
namespace {

constexpr double kDefaultTimeout = 120;
constexpr double kMinTimeout = 1;
constexpr double kMaxTimeout = 3600;

int usage(const std::string& message) {
    if (!message.empty())
        reportCommandProblem("refresh-lists", message);
    std::fprintf(stderr, "usage: velmora refresh-lists [-d QUEUE] [--timeout S] [NAME...]\n");
    return 2;
}

// Seconds between the bounds, or null for anything else ("abc", "1e300", "inf", "5s").
std::optional<double> parseTimeout(const std::string& text) {
    char* end = nullptr;
    double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(seconds) || seconds < kMinTimeout ||
        seconds > kMaxTimeout)
        return std::nullopt;
    return seconds;
}

// A fetched copy of the queue's PPD, removed when it goes, whatever way the command ends.
struct TemporaryPpd {
    CupsConnection::FetchedPpd ppd;
    TemporaryPpd() = default;
    TemporaryPpd(const TemporaryPpd&) = delete;
    TemporaryPpd& operator=(const TemporaryPpd&) = delete;
    ~TemporaryPpd() {
        if (!ppd.path.empty())
            std::remove(ppd.path.c_str());
    }
};

// The raw bytes of each list's data block (null for a list the PPD does not hold), and what the
// press's filter kept about the lists it could not refresh ("" when every list came). Null with
// a reason when libcups cannot read the PPD: then no list in it can be used either.
struct PpdLists {
    std::map<std::string, std::optional<std::string>> blocks;
    std::string failed;
};

std::optional<PpdLists> readLists(const std::string& path, const std::vector<std::string>& names,
                                  std::string* error) {
    auto ppd = PpdFile::openFile(path, error);
    if (!ppd)
        return std::nullopt;
    PpdLists lists;
    for (const auto& name : names)
        lists.blocks[name] = PpdDataBlock::read(ppd->handle(), name);
    if (ppd_attr_t* attribute = ppdFindAttr(ppd->handle(), "VelmoraListsFailed", nullptr))
        lists.failed = attribute->value ? attribute->value : "";
    return lists;
}

std::optional<PpdLists> fetchLists(CupsConnection& cups, const std::string& queue,
                                   TemporaryPpd& copy, const std::vector<std::string>& names,
                                   std::string* error) {
    if (auto fetched = cups.fetchPpd(queue, copy.ppd); !fetched) {
        *error = fetched.error();
        return std::nullopt;
    }
    std::string reason;
    auto lists = readLists(copy.ppd.path, names, &reason);
    if (!lists)
        *error = "the PPD of \"" + queue + "\" cannot be read: " + reason;
    return lists;
}

} // namespace

int runRefreshListsCommand(const std::vector<std::string>& arguments) {
    std::string queue;
    double timeout = kDefaultTimeout;
    std::vector<std::string> names;
    std::set<std::string> asked;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if ((arg == "-d" || arg == "--timeout") && i + 1 < arguments.size()) {
            if (arg == "-d") {
                queue = arguments[++i];
                continue;
            }
            auto seconds = parseTimeout(arguments[++i]);
            if (!seconds)
                return usage("the time-out " + FilterMessage::quoted(arguments[i], 40) +
                             " is not a number of seconds from 1 to 3600");
            timeout = *seconds;
        } else if (!arg.empty() && arg[0] != '-') {
            if (!ServerListSource::isKnown(arg))
                return usage(FilterMessage::quoted(arg, 60) + " is not a list of this press");
            if (asked.insert(arg).second)
                names.push_back(arg);
        } else {
            return usage("");
        }
    }
    if (names.empty())
        names = PaneServerLists::allListNames();

    CupsConnection cups;
    std::string error;
    auto chosen = cups.connectToQueue(queue);
    if (!chosen)
        return failCommand("refresh-lists", chosen.error());
    queue = *chosen;
    TemporaryPpd beforeCopy, afterCopy;
    auto before = fetchLists(cups, queue, beforeCopy, names, &error);
    if (!before)
        return failCommand("refresh-lists", error);

    std::vector<std::string> commands;
    for (const auto& name : names)
        commands.push_back("ReportLevels " + name);
    auto submitted = cups.submitCommand(queue, "ReportLevels", commands);
    if (!submitted)
        return failCommand("refresh-lists", submitted.error());
    int job = *submitted;
    auto state = cups.waitForJob(job, timeout);
    bool done = state == "completed";
    std::string stopped;
    if (!done) {
        // A job left behind would run later, or block the queue; what the queue says tells why.
        if (std::string message = cups.printerStateMessage(queue); !message.empty())
            stopped = FilterMessage::quoted(message, 300);
        // Whether the cancel is taken or not, the job's state is reported below.
        if (state != "aborted" && state != "canceled")
            static_cast<void>(cups.cancelJob(queue, job));
    }

    auto after = fetchLists(cups, queue, afterCopy, names, &error);
    if (!after)
        return failCommand("refresh-lists", error);

    Array lists, changed;
    for (const auto& name : names) {
        bool differs = before->blocks[name] != after->blocks[name];
        lists.push_back(Value(Dictionary{{"name", Value(name)},
                                         {"changed", Value(differs)},
                                         {"present", Value(after->blocks[name].has_value())}}));
        if (differs)
            changed.push_back(Value(name));
    }
    Dictionary result{{"queue", Value(queue)},
                      {"job", Value(job)},
                      {"state", state ? Value(*state) : Value()},
                      {"changed", Value(std::move(changed))},
                      {"lists", Value(std::move(lists))}};
    if (!after->failed.empty())
        result.set("failed", Value(after->failed));
    if (!stopped.empty())
        result.set("printerStateMessage", Value(stopped));
    std::printf("%s\n", Value(std::move(result)).toJson(2).c_str());
    if (!done)
        return failCommand("refresh-lists", "the command job did not finish (" +
                                                state.value_or("unknown") + ")" +
                                                (stopped.empty() ? "" : ": " + stopped));
    if (!after->failed.empty())
        return failCommand("refresh-lists", "lists not refreshed: " + after->failed);
    return 0;
}

} // namespace velmora::app
