#include "platform/foundation/SystemLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <syslog.h>
#include <utility>

namespace velmora::SystemLog {
namespace {

Sink& currentSink() {
    static Sink sink;
    return sink;
}

void writeDefault(std::string_view line) {
    if (std::getenv("VELMORA_SYSLOG")) {
        ::syslog(LOG_NOTICE, "%.*s", static_cast<int>(line.size()), line.data());
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

} // namespace

void write(std::string_view line) {
    if (currentSink())
        currentSink()(line);
    else
        writeDefault(line);
}

void format(const char* fmt, ...) {
    char buf[4096];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    write(buf);
}

Sink setSink(Sink sink) {
    return std::exchange(currentSink(), std::move(sink));
}

} // namespace velmora::SystemLog
