#include "Command.h"

#include "favorites/FavoriteFile.h"
#include "favorites/FavoriteItem.h"
#include "panes/AppPreference.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/JsonReader.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>

namespace velmora::app {
namespace {

Value favoriteJson(const FavoriteFile& file) {
    return Value(Dictionary{{"version", file.version()},
                            {"iotType", file.iotType()},
                            {"encoding", file.encoding()},
                            {"comment", file.comment() ? Value(*file.comment()) : Value()},
                            {"options", file.options() ? Value(*file.options()) : Value()}});
}

int listFavorites() {
    std::vector<FavoriteItem> items;
    for (const auto& path : AppPreference::sharedInstance().arrayForFavoritePath()) {
        FavoriteItem item(FavoriteFile::nameWithPath(path));
        item.setPath(path);
        item.setComment(
            FavoriteFile::favoriteFileWithContentsOfFile(path, AppPreference::destinationIotType())
                .comment());
        items.push_back(item);
    }
    std::sort(items.begin(), items.end());
    Array list;
    for (const auto& item : items)
        list.push_back(
            Value(Dictionary{{"name", item.name().value_or("")},
                             {"comment", item.comment() ? Value(*item.comment()) : Value()},
                             {"path", item.path().value_or("")}}));
    std::printf("%s\n", Value(std::move(list)).toJson(2).c_str());
    return 0;
}

} // namespace

Result<std::unique_ptr<FavoriteFolderLock>> lockFavoriteFolder() {
    auto folders = AppPreference::sharedInstance().favoriteFolderPathArray(true);
    if (folders.empty())
        return Failure{"there is no favorite folder"};
    auto lock = std::make_unique<FavoriteFolderLock>(folders.front());
    if (!lock->held())
        return Failure{lock->error()};
    return lock;
}

namespace {

int saveFavorite(const std::vector<std::string>& arguments) {
    std::optional<std::string> comment;
    bool replace = false, usage = arguments.size() < 2;
    for (std::size_t i = 2; i < arguments.size() && !usage; ++i) {
        if (arguments[i] == "--comment" && i + 1 < arguments.size() && !comment)
            comment = arguments[++i];
        else if (arguments[i] == "--replace")
            replace = true;
        else
            usage = true;
    }
    if (usage)
        return failCommand(
            "favorites",
            "usage: velmora favorites save NAME [--comment C] [--replace] < options.json");
    const std::string& name = arguments[1];
    if (auto problem = FavoriteItem::checkName(name))
        return failCommand("favorites", *problem);
    if (auto problem = FavoriteItem::checkComment(comment))
        return failCommand("favorites", *problem);
    std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    auto lock = lockFavoriteFolder();
    if (!lock)
        return failCommand("favorites", lock.error());
    if (auto existing = AppPreference::sharedInstance().favoritePathWithName(name);
        existing && FileSystem::exists(*existing) && !replace)
        return failCommand("favorites",
                           "a favorite named \"" + name + "\" exists; add --replace to replace it");
    std::string error;
    auto json = JsonReader::parse(input, &error);
    if (!json || !json->dictionary() || json->dictionary()->empty())
        return failCommand("favorites",
                           "standard input must hold a JSON object with at least one option" +
                               (error.empty() ? std::string() : ": " + error));
    auto path = AppPreference::sharedInstance().saveFavoriteOnFavoriteDirectory(
        name, comment.value_or(""), *json->dictionary());
    if (!path)
        return failCommand("favorites", "the favorite could not be written: " + path.error());
    std::printf("%s\n", Value(Dictionary{{"name", name}, {"path", *path}}).toJson(2).c_str());
    return 0;
}

int deleteFavorite(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2)
        return failCommand("favorites", "usage: velmora favorites delete NAME");
    if (auto problem = FavoriteItem::checkName(arguments[1]))
        return failCommand("favorites", *problem);
    auto lock = lockFavoriteFolder();
    if (!lock)
        return failCommand("favorites", lock.error());
    auto path = AppPreference::sharedInstance().favoritePathWithName(arguments[1]);
    if (!path || !FileSystem::exists(*path))
        return failCommand("favorites", "no favorite named \"" + arguments[1] + "\"");
    if (std::string error; !FileSystem::moveToTrash(*path, &error))
        return failCommand("favorites", "the favorite could not be moved to the trash: " + error);
    return 0;
}

} // namespace

int runFavoriteCommand(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2 || arguments[0] != "show") {
        std::fprintf(stderr, "usage: velmora favorite show FILE\n");
        return 2;
    }
    if (!FileSystem::exists(arguments[1]))
        return failCommand("favorite", arguments[1] + ": no such file");
    if (!FileSystem::isRegularFile(arguments[1]))
        return failCommand("favorite", arguments[1] + " is not a regular file");
    auto file = FavoriteFile::favoriteFileWithContentsOfFile(arguments[1],
                                                             AppPreference::destinationIotType());
    std::printf("%s\n", favoriteJson(file).toJson(2).c_str());
    if (!file.isValid())
        return failCommand("favorite", arguments[1] + ": not a valid favorite file");
    return 0;
}

int runFavoritesCommand(const std::vector<std::string>& arguments) {
    std::string verb = arguments.empty() ? "" : arguments[0];
    if (verb == "list" && arguments.size() == 1)
        return listFavorites();
    if (verb == "save")
        return saveFavorite(arguments);
    if (verb == "delete")
        return deleteFavorite(arguments);
    if (verb == "rename" || verb == "comment" || verb == "import" || verb == "export" ||
        verb == "tree")
        return runFavoritesWindowCommand(arguments);
    if (verb == "export-instance")
        return runFavoriteInstanceCommand(arguments);
    std::fprintf(stderr, "usage: velmora favorites list | save NAME [--comment C] < options.json "
                         "| delete NAME | rename OLD NEW | comment NAME TEXT | import FILE | "
                         "export NAME FILE [--force] | tree NAME | export-instance NAME [-d QUEUE] "
                         "[--remove]\n");
    return 2;
}

} // namespace velmora::app
