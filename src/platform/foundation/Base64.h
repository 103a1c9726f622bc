#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::Base64 {

std::string encode(const std::vector<std::uint8_t>& bytes);
// Decodes standard Base64 (white space ignored). Null when the text holds a character outside
// the alphabet or is cut off in a way that cannot be decoded.
std::optional<std::vector<std::uint8_t>> decode(std::string_view text);
// The same, appending the bytes to out; false (out as it was) when the text cannot be decoded.
bool decodeAppend(std::string_view text, std::string& out);

} // namespace velmora::Base64
