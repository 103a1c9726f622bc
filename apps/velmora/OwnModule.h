#pragma once

#include "platform/foundation/Result.h"

#include <string>

namespace velmora::app {

// One of velmora's own modules (the graphical dialog, the PDF reader), loaded when it is first
// needed and kept for the rest of the process. Opening a module runs its constructors, so it is
// judged as a plug-in is first: its folder and itself must be closed to other users.
struct OwnModule {
    std::string path; // resolved, as it was judged and loaded
    void* handle = nullptr;

    // Loads the module at the path; why not, naming it ("the PDF module is not installed: …").
    static Result<OwnModule> load(const std::string& path, const std::string& name);
    // An entry point of the module; null when it has none by that name.
    void* symbol(const char* entry) const;
};

} // namespace velmora::app
