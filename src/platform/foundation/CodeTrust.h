#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Whether code may be loaded from a place: loading a shared object runs its constructors at
// once, so a plug-in that another local user could have written must never be opened. Each path
// of a plug-in (its bundle folder, the Contents folders, the object itself) must belong to root
// or to the user running the program and be writable by no one else. Folders above the bundle
// are not judged: a build inside a shared, sticky folder stays usable.
class CodeTrust {
public:
    // Why the path may not hold code we load ("… is writable by its group"); null when it may.
    static std::optional<std::string> distrust(const std::string& path);
    // The first reason any of the paths gives, named with its path.
    static std::optional<std::string> distrustAny(const std::vector<std::string>& paths);
    // The bundle folder, its Contents and the folder of the object, and the object itself.
    static std::vector<std::string> plugInPaths(const std::string& bundlePath,
                                                const std::string& objectPath);

    // The resolved path of a plug-in's object to load, or null with the reason. Both paths are
    // resolved before they are judged, so a link cannot lead the check one way and the loader
    // another; the folders judged are closed to others, so nobody else can swap the object after
    // the check.
    static std::optional<std::string> trustedObject(const std::string& bundlePath,
                                                    const std::string& objectPath,
                                                    std::string* reason);
};

} // namespace velmora
