#include "platform/foundation/FileUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
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

} // namespace

std::optional<std::string> readFile(const std::string& path, std::size_t maxSize,
                                    std::string* error) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        setError(error, std::strerror(errno));
        return std::nullopt;
    }
    if (S_ISDIR(st.st_mode)) {
        setError(error, "is a folder");
        return std::nullopt;
    }
    std::size_t expected = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0;
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

bool writeFileAtomically(const std::string& path, std::string_view content, std::string* error) {
    std::string temporary = path + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) {
        setError(error, std::strerror(errno));
        return false;
    }
    ::fchmod(fd.get(), 0644);
    bool ok = writeAll(fd.get(), content) && ::fsync(fd.get()) == 0;
    int saved = errno;
    ok = ::close(fd.release()) == 0 && ok;
    if (ok && ::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    saved = saved ? saved : errno;
    ::unlink(temporary.c_str());
    setError(error, std::strerror(saved ? saved : EIO));
    return false;
}

} // namespace velmora::FileUtil
