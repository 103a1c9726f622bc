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

// "1"/"True" and "0"/"False"; anything else says nothing.
std::optional<bool> booleanText(const Value& value) {
    std::string text = PanelFavoritesPopUp::stringFromBooleanIfNeed(value).stringValue();
    if (text == "1" || text == "True")
        return true;
    if (text == "0" || text == "False")
        return false;
    return std::nullopt;
}

} // namespace

// ---- Comparing with the favorite ----

void LornPDEByCocoa::_checkDifferenceFromCurrentFavorite(bool completeFromPanes) {
    std::optional<Dictionary> current = _printOption;
    if (current && completeFromPanes)
        _detailedSettingsWinController->reformatPrintOption(*current);
    if (current && _favorites.differsFromCurrent(
                       *current, [this] { return _panePlugInMgr->values().defaultSettings(); })) {
        std::string title;
        auto index = _favorites.insertChangingPreset(&title);
        if (!title.empty())
            _backupFavoriteName = title;
        if (index)
            _views.favorite->selectItemAtIndex(static_cast<int>(*index));
        setDeleteButtonEnabled(false);
        return;
    }
    _favorites.removeChangedPresetTitle();
    _reflectCurrentFavoriteToUi();
    auto path = _favorites.currentPath();
    setDeleteButtonEnabled(path && !path->empty());
}

// ---- The changed-settings item ----

// ---- Applying and choosing a favorite ----

void LornPDEByCocoa::_reflectCurrentFavoriteToUi() {
    Dictionary defaults = _panePlugInMgr->values().defaultSettings();
    auto reference = _favorites.currentDictionary(defaults);
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

void LornPDEByCocoa::selectFavorite() {
    ui::PopUpButton* popUp = _views.favorite.get();
    if (!popUp)
        return;
    if (popUp->selectedItem())
        _selectedFavorite = popUp->titleOfSelectedItem();
    else
        popUp->selectItemAtIndex(0);
    std::string title = popUp->titleOfSelectedItem();
    auto path = _favorites.currentPath();
    setDeleteButtonEnabled(path && !path->empty() && !PanelFavoritesPopUp::isChangePreset(title));
    if (_isIntializedUi)
        _backupFavoriteName = _selectedFavorite;
    if (PanelFavoritesPopUp::isChangePreset(title))
        return;
    _favorites.removeChangedPresetTitle();
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
    auto name = _favorites.currentName();
    auto path = _favorites.currentPath();
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
    _favorites.selectPath(*saved);
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
    auto path = _favorites.currentPath();
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
    auto remembered = _favorites.currentPath();
    auto& window = FavoriteWindowController::sharedInstance();
    if (window.showAsModalDialog(_selectedProfilePath, _printOption) !=
            FavoriteWindowController::kOK ||
        !_views.favorite)
        return;
    AppPreference::sharedInstance().buildFavoritePopup(*_views.favorite);
    if (remembered && !remembered->empty() && !_favorites.selectPath(*remembered))
        _views.favorite->selectItemAtIndex(0);
    _checkDifferenceFromCurrentFavorite(true);
}

} // namespace velmora
