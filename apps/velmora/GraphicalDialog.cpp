#include "GraphicalDialog.h"

#include "Command.h"
#include "InstallPaths.h"
#include "JobCommandOptions.h"
#include "OwnModule.h"

#include <cstdlib>

namespace velmora::app {

bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
}

bool isInteractivePrint(const std::vector<std::string>& arguments) {
    for (const auto& arg : arguments)
        if (arg == "--no-gui")
            return false;
    // Options that act on the panel for a person make the run headless; without a document the
    // dialog opens on the sample document, as velmora gui does.
    return parseJobCommand(arguments, JobFrontEnd::Gui) && displayAvailable();
}

namespace {

// Loads the module and runs one of its entry points with the command's arguments.
int runInModule(const char* command, const char* entry, const std::vector<std::string>& arguments) {
    auto module = OwnModule::load(guiModule(), "the graphical dialog");
    if (!module)
        return failCommand(command, module.error());
    auto run = reinterpret_cast<VelmoraGuiMain>(module->symbol(entry));
    if (!run)
        return failCommand(command, module->path + " is not the graphical dialog: it lacks " +
                                        std::string(entry));
    std::vector<const char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    // The module stays loaded: Qt's exit handlers run from it.
    return run(static_cast<int>(arguments.size()), argv.data());
}

} // namespace

int runGraphicalDialog(const std::vector<std::string>& arguments) {
    return runInModule("gui", VELMORA_GUI_ENTRY, arguments);
}

int runPreview(const std::vector<std::string>& arguments) {
    return runInModule("preview", VELMORA_PREVIEW_ENTRY, arguments);
}

} // namespace velmora::app
