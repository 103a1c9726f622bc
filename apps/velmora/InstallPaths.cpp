#include "InstallPaths.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace velmora::app {
namespace {

namespace fs = std::filesystem;

std::string runningExecutable() {
    std::array<char, 4096> self{};
    ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    return length > 0 ? std::string(self.data(), static_cast<std::size_t>(length)) : std::string();
}

// Whether this is the velmora of the build tree. An installed velmora never looks there: the
// build tree may since have been given to, or be writable by, someone else. A package's build
// names no build tree at all.
bool runsFromBuildTree(const std::string& executable) {
    if (std::string_view(VELMORA_BUILD_DIR).empty())
        return false;
    std::error_code code;
    std::string tree = fs::weakly_canonical(VELMORA_BUILD_DIR, code).string() + "/";
    return !code && executable.starts_with(tree);
}

// The environment's path when given (variable may be null); else the build's path for the
// velmora of the build tree, and the path below the installation prefix for an installed one.
std::string locate(const char* variable, const char* built, const std::string& installed) {
    if (const char* chosen = variable ? std::getenv(variable) : nullptr; chosen && *chosen)
        return chosen;
    std::string executable = runningExecutable();
    if (executable.empty() || runsFromBuildTree(executable))
        return built;
    return (fs::path(executable).parent_path().parent_path() / installed).string();
}

} // namespace

std::string pluginDirectory() {
    return locate("VELMORA_PLUGIN_DIR", VELMORA_PLUGIN_DIR, "lib/velmora/Velmora.plugin");
}

std::string queuePpd() {
    return locate("VELMORA_QUEUE_PPD", VELMORA_QUEUE_PPD, "share/ppd/velmora/VelmoraPress.ppd");
}

std::string sampleDocument() {
    return locate("VELMORA_SAMPLE_DOCUMENT", VELMORA_SAMPLE_DOCUMENT,
                  "share/velmora/SampleJob.pdf");
}

std::string guiModule() {
    return locate(nullptr, VELMORA_GUI_MODULE, "lib/velmora/libvelmora-gui.so");
}

std::string pdfModule() {
    return locate(nullptr, VELMORA_PDF_MODULE, "lib/velmora/libvelmora-pdf.so");
}

} // namespace velmora::app
