#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

// Favorite-file readers for other components of the driver; each reads for the current device
// type and gives null when the file is not a valid favorite.
namespace velmora {

std::string FavoriteNameAppendingClassic(const std::string& name);
std::string FavoriteNameWithPath(const std::string& path);
std::optional<std::string> FavoriteCommentWithContentsOfFile(const std::string& path);
std::optional<Dictionary> FavoriteDictionaryWithContentsOfFile(const std::string& path);

} // namespace velmora
