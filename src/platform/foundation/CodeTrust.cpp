#include "platform/foundation/CodeTrust.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace velmora {

namespace {

std::optional<std::string> distrustStatus(const struct stat& status) {
    if (status.st_uid != 0 && status.st_uid != ::geteuid())
        return "belongs to another user (uid " + std::to_string(status.st_uid) + ")";
    if (status.st_mode & S_IWOTH)
        return std::string("is writable by every user");
    if (status.st_mode & S_IWGRP)
        return std::string("is writable by its group");
    return std::nullopt;
}

} // namespace

std::optional<std::string> CodeTrust::distrust(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::string("cannot be examined (") + std::strerror(errno) + ")";
    return distrustStatus(status);
}

std::optional<std::string> CodeTrust::distrustAny(const std::vector<std::string>& paths) {
    for (const auto& path : paths)
        if (auto reason = distrust(path))
            return path + " " + *reason;
    return std::nullopt;
}

std::vector<std::string> CodeTrust::plugInPaths(const std::string& bundlePath,
                                                const std::string& objectPath) {
    namespace fs = std::filesystem;
    fs::path bundle = fs::path(bundlePath).lexically_normal();
    if (bundle.filename().empty())
        bundle = bundle.parent_path(); // "Velmora.plugin/"
    fs::path object = fs::path(objectPath).lexically_normal();
    std::vector<std::string> paths;
    // From the bundle down: every folder between it and the object, then the object.
    fs::path relative = object.lexically_relative(bundle);
    if (relative.empty() || *relative.begin() == "..") {
        paths.push_back(object.parent_path().string());
    } else {
        fs::path folder = bundle;
        paths.push_back(folder.string());
        for (auto part = relative.begin(); part != relative.end(); ++part) {
            if (std::next(part) == relative.end())
                break;
            folder /= *part;
            paths.push_back(folder.string());
        }
    }
    paths.push_back(object.string());
    return paths;
}

std::optional<std::string> CodeTrust::trustedObject(const std::string& bundlePath,
                                                    const std::string& objectPath,
                                                    std::string* reason) {
    auto fail = [&](std::string why) -> std::optional<std::string> {
        if (reason)
            *reason = std::move(why);
        return std::nullopt;
    };
    std::error_code code;
    std::string bundle = std::filesystem::canonical(bundlePath, code).string();
    if (code)
        return fail(bundlePath + " cannot be examined (" + code.message() + ")");
    std::string object = std::filesystem::canonical(objectPath, code).string();
    if (code)
        return fail(objectPath + " cannot be examined (" + code.message() + ")");
    if (auto why = distrustAny(plugInPaths(bundle, object)))
        return fail(*why);
    if (!std::filesystem::is_regular_file(object, code))
        return fail(object + " is not a file");
    return object;
}

} // namespace velmora
