#pragma once

#include <optional>
#include <string>

namespace velmora {

// One row of the favorites list: a name, a comment and the favorite file's path (absent for
// the two built-in rows, the current settings and the default favorite).
class FavoriteItem {
public:
    static constexpr int kFavoriteListOffset = 2;

    explicit FavoriteItem(std::optional<std::string> name = std::nullopt);
    static FavoriteItem favoriteItemWithName(const std::string& name) { return FavoriteItem(name); }
    // The built-in rows: "<current settings>" and the default favorite.
    static FavoriteItem currentSettingsItem();
    static FavoriteItem defaultFavoriteItem();

    const std::optional<std::string>& name() const { return _name; }
    const std::optional<std::string>& comment() const { return _comment; }
    const std::optional<std::string>& path() const { return _path; }
    // Null leaves the entry as it is.
    void setName(const std::optional<std::string>& name);
    void setComment(const std::optional<std::string>& comment);
    void setPath(const std::optional<std::string>& path);

    // In bytes of the C-string encoding.
    static std::size_t maxNameLength() { return 27; }
    static std::size_t maxCommentLength() { return 255; }
    // Null when the name may be used, else the localized message. A name is also a file name:
    // "/", NUL, a leading "." and names that would leave the favorite folder are refused
    // whatever the localized character set says.
    static std::optional<std::string> checkName(const std::optional<std::string>& name);
    static std::optional<std::string> checkComment(const std::optional<std::string>& comment);
    static bool isEqualToDefaultFavoriteName(const std::optional<std::string>& name);
    static std::string currentSettingName();
    static std::string defaultFavoriteName();

    // The current-settings row first, then the default favorite, then the others by path
    // (both having one) or by name. <0, 0 or >0.
    int compare(const FavoriteItem& other) const;
    bool operator<(const FavoriteItem& other) const { return compare(other) < 0; }

private:
    std::optional<std::string> _name, _comment, _path;
    int rank() const;
};

} // namespace velmora
