#pragma once

#include "panes/PanePlugInInterface.h"

#include <memory>
#include <string>

namespace velmora {

class Bundle;

// Opens a pane plug-in bundle: Contents/Info.plist names the shared object under
// Contents/Linux/ (CFBundleExecutable) and the pane class (NSPrincipalClass), whose factory
// and ABI version the object exports. Everything in the folder is checked before the
// object's own code is asked for anything, so a broken bundle is refused, with the reason.
class PanePlugInLoader {
public:
    struct Result {
        std::shared_ptr<Bundle> bundle;
        PanePlugInFactory factory = nullptr;
        std::string error; // why the bundle was refused; empty on success
    };

    static Result open(const std::string& bundlePath);
};

} // namespace velmora
