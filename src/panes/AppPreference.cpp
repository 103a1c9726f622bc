#include "panes/AppPreference.h"

#include "common/Localization.h"
#include "favorites/FavoriteFile.h"
#include "favorites/FavoriteItem.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/SystemLog.h"
#include "platform/foundation/TextEncoding.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/PopUpButton.h"

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace velmora {
namespace {

constexpr std::size_t kMaxProfileSize = 8u << 20;
constexpr const char* kMakerFolder = "TORVALEN";
constexpr const char* kNoInformation = "##### fail to retrieve infomations dictionary";

std::shared_ptr<ui::Image> icon16(std::shared_ptr<ui::Image> image) {
    return image ? image->scaledCopy({16, 16}) : nullptr;
}

// The image that stands for a file: the bundle's icon of its kind, else a system document icon.
std::shared_ptr<ui::Image> fileIcon(const std::string& path) {
    return icon16(
        ui::Image::systemIcon("file:" + std::filesystem::path(path).extension().string()));
}

std::string withoutLineEnding(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

} // namespace

AppPreference& AppPreference::sharedInstance() {
    static AppPreference preference;
    return preference;
}

std::shared_ptr<Bundle> AppPreference::principalBundle() const {
    return _principal ? _principal : BSPrincipalBundle();
}

std::optional<std::string> AppPreference::information(const std::optional<std::string>& app,
                                                      const char* key) const {
    auto bundle = principalBundle();
    std::string name = app      ? *app
                       : bundle ? bundle->objectForInfoDictionaryKey("CFBundleName").stringValue()
                                : "";
    auto path = bundle ? bundle->pathForResource("miscellaneous", "plist") : std::nullopt;
    auto misc = path ? PropertyList::readFile(*path) : std::nullopt;
    const Dictionary* entry = name.empty() || !misc || !misc->dictionary()
                                  ? nullptr
                                  : misc->dictionary()->get(name).dictionary();
    if (!entry) {
        SystemLog::write(kNoInformation);
        return std::nullopt;
    }
    const Value& value = entry->get(key);
    return value.isString() ? std::optional<std::string>(*value.string()) : std::nullopt;
}

std::optional<std::string>
AppPreference::panesTreeFileNameWithAppName(const std::optional<std::string>& app) const {
    return information(app, "panesTreeFileName");
}
std::optional<std::string>
AppPreference::ppdFileNameWithAppName(const std::optional<std::string>& app) const {
    return information(app, "ppdFileName");
}
std::optional<std::string>
AppPreference::convertTableFileNameWithAppName(const std::optional<std::string>& app) const {
    return information(app, "convertTableFileName");
}
std::optional<std::string>
AppPreference::productFolderNameWithAppName(const std::optional<std::string>& app) const {
    return information(app, "productFolderName");
}
std::optional<std::string>
AppPreference::subFolderNameWithAppName(const std::optional<std::string>& app) const {
    return information(app, "subFolderName");
}

bool createDirectoryRecursively(const std::string& path) {
    std::string prefix;
    std::stringstream parts(path);
    std::string part;
    bool absolute = path.starts_with('/');
    bool first = true;
    while (std::getline(parts, part, '/')) {
        if (part.empty())
            continue;
        prefix += (first && !absolute ? "" : "/") + part;
        first = false;
        if (FileSystem::isFolder(prefix))
            continue;
        if (!FileSystem::createFolder(prefix, 0775))
            return false;
    }
    return FileSystem::isFolder(path);
}

std::vector<std::string> AppPreference::subFolderPathArray(const std::string& kind,
                                                           bool create) const {
    std::string base =
        kind == "favorite" ? FileSystem::userLibraryFolder() : FileSystem::systemLibraryFolder();
    std::string path = base + "/Preferences/" + kMakerFolder;
    // Without both names every product would share one folder: there is none to offer then.
    for (const auto& name : {productFolderNameWithAppName(), subFolderNameWithAppName()}) {
        if (!name || name->empty())
            return {};
        path += "/" + *name;
    }
    path += "/" + kind;
    if (!FileSystem::exists(path) && create)
        createDirectoryRecursively(path);
    return {path};
}

std::vector<std::string> AppPreference::favoriteFolderPathArray(bool create) const {
    return subFolderPathArray("favorite", create);
}
std::vector<std::string> AppPreference::profileFolderPathArray(bool create) const {
    return subFolderPathArray("profile", create);
}
std::vector<std::string> AppPreference::spotColorFolderPathArray(bool create) const {
    return subFolderPathArray("SpotColor", create);
}
std::vector<std::string> AppPreference::spotColorDataUserFolderPathArray(bool create) const {
    return subFolderPathArray("SpotColorDataUser", create);
}

namespace {
std::string firstOrHome(const std::vector<std::string>& folders) {
    if (!folders.empty())
        return folders.front();
    const char* home = std::getenv("HOME");
    return home ? home : "/";
}
} // namespace

std::string AppPreference::firstProfileFolder(bool create) const {
    return firstOrHome(profileFolderPathArray(create));
}
std::string AppPreference::firstSpotColorFolder(bool create) const {
    return firstOrHome(spotColorFolderPathArray(create));
}
std::string AppPreference::firstSpotColorDataUserFolder(bool create) const {
    return firstOrHome(spotColorDataUserFolderPathArray(create));
}

std::vector<std::string> AppPreference::filesOfFolder(const std::string& folder,
                                                      bool favorites) const {
    std::vector<std::string> paths;
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    if (ec && favorites)
        SystemLog::format("##### Fail to list \"%s\" (%s)", folder.c_str(), ec.message().c_str());
    std::sort(names.begin(), names.end()); // a stable listing order
    for (const auto& name : names) {
        std::string path = folder + "/" + name;
        bool kind = favorites ? FavoriteFile::hasExtension(name) : name.ends_with(".cps");
        // A link counts by what it points to: a dangling one is no file to offer.
        if (!name.starts_with('.') && kind && std::filesystem::exists(path, ec) &&
            !FileSystem::isFolder(path) && !isFileInVisible(path))
            paths.push_back(path);
    }
    return paths;
}

std::vector<std::string>
AppPreference::pathArrayForOneFavoriteFolder(const std::string& folder) const {
    return filesOfFolder(folder, true);
}

std::vector<std::string>
AppPreference::pathArrayForOneProfileFolder(const std::string& folder) const {
    return filesOfFolder(folder, false);
}

std::vector<std::string> AppPreference::arrayForFavoritePath() const {
    std::vector<std::string> all;
    for (const auto& folder : favoriteFolderPathArray(true)) {
        auto files = pathArrayForOneFavoriteFolder(folder);
        all.insert(all.end(), files.begin(), files.end());
    }
    return all;
}

std::optional<std::string> AppPreference::favoritePathWithName(const std::string& name) const {
    auto folders = favoriteFolderPathArray(false);
    return FavoriteFile::pathWithName(name, folders.empty() ? std::nullopt
                                                            : std::optional(folders.front()));
}

Result<std::string>
AppPreference::saveFavoriteOnFavoriteDirectory(const std::optional<std::string>& name,
                                               const std::optional<std::string>& comment,
                                               const std::optional<Dictionary>& content) const {
    if (!name || name->empty())
        return Failure{"a favorite needs a name"};
    if (!content)
        return Failure{"the favorite \"" + *name + "\" has no settings to keep"};
    auto folders = favoriteFolderPathArray(true);
    if (folders.empty())
        return Failure{"there is no folder for favorites"};
    auto path = FavoriteFile::pathWithName(name, folders.front());
    if (!path)
        return Failure{"\"" + *name + "\" cannot be the name of a favorite file"};
    FavoriteFile file;
    file.setOptions(content);
    file.setComment(comment);
    if (auto written = file.writeToFile(*path, destinationIotType()); !written)
        return Failure{written.error()};
    return *path;
}

void AppPreference::buildFavoritePopup(ui::PopUpButton& popUp) const {
    popUp.removeAllItems();
    auto defaultItem = std::make_shared<ui::MenuItem>(FavoriteItem::defaultFavoriteName());
    defaultItem->setRepresentedObject(Value(""));
    defaultItem->setImage(icon16(ui::Image::systemIcon("docs")));
    popUp.addItem(defaultItem);
    auto folders = favoriteFolderPathArray(true);
    if (!folders.empty()) {
        auto files = pathArrayForOneFavoriteFolder(folders.front());
        if (!files.empty() && popUp.numberOfItems() > 0)
            popUp.addItem(ui::MenuItem::separatorItem());
        for (const auto& path : files) {
            auto item = std::make_shared<ui::MenuItem>(FavoriteFile::nameWithPath(path));
            item->setRepresentedObject(Value(path));
            item->setImage(fileIcon(path));
            popUp.addItem(item);
        }
    }
    popUp.selectItemAtIndex(0);
}

void AppPreference::buildProfilePopup(ui::PopUpButton& popUp,
                                      const std::optional<std::string>& selectTitle) const {
    try {
        popUp.removeAllItems();
        auto none = std::make_shared<ui::MenuItem>(BSLocalizedStringOrKey("none"));
        none->setRepresentedObject(Value(""));
        popUp.addItem(none);
        profileFolderPathArray(true);
        spotColorFolderPathArray(true);
        spotColorDataUserFolderPathArray(true);
        bool firstFolder = true;
        for (const auto& folder : profileFolderPathArray(true)) {
            auto files = pathArrayForOneProfileFolder(folder);
            std::erase_if(files, [](const std::string& path) {
                return ::access(path.c_str(), R_OK) != 0; // a profile nobody can read
            });
            if (!files.empty() && popUp.numberOfItems() > 0)
                popUp.addItem(ui::MenuItem::separatorItem());
            for (const auto& path : files) {
                auto item =
                    std::make_shared<ui::MenuItem>(std::filesystem::path(path).stem().string());
                item->setRepresentedObject(Value(path));
                item->setImage(firstFolder ? fileIcon(path) : icon16(clasicIcon()));
                popUp.addItem(item);
            }
            firstFolder = false;
        }
        if (selectTitle)
            popUp.selectItemWithTitle(*selectTitle);
        else
            popUp.selectItemAtIndex(0);
    } catch (const std::exception&) {
        // a broken folder leaves the pop-up as far as it got
    }
}

std::optional<Dictionary>
AppPreference::profileDictionaryWithContentsOfFile(const std::optional<std::string>& path) const {
    if (!path || path->empty())
        return std::nullopt;
    if (!FileSystem::exists(*path))
        throw FileNotFoundError(*path + " not found");
    std::string readError;
    auto bytes = FileUtil::readFile(*path, kMaxProfileSize, &readError);
    std::optional<std::string> text;
    if (bytes) {
        text = TextEncodings::isValidUtf8(*bytes) ? std::optional(*bytes) : std::nullopt;
        if (!text)
            text = TextEncodings::toUtf8(*bytes, TextEncoding::ShiftJIS);
    }
    if (!text) {
        SystemLog::format("##### fail to read \"%s\" (encoding=%d, error=%s)",
                          std::filesystem::path(*path).filename().c_str(),
                          stringEncodingForServer(),
                          bytes ? "not UTF-8 or code page 932 text" : readError.c_str());
        return std::nullopt;
    }
    if (text->starts_with("\xEF\xBB\xBF"))
        text->erase(0, 3); // a byte-order mark is no part of the first key
    Dictionary profile;
    std::stringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
        line = withoutLineEnding(line);
        std::size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            continue;
        profile.set(line.substr(0, equals), line.substr(equals + 1));
    }
    return profile;
}

std::shared_ptr<ui::Image> AppPreference::clasicIcon() const {
    auto bundle = principalBundle();
    // The press maker's bundles carry it as an icon file; bundles made here as a PNG.
    auto path = bundle ? bundle->pathForResource("Classic", "icns") : std::nullopt;
    if (!path && bundle)
        path = bundle->pathForResource("Classic", "png");
    return path ? std::make_shared<ui::Image>("Classic", ui::Size{32, 32}, *path) : nullptr;
}

bool AppPreference::isJapanesePreferred() const {
    if (!_japanese)
        _japanese = IsJapanesePreferred();
    return *_japanese;
}

} // namespace velmora
