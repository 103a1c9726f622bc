#include "platform/foundation/TemporaryFolder.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>

namespace velmora {

TemporaryFolder::TemporaryFolder(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data())) // made 0700
        _path = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code code;
    if (!_path.empty())
        std::filesystem::remove_all(_path, code);
}

} // namespace velmora
