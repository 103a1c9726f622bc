#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmora::JsonReader {

// Reads JSON text: objects keep their key order, integers that fit become integers, other
// numbers reals. Null, with a reason naming the offset, for malformed text or nesting deeper
// than 256.
std::optional<Value> parse(std::string_view text, std::string* error = nullptr);

} // namespace velmora::JsonReader
