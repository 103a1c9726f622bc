#include "platform/foundation/Bundle.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/SystemLog.h"

#include <algorithm>
#include <filesystem>

namespace velmora {
namespace {

// Folder names of older bundles, which name a localization in English.
std::string legacyLocalizationName(const std::string& code) {
    static const std::map<std::string, std::string> names = {
        {"en", "English"}, {"fr", "French"},  {"de", "German"}, {"ja", "Japanese"},
        {"it", "Italian"}, {"es", "Spanish"}, {"nl", "Dutch"},
    };
    auto it = names.find(code);
    return it == names.end() ? std::string() : it->second;
}

// The folder names that may hold a language, most specific first: "fr-CA" → fr-CA, fr_CA,
// fr, French.
std::vector<std::string> candidateFolders(const std::string& language) {
    std::vector<std::string> names{language};
    std::string underscored = language;
    std::replace(underscored.begin(), underscored.end(), '-', '_');
    names.push_back(underscored);
    std::string base = language.substr(0, language.find_first_of("-_"));
    names.push_back(base);
    if (auto legacy = legacyLocalizationName(base); !legacy.empty())
        names.push_back(legacy);
    return names;
}

void appendUnique(std::vector<std::string>& list, const std::string& item) {
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

} // namespace

std::shared_ptr<Bundle> Bundle::open(const std::string& path) {
    if (!FileSystem::isFolder(path))
        return nullptr;
    return std::make_shared<Bundle>(path);
}

Bundle::Bundle(std::string path) : _path(std::move(path)) {
    while (_path.size() > 1 && _path.back() == '/')
        _path.pop_back();
}

const Dictionary& Bundle::infoDictionary() const {
    if (!_info) {
        auto value = PropertyList::readFile(contentsPath() + "/Info.plist");
        const Dictionary* dictionary = value ? value->dictionary() : nullptr;
        _info = dictionary ? *dictionary : Dictionary();
    }
    return *_info;
}

const Value& Bundle::objectForInfoDictionaryKey(std::string_view key) const {
    return infoDictionary().get(key);
}

std::string Bundle::bundleIdentifier() const {
    return objectForInfoDictionaryKey("CFBundleIdentifier").stringValue();
}

std::string Bundle::developmentRegion() const {
    return objectForInfoDictionaryKey("CFBundleDevelopmentRegion").stringValue();
}

std::vector<std::string> Bundle::localizations() const {
    std::vector<std::string> result;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(resourcePath(), ec)) {
        if (entry.path().extension() == ".lproj" && entry.is_directory(ec))
            result.push_back(entry.path().stem().string());
    }
    std::sort(result.begin(), result.end());
    return result;
}

void Bundle::setPreferredLanguages(std::vector<std::string> languages) {
    _languages = std::move(languages);
    _localizationOrder.reset();
    _tables.clear();
}

const std::vector<std::string>& Bundle::localizationOrder() const {
    if (_localizationOrder)
        return *_localizationOrder;
    std::vector<std::string> available = localizations(), order;
    auto addMatches = [&](const std::string& language) {
        for (const auto& folder : candidateFolders(language))
            if (std::find(available.begin(), available.end(), folder) != available.end()) {
                appendUnique(order, folder);
                return;
            }
    };
    for (const auto& language : _languages ? *_languages : PreferredLanguages::current())
        addMatches(language);
    if (auto region = developmentRegion(); !region.empty())
        addMatches(region);
    _localizationOrder = std::move(order);
    return *_localizationOrder;
}

std::vector<std::string> Bundle::preferredLocalizations() const {
    return localizationOrder();
}

std::optional<std::string> Bundle::pathForResource(const std::string& name,
                                                   const std::string& type) const {
    if (name.empty() || name.find("..") != std::string::npos)
        return std::nullopt;
    std::string file = type.empty() ? name : name + "." + type;
    for (const auto& localization : localizationOrder()) {
        std::string candidate = resourcePath() + "/" + localization + ".lproj/" + file;
        if (FileSystem::exists(candidate))
            return candidate;
    }
    std::string candidate = resourcePath() + "/" + file;
    if (FileSystem::exists(candidate))
        return candidate;
    return std::nullopt;
}

const std::vector<StringTable>& Bundle::tablesFor(const std::string& table) const {
    auto it = _tables.find(table);
    if (it != _tables.end())
        return it->second;
    std::vector<StringTable> chain;
    // A table that is not there is no table; one that is there but cannot be read is said in
    // the log, since its texts are then shown as their keys.
    auto addTable = [&](const std::string& path) {
        if (!FileSystem::exists(path))
            return;
        std::string error;
        if (auto parsed = StringTable::readFile(path, &error))
            chain.push_back(std::move(*parsed));
        else
            SystemLog::format("###Error: strings table %s not read: %s", path.c_str(),
                              error.c_str());
    };
    for (const auto& localization : localizationOrder())
        addTable(resourcePath() + "/" + localization + ".lproj/" + table + ".strings");
    addTable(resourcePath() + "/" + table + ".strings");
    return _tables.emplace(table, std::move(chain)).first->second;
}

const std::string* Bundle::findLocalizedString(const std::string& key,
                                               const std::string& table) const {
    for (const auto& strings : tablesFor(table.empty() ? "Localizable" : table))
        if (const std::string* text = strings.find(key))
            return text;
    return nullptr;
}

std::optional<ImageInfo> Bundle::imageNamed(const std::string& name) const {
    bool hasExtension = name.size() > 4 && name.ends_with(".png");
    auto path = pathForResource(hasExtension ? name : name + ".png", "");
    if (!path)
        return std::nullopt;
    return ImageInfo::readPng(*path);
}

} // namespace velmora
