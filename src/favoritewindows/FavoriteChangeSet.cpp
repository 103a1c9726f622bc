#include "favoritewindows/FavoriteChangeSet.h"

#include "favorites/FavoriteFile.h"
#include "platform/foundation/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace velmora {
namespace {

std::string folderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

// Moves a file to a name only when that name is free: the kernel's no-replace rename, else a
// hard link (file systems without renameat2), else a check just before the rename (file systems
// without hard links). EEXIST in errno when the name is taken.
bool moveWithoutOverwriting(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    if (::link(from.c_str(), to.c_str()) == 0)
        return ::unlink(from.c_str()) == 0;
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return false;
    if (FileSystem::exists(to)) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
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
                _renames.push_back({name, path, *FavoriteFile::pathWithName(name, folderOf(path))});
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

bool FavoriteChangeSet::fail(const std::string& name, Failure failure, const std::string& reason) {
    _failedName = name;
    _failure = failure;
    _reason = reason;
    return false;
}

namespace {

FavoriteChangeSet::Failure failureOf(int error) {
    return error == EEXIST ? FavoriteChangeSet::Failure::NameTaken
                           : FavoriteChangeSet::Failure::System;
}

} // namespace

bool FavoriteChangeSet::write(const Write& step) {
    std::string reason;
    FavoriteFile file = FavoriteFile::favoriteFileWithContentsOfFile(
        step.source, FavoriteFile::kDestinationIotType);
    if (!file.isValid())
        return fail(step.name, Failure::Unreadable);
    if (step.comment)
        file.setComment(*step.comment);
    if (step.replaces) {
        // The same file, written through a temporary file that replaces it when complete.
        if (auto written = file.writeToFile(step.destination, FavoriteFile::kDestinationIotType);
            !written)
            return fail(step.name, Failure::System, written.error());
        return true;
    }
    if (FileSystem::exists(step.destination))
        return fail(step.name, Failure::NameTaken);
    std::string temporary = folderOf(step.destination) + "/." +
                            std::filesystem::path(step.destination).filename().string() + ".new";
    bool written =
        step.comment
            ? [&] {
                  auto writtenHere = file.writeToFile(temporary, FavoriteFile::kDestinationIotType);
                  reason = writtenHere.error();
                  return writtenHere.ok();
              }()
            : [&] {
                  std::error_code code;
                  std::filesystem::copy_file(step.source, temporary,
                                             std::filesystem::copy_options::overwrite_existing,
                                             code);
                  // A favorite may hold a scrambled password: the copy is the
                  // user's alone, whoever could read the file it came from.
                  if (!code)
                      std::filesystem::permissions(temporary,
                                                   std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_write,
                                                   code);
                  reason = code.message();
                  return !code;
              }();
    if (!written) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return fail(step.name, Failure::System, reason);
    }
    if (!moveWithoutOverwriting(temporary, step.destination)) {
        int error = errno;
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return fail(step.name, failureOf(error), std::strerror(error));
    }
    _moved.emplace_back(step.source, step.destination);
    return true;
}

bool FavoriteChangeSet::rename(const Rename& step) {
    if (!moveWithoutOverwriting(step.from, step.to)) {
        int error = errno;
        return fail(step.name, failureOf(error), std::strerror(error));
    }
    _moved.emplace_back(step.from, step.to);
    return true;
}

bool FavoriteChangeSet::apply() {
    // The deleted go first: a name they free may be taken by a rename or an import of the same
    // OK, and from the trash they can still be brought back if a later step fails.
    for (const auto& path : _trash) {
        std::string reason;
        if (!FileSystem::moveToTrash(path, &reason))
            return fail(FavoriteFile::nameWithPath(path), Failure::System, reason);
        _trashed.push_back(path);
    }
    for (const auto& step : _writes)
        if (!write(step))
            return false;
    for (const auto& step : _renames)
        if (!rename(step))
            return false;
    return true;
}

} // namespace velmora
