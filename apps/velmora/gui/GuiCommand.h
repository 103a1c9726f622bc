#pragma once

#include <string>
#include <vector>

namespace velmora::app {

// velmora gui [FILE...] [-d QUEUE] [--embedded] [--output-dir DIR] [--save-defaults]
//             [--settings FILE] [--bundle DIR] [--ppd FILE] [--lang L] [--screenshot DIR]
// The graphical print dialog; with --screenshot every window is rendered to DIR instead, and the
// layout problems found are listed (exit status 1 when there are any).
int runGuiCommand(const std::vector<std::string>& arguments);

} // namespace velmora::app
