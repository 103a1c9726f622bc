// velmora: the command-line host of the Velmora Flow print panel.

#include "Command.h"
#include "InstallPaths.h"

#include "GraphicalDialog.h"
#include "common/Localization.h"
#include "platform/foundation/Bundle.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

namespace velmora::app {

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        {"plist", "plist FILE              print a property list (XML or binary) as JSON",
         runPlistCommand},
        {"ui",
         "ui FILE [--bundle DIR] [--pane NAME] [--lang L] [--set KEY=VALUE]... [--answer yes|no]\n"
         "                                  build the controls of a UI-settings file and "
         "print their state",
         runUiCommand},
        {"ticket",
         "ticket [--xjdf] FILE    print what a job package holds: its ticket's options and "
         "documents\n"
         "                                  as JSON (passwords shown as ********), or the XJDF "
         "ticket itself",
         runTicketCommand},
        {"ppd", "ppd FILE                print the options, choices and defaults of a PPD",
         runPpdCommand},
        {"ppd-list", "ppd-list FILE NAME      decode a server list kept in a PPD",
         runPpdListCommand},
        {"queue-ppd",
         "queue-ppd PPD [--bundle DIR]\n"
         "                                  the press's queue PPD with its groups, rules and "
         "group texts made from the bundle, on standard output",
         runQueuePpdCommand},
        {"ppd-list-write",
         "ppd-list-write PPD NAME FILE|--remove\n"
         "                                  write (or remove) a server list kept in a PPD "
         "as a data block",
         runPpdListWriteCommand},
        {"convert",
         "convert --to internal|canonical|input-manager|ppd-keyword [--table FILE] "
         "[--bundle DIR]\n"
         "                                  convert an option dictionary (JSON on "
         "standard input)",
         runConvertCommand},
        {"favorite", "favorite show FILE      print a favorite file", runFavoriteCommand},
        {"favorites",
         "favorites list | save NAME [--comment C] [--replace] < options.json |\n"
         "                                  delete NAME |\n"
         "                                  rename OLD NEW | comment NAME TEXT | import FILE |\n"
         "                                  export NAME FILE [--force] | tree NAME |\n"
         "                                  export-instance NAME [-d QUEUE] [--remove]\n"
         "                                  manage the favorites of the user",
         runFavoritesCommand},
        {"server",
         "server HOST LIST [ARGS] [--port N] [--timeout S]\n"
         "                                  fetch a list from the print server's web service",
         runServerCommand},
        {"panes",
         "panes [--bundle DIR] [--lang L]\n"
         "                                  load the pane plug-ins of a bundle: panes, "
         "controls, defaults, summary",
         runPanesCommand},
        {"panel",
         "panel [--bundle DIR] [--ppd FILE] [--settings FILE] [--favorite NAME]\n"
         "                                  [--job-name TEXT] [--set KEY=VALUE]... "
         "[--answer yes|no]\n"
         "                                  [--save-favorite NAME [--comment C] [--replace]] "
         "[--output FILE] [--lang L]\n"
         "                                  one print dialog session on the sample press (or "
         "another bundle): alerts, summary, print settings",
         runPanelCommand},
        {"print",
         "print FILE... [-d QUEUE] [--save-defaults] [--output-dir DIR] [--embedded] "
         "[--no-gui] [panel options]\n"
         "         velmora print --job ID [--keep-held] [--no-gui] [panel options]\n"
         "                                  one print dialog session on a CUPS queue (or the "
         "sample press), then the job;\n"
         "                                  the graphical dialog when there is a display;\n"
         "                                  with --job, a held job set up, written and "
         "released",
         runPrintCommand},
        {"jobs", "jobs [-d QUEUE]         the held and pending jobs of the Velmora queues, as JSON",
         runJobsCommand},
        {"hold", "hold [-d QUEUE] on|off  hold every new job of the queue for an operator, or stop",
         runHoldCommand},
#ifdef VELMORA_HAS_GUI
        {"gui",
         "gui [FILE...] [-d QUEUE] [--embedded] [--output-dir DIR] [--save-defaults]\n"
         "         [--job ID [--keep-held]] [--settings FILE] [--bundle DIR] [--ppd FILE]\n"
         "         [--lang L] [--screenshot DIR] [--open-and-close]\n"
         "                                  the graphical print dialog (with --screenshot: "
         "every window\n"
         "                                  rendered to PNG, layout problems listed)",
         runGraphicalDialog},
        {"preview",
         "preview FILE --output DIR [--sheet N] [--size WxH] [panel options]\n"
         "                                  the job's sheets as the press will produce them, as "
         "PNG files",
         runPreview},
#endif
        {"refresh-lists",
         "refresh-lists [-d QUEUE] [--timeout S] [NAME...]\n"
         "                                  bring the server lists in the queue's PPD up to date",
         runRefreshListsCommand},
    };
    return list;
}

namespace {

void printUsage(std::FILE* out) {
    std::fprintf(out, "Velmora Flow print panel host\n\nusage: velmora COMMAND [ARGUMENTS]\n"
                      "       velmora help [COMMAND] | velmora --version\n\ncommands:\n");
    for (const auto& command : commands())
        std::fprintf(out, "  velmora %s\n", command.synopsis);
}

} // namespace
} // namespace velmora::app

int main(int argc, char** argv) {
    using namespace velmora::app;
    if (argc >= 2 && (!std::strcmp(argv[1], "--version") || !std::strcmp(argv[1], "-V"))) {
        std::printf("velmora %s\n", VELMORA_VERSION);
        return 0;
    }
    // velmora help [COMMAND] is velmora [COMMAND] --help.
    bool askedForHelp = argc >= 2 && (!std::strcmp(argv[1], "--help") ||
                                      !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help"));
    if (askedForHelp && argc >= 3 && std::strcmp(argv[2], "help") != 0) {
        for (const auto& command : commands())
            if (std::strcmp(argv[2], command.name) == 0) {
                std::printf("usage: velmora %s\n", command.synopsis);
                return 0;
            }
        std::fprintf(stderr, "velmora: unknown command '%s'\n", argv[2]);
        printUsage(stderr);
        return 2;
    }
    if (askedForHelp) {
        printUsage(stdout);
        return 0;
    }
    // Texts, resources and settings folders come from the plug-in bundle the build assembled.
    if (auto bundle = velmora::Bundle::open(pluginDirectory())) {
        velmora::SetNSBundleForPrincipalBundle(bundle);
        velmora::SetNSBundleForLocalizedString(bundle);
    }
    // Without a command: the main job, the sample document printed through one print dialog
    // session on the sample press.
    std::vector<std::string> arguments(argv + std::min(argc, 2), argv + argc);
    const char* name = argc < 2 ? "print" : argv[1];
    if (argc < 2)
        arguments = {sampleDocument(), "--embedded"};
    // Help that was asked for goes to standard output and is no error.
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h"))
        for (const auto& command : commands())
            if (std::strcmp(name, command.name) == 0) {
                std::printf("usage: velmora %s\n", command.synopsis);
                return 0;
            }
#ifdef VELMORA_HAS_GUI
    // A person at a display gets the graphical dialog; scripted sessions and --no-gui stay
    // headless.
    if (std::strcmp(name, "print") == 0 && isInteractivePrint(arguments))
        name = "gui";
#endif
    for (const auto& command : commands()) {
        if (std::strcmp(name, command.name) == 0) {
            try {
                return command.run(arguments);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "velmora %s: %s\n", command.name, e.what());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "velmora: unknown command '%s'\n", argv[1]);
    printUsage(stderr);
    return 2;
}
