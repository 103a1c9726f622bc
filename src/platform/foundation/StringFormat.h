#pragma once

#include "platform/foundation/Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora::StringFormat {

// Fills a message format the way the platform's string formatting does: "%@" takes any value
// as text, "%d"/"%i"/"%u"/"%ld"/"%lld"/"%lu" an integer, "%f"/"%e"/"%g" (with flags, width
// and precision) a real, "%s" a string, "%%" a percent sign; "%1$@" picks an argument by
// position. A conversion without an argument writes nothing; an unknown one is copied.
std::string format(std::string_view format, const std::vector<Value>& arguments);

} // namespace velmora::StringFormat
