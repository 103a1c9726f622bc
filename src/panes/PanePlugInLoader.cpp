#include "panes/PanePlugInLoader.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/PlugInBundleLoader.h"

namespace velmora {

PanePlugInLoader::Result PanePlugInLoader::open(const std::string& bundlePath) {
    auto loaded = PlugInBundleLoader::open(bundlePath, kPanePlugInAbiVersion, "pane");
    Result result;
    result.error = std::move(loaded.error);
    if (result.error.empty()) {
        result.bundle = std::move(loaded.bundle);
        result.factory = reinterpret_cast<PanePlugInFactory>(loaded.factory);
    }
    return result;
}

} // namespace velmora
