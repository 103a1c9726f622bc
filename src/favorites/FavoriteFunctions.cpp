#include "favorites/FavoriteFunctions.h"

#include "favorites/FavoriteFile.h"

namespace velmora {

std::string FavoriteNameAppendingClassic(const std::string& name) {
    return FavoriteFile::nameAppendingClassic(name);
}

std::string FavoriteNameWithPath(const std::string& path) {
    return FavoriteFile::nameWithPath(path);
}

std::optional<std::string> FavoriteCommentWithContentsOfFile(const std::string& path) {
    auto file =
        FavoriteFile::favoriteFileWithContentsOfFile(path, FavoriteFile::kDestinationIotType);
    return file.isValid() ? file.comment() : std::nullopt;
}

std::optional<Dictionary> FavoriteDictionaryWithContentsOfFile(const std::string& path) {
    auto file =
        FavoriteFile::favoriteFileWithContentsOfFile(path, FavoriteFile::kDestinationIotType);
    return file.isValid() ? file.options() : std::nullopt;
}

} // namespace velmora
