#include "favorites/windows/FavoriteChangeSet.h"

#include "favorites/FavoriteFile.h"
#include "platform/foundation/FileSystem.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace velmora {
namespace {

std::string folderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

// Puts a finished file under its final name only when that name is free.
bool linkWithoutOverwriting(const std::string& from, const std::string& to, std::string& reason) {
    if (::link(from.c_str(), to.c_str()) == 0)
        return true;
    reason = errno == EEXIST ? "a favorite with that name exists already" : std::strerror(errno);
    return false;
}

} // namespace

FavoriteChangeSet::FavoriteChangeSet(std::vector<FavoriteItem> rows,
                                     std::vector<FavoriteItem> removed,
                                     std::vector<std::string> favoriteFolders)
    : _folders(std::move(favoriteFolders)) {
    plan(rows, removed);
}

bool FavoriteChangeSet::isInFavoriteFolder(const std::string& path) const {
    for (const auto& folder : _folders)
        if (path.rfind(folder + "/", 0) == 0)
            return true;
    return false;
}

void FavoriteChangeSet::plan(const std::vector<FavoriteItem>& rows,
                             const std::vector<FavoriteItem>& removed) {
    std::string first = _folders.empty() ? std::string() : _folders.front();
    for (const auto& item : rows) {
        if (!item.path() || !item.name())
            continue;
        const std::string& path = *item.path();
        FavoriteFile file =
            FavoriteFile::favoriteFileWithContentsOfFile(path, FavoriteFile::kDestinationIotType);
        std::string name = *item.name();
        bool nameChanged = name != FavoriteFile::nameWithPath(path);
        bool commentChanged = item.comment().value_or("") != file.comment().value_or("");
        if (isInFavoriteFolder(path)) {
            if (commentChanged)
                _writes.push_back({name, path, path, item.comment().value_or(""), true});
            if (nameChanged)
                _renames.push_back(
                    {name, path, *FavoriteFile::pathWithName(name, folderOf(path))});
        } else if (!first.empty()) {
            std::optional<std::string> comment;
            if (nameChanged || commentChanged)
                comment = item.comment().value_or("");
            _writes.push_back({name, path, *FavoriteFile::pathWithName(name, first), comment});
        }
    }
    for (const auto& item : removed)
        if (item.path())
            _trash.push_back(*item.path());
}

bool FavoriteChangeSet::fail(const std::string& name, const std::string& reason) {
    _failedName = name;
    _reason = reason;
    return false;
}

bool FavoriteChangeSet::write(const Write& step) {
    std::string reason;
    FavoriteFile file = FavoriteFile::favoriteFileWithContentsOfFile(
        step.source, FavoriteFile::kDestinationIotType);
    if (!file.isValid())
        return fail(step.name, "the favorite file cannot be read");
    if (step.comment)
        file.setComment(*step.comment);
    if (step.replaces) {
        // The same file, written through a temporary file that replaces it when complete.
        if (!file.writeToFile(step.destination, FavoriteFile::kDestinationIotType, &reason))
            return fail(step.name, reason);
        return true;
    }
    if (FileSystem::exists(step.destination))
        return fail(step.name, "a favorite with that name exists already");
    std::string temporary = folderOf(step.destination) + "/." +
                            std::filesystem::path(step.destination).filename().string() + ".new";
    bool written = step.comment
                       ? file.writeToFile(temporary, FavoriteFile::kDestinationIotType, &reason)
                       : [&] {
                             std::error_code code;
                             std::filesystem::copy_file(
                                 step.source, temporary,
                                 std::filesystem::copy_options::overwrite_existing, code);
                             reason = code.message();
                             return !code;
                         }();
    bool placed = written && linkWithoutOverwriting(temporary, step.destination, reason);
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return placed || fail(step.name, reason);
}

bool FavoriteChangeSet::rename(const Rename& step) {
    std::string reason;
    if (!linkWithoutOverwriting(step.from, step.to, reason))
        return fail(step.name, reason);
    if (::unlink(step.from.c_str()) != 0) {
        int error = errno;
        ::unlink(step.to.c_str()); // the original stays where it was
        return fail(step.name, std::strerror(error));
    }
    return true;
}

bool FavoriteChangeSet::apply() {
    for (const auto& step : _writes)
        if (!write(step))
            return false;
    for (const auto& step : _renames)
        if (!rename(step))
            return false;
    for (const auto& path : _trash) {
        std::string reason;
        if (!FileSystem::moveToTrash(path, &reason))
            return fail(FavoriteFile::nameWithPath(path), reason);
    }
    return true;
}

} // namespace velmora
