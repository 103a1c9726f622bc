#pragma once

#include <functional>
#include <string_view>

// The system log: diagnostic lines such as "###Error:UISetting Plist file not found!".
// Lines go to standard error, or to syslog when VELMORA_SYSLOG is set; tests may install a
// sink of their own.
namespace velmora::SystemLog {

using Sink = std::function<void(std::string_view line)>;

void write(std::string_view line);
// printf-style; the line is cut at 4 KiB.
void format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Installs a sink and returns the previous one; an empty sink restores the default.
Sink setSink(Sink sink);

} // namespace velmora::SystemLog
