#pragma once

#include <string>

namespace velmora {

// Holds the user's favorite folder for one command that changes it, from the moment it reads
// the folder until its change is made: two commands at once (a rename and a comment of the same
// favorite) would otherwise each change what the other no longer has. The lock is an advisory
// lock on a hidden file in the folder, released when the object goes (or the process ends).
class FavoriteFolderLock {
public:
    // Waits up to timeoutSeconds for another command to finish.
    explicit FavoriteFolderLock(const std::string& folder, int timeoutSeconds = 30);
    ~FavoriteFolderLock();
    FavoriteFolderLock(const FavoriteFolderLock&) = delete;
    FavoriteFolderLock& operator=(const FavoriteFolderLock&) = delete;

    bool held() const { return _fd >= 0; }
    // Why the folder is not held; empty when it is.
    const std::string& error() const { return _error; }

    static constexpr const char* kLockFileName = ".velmora-favorites.lock";

private:
    int _fd = -1;
    std::string _error;
};

} // namespace velmora
