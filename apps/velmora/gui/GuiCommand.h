#pragma once

#include <string>
#include <vector>

namespace velmora::app {

// velmora gui [FILE...] [-d QUEUE] [--embedded] [--output-dir DIR] [--save-defaults]
//             [--settings FILE] [--bundle DIR] [--ppd FILE] [--lang L] [--screenshot DIR]
// The graphical print dialog; with --screenshot every window is rendered to DIR instead, and the
// layout problems found are listed (exit status 1 when there are any).
int runGuiCommand(const std::vector<std::string>& arguments);

// Whether a display a person can see is there for the graphical dialog (X or Wayland); Qt's
// offscreen platform is none.
bool displayAvailable();

// Whether `velmora print` with these arguments is for a person: none of the options that
// script a session (set values, choose or save favorites, name the job, answer alerts, write
// the settings) is given.
bool isInteractivePrint(const std::vector<std::string>& arguments);

} // namespace velmora::app
