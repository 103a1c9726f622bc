// The graphical dialog's module: what velmora gui loads to show the dialog.
#include "Command.h"
#include "GraphicalDialog.h"
#include "GuiCommand.h"
#include "PreviewCommand.h"

#include <exception>
#include <string>
#include <type_traits>
#include <vector>

extern "C" __attribute__((visibility("default"))) int
velmora_gui_main(int count, const char* const* arguments) {
    static_assert(std::is_same_v<decltype(&velmora_gui_main), VelmoraGuiMain>);
    std::vector<std::string> list(arguments, arguments + count);
    try {
        return velmora::app::runGuiCommand(list);
    } catch (const std::exception& e) {
        return velmora::app::failCommand("gui", e.what());
    }
}

extern "C" __attribute__((visibility("default"))) int
velmora_preview_main(int count, const char* const* arguments) {
    static_assert(std::is_same_v<decltype(&velmora_preview_main), VelmoraGuiMain>);
    std::vector<std::string> list(arguments, arguments + count);
    try {
        return velmora::app::runPreviewCommand(list);
    } catch (const std::exception& e) {
        return velmora::app::failCommand("preview", e.what());
    }
}
