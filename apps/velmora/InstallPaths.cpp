#include "InstallPaths.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>

namespace velmora::app {
namespace {

namespace fs = std::filesystem;

// The first of the environment's path, the build's path and the installed path that exists.
std::string locate(const char* variable, const char* built, const std::string& installed) {
    if (const char* chosen = std::getenv(variable); chosen && *chosen)
        return chosen;
    std::error_code code;
    if (fs::exists(built, code))
        return built;
    std::array<char, 4096> self{};
    ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    if (length > 0) {
        fs::path candidate = fs::path(std::string(self.data(), static_cast<std::size_t>(length)))
                                 .parent_path()
                                 .parent_path() /
                             "share/velmora" / installed;
        if (fs::exists(candidate, code))
            return candidate.string();
    }
    return built;
}

} // namespace

std::string pluginDirectory() {
    return locate("VELMORA_PLUGIN_DIR", VELMORA_PLUGIN_DIR, "Velmora.plugin");
}

std::string queuePpd() {
    return locate("VELMORA_QUEUE_PPD", VELMORA_QUEUE_PPD, "VelmoraPress.ppd");
}

std::string sampleDocument() {
    return locate("VELMORA_SAMPLE_DOCUMENT", VELMORA_SAMPLE_DOCUMENT, "SampleJob.pdf");
}

} // namespace velmora::app
