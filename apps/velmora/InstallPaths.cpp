#include "InstallPaths.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>

namespace velmora::app {
namespace {

namespace fs = std::filesystem;

std::string runningExecutable() {
    std::array<char, 4096> self{};
    ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    return length > 0 ? std::string(self.data(), static_cast<std::size_t>(length)) : std::string();
}

// Whether this is the velmora of the build tree. An installed velmora never looks there: the
// build tree may since have been given to, or be writable by, someone else.
bool runsFromBuildTree(const std::string& executable) {
    std::error_code code;
    std::string tree = fs::weakly_canonical(VELMORA_BUILD_DIR, code).string() + "/";
    return !code && executable.starts_with(tree);
}

// The environment's path when given; else the build's path for the velmora of the build tree,
// and the path below the installation prefix (share/velmora) for an installed one.
std::string locate(const char* variable, const char* built, const std::string& installed) {
    if (const char* chosen = std::getenv(variable); chosen && *chosen)
        return chosen;
    std::string executable = runningExecutable();
    if (executable.empty() || runsFromBuildTree(executable))
        return built;
    return (fs::path(executable).parent_path().parent_path() / "share/velmora" / installed)
        .string();
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
