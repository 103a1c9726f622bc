#pragma once

#include "platform/foundation/TextEncoding.h"
#include "platform/foundation/Value.h"

#include <cstddef>
#include <string>

namespace velmora {

// The system's legacy C-string encoding, in which text limits are counted in bytes. One fixed
// encoding everywhere: Windows code page 932 (Shift-JIS), in which ASCII takes one byte and
// Japanese two, so that byte limits keep the meaning they have for the press's own software.
inline constexpr TextEncoding kCStringEncoding = TextEncoding::ShiftJIS;

// Bytes the text takes in the C-string encoding; a character that encoding cannot hold counts
// as its substitute.
std::size_t lengthByBytes(const std::string& text);
// A string is true exactly when it is "True" in any mix of cases; other values by their own
// Boolean reading.
bool boolValueIfString(const Value& value);

} // namespace velmora
