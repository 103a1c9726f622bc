#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::FileUtil {

// The whole file, or null (with a reason) when it cannot be read or is larger than maxSize.
std::optional<std::string> readFile(const std::string& path, std::size_t maxSize,
                                    std::string* error = nullptr);
// Who may read a file once written. Files that may hold a password, even a scrambled one
// (favorites, settings files, jobs), are the user's alone.
enum class Readers { AsUsual, OwnerOnly };

// Writes to a temporary file beside path, flushes it and renames it over path, so that a
// failure, or a signal that ends the process, never leaves a half-written or temporary file
// behind. Only a regular file (or a link that leads to one, which is written through and kept)
// is replaced: a folder, FIFO or device is refused with that reason. A file that was there keeps
// its permissions; a new one gets the umask's. OwnerOnly takes group and others' permissions
// away in both cases.
bool writeFileAtomically(const std::string& path, std::string_view content,
                         std::string* error = nullptr, Readers readers = Readers::AsUsual);
// Writes all of content to fd, through interrupted and partial writes; false when a write fails.
bool writeAll(int fd, std::string_view content);
// Whether writeFileAtomically could write path now: what is there is a file (or nothing), and its
// folder takes new files. For checking before something that cannot be undone.
bool canWrite(const std::string& path, std::string* error = nullptr);

} // namespace velmora::FileUtil
