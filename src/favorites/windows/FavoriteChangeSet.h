#pragma once

#include "favorites/FavoriteItem.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Applies what the favorites window held in memory to the favorite files, so that no favorite
// is lost when a step fails half-way: new files are written first (each in one piece, never
// over an existing file), then favorites are renamed (never onto an existing name), then the
// deleted ones go to the trash. The first failure stops the rest; what was done stays done,
// and every original the failed step touched is still in place.
class FavoriteChangeSet {
public:
    // rows: the file favorites as the window shows them; removed: those deleted.
    FavoriteChangeSet(std::vector<FavoriteItem> rows, std::vector<FavoriteItem> removed,
                      std::vector<std::string> favoriteFolders);

    // True when every change was made; otherwise failedName names the favorite that could not
    // be stored and reason says why.
    bool apply();
    const std::string& failedName() const { return _failedName; }
    const std::string& reason() const { return _reason; }

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

    void plan(const std::vector<FavoriteItem>& rows, const std::vector<FavoriteItem>& removed);
    bool isInFavoriteFolder(const std::string& path) const;
    bool write(const Write& step);
    bool rename(const Rename& step);
    bool fail(const std::string& name, const std::string& reason);
};

} // namespace velmora
