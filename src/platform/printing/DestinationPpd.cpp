#include "platform/printing/DestinationPpd.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/Value.h"
#include "platform/printing/PpdTranslation.h"
#include "platform/printing/PressTicket.h"

#include <sys/stat.h>

#include <future>
#include <mutex>

namespace velmora {
namespace {

// What tells one file from another at a path: a PPD fetched anew replaces the old file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    static std::optional<FileIdentity> of(const std::string& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return std::nullopt;
        return FileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    }
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

// The one reading ahead a process may have under way.
struct ReadingAhead {
    std::mutex lock;
    std::string path;
    FileIdentity identity;
    std::future<std::shared_ptr<DestinationPpd>> reading;
};

ReadingAhead& readingAhead() {
    static ReadingAhead pending;
    return pending;
}

} // namespace

std::shared_ptr<DestinationPpd> DestinationPpd::open(const std::string& path) {
    ReadingAhead& pending = readingAhead();
    {
        std::lock_guard<std::mutex> hold(pending.lock);
        if (pending.reading.valid()) {
            // Waited for in any case, so that no reading outlives the session that asked for it.
            auto early = pending.reading.get();
            auto now = FileIdentity::of(path);
            if (pending.path == path && now && *now == pending.identity)
                return early;
        }
    }
    bool readable = !path.empty() && FileSystem::isRegularFile(path);
    return std::shared_ptr<DestinationPpd>(
        new DestinationPpd(path, readable, PreferredLanguages::first()));
}

void DestinationPpd::readAhead(const std::string& path) {
    auto identity = FileIdentity::of(path);
    if (!identity)
        return; // nothing cached yet: the session fetches and reads it
    ReadingAhead& pending = readingAhead();
    std::lock_guard<std::mutex> hold(pending.lock);
    if (pending.reading.valid())
        return;
    pending.path = path;
    pending.identity = *identity;
    pending.reading =
        std::async(std::launch::async, [path, language = PreferredLanguages::first()] {
            return std::shared_ptr<DestinationPpd>(new DestinationPpd(path, true, language));
        });
}

DestinationPpd::DestinationPpd(const std::string& path, bool readable, const std::string& language)
    : _path(path), _ppd(readable ? std::optional<std::string>(path) : std::nullopt) {
    if (!_ppd.get())
        return;
    _defaults = PressTicket::optionsOfJob(_ppd.get(), Dictionary());
    PpdTranslation::readFile(path, language).applyTo(_ppd.get());
}

} // namespace velmora
