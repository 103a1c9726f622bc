#pragma once

#include <string>
#include <vector>

namespace velmora::app {

// The graphical print dialog lives in a module of its own (libvelmora-gui.so) that only the
// dialog loads: the headless commands, which scripts and administrators run in loops, never
// load the graphical toolkit.

// Whether a display a person can see is there for the graphical dialog (X or Wayland); Qt's
// offscreen platform is none.
bool displayAvailable();

// Whether `velmora print` with these arguments is for a person: none of the options that
// script a session (set values, choose or save favorites, name the job, answer alerts, write
// the settings) is given, and there is a display.
bool isInteractivePrint(const std::vector<std::string>& arguments);

// velmora gui: loads the dialog's module and runs it with the arguments; its exit status, or 1
// with the reason when the module cannot be loaded.
int runGraphicalDialog(const std::vector<std::string>& arguments);
// velmora preview: the job's sheets drawn to PNG files, by the same module (it draws with the
// graphical toolkit, without a display).
int runPreview(const std::vector<std::string>& arguments);

} // namespace velmora::app

// What the module exports: the dialog run with the gui command's arguments.
extern "C" {
using VelmoraGuiMain = int (*)(int count, const char* const* arguments);
}
#define VELMORA_GUI_ENTRY "velmora_gui_main"
#define VELMORA_PREVIEW_ENTRY "velmora_preview_main"
