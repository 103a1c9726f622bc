#include "platform/foundation/PlugInBundleLoader.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/CodeTrust.h"

#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>

namespace velmora {
namespace {

constexpr std::size_t kMaxClassNameLength = 128;

PlugInBundleLoader::Result refused(std::string reason) {
    PlugInBundleLoader::Result result;
    result.error = std::move(reason);
    return result;
}

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// Libraries stay loaded for the life of the process: the views and actions a plug-in makes
// may run its code until the very end. One handle per object; each is judged by CodeTrust
// before it is opened, and loaded through the path that was judged.
void* openLibrary(const std::string& bundlePath, const std::string& path, std::string& error) {
    static std::mutex mutex;
    static std::map<std::string, void*> libraries;
    std::lock_guard lock(mutex);
    auto object = CodeTrust::trustedObject(bundlePath, path, &error);
    if (!object) {
        error = "it is not safe to load: " + error;
        return nullptr;
    }
    if (auto found = libraries.find(*object); found != libraries.end())
        return found->second;
    dlerror();
    void* handle = dlopen(object->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "the shared object cannot be loaded";
        return nullptr;
    }
    libraries.emplace(*object, handle);
    return handle;
}

} // namespace

bool PlugInBundleLoader::isUsableClassName(const std::string& name) {
    if (name.empty() || name.size() > kMaxClassNameLength || (name[0] >= '0' && name[0] <= '9'))
        return false;
    for (char c : name) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letter && !(c >= '0' && c <= '9') && c != '_')
            return false;
    }
    return true;
}

PlugInBundleLoader::Result PlugInBundleLoader::open(const std::string& bundlePath,
                                                    unsigned abiVersion, const std::string& kind) {
    auto bundle = Bundle::open(bundlePath);
    if (!bundle)
        return refused("it is not a folder");
    const Dictionary& info = bundle->infoDictionary();
    if (info.empty())
        return refused("Contents/Info.plist is missing or unreadable");
    const std::string* executable = info.get("CFBundleExecutable").string();
    if (!executable || !isPlainFileName(*executable))
        return refused("CFBundleExecutable does not name a file");
    const std::string* className = info.get("NSPrincipalClass").string();
    if (!className || !isUsableClassName(*className))
        return refused("NSPrincipalClass does not name a " + kind + " class");

    std::string libraryPath = bundle->contentsPath() + "/Linux/" + *executable;
    std::error_code code;
    // Anything but a regular file (a pipe, a device) could block or mislead the loader.
    if (!std::filesystem::is_regular_file(libraryPath, code))
        return refused("Contents/Linux/" + *executable + " is not a file");

    // Opening the object runs its code: nobody but root and this user may have put it there.
    std::string error;
    void* library = openLibrary(bundlePath, libraryPath, error);
    if (!library)
        return refused(error);
    auto* version =
        static_cast<const unsigned*>(dlsym(library, abiVersionName(*className).c_str()));
    if (!version)
        return refused("it does not export " + abiVersionName(*className));
    if (*version != abiVersion)
        return refused("it was built for " + kind + " interface version " +
                       std::to_string(*version) + ", this host has version " +
                       std::to_string(abiVersion));
    void* factory = dlsym(library, factoryName(*className).c_str());
    if (!factory)
        return refused("it does not export " + factoryName(*className));

    Result result;
    result.bundle = std::move(bundle);
    result.className = *className;
    result.factory = factory;
    return result;
}

} // namespace velmora
