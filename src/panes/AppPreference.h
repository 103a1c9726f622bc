#pragma once

#include "favorites/FavoriteFile.h"

#include "platform/foundation/Result.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

class Bundle;
namespace ui {
class Image;
class PopUpButton;
} // namespace ui

// A profile file that does not exist.
class FileNotFoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where things are: the names of the bundle's configuration resources, the folders of
// favorites, profiles and spot colours, the favorite and profile lists, and a few fixed answers.
class AppPreference {
public:
    static AppPreference& sharedInstance();
    AppPreference() = default;
    // Reads the configuration resources of this bundle instead of the principal bundle.
    explicit AppPreference(std::shared_ptr<Bundle> principal) : _principal(std::move(principal)) {}

    // Entries of the "miscellaneous" resource for an application (the plug-in's CFBundleName
    // when none is given).
    std::optional<std::string>
    panesTreeFileNameWithAppName(const std::optional<std::string>& app = {}) const;
    std::optional<std::string>
    ppdFileNameWithAppName(const std::optional<std::string>& app = {}) const;
    std::optional<std::string>
    convertTableFileNameWithAppName(const std::optional<std::string>& app = {}) const;
    std::optional<std::string>
    productFolderNameWithAppName(const std::optional<std::string>& app = {}) const;
    std::optional<std::string>
    subFolderNameWithAppName(const std::optional<std::string>& app = {}) const;

    // Settings folders: favorites below the user's folder, the other kinds below the machine's.
    // Created with permissions 0775 when missing and create is set.
    std::vector<std::string> favoriteFolderPathArray(bool create) const;
    std::vector<std::string> profileFolderPathArray(bool create) const;
    std::vector<std::string> spotColorFolderPathArray(bool create) const;
    std::vector<std::string> spotColorDataUserFolderPathArray(bool create) const;
    std::string firstProfileFolder(bool create) const;
    std::string firstSpotColorFolder(bool create) const;
    std::string firstSpotColorDataUserFolder(bool create) const;

    // Favorite (".pfj") and profile (".cps") files of a folder, in listing order, without
    // hidden entries, folders and invisible files.
    std::vector<std::string> pathArrayForOneFavoriteFolder(const std::string& folder) const;
    std::vector<std::string> pathArrayForOneProfileFolder(const std::string& folder) const;
    std::vector<std::string> arrayForFavoritePath() const;
    // Where the favorite of a name is kept (in the first favorite folder), whether or not it
    // exists; null without a favorite folder.
    std::optional<std::string> favoritePathWithName(const std::string& name) const;

    // Writes a favorite into the first favorite folder and answers its path, or why it was not
    // written (no name, no content, no folder, the file could not be written).
    Result<std::string>
    saveFavoriteOnFavoriteDirectory(const std::optional<std::string>& name,
                                    const std::optional<std::string>& comment,
                                    const std::optional<Dictionary>& content) const;

    void buildFavoritePopup(ui::PopUpButton& popUp) const;
    void buildProfilePopup(ui::PopUpButton& popUp,
                           const std::optional<std::string>& selectTitle) const;
    // key=value lines of a profile file (UTF-8, else code page 932); throws FileNotFoundError
    // for a missing file, null for an unreadable one.
    std::optional<Dictionary>
    profileDictionaryWithContentsOfFile(const std::optional<std::string>& path) const;
    std::shared_ptr<ui::Image> clasicIcon() const;

    // Whether the host application's first localization is Japanese; worked out once.
    bool isJapanesePreferred() const;
    void setJapanesePreferredForTesting(std::optional<bool> japanese) { _japanese = japanese; }

    static int destinationIotType() { return FavoriteFile::kDestinationIotType; }
    static int stringEncodingForServer() { return 4; }

private:
    std::shared_ptr<Bundle> _principal;
    mutable std::optional<bool> _japanese;

    std::shared_ptr<Bundle> principalBundle() const;

    std::optional<std::string> information(const std::optional<std::string>& app,
                                           const char* key) const;
    std::vector<std::string> subFolderPathArray(const std::string& kind, bool create) const;
    std::vector<std::string> filesOfFolder(const std::string& folder, bool favorites) const;
};

// Creates every missing folder of the path with permissions 0775.
bool createDirectoryRecursively(const std::string& path);

} // namespace velmora
