#include "platform/foundation/FileUtil.h"

#include "platform/foundation/PendingRemoval.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velmora::FileUtil {
namespace {

constexpr std::size_t kFirstChunk = 65536;

void setError(std::string* error, std::string message) {
    if (error)
        *error = std::move(message);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : _fd(fd) {}
    ~FileDescriptor() {
        if (_fd >= 0)
            ::close(_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return _fd; }
    int release() { return std::exchange(_fd, -1); }

private:
    int _fd;
};

// The process's umask, read without changing it: changing it for a moment would give a file
// another thread makes meanwhile the wrong permissions.
mode_t currentUmask() {
    if (auto status = readFile("/proc/self/status", 1 << 16)) {
        auto at = status->find("\nUmask:");
        if (at != std::string::npos)
            return static_cast<mode_t>(std::strtoul(status->c_str() + at + 7, nullptr, 8)) & 0777;
    }
    return 022;
}

// The file a write replaces, and the permissions the new one gets: a link is followed to the file
// it leads to (which stays where it is), a file that is there keeps its permissions, a new one
// gets the umask's. False, with the reason, for what is not a regular file.
bool whereToWrite(const std::string& path, std::string& target, mode_t& mode, std::string* error) {
    target = path;
    for (int links = 0;; ++links) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                setError(error, std::strerror(errno));
                return false;
            }
            mode = 0666 & ~currentUmask();
            return true;
        }
        if (S_ISREG(st.st_mode)) {
            mode = st.st_mode & 0777; // never set-id bits on what is written
            return true;
        }
        if (!S_ISLNK(st.st_mode) || links == 40) {
            setError(error, S_ISDIR(st.st_mode)   ? "is a folder"
                            : S_ISLNK(st.st_mode) ? std::strerror(ELOOP)
                                                  : "is not a regular file, so it is not replaced");
            return false;
        }
        std::error_code code;
        std::string link = std::filesystem::read_symlink(target, code).string();
        if (code) {
            setError(error, code.message());
            return false;
        }
        auto slash = target.rfind('/');
        target = link.starts_with('/') || slash == std::string::npos
                     ? link
                     : target.substr(0, slash + 1) + link;
    }
}

// The temporary file a write goes to first. While it exists, a signal that ends the process
// removes it: a write of a large file that is stopped must not leave its half behind.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) {
        _pending = PendingRemoval::noted(
            [&] {
                std::string path = target + ".XXXXXX";
                _fd = ::mkstemp(path.data());
                return _fd >= 0 ? path : std::string();
            },
            false);
    }
    ~TemporaryFile() {
        if (_fd >= 0)
            ::close(_fd);
        std::string path = _pending.path();
        _pending.forget();
        if (!path.empty() && !_renamed)
            ::unlink(path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool created() const { return _fd >= 0; }
    int fd() const { return _fd; }
    bool close() {
        int fd = std::exchange(_fd, -1);
        return ::close(fd) == 0;
    }
    bool renameTo(const std::string& target) {
        _renamed = ::rename(_pending.path().c_str(), target.c_str()) == 0;
        if (_renamed)
            _pending.forget();
        return _renamed;
    }

private:
    PendingRemoval _pending;
    int _fd = -1;
    bool _renamed = false;
};

} // namespace

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::optional<std::string> readFile(const std::string& path, std::size_t maxSize,
                                    std::string* error) {
    // What is not a regular file is refused before it is opened: opening a device may act on
    // it, opening a FIFO releases its writer. Opened without waiting all the same, in case a
    // FIFO took the file's place in between.
    if (struct stat before{}; ::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        setError(error, S_ISDIR(before.st_mode) ? "is a folder" : "is not a regular file");
        return std::nullopt;
    }
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        setError(error, std::strerror(errno));
        return std::nullopt;
    }
    if (S_ISDIR(st.st_mode)) {
        setError(error, "is a folder");
        return std::nullopt;
    }
    // A FIFO, socket or device may never end: only what is stored whole in a file is read.
    if (!S_ISREG(st.st_mode)) {
        setError(error, "is not a regular file");
        return std::nullopt;
    }
    if (int flags = ::fcntl(fd.get(), F_GETFL); flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    std::size_t expected = static_cast<std::size_t>(st.st_size);
    if (expected > maxSize) {
        setError(error, "file too large");
        return std::nullopt;
    }
    // One more byte than allowed shows a file that is too large without reading it all.
    std::size_t ceiling = maxSize < SIZE_MAX ? maxSize + 1 : maxSize;
    // A regular file is read into one buffer of its size, plus a byte that shows whether it grew
    // since; anything else grows the buffer as it goes.
    std::string content(std::min(expected > 0 ? expected + 1 : kFirstChunk, ceiling), '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == content.size()) {
            if (content.size() >= ceiling) {
                setError(error, "file too large");
                return std::nullopt;
            }
            content.resize(std::min(std::max(content.size() * 2, kFirstChunk), ceiling));
        }
        ssize_t n = ::read(fd.get(), content.data() + used, content.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            setError(error, std::strerror(errno));
            return std::nullopt;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    content.resize(used);
    return content;
}

bool canWrite(const std::string& path, std::string* error) {
    std::string target;
    mode_t mode = 0;
    if (!whereToWrite(path, target, mode, error))
        return false;
    auto slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : target.substr(0, slash);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        setError(error, std::strerror(errno));
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view content, std::string* error,
                         Readers readers) {
    std::string target;
    mode_t mode = 0;
    if (!whereToWrite(path, target, mode, error))
        return false;
    if (readers == Readers::OwnerOnly)
        mode &= ~static_cast<mode_t>(077);
    TemporaryFile temporary(target);
    if (!temporary.created()) {
        setError(error, std::strerror(errno));
        return false;
    }
    ::fchmod(temporary.fd(), mode);
    bool ok = writeAll(temporary.fd(), content) && ::fsync(temporary.fd()) == 0;
    int saved = ok ? 0 : (errno ? errno : EIO);
    if (!temporary.close() && ok)
        ok = false, saved = errno ? errno : EIO;
    if (ok && !temporary.renameTo(target))
        ok = false, saved = errno;
    if (!ok)
        setError(error, std::strerror(saved ? saved : EIO));
    return ok;
}

} // namespace velmora::FileUtil
