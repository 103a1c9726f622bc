#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmora::PropertyList {

// Files larger than this are refused rather than read into memory.
inline constexpr std::size_t kMaxFileSize = 64u << 20;
// Containers nested deeper than this are refused; such files are not written by any tool.
inline constexpr int kMaxNesting = 256;

// Reads an XML or binary property list. On failure returns null and, when error is given,
// a one-line description of what is wrong.
std::optional<Value> parse(std::string_view bytes, std::string* error = nullptr);
std::optional<Value> readFile(const std::string& path, std::string* error = nullptr);

// XML form of a value. Null values cannot be stored in a property list; they make the result
// empty and the error set.
std::optional<std::string> toXml(const Value& value, std::string* error = nullptr);
// Writes the XML form through a temporary file that replaces path only when complete.
bool writeXmlFile(const std::string& path, const Value& value, std::string* error = nullptr);

} // namespace velmora::PropertyList
