#include "OwnModule.h"

#include "platform/foundation/CodeTrust.h"

#include <dlfcn.h>

#include <filesystem>

namespace velmora::app {

Result<OwnModule> OwnModule::load(const std::string& path, const std::string& name) {
    std::error_code code;
    std::string module = std::filesystem::canonical(path, code).string();
    if (code)
        return Failure{name + " is not installed: " + path + ": " + code.message()};
    if (auto reason =
            CodeTrust::distrustAny({std::filesystem::path(module).parent_path().string(), module}))
        return Failure{name + " is not loaded: " + *reason};
    void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return Failure{name + " cannot be loaded: " + ::dlerror()};
    return OwnModule{module, handle};
}

void* OwnModule::symbol(const char* entry) const {
    return ::dlsym(handle, entry);
}

} // namespace velmora::app
