#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::FileUtil {

// The whole file, or null (with a reason) when it cannot be read or is larger than maxSize.
std::optional<std::string> readFile(const std::string& path, std::size_t maxSize,
                                    std::string* error = nullptr);
// Writes to a temporary file beside path, flushes it and renames it over path, so that a
// failure never leaves a half-written file behind.
bool writeFileAtomically(const std::string& path, std::string_view content,
                         std::string* error = nullptr);

} // namespace velmora::FileUtil
