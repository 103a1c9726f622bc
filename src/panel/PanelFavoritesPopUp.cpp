// The panel's favorites pop-up: which favorite the settings come from, and whether they still
// equal it.
#include "panel/PanelFavoritesPopUp.h"

#include "common/Localization.h"
#include "favorites/FavoriteFile.h"
#include "favorites/Scrambling.h"
#include "panes/AppPreference.h"
#include "platform/foundation/NumberText.h"
#include "platform/ui/Image.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "ppd/PrintOptionConverter.h"

#include <cmath>

namespace velmora {
namespace {

bool isPasswordKey(const std::string& key) {
    return key == "ZRFormPassword" || key == "ZRSecurityPassword";
}

// Values that differ only in how a number is written ("1" and "1.0") are the same.
bool sameNumber(const std::string& a, const std::string& b) {
    auto x = NumberText::exactReal(a), y = NumberText::exactReal(b);
    return x && y && !std::isnan(*x) && !std::isnan(*y) && *x == *y;
}

std::optional<long> indexOrNone(int index) {
    return index >= 0 ? std::optional<long>(index) : std::nullopt;
}

} // namespace

std::string PanelFavoritesPopUp::changeSettingTitle() {
    return BSLocalizedStringOrKey("Change Setting");
}

bool PanelFavoritesPopUp::isChangePreset(const std::string& title) {
    return title.starts_with(changeSettingTitle());
}

Value PanelFavoritesPopUp::stringFromBooleanIfNeed(const Value& value) {
    if (value.isBoolean())
        return Value(value.boolValue() ? "True" : "False");
    return value;
}

// ---- Reading the pop-up ----

std::optional<long> PanelFavoritesPopUp::currentIndex() const {
    ui::PopUpButton* popUp = _popUp.get();
    auto item = popUp ? popUp->selectedItem() : nullptr;
    if (!item)
        return std::nullopt;
    const std::string& title = item->title();
    if (isChangePreset(title))
        return indexOrNone(popUp->indexOfItemWithTitle(title.substr(changeSettingTitle().size())));
    if (const std::string* path = item->representedObject().string(); path && !path->empty())
        return indexOrNone(popUp->indexOfItemWithRepresentedObject(Value(*path)));
    if (title.empty())
        return std::nullopt;
    return indexOrNone(popUp->indexOfItemWithTitle(title));
}

std::optional<std::string> PanelFavoritesPopUp::currentPath() const {
    auto index = currentIndex();
    if (!index)
        return std::nullopt;
    auto item = _popUp->itemAtIndex(static_cast<int>(*index));
    const std::string* path = item ? item->representedObject().string() : nullptr;
    return path ? std::optional<std::string>(*path) : std::nullopt;
}

std::optional<std::string> PanelFavoritesPopUp::currentName() const {
    auto index = currentIndex();
    if (!index)
        return std::nullopt;
    auto item = _popUp->itemAtIndex(static_cast<int>(*index));
    return item ? std::optional<std::string>(item->title()) : std::nullopt;
}

std::optional<long> PanelFavoritesPopUp::indexOfChangePreset() const {
    if (!_popUp)
        return std::nullopt;
    const auto& items = _popUp->itemArray();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (isChangePreset(items[i]->title()))
            return static_cast<long>(i);
    return std::nullopt;
}

// The favorite's settings in PPD keywords; for the default item, the given settings themselves
// in canonical keywords. Null when the favorite cannot be read.
std::optional<Dictionary> PanelFavoritesPopUp::currentDictionary(Dictionary& options) const {
    auto path = currentPath();
    if (!path)
        return std::nullopt;
    if (path->empty()) {
        PrintOptionConverter::convertToCanonicalPpdKeyword(options, true);
        return options;
    }
    FavoriteFile favorite =
        FavoriteFile::favoriteFileWithContentsOfFile(*path, AppPreference::destinationIotType());
    if (!favorite.isValid() || !favorite.options() || favorite.options()->empty())
        return std::nullopt;
    return PrintOptionConverter::sharedInstance().toPpdKeywordFormat(&*favorite.options());
}

bool PanelFavoritesPopUp::differsFromCurrent(const Dictionary& current,
                                             const std::function<Dictionary()>& defaults) const {
    auto path = currentPath();
    Dictionary compared = current;
    std::optional<Dictionary> reference;
    if (path && path->empty()) {
        // The default item: the settings against the defaults, each through the same keyword
        // conversions, so that what a conversion rounds (unit-converted lengths) is rounded
        // alike on both sides.
        Dictionary standard = defaults();
        for (Dictionary* side : {&standard, &compared})
            PrintOptionConverter::convertToCanonicalPpdKeyword(*side, true);
        PrintOptionConverter::convertToInternalPpdKeyword(compared);
        reference = std::move(standard);
    } else {
        reference = currentDictionary(compared);
    }
    if (!reference)
        return false;
    PrintOptionConverter::convertToInternalPpdKeyword(*reference);
    for (const auto& [key, value] : compared) {
        const Value* other = reference->find(key);
        if (value.isNull() || !other || other->isNull())
            continue;
        Value mine = stringFromBooleanIfNeed(value);
        if (!mine.string())
            continue;
        std::string a = *mine.string(), b = stringFromBooleanIfNeed(*other).stringValue();
        if (isPasswordKey(key)) {
            a = decryptString(kScramblingKey, a);
            b = decryptString(kScramblingKey, b);
        }
        if (a != b && !sameNumber(a, b))
            return true;
    }
    return false;
}

bool PanelFavoritesPopUp::selectPath(const std::string& path) {
    int index = _popUp ? _popUp->indexOfItemWithRepresentedObject(Value(path)) : -1;
    if (index < 0)
        return false;
    _popUp->selectItemAtIndex(index);
    return true;
}

// ---- The changed-settings item ----

std::optional<long> PanelFavoritesPopUp::insertChangingPreset(std::string* title) {
    auto index = currentIndex();
    if (indexOfChangePreset() || !index)
        return std::nullopt;
    auto name = currentName();
    auto path = currentPath();
    if (!name || !path)
        return index;
    auto item = std::make_shared<ui::MenuItem>(changeSettingTitle() + *name);
    item->setRepresentedObject(Value(*path));
    if (auto icon = ui::Image::systemIcon("unfs"))
        item->setImage(icon->scaledCopy({16, 16}));
    _popUp->insertItem(item, static_cast<int>(*index));
    if (title)
        *title = item->title();
    return index;
}

std::optional<long> PanelFavoritesPopUp::removeChangingPreset() {
    auto index = indexOfChangePreset();
    if (index)
        _popUp->removeItemAtIndex(static_cast<int>(*index));
    return index;
}

void PanelFavoritesPopUp::removeChangedPresetTitle() {
    if (!_popUp)
        return;
    int selected = _popUp->indexOfSelectedItem();
    auto removed = removeChangingPreset();
    if (!removed)
        return;
    if (*removed < selected)
        _popUp->selectItemAtIndex(selected - 1);
    else if (*removed == selected && *removed < _popUp->numberOfItems())
        _popUp->selectItemAtIndex(static_cast<int>(*removed));
}

} // namespace velmora
