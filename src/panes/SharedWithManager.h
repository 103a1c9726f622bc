#pragma once

#include "panes/PanePlugInMgr.h"

#include <cstdint>
#include <memory>

namespace velmora {

// The one T of the process for the shared manager (a window that shows its panes); made on
// first use and made again when the shared manager was made anew.
template <typename T> T& sharedWithManager() {
    static std::unique_ptr<T> instance;
    static std::uint64_t generation = 0;
    PanePlugInMgr& manager = PanePlugInMgr::sharedInstance();
    if (!instance || generation != PanePlugInMgr::sharedGeneration()) {
        instance.reset();
        instance = std::make_unique<T>(manager);
        generation = PanePlugInMgr::sharedGeneration();
    }
    return *instance;
}

} // namespace velmora
