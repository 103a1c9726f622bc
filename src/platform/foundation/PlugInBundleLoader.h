#pragma once

#include <memory>
#include <string>

namespace velmora {

class Bundle;

// Opens a plug-in bundle: Contents/Info.plist names the shared object under Contents/Linux/
// (CFBundleExecutable) and the principal class (NSPrincipalClass), whose factory
// ("<Class>_create") and interface version ("<Class>_abiVersion") the object exports.
// Everything in the folder is checked before the object's own code is asked for anything, so
// a broken bundle is refused, with the reason; so is one that another user could have changed
// (see CodeTrust). Loaded objects stay loaded for the process.
class PlugInBundleLoader {
public:
    struct Result {
        std::shared_ptr<Bundle> bundle;
        std::string className;
        void* factory = nullptr; // the "<Class>_create" symbol
        std::string error;       // why the bundle was refused; empty on success
    };

    // `kind` names what the plug-in is in messages ("pane"); `abiVersion` is the
    // interface version the caller was built for.
    static Result open(const std::string& bundlePath, unsigned abiVersion, const std::string& kind);

    // A name a C symbol can be made of.
    static bool isUsableClassName(const std::string& name);
    static std::string factoryName(const std::string& className) { return className + "_create"; }
    static std::string abiVersionName(const std::string& className) {
        return className + "_abiVersion";
    }
};

} // namespace velmora
