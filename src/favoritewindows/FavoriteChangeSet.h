#pragma once

#include "favorites/FavoriteItem.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Applies what the favorites window held in memory to the favorite files, so that no favorite
// is lost when a step fails half-way: the deleted ones go to the trash first (freeing their
// names for this change, and recoverable from there), then new files are written (each in one
// piece, never over an existing file), then favorites are renamed (never onto an existing
// name). The first failure stops the rest; what was done stays done, and every original the
// failed step touched is still in place.
class FavoriteChangeSet {
public:
    // rows: the file favorites as the window shows them; removed: those deleted.
    FavoriteChangeSet(std::vector<FavoriteItem> rows, std::vector<FavoriteItem> removed,
                      std::vector<std::string> favoriteFolders);

    enum class Failure { None, NameTaken, Unreadable, System };

    // True when every change was made; otherwise failedName names the favorite that could not
    // be stored, failure says why (reason holds the system's words for a System failure).
    bool apply();
    const std::string& failedName() const { return _failedName; }
    Failure failure() const { return _failure; }
    const std::string& reason() const { return _reason; }
    // Where favorites went before a failure stopped the rest: [old path, new path], and the
    // deleted ones already in the trash, so that trying again starts from there.
    const std::vector<std::pair<std::string, std::string>>& moved() const { return _moved; }
    const std::vector<std::string>& trashed() const { return _trashed; }

private:
    struct Write {
        std::string name, source, destination;
        std::optional<std::string> comment; // a changed comment; unchanged files are copied
        bool replaces = false;              // rewriting a favorite in place
    };
    struct Rename {
        std::string name, from, to;
    };
    std::vector<Write> _writes;
    std::vector<Rename> _renames;
    std::vector<std::string> _trash;
    std::vector<std::string> _folders;
    std::string _failedName, _reason;
    Failure _failure = Failure::None;
    std::vector<std::pair<std::string, std::string>> _moved;
    std::vector<std::string> _trashed;

    void plan(const std::vector<FavoriteItem>& rows, const std::vector<FavoriteItem>& removed);
    bool isInFavoriteFolder(const std::string& path) const;
    bool write(const Write& step);
    bool rename(const Rename& step);
    bool fail(const std::string& name, Failure failure, const std::string& reason = {});
};

} // namespace velmora
