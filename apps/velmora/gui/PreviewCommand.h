#pragma once

#include <string>
#include <vector>

namespace velmora::app {

// velmora preview FILE [panel options] --output DIR [--sheet N] [--size WxH]
// The job's sheets as the press will produce them, one PNG file per sheet side, for the panel's
// settings on the sample press (or another bundle and PPD). Needs no display.
int runPreviewCommand(const std::vector<std::string>& arguments);

inline constexpr const char* kPreviewUsage =
    "usage: velmora preview FILE --output DIR [--sheet N] [--size WxH] [panel options]\n";

} // namespace velmora::app
