// The panel's favorite pop-up: which favorite the settings come from, whether they still equal
// it (a "Change Setting…" item shows that they do not), and choosing, saving, deleting and
// browsing favorites.

#include "panel/LornPDEByCocoa.h"

#include "common/Alerts.h"
#include "common/Localization.h"
#include "favorites/FavoriteFile.h"
#include "favorites/Scrambling.h"
#include "favoritewindows/FavoriteWindowController.h"
#include "favoritewindows/SaveFavoriteWindowController.h"
#include "panel/DetailedSettingsWinController.h"
#include "panes/AppPreference.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/SystemLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "ppd/PrintOptionConverter.h"

#include <cmath>
#include <filesystem>

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

// "1"/"True" and "0"/"False"; anything else says nothing.
std::optional<bool> booleanText(const Value& value) {
    std::string text = LornPDEByCocoa::_stringFromBooleanIfNeed(value).stringValue();
    if (text == "1" || text == "True")
        return true;
    if (text == "0" || text == "False")
        return false;
    return std::nullopt;
}

} // namespace

std::string LornPDEByCocoa::changeSettingTitle() const {
    return BSLocalizedStringOrKey("Change Setting");
}

bool LornPDEByCocoa::selectedFavoriteIsChangePreset(const std::string& title) const {
    return title.starts_with(changeSettingTitle());
}

// ---- Reading the pop-up ----

std::optional<long> LornPDEByCocoa::_currentFavoriteIndex() const {
    ui::PopUpButton* popUp = _views.favorite.get();
    auto item = popUp ? popUp->selectedItem() : nullptr;
    if (!item)
        return std::nullopt;
    const std::string& title = item->title();
    if (selectedFavoriteIsChangePreset(title))
        return indexOrNone(popUp->indexOfItemWithTitle(title.substr(changeSettingTitle().size())));
    if (const std::string* path = item->representedObject().string(); path && !path->empty())
        return indexOrNone(popUp->indexOfItemWithRepresentedObject(Value(*path)));
    if (title.empty())
        return std::nullopt;
    return indexOrNone(popUp->indexOfItemWithTitle(title));
}

std::optional<std::string> LornPDEByCocoa::_currentFavoritePath() const {
    auto index = _currentFavoriteIndex();
    if (!index)
        return std::nullopt;
    auto item = _views.favorite->itemAtIndex(static_cast<int>(*index));
    const std::string* path = item ? item->representedObject().string() : nullptr;
    return path ? std::optional<std::string>(*path) : std::nullopt;
}

std::optional<std::string> LornPDEByCocoa::_currentFavoriteName() const {
    auto index = _currentFavoriteIndex();
    if (!index)
        return std::nullopt;
    auto item = _views.favorite->itemAtIndex(static_cast<int>(*index));
    return item ? std::optional<std::string>(item->title()) : std::nullopt;
}

std::optional<long> LornPDEByCocoa::_indexOfChangePreset() const {
    if (!_views.favorite)
        return std::nullopt;
    const auto& items = _views.favorite->itemArray();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (selectedFavoriteIsChangePreset(items[i]->title()))
            return static_cast<long>(i);
    return std::nullopt;
}

// ---- Comparing with the favorite ----

// The favorite's settings in PPD keywords; for the default item, the given settings themselves
// in canonical keywords. Null when the favorite cannot be read.
std::optional<Dictionary> LornPDEByCocoa::_currentFavoriteDictionary(Dictionary& options) const {
    auto path = _currentFavoritePath();
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

bool LornPDEByCocoa::_isDifferFromCurrentFavorite(Dictionary* current) const {
    if (!current)
        return false;
    auto path = _currentFavoritePath();
    Dictionary compared = *current;
    std::optional<Dictionary> reference;
    if (path && path->empty()) {
        // The default item: the settings against the defaults, each through the same keyword
        // conversions, so that what a conversion rounds (unit-converted lengths) is rounded
        // alike on both sides.
        Dictionary defaults = _panePlugInMgr->values().defaultSettings();
        for (Dictionary* side : {&defaults, &compared})
            PrintOptionConverter::convertToCanonicalPpdKeyword(*side, true);
        PrintOptionConverter::convertToInternalPpdKeyword(compared);
        reference = std::move(defaults);
    } else {
        reference = _currentFavoriteDictionary(compared);
    }
    if (!reference)
        return false;
    PrintOptionConverter::convertToInternalPpdKeyword(*reference);
    for (const auto& [key, value] : compared) {
        const Value* other = reference->find(key);
        if (value.isNull() || !other || other->isNull())
            continue;
        Value mine = _stringFromBooleanIfNeed(value);
        if (!mine.string())
            continue;
        std::string a = *mine.string(), b = _stringFromBooleanIfNeed(*other).stringValue();
        if (isPasswordKey(key)) {
            a = decryptString(kScramblingKey, a);
            b = decryptString(kScramblingKey, b);
        }
        if (a != b && !sameNumber(a, b))
            return true;
    }
    return false;
}

void LornPDEByCocoa::_checkDifferenceFromCurrentFavorite(bool completeFromPanes) {
    std::optional<Dictionary> current = _printOption;
    if (current && completeFromPanes)
        _detailedSettingsWinController->reformatPrintOption(*current);
    if (current && _isDifferFromCurrentFavorite(&*current)) {
        std::string title;
        auto index = _insertChangingPreset(&title);
        if (!title.empty())
            _backupFavoriteName = title;
        if (index)
            _views.favorite->selectItemAtIndex(static_cast<int>(*index));
        setDeleteButtonEnabled(false);
        return;
    }
    _removeChangedPresetTitleFromFavoritePopup();
    _reflectCurrentFavoriteToUi();
    auto path = _currentFavoritePath();
    setDeleteButtonEnabled(path && !path->empty());
}

// ---- The changed-settings item ----

std::optional<long> LornPDEByCocoa::_insertChangingPreset(std::string* title) {
    auto index = _currentFavoriteIndex();
    if (_indexOfChangePreset() || !index)
        return std::nullopt;
    auto name = _currentFavoriteName();
    auto path = _currentFavoritePath();
    if (!name || !path)
        return index;
    auto item = std::make_shared<ui::MenuItem>(changeSettingTitle() + *name);
    item->setRepresentedObject(Value(*path));
    if (auto icon = ui::Image::systemIcon("unfs"))
        item->setImage(icon->scaledCopy({16, 16}));
    _views.favorite->insertItem(item, static_cast<int>(*index));
    if (title)
        *title = item->title();
    return index;
}

std::optional<long> LornPDEByCocoa::_removeChangeingPreset() {
    auto index = _indexOfChangePreset();
    if (index)
        _views.favorite->removeItemAtIndex(static_cast<int>(*index));
    return index;
}

void LornPDEByCocoa::_removeChangedPresetTitleFromFavoritePopup() {
    if (!_views.favorite)
        return;
    int selected = _views.favorite->indexOfSelectedItem();
    auto removed = _removeChangeingPreset();
    if (!removed)
        return;
    if (*removed < selected)
        _views.favorite->selectItemAtIndex(selected - 1);
    else if (*removed == selected && *removed < _views.favorite->numberOfItems())
        _views.favorite->selectItemAtIndex(static_cast<int>(*removed));
}

// ---- Applying and choosing a favorite ----

void LornPDEByCocoa::_reflectCurrentFavoriteToUi() {
    Dictionary defaults = _panePlugInMgr->values().defaultSettings();
    auto reference = _currentFavoriteDictionary(defaults);
    if (!reference)
        return;
    PrintOptionConverter::convertToInternalPpdKeyword(*reference);
    if (!_printOption)
        _printOption = Dictionary();
    for (const auto& [key, value] : *reference)
        _printOption->set(key, value);
    if (_defaultPrintOption)
        _restoreValuesToPane(*_defaultPrintOption);
    _panePlugInMgr->values().restorePrintOptionValues(_printOption);
    setCopies(_printOption->contains("NumCopies")
                  ? std::optional<std::string>(_printOption->get("NumCopies").stringValue())
                  : std::nullopt);
    if (const std::string* slot = _printOption->get("KVInputSlot").string())
        setKVInputSlot(*slot);
    if (auto bypass = booleanText(_printOption->get("AutoTraySettingToBypass")))
        _views.bypassPaperTraySelectionButton->setEnabled(!*bypass);
}

bool LornPDEByCocoa::selectItemWithRepresentedObject(ui::PopUpButton* popUp, const Value& object) {
    if (!popUp || object.isNull())
        return false;
    int index = popUp->indexOfItemWithRepresentedObject(object);
    if (index < 0)
        return false;
    popUp->selectItemAtIndex(index);
    return true;
}

void LornPDEByCocoa::selectFavorite() {
    ui::PopUpButton* popUp = _views.favorite.get();
    if (!popUp)
        return;
    if (popUp->selectedItem())
        _selectedFavorite = popUp->titleOfSelectedItem();
    else
        popUp->selectItemAtIndex(0);
    std::string title = popUp->titleOfSelectedItem();
    auto path = _currentFavoritePath();
    setDeleteButtonEnabled(path && !path->empty() && !selectedFavoriteIsChangePreset(title));
    if (_isIntializedUi)
        _backupFavoriteName = _selectedFavorite;
    if (selectedFavoriteIsChangePreset(title))
        return;
    _removeChangedPresetTitleFromFavoritePopup();
    _reflectCurrentFavoriteToUi();
    if (!_printOption)
        return;
    if (auto collate = booleanText(_printOption->get("Collate")))
        setCollate(*collate);
    _panePlugInMgr->setStringValue(
        _printOption->contains("DuplexMode")
            ? std::optional<std::string>(_printOption->get("DuplexMode").stringValue())
            : std::nullopt,
        "DuplexMode");
}

void LornPDEByCocoa::_selectPrintOption() {
    _checkDifferenceFromCurrentFavorite(true);
}

// ---- Save, delete, browse ----

void LornPDEByCocoa::clickedSaveFavoriteButton() {
    auto name = _currentFavoriteName();
    auto path = _currentFavoritePath();
    std::optional<std::string> comment;
    if (path && !path->empty())
        comment =
            FavoriteFile::favoriteFileWithContentsOfFile(*path, AppPreference::destinationIotType())
                .comment();
    auto& dialog = SaveFavoriteWindowController::sharedInstance();
    if (dialog.showAsModalDialog(name, comment) != 1)
        return;
    if (!_printOption)
        _printOption = Dictionary();
    _gatherValuesFromPane(*_printOption);
    Dictionary canonical = *_printOption;
    PrintOptionConverter::convertToCanonicalPpdKeyword(canonical, true);
    Dictionary content = PrintOptionConverter::sharedInstance().toInputMgrFormat(&canonical);
    setDeleteButtonEnabled(false);
    if (content.empty())
        return;
    auto saved = AppPreference::sharedInstance().saveFavoriteOnFavoriteDirectory(
        dialog.name(), dialog.comment(), content);
    // A favorite that could not be written is said so, not shown as saved.
    if (!saved) {
        SystemLog::write("###Error: the favorite was not stored: " + saved.error());
        SimpleAlert(BSLocalizedStringOrKey("Warning"),
                    BSLocalizedStringOrKey("Favorite not stored"), {Value(dialog.name())});
        return;
    }
    AppPreference::sharedInstance().buildFavoritePopup(*_views.favorite);
    selectItemWithRepresentedObject(_views.favorite.get(), Value(*saved));
    setDeleteButtonEnabled(true);
}

void LornPDEByCocoa::clickedDeleteFavoriteButton() {
    ui::Alert alert;
    alert.setMessageText(BSLocalizedStringOrKey("Warning"));
    alert.addButtonWithTitle(BSLocalizedStringOrKey("Yes"));
    alert.addButtonWithTitle(BSLocalizedStringOrKey("No"));
    alert.setInformativeText(BSLocalizedStringOrKey("fmtDeleteSelectionFavorite"));
    if (alert.runModal() != ui::kAlertFirstButtonReturn)
        return;
    auto path = _currentFavoritePath();
    std::error_code code;
    if (!path || path->empty() || !std::filesystem::remove(*path, code))
        return;
    ui::PopUpButton& popUp = *_views.favorite;
    popUp.removeItemAtIndex(popUp.indexOfSelectedItem());
    if (popUp.numberOfItems() == 2)
        popUp.removeItemAtIndex(1);
    popUp.selectItemAtIndex(0);
    if (_defaultPrintOption)
        _restoreValuesToPane(*_defaultPrintOption);
    if (!_printOption)
        _printOption = Dictionary();
    _gatherValuesFromPane(*_printOption);
    setDeleteButtonEnabled(false);
}

void LornPDEByCocoa::clickedBrowseFavoriteButton() {
    auto remembered = _currentFavoritePath();
    auto& window = FavoriteWindowController::sharedInstance();
    if (window.showAsModalDialog(_selectedProfilePath, _printOption) !=
            FavoriteWindowController::kOK ||
        !_views.favorite)
        return;
    AppPreference::sharedInstance().buildFavoritePopup(*_views.favorite);
    if (remembered && !remembered->empty() &&
        !selectItemWithRepresentedObject(_views.favorite.get(), Value(*remembered)))
        _views.favorite->selectItemAtIndex(0);
    _checkDifferenceFromCurrentFavorite(true);
}

} // namespace velmora
