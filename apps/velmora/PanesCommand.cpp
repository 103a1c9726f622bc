#include "Command.h"
#include "InstallPaths.h"
#include "PanelSession.h"

#include "common/Localization.h"
#include "controls/ZEMAUI.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/SystemLog.h"

#include <cstdio>
#include <cstdlib>
#include <set>

namespace velmora::app {
namespace {

constexpr std::string_view kSkippedPlugIn = "###PlugIn: ";

struct PanesOptions {
    std::string bundlePath = pluginDirectory();
    std::string language;
};

bool parseOptions(const std::vector<std::string>& arguments, PanesOptions& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string* target = arguments[i] == "--bundle" ? &options.bundlePath
                              : arguments[i] == "--lang" ? &options.language
                                                         : nullptr;
        if (!target || i + 1 >= arguments.size())
            return false;
        *target = arguments[++i];
    }
    return true;
}

// Plug-in names as the panes tree lists them, depth first.
void treeOrder(const Dictionary& node, std::vector<std::string>& names) {
    if (const std::string* name = node.get("bundleName").string())
        names.push_back(*name);
    if (const Array* items = node.get("items").array()) {
        for (const Value& item : *items) {
            if (const Dictionary* child = item.dictionary())
                treeOrder(*child, names);
        }
    }
}

// Registered panes in the order of the tree, then those the tree does not name.
std::vector<std::string> paneOrder(PanePlugInMgr& manager) {
    std::vector<std::string> inTree;
    if (const Dictionary* tree = manager.panesTreeDictionary())
        treeOrder(*tree, inTree);
    std::vector<std::string> registered = manager.plugInNames();
    std::vector<std::string> ordered;
    std::set<std::string> placed;
    for (const auto& name : inTree) {
        if (manager.paneControllerWithName(name) && placed.insert(name).second)
            ordered.push_back(name);
    }
    for (const auto& name : registered) {
        if (placed.insert(name).second)
            ordered.push_back(name);
    }
    return ordered;
}

Value paneJson(PanePlugInMgr& manager, const std::string& name) {
    auto controller = manager.paneControllerWithName(name);
    Array keywords;
    for (const auto& control : controller->getListZEMAUI()) {
        if (control)
            keywords.push_back(Value(control->mainKeyword()));
    }
    auto role = manager.roleName(controller.get());
    return Value(Dictionary{{"name", Value(name)},
                            {"title", Value(controller->panelName())},
                            {"role", role ? Value(*role) : Value()},
                            {"controls", Value(std::move(keywords))}});
}

} // namespace

int runPanesCommand(const std::vector<std::string>& arguments) {
    PanesOptions options;
    if (!parseOptions(arguments, options)) {
        std::fprintf(stderr, "usage: velmora panes [--bundle DIR] [--lang L]\n");
        return 2;
    }
    if (!options.language.empty())
        ::setenv("LANGUAGE", options.language.c_str(), 1);
    auto bundle = Bundle::open(options.bundlePath);
    if (!bundle)
        return failCommand("panes", options.bundlePath + " is not a plug-in bundle");
    SetNSBundleForPrincipalBundle(bundle);
    SetNSBundleForLocalizedString(bundle);

    // Skipped bundles become problems; every other line of the log goes where it always goes.
    Array problems;
    auto previous = SystemLog::setSink(nullptr);
    SystemLog::setSink([&](std::string_view line) {
        if (line.starts_with(kSkippedPlugIn))
            problems.push_back(Value(std::string(line.substr(kSkippedPlugIn.size()))));
        else if (previous)
            previous(line);
        else
            std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    });
    PanePlugInMgr manager(bundle);
    manager.loadPlugIns();
    SystemLog::setSink(previous);

    Array panes;
    for (const auto& name : paneOrder(manager))
        panes.push_back(paneJson(manager, name));
    Dictionary defaults = manager.values().defaultSettings();
    Array summary = summaryEntries(manager.summary().summaryInfoFromPrintOption(defaults));
    for (const Value& problem : problems)
        reportCommandProblem("panes", problem.stringValue());
    bool skipped = !problems.empty();
    Value output(Dictionary{{"panes", Value(std::move(panes))},
                            {"defaults", Value(std::move(defaults))},
                            {"summary", Value(std::move(summary))},
                            {"problems", Value(std::move(problems))}});
    std::printf("%s\n", output.toJson(2).c_str());
    return skipped ? 1 : 0;
}

} // namespace velmora::app
