#include "favorites/FavoriteItem.h"

#include "common/Localization.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/StringFormat.h"
#include "validation/StringUtilities.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace velmora {
namespace {

constexpr const char* kInvalidName = "Invalid favorite name";
constexpr const char* kInvalidDefaultName = "Invalid favorite name2";

// The forbidden characters of the localized set; nothing when the bundle has no such text.
std::string localizedForbiddenCharacters() {
    auto bundle = BSPrincipalBundle();
    const std::string* set =
        bundle ? bundle->findLocalizedString("characterSet_InvalidCharsForFavorite", "Localizable")
               : nullptr;
    return set ? *set : std::string();
}

bool containsAnyOf(const std::string& text, const std::string& characters) {
    auto u = icu::UnicodeString::fromUTF8(text), set = icu::UnicodeString::fromUTF8(characters);
    for (int32_t i = 0; i < u.length(); i = u.moveIndex32(i, 1))
        if (set.indexOf(u.char32At(i)) >= 0)
            return true;
    return false;
}

bool onlyWhiteSpace(const std::string& text) {
    auto u = icu::UnicodeString::fromUTF8(text);
    for (int32_t i = 0; i < u.length(); i = u.moveIndex32(i, 1))
        if (!u_isUWhiteSpace(u.char32At(i)))
            return false;
    return true;
}

// Control and format characters (line breaks, tabs, escape sequences, bidirectional overrides,
// zero-width characters) would make a name that shows as something else than it is.
bool holdsInvisibleCharacters(const std::string& name) {
    for (int32_t at = 0, length = static_cast<int32_t>(name.size()); at < length;) {
        UChar32 c = 0;
        U8_NEXT(name.data(), at, length, c);
        if (c < 0)
            return true; // not UTF-8
        auto type = u_charType(c);
        if (type == U_CONTROL_CHAR || type == U_FORMAT_CHAR || type == U_LINE_SEPARATOR ||
            type == U_PARAGRAPH_SEPARATOR || type == U_UNASSIGNED || type == U_SURROGATE)
            return true;
    }
    return false;
}

bool unsafeAsFileName(const std::string& name) {
    return name.find('/') != std::string::npos || name.find('\0') != std::string::npos ||
           name.starts_with('.') || holdsInvisibleCharacters(name);
}

} // namespace

FavoriteItem::FavoriteItem(std::optional<std::string> name) : _name(std::move(name)) {}

FavoriteItem FavoriteItem::currentSettingsItem() {
    return FavoriteItem(currentSettingName());
}
FavoriteItem FavoriteItem::defaultFavoriteItem() {
    return FavoriteItem(defaultFavoriteName());
}

std::string FavoriteItem::currentSettingName() {
    return StringFormat::format("<%@>", {Value(BSLocalizedStringOrKey("CurrentSetting"))});
}

std::string FavoriteItem::defaultFavoriteName() {
    return BSLocalizedStringOrKey("DefaultFavorite");
}

void FavoriteItem::setName(const std::optional<std::string>& name) {
    if (name)
        _name = name;
}
void FavoriteItem::setComment(const std::optional<std::string>& comment) {
    if (comment)
        _comment = comment;
}
void FavoriteItem::setPath(const std::optional<std::string>& path) {
    if (path)
        _path = path;
}

std::optional<std::string> FavoriteItem::checkName(const std::optional<std::string>& name) {
    if (!name)
        return std::nullopt;
    if (name->empty() || lengthByBytes(*name) > maxNameLength() ||
        containsAnyOf(*name, localizedForbiddenCharacters()) || unsafeAsFileName(*name) ||
        onlyWhiteSpace(*name))
        return BSLocalizedStringOrKey(kInvalidName);
    if (isEqualToDefaultFavoriteName(name))
        return BSLocalizedStringOrKey(kInvalidDefaultName);
    return std::nullopt;
}

std::optional<std::string> FavoriteItem::checkComment(const std::optional<std::string>& comment) {
    if (comment && lengthByBytes(*comment) > maxCommentLength())
        return BSLocalizedStringOrKey("Invalid favorite comment");
    return std::nullopt;
}

bool FavoriteItem::isEqualToDefaultFavoriteName(const std::optional<std::string>& name) {
    return name && *name == defaultFavoriteName();
}

int FavoriteItem::rank() const {
    if (!_path && _name == currentSettingName())
        return 0;
    if (!_path && _name == defaultFavoriteName())
        return 1;
    return 2;
}

int FavoriteItem::compare(const FavoriteItem& other) const {
    int a = rank(), b = other.rank();
    if (a != b)
        return a < b ? -1 : 1;
    if (a < 2)
        return 0;
    if (_path && other._path)
        return _path->compare(*other._path);
    return _name.value_or("").compare(other._name.value_or(""));
}

} // namespace velmora
