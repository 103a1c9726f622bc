#include "platform/foundation/FileSystem.h"

#include "platform/foundation/FileUtil.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace velmora::FileSystem {
namespace {

constexpr const char* kFinderInfoAttribute = "user.com.apple.FinderInfo";
constexpr std::size_t kFinderInfoSize = 32;
constexpr std::size_t kFinderFlagsOffset = 8;
constexpr unsigned kInvisibleFlag = 0x4000;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void setError(std::string* error, std::string message) {
    if (error)
        *error = std::move(message);
}

// Percent-encodes a path for the Path= line of a .trashinfo file.
std::string encodeTrashPath(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("/-_.~", c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

std::string localTimestamp() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    return buf;
}

// Reserves a unique name in the trash by creating its .trashinfo file exclusively.
std::string reserveTrashName(const std::string& infoFolder, const std::string& base,
                             std::string& infoPath) {
    for (int attempt = 0; attempt < 10000; ++attempt) {
        std::string name = attempt == 0 ? base : base + "." + std::to_string(attempt);
        infoPath = infoFolder + "/" + name + ".trashinfo";
        int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    return {};
}

} // namespace

std::string homeFolder() {
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()))
        return pw->pw_dir;
    return "/tmp";
}

std::string userLibraryFolder() {
    std::string overridden = environment("VELMORA_USER_LIBRARY");
    if (!overridden.empty())
        return overridden;
    std::string xdg = environment("XDG_CONFIG_HOME");
    return xdg.empty() ? homeFolder() + "/.config" : xdg;
}

std::string systemLibraryFolder() {
    std::string overridden = environment("VELMORA_SYSTEM_LIBRARY");
    return overridden.empty() ? "/var/lib/velmora" : overridden;
}

std::string trashFolder() {
    std::string xdg = environment("XDG_DATA_HOME");
    return (xdg.empty() ? homeFolder() + "/.local/share" : xdg) + "/Trash";
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool createFolder(const std::string& path, mode_t mode) {
    if (path.empty())
        return false;
    if (isFolder(path))
        return true;
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty() && parent != path && !isFolder(parent.string()) &&
        !createFolder(parent.string(), mode))
        return false;
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        return false;
    ::chmod(path.c_str(), mode); // mkdir honours the umask; the caller asked for exactly this
    return isFolder(path);
}

bool moveToTrash(const std::string& path, std::string* error) {
    if (!exists(path)) {
        setError(error, "no such file");
        return false;
    }
    std::string trash = trashFolder();
    std::string files = trash + "/files", info = trash + "/info";
    if (!createFolder(files, 0700) || !createFolder(info, 0700)) {
        setError(error, "cannot create the trash folder");
        return false;
    }
    std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
    std::string infoPath;
    std::string name =
        reserveTrashName(info, std::filesystem::path(absolute).filename().string(), infoPath);
    if (name.empty()) {
        setError(error, "cannot name the item in the trash");
        return false;
    }
    std::string record = "[Trash Info]\nPath=" + encodeTrashPath(absolute) +
                         "\nDeletionDate=" + localTimestamp() + "\n";
    std::string target = files + "/" + name;
    if (!FileUtil::writeFileAtomically(infoPath, record, error) ||
        ::rename(absolute.c_str(), target.c_str()) != 0) {
        setError(error, std::strerror(errno));
        ::unlink(infoPath.c_str());
        return false;
    }
    return true;
}

bool isInvisible(const std::string& path) {
    std::array<unsigned char, kFinderInfoSize> info{};
    ssize_t n = ::getxattr(path.c_str(), kFinderInfoAttribute, info.data(), info.size());
    if (n < static_cast<ssize_t>(kFinderFlagsOffset + 2))
        return false;
    unsigned flags = (info[kFinderFlagsOffset] << 8) | info[kFinderFlagsOffset + 1];
    return (flags & kInvisibleFlag) != 0;
}

bool setInvisible(const std::string& path, bool invisible) {
    std::array<unsigned char, kFinderInfoSize> info{};
    ssize_t n = ::getxattr(path.c_str(), kFinderInfoAttribute, info.data(), info.size());
    if (n < 0)
        info.fill(0);
    unsigned flags = (info[kFinderFlagsOffset] << 8) | info[kFinderFlagsOffset + 1];
    flags = invisible ? (flags | kInvisibleFlag) : (flags & ~kInvisibleFlag);
    info[kFinderFlagsOffset] = static_cast<unsigned char>(flags >> 8);
    info[kFinderFlagsOffset + 1] = static_cast<unsigned char>(flags & 0xFF);
    return ::setxattr(path.c_str(), kFinderInfoAttribute, info.data(), info.size(), 0) == 0;
}

} // namespace velmora::FileSystem
