// velmora refresh-lists: asks a queue to bring the server lists kept in its PPD up to date (one
// command job of "ReportLevels NAME" lines), waits for it, and tells which lists changed.
#include "Command.h"

#include "panes/PanePlugInMgr.h"
#include "platform/printing/CupsConnection.h"
#include "ppd/PpdDataBlock.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace velmora::app {
namespace {

constexpr double kDefaultTimeout = 120;

int fail(const std::string& message) {
    std::fprintf(stderr, "velmora refresh-lists: %s\n", message.c_str());
    return 1;
}

// The raw bytes of each list's data block (null for a list the PPD does not hold).
std::map<std::string, std::optional<std::string>> blocks(const std::string& path,
                                                         const std::vector<std::string>& names) {
    std::map<std::string, std::optional<std::string>> found;
    ppd_file_t* ppd = ppdOpenFile(path.c_str());
    for (const auto& name : names)
        found[name] = ppd ? PpdDataBlock::read(ppd, name) : std::nullopt;
    if (ppd)
        ppdClose(ppd);
    return found;
}

// What the press's filter kept in the PPD about the lists it could not refresh: "A (reason); B
// (reason)", empty when every list came.
std::string failures(const std::string& path) {
    std::string failed;
    if (ppd_file_t* ppd = ppdOpenFile(path.c_str())) {
        if (ppd_attr_t* attribute = ppdFindAttr(ppd, "VelmoraListsFailed", nullptr))
            failed = attribute->value ? attribute->value : "";
        ppdClose(ppd);
    }
    return failed;
}

} // namespace

int runRefreshListsCommand(const std::vector<std::string>& arguments) {
    std::string queue;
    double timeout = kDefaultTimeout;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if ((arg == "-d" || arg == "--timeout") && i + 1 < arguments.size()) {
            if (arg == "-d")
                queue = arguments[++i];
            else
                timeout = std::atof(arguments[++i].c_str());
        } else if (!arg.empty() && arg[0] != '-') {
            names.push_back(arg);
        } else {
            std::fprintf(stderr,
                         "usage: velmora refresh-lists [-d QUEUE] [--timeout S] [NAME...]\n");
            return 2;
        }
    }
    if (names.empty())
        names = PanePlugInMgr::allListNames();

    CupsConnection cups;
    std::string error;
    if (!cups.connect(&error))
        return fail(error);
    auto chosen = cups.chooseQueue(queue, &error);
    if (!chosen)
        return fail(error);
    queue = *chosen;
    CupsConnection::FetchedPpd ppd;
    if (!cups.fetchPpd(queue, ppd, &error))
        return fail(error);
    auto before = blocks(ppd.path, names);

    std::vector<std::string> commands;
    for (const auto& name : names)
        commands.push_back("ReportLevels " + name);
    int job = cups.submitCommand(queue, "ReportLevels", commands, &error);
    if (!job)
        return fail(error);
    auto state = cups.waitForJob(job, timeout);

    CupsConnection::FetchedPpd after;
    if (!cups.fetchPpd(queue, after, &error))
        return fail(error);
    auto now = blocks(after.path, names);
    std::string failed = failures(after.path);
    std::remove(ppd.path.c_str());
    std::remove(after.path.c_str());

    Array lists, changed;
    for (const auto& name : names) {
        bool differs = before[name] != now[name];
        lists.push_back(Value(Dictionary{{"name", Value(name)},
                                         {"changed", Value(differs)},
                                         {"present", Value(now[name].has_value())}}));
        if (differs)
            changed.push_back(Value(name));
    }
    bool done = state == "completed";
    Dictionary result{{"queue", Value(queue)},
                      {"job", Value(job)},
                      {"state", state ? Value(*state) : Value()},
                      {"changed", Value(std::move(changed))},
                      {"lists", Value(std::move(lists))}};
    if (!failed.empty())
        result.set("failed", Value(failed));
    std::printf("%s\n", Value(std::move(result)).toJson(2).c_str());
    if (!done)
        return fail("the command job did not finish (" + state.value_or("unknown") + ")");
    if (!failed.empty())
        return fail("lists not refreshed: " + failed);
    return 0;
}

} // namespace velmora::app
