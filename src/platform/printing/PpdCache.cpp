#include "platform/printing/PpdCache.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace velmora {

namespace fs = std::filesystem;

std::optional<std::string> PpdCache::userCacheFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        return std::string(cache);
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::string(home) + "/.cache";
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir == '/')
        return std::string(user->pw_dir) + "/.cache";
    return std::nullopt;
}

std::string PpdCache::fileNamePart(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        bool plain = std::isalnum(c) || c == '-' || c == '_' || c == '.';
        if (plain && !(c == '.' && out.empty()))
            out += static_cast<char>(c);
        else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

Result<CupsConnection::FetchedPpd> PpdCache::entry(const CupsConnection& cups,
                                                   const std::string& queue) {
    auto base = userCacheFolder();
    if (!base)
        return Failure{"there is no cache folder for the queue's PPD (HOME is not set)"};
    fs::path folder = fs::path(*base) / "velmora/ppd" / fileNamePart(cups.serverName());
    std::error_code code;
    fs::create_directories(folder, code);
    ::chmod(folder.c_str(), 0700);
    CupsConnection::FetchedPpd ppd{(folder / (fileNamePart(queue) + ".ppd")).string(), 0};
    struct stat info {};
    if (::stat(ppd.path.c_str(), &info) == 0)
        ppd.modified = info.st_mtime;
    return ppd;
}

} // namespace velmora
