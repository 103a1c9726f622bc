// velmora favorites export-instance: a favorite as a CUPS destination instance of a queue
// (QUEUE/NAME in the user's lpoptions), so that every CUPS application offers it.
#include "Command.h"

#include "favorites/FavoriteFile.h"
#include "favorites/FavoriteItem.h"
#include "panel/LornPDEByCocoa.h"
#include "panes/AppPreference.h"
#include "platform/foundation/FileSystem.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/JobOptions.h"
#include "ppd/PrintOptionConverter.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <cstdio>

namespace velmora::app {
namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "velmora favorites: %s\n", message.c_str());
    return 1;
}

// The favorite's settings as the instance keeps them: PPD choices as they are, everything else as
// the panel's own entries (escaped), without secrets, copies or the job name. Every option is
// kept, at its default too: what an instance leaves out it takes from the queue's own line.
Dictionary instanceOptions(const Dictionary& keywords, const std::string& ppdPath) {
    ppd_file_t* ppd = ppdOpenFile(ppdPath.c_str());
    Dictionary options;
    for (const auto& [keyword, value] : keywords) {
        std::string text =
            value.isBoolean() ? (value.boolValue() ? "True" : "False") : value.stringValue();
        if (ppd && ppdFindChoice(ppdFindOption(ppd, keyword.c_str()), text.c_str()))
            options.set(keyword, Value(text));
        else
            options.set(LornPDEByCocoa::customTicketKey(keyword),
                        Value(LornPDEByCocoa::escapeTicketValue(text)));
    }
    // The press's tray decides the queue's InputSlot, as it does for a job from the dialog.
    if (const std::string* tray = keywords.get("KVInputSlot").string();
        tray && ppd && ppdFindChoice(ppdFindOption(ppd, "InputSlot"), tray->c_str()))
        options.set("InputSlot", Value(*tray));
    Dictionary stored = JobOptions::toStored(JobOptions::shareable(options), ppd, true);
    if (ppd)
        ppdClose(ppd);
    return stored;
}

} // namespace

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
        return fail(*problem);
    CupsConnection cups;
    std::string error;
    if (!cups.connect(&error))
        return fail(error);
    auto chosen = cups.chooseQueue(queue, &error);
    if (!chosen)
        return fail(error);
    queue = *chosen;
    auto instance = CupsConnection::instanceName(name, &error);
    if (!instance)
        return fail(error);
    if (remove && !cups.hasInstance(queue, *instance))
        return fail("there is no instance \"" + queue + "/" + *instance + "\" to remove");
    Dictionary options;
    if (!remove) {
        auto folders = AppPreference::sharedInstance().favoriteFolderPathArray(false);
        auto path = FavoriteFile::pathWithName(
            name, folders.empty() ? std::nullopt : std::optional(folders.front()));
        FavoriteFile favorite;
        if (path && FileSystem::exists(*path))
            favorite = FavoriteFile::favoriteFileWithContentsOfFile(
                *path, AppPreference::destinationIotType());
        if (!favorite.isValid() || !favorite.options())
            return fail("no favorite named \"" + name + "\"");
        CupsConnection::FetchedPpd ppd;
        if (!cups.fetchPpd(queue, ppd, &error))
            return fail(error);
        Dictionary keywords =
            PrintOptionConverter::sharedInstance().toPpdKeywordFormat(&*favorite.options());
        PrintOptionConverter::convertToInternalPpdKeyword(keywords);
        PrintOptionConverter::convertToCanonicalPpdKeyword(keywords, true);
        options = instanceOptions(keywords, ppd.path);
        std::remove(ppd.path.c_str());
    }
    if (!cups.saveOptions(queue, *instance, options, remove, &error))
        return fail(error);
    if (!remove && !cups.hasInstance(queue, *instance))
        return fail("the instance \"" + queue + "/" + *instance + "\" was not kept by CUPS");
    if (remove && cups.hasInstance(queue, *instance))
        return fail("the instance \"" + queue + "/" + *instance + "\" could not be removed");
    Dictionary result{{"destination", Value(queue + "/" + *instance)}, {"removed", Value(remove)}};
    if (!remove)
        result.set("options", Value(std::move(options)));
    std::printf("%s\n", Value(std::move(result)).toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
