#include "favorites/FavoriteFolderLock.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace velmora {

FavoriteFolderLock::FavoriteFolderLock(const std::string& folder, int timeoutSeconds) {
    std::string path = folder + "/" + kLockFileName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        _error = "the favorite folder cannot be locked: " + std::string(std::strerror(errno));
        return;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int why = errno;
        if ((why != EWOULDBLOCK && why != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            _error =
                why == EWOULDBLOCK || why == EINTR
                    ? "another command is changing the favorites; try again when it is done"
                    : "the favorite folder cannot be locked: " + std::string(std::strerror(why));
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    _fd = fd;
}

FavoriteFolderLock::~FavoriteFolderLock() {
    if (_fd >= 0)
        ::close(_fd); // closing releases the lock
}

} // namespace velmora
