#include "platform/foundation/TemporaryFolder.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>

namespace velmora {

TemporaryFolder::TemporaryFolder(const std::string& prefix) {
    _pending = PendingRemoval::noted(
        [&] {
            const char* base = std::getenv("TMPDIR");
            std::string pattern =
                std::string(base && *base ? base : "/tmp") + "/" + prefix + "-XXXXXX";
            return ::mkdtemp(pattern.data()) ? pattern : std::string(); // made 0700
        },
        true);
}

TemporaryFolder::~TemporaryFolder() {
    std::string path = _pending.path();
    _pending.forget();
    std::error_code code;
    if (!path.empty())
        std::filesystem::remove_all(path, code);
}

} // namespace velmora
