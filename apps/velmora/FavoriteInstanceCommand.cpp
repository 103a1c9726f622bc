// velmora favorites export-instance: a favorite as a CUPS destination instance of a queue
// (QUEUE/NAME in the user's lpoptions), so that every CUPS application offers it.
#include "Command.h"

#include "favorites/FavoriteFile.h"
#include "favorites/FavoriteItem.h"
#include "panel/FavoriteInstanceOptions.h"
#include "panes/AppPreference.h"
#include "platform/foundation/FileSystem.h"
#include "platform/printing/CupsConnection.h"

#include <cstdio>

namespace velmora::app {

int runFavoriteInstanceCommand(const std::vector<std::string>& arguments) {
    std::string name, queue;
    bool remove = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "-d" && i + 1 < arguments.size())
            queue = arguments[++i];
        else if (arguments[i] == "--remove")
            remove = true;
        else if (name.empty() && arguments[i][0] != '-')
            name = arguments[i];
        else
            name.clear(), i = arguments.size();
    }
    if (name.empty()) {
        std::fprintf(stderr,
                     "usage: velmora favorites export-instance NAME [-d QUEUE] [--remove]\n");
        return 2;
    }
    if (auto problem = FavoriteItem::checkName(name))
        return failCommand("favorites", *problem);
    CupsConnection cups;
    auto chosen = cups.connectToQueue(queue);
    if (!chosen)
        return failCommand("favorites", chosen.error());
    queue = *chosen;
    auto instance = CupsConnection::instanceName(name);
    if (!instance)
        return failCommand("favorites", instance.error());
    if (remove && !cups.hasInstance(queue, *instance))
        return failCommand("favorites",
                           "there is no instance \"" + queue + "/" + *instance + "\" to remove");
    Dictionary options;
    if (!remove) {
        auto path = AppPreference::sharedInstance().favoritePathWithName(name);
        FavoriteFile favorite;
        if (path && FileSystem::exists(*path))
            favorite = FavoriteFile::favoriteFileWithContentsOfFile(
                *path, AppPreference::destinationIotType());
        if (!favorite.isValid() || !favorite.options())
            return failCommand("favorites", "no favorite named \"" + name + "\"");
        CupsConnection::FetchedPpd ppd;
        if (auto fetched = cups.fetchPpd(queue, ppd); !fetched)
            return failCommand("favorites", fetched.error());
        options = FavoriteInstanceOptions::of(favorite, ppd.path);
        std::remove(ppd.path.c_str());
    }
    if (auto saved = cups.saveOptions(queue, *instance, options, remove); !saved)
        return failCommand("favorites", saved.error());
    if (!remove && !cups.hasInstance(queue, *instance))
        return failCommand("favorites",
                           "the instance \"" + queue + "/" + *instance + "\" was not kept by CUPS");
    if (remove && cups.hasInstance(queue, *instance))
        return failCommand("favorites",
                           "the instance \"" + queue + "/" + *instance + "\" could not be removed");
    Dictionary result{{"destination", Value(queue + "/" + *instance)}, {"removed", Value(remove)}};
    if (!remove)
        result.set("options", Value(std::move(options)));
    std::printf("%s\n", Value(std::move(result)).toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
