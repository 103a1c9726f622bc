#pragma once

#include "platform/foundation/ImageInfo.h"
#include "platform/foundation/StringTable.h"
#include "platform/foundation/Value.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// A bundle folder: Contents/Info.plist, Contents/Resources (with <lang>.lproj folders) and
// Contents/PlugIns. Information and string tables are read on first use and kept.
class Bundle {
public:
    // Null when path is not a folder.
    static std::shared_ptr<Bundle> open(const std::string& path);
    explicit Bundle(std::string path);

    const std::string& path() const { return _path; }
    std::string contentsPath() const { return _path + "/Contents"; }
    std::string resourcePath() const { return contentsPath() + "/Resources"; }
    std::string plugInsPath() const { return contentsPath() + "/PlugIns"; }

    // Contents/Info.plist; empty when missing or unreadable.
    const Dictionary& infoDictionary() const;
    const Value& objectForInfoDictionaryKey(std::string_view key) const;
    std::string bundleIdentifier() const;
    std::string developmentRegion() const;

    // The localizations the bundle has (names of its .lproj folders, without the extension).
    std::vector<std::string> localizations() const;
    // The bundle's localizations in the order they are searched: those matching the user's
    // preferred languages, then the development region.
    std::vector<std::string> preferredLocalizations() const;

    // A resource by name and type ("UI", "plist"), or by full name when type is empty:
    // searched in the preferred localizations, then unlocalized in Resources/.
    std::optional<std::string> pathForResource(const std::string& name,
                                               const std::string& type) const;
    // The localized text of key in table (Table.strings), or null when no table has it.
    const std::string* findLocalizedString(const std::string& key, const std::string& table) const;
    // A PNG image by name (with or without ".png"), found like a resource.
    std::optional<ImageInfo> imageNamed(const std::string& name) const;

    // Overrides the user's preferred languages for this bundle (tests, command-line flags).
    void setPreferredLanguages(std::vector<std::string> languages);

private:
    std::string _path;
    mutable std::optional<Dictionary> _info;
    mutable std::optional<std::vector<std::string>> _localizationOrder;
    mutable std::map<std::string, std::vector<StringTable>, std::less<>> _tables;
    std::optional<std::vector<std::string>> _languages;

    const std::vector<std::string>& localizationOrder() const;
    const std::vector<StringTable>& tablesFor(const std::string& table) const;
};

} // namespace velmora
