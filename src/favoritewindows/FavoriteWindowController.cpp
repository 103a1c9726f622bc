#include "favoritewindows/FavoriteWindowController.h"

#include "common/ControlHelpers.h"
#include "common/Localization.h"
#include "favorites/FavoriteFile.h"
#include "favoritewindows/FavoriteChangeSet.h"
#include "favoritewindows/PrintOptionTreeDataSource.h"
#include "panes/AppPreference.h"
#include "panes/PanePlugInMgr.h"
#include "panes/SharedWithManager.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/StringFormat.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/FilePanel.h"
#include "platform/ui/Image.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/Window.h"
#include "ppd/PrintOptionConverter.h"
#include "validation/FormatterAttachment.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace velmora {
namespace {

constexpr ui::Size kRowIconSize{16, 16};
constexpr long kFirstFileRow = FavoriteItem::kFavoriteListOffset;

} // namespace

FavoriteWindowController& FavoriteWindowController::sharedInstance() {
    return sharedWithManager<FavoriteWindowController>();
}

FavoriteWindowController::FavoriteWindowController(PanePlugInMgr& manager)
    : TDWindowController("Favorite"), _manager(manager),
      _dataSource(std::make_unique<PrintOptionTreeDataSource>(manager)) {}

FavoriteWindowController::~FavoriteWindowController() {
    if (_views.favoriteListView) {
        _views.favoriteListView->setDataSource(nullptr);
        _views.favoriteListView->setTableDelegate(nullptr);
    }
    if (_views.nameEditField)
        _views.nameEditField->setDelegate(nullptr);
}

std::shared_ptr<ui::Window> FavoriteWindowController::buildWindow() {
    _views = layOutFavoriteWindow();
    return _views.window;
}

void FavoriteWindowController::windowDidLoad() {
    std::string placeholder = BSLocalizedStringOrKey("Placeholder Max chars");
    attachMaxBytesFormatter(_views.nameEditField.get(),
                            static_cast<std::uint32_t>(FavoriteItem::maxNameLength()), placeholder,
                            std::nullopt);
    attachMaxBytesFormatter(_views.commentEditField.get(),
                            static_cast<std::uint32_t>(FavoriteItem::maxCommentLength()),
                            placeholder, std::nullopt);
    auto& list = *_views.favoriteListView;
    auto column = std::make_shared<ui::TableColumn>("name");
    column->setWidth(list.frame().size.width);
    column->setEditable(false);
    list.addTableColumn(column);
    setBrowserCellToColumn(&list, "name");
    list.setDataSource(this);
    list.setTableDelegate(this);
    auto treeColumn = std::make_shared<ui::TableColumn>("name");
    treeColumn->setWidth(_views.treeView->frame().size.width);
    treeColumn->setEditable(false);
    _views.treeView->addTableColumn(treeColumn);
    _views.treeView->setOutlineTableColumn(treeColumn.get());
    _dataSource->setOutlineView(_views.treeView.get(), true);

    auto document = ui::Image::systemIcon("docu");
    _normalItemIcon = document ? document->scaledCopy(kRowIconSize) : nullptr;
    auto classic = AppPreference(_manager.principalBundle()).clasicIcon();
    _classicIcon = classic ? classic->scaledCopy(kRowIconSize) : nullptr;
    _views.nameEditField->setDelegate(this);

    auto action = [](ui::Button& button, const char* name, std::function<void()> run) {
        button.setAction(name);
        button.setTarget([run = std::move(run)](ui::Control&) { run(); });
    };
    action(*_views.deleteButton, "deleteFavorite:", [this] { deleteFavorite(); });
    action(*_views.importButton, "importFavorite:", [this] { importFavorite(); });
    action(*_views.exportButton, "exportFavorite:", [this] { exportFavorite(); });
    action(*_views.okButton, "ok:", [this] { ok(); });
    action(*_views.cancelButton, "cancel:", [this] { cancel(); });
}

std::string FavoriteWindowController::firstFavoriteFolder() const {
    auto folders = AppPreference(_manager.principalBundle()).favoriteFolderPathArray(true);
    return folders.empty() ? std::string() : folders.front();
}

// ---- Opening ----

void FavoriteWindowController::buildRows() {
    _favoriteItemArray = {FavoriteItem::currentSettingsItem(), FavoriteItem::defaultFavoriteItem()};
    _removedItemArray.clear();
    for (const auto& path : AppPreference(_manager.principalBundle()).arrayForFavoritePath()) {
        FavoriteItem item(FavoriteFile::nameWithPath(path));
        item.setComment(
            FavoriteFile::favoriteFileWithContentsOfFile(path, FavoriteFile::kDestinationIotType)
                .comment());
        item.setPath(path);
        _favoriteItemArray.push_back(std::move(item));
    }
}

void FavoriteWindowController::prepare(const std::optional<std::string>& profilePath,
                                       const std::optional<Dictionary>& printOption) {
    window();
    buildRows();
    _profilePath = profilePath;
    _currentPrintOption = _manager.values().defaultSettings();
    if (printOption) {
        for (const auto& [key, value] : *printOption)
            _currentPrintOption.set(key, value);
    } else if (auto gathered =
                   _manager.values().gatherPrintOptionValues(true, 0, false, false, false)) {
        _currentPrintOption = *gathered;
    }
    _isOccurEnterOrReturnKeyEventOnNameEditField = false;
    _views.favoriteListView->reloadData();
    _views.favoriteListView->selectRow(0);
    showSelection();
}

long FavoriteWindowController::showAsModalDialog(const std::optional<std::string>& profilePath,
                                                 const std::optional<Dictionary>& printOption) {
    _sheetOwner = nullptr;
    _didEndSelector = nullptr;
    prepare(profilePath, printOption);
    auto dialog = window();
    if (!dialog)
        return kCancel;
    long code = ui::Application::shared().runModalForWindow(*dialog);
    finish(code);
    return code;
}

void FavoriteWindowController::showSheet(ui::Window& owner,
                                         const std::optional<std::string>& profilePath,
                                         DidEnd didEnd) {
    prepare(profilePath, std::nullopt);
    auto dialog = window();
    if (!dialog)
        return;
    _didEndSelector = std::move(didEnd);
    _sheetOwner = &owner;
    ui::Application::shared().beginSheet(*dialog, owner, [this](long code) {
        _sheetOwner = nullptr;
        finish(code);
    });
}

void FavoriteWindowController::finish(long code) {
    if (auto dialog = window())
        dialog->orderOut();
    if (code == kOK && _didEndSelector)
        _didEndSelector(*this);
    _favoriteItemArray.clear();
    _removedItemArray.clear();
    _currentPrintOption = Dictionary();
}

void FavoriteWindowController::end(long code) {
    auto dialog = window();
    if (_sheetOwner && dialog)
        ui::Application::shared().endSheet(*dialog, code);
    else
        ui::Application::shared().stopModalWithCode(code);
}

// ---- The list ----

long FavoriteWindowController::selectedRow() const {
    return _views.favoriteListView ? _views.favoriteListView->selectedRow() : -1;
}

long FavoriteWindowController::numberOfRowsInTableView(ui::TableView&) {
    return static_cast<long>(_favoriteItemArray.size());
}

Value FavoriteWindowController::objectValueForTableColumn(ui::TableView&, ui::TableColumn* column,
                                                          long row) {
    if (row < 0 || row >= static_cast<long>(_favoriteItemArray.size()) || !column)
        return Value();
    const FavoriteItem& item = _favoriteItemArray[static_cast<std::size_t>(row)];
    const auto& value = column->identifier() == "comment" ? item.comment() : item.name();
    return value ? Value(*value) : Value();
}

std::shared_ptr<ui::Image> FavoriteWindowController::iconOfRow(long row) const {
    if (row < 0 || row >= static_cast<long>(_favoriteItemArray.size()))
        return nullptr;
    const auto& path = _favoriteItemArray[static_cast<std::size_t>(row)].path();
    std::string home = FileSystem::homeFolder();
    bool inHome = !path || (!home.empty() && path->rfind(home + "/", 0) == 0);
    return inHome ? _normalItemIcon : _classicIcon;
}

// A click that would leave the row first checks it; an invalid row keeps the selection.
bool FavoriteWindowController::shouldSelectRow(ui::TableView&, long row) {
    if (row == selectedRow())
        return true;
    if (!checkValid())
        return false;
    _views.favoriteListView->reloadData();
    return true;
}

void FavoriteWindowController::selectionDidChange(ui::TableView&) {
    showSelection();
}

Dictionary FavoriteWindowController::optionsOfRow(long row) const {
    if (row == 0)
        return _currentPrintOption;
    Dictionary options = _manager.values().defaultSettings();
    if (row >= kFirstFileRow && row < static_cast<long>(_favoriteItemArray.size())) {
        const auto& path = _favoriteItemArray[static_cast<std::size_t>(row)].path();
        auto stored = path ? FavoriteFile::favoriteFileWithContentsOfFile(
                                 *path, FavoriteFile::kDestinationIotType)
                                 .options()
                           : std::nullopt;
        if (stored) {
            Dictionary keywords =
                PrintOptionConverter::sharedInstance().toPpdKeywordFormat(&*stored);
            for (const auto& [key, value] : keywords)
                options.set(key, value);
        }
    }
    return options;
}

Dictionary FavoriteWindowController::settingsOfRow(long row) const {
    if (row == 0)
        return _currentPrintOption;
    Dictionary settings = _manager.values().defaultSettings();
    if (row < kFirstFileRow || row >= static_cast<long>(_favoriteItemArray.size()))
        return settings;
    const auto& path = _favoriteItemArray[static_cast<std::size_t>(row)].path();
    auto stored =
        path
            ? FavoriteFile::favoriteFileWithContentsOfFile(*path, FavoriteFile::kDestinationIotType)
                  .options()
            : std::nullopt;
    if (!stored)
        return settings;
    Dictionary favorite = PrintOptionConverter::sharedInstance().toPpdKeywordFormat(&*stored);
    PrintOptionConverter::convertToInternalPpdKeyword(favorite);
    for (const auto& [key, value] : favorite)
        settings.set(key, value);
    return settings;
}

void FavoriteWindowController::showSelection() {
    long row = selectedRow();
    bool editable = row >= kFirstFileRow;
    setEnabledConrtols(editable, {_views.nameTitle.get(), _views.nameEditField.get(),
                                  _views.commentTitle.get(), _views.commentEditField.get(),
                                  _views.deleteButton.get(), _views.exportButton.get()});
    const FavoriteItem* item = row >= 0 && row < static_cast<long>(_favoriteItemArray.size())
                                   ? &_favoriteItemArray[static_cast<std::size_t>(row)]
                                   : nullptr;
    _views.commentEditField->setStringValue(item ? item->comment().value_or("") : "");
    _views.nameEditField->setStringValue(item ? item->name().value_or("") : "");
    _dataSource->updatePrintOption(optionsOfRow(row), false);
    _dataSource->showSettings(settingsOfRow(row), _manager.values().defaultSettings());
    _dataSource->updateProfilePath(_profilePath ? *_profilePath : std::string(), true);
}

// ---- Checking a row ----

std::optional<std::string>
FavoriteWindowController::sameNameMessage(const std::string& name,
                                          const std::optional<std::string>& path) const {
    long selected = selectedRow();
    std::optional<std::string> wouldBe =
        path ? FavoriteFile::pathWithName(name, std::filesystem::path(*path).parent_path().string())
             : std::nullopt;
    for (long row = 0; row < static_cast<long>(_favoriteItemArray.size()); ++row) {
        const FavoriteItem& other = _favoriteItemArray[static_cast<std::size_t>(row)];
        if (row == selected || other.name() != name)
            continue;
        bool duplicate = !path || (other.path() == wouldBe && FileSystem::exists(*wouldBe));
        if (duplicate)
            return StringFormat::format(BSLocalizedStringOrKey("There is same favorite name"),
                                        {Value(name)});
    }
    return std::nullopt;
}

void FavoriteWindowController::alertSheet(const std::string& message, ui::TextField* focus) {
    auto dialog = window();
    ui::Alert alert;
    alert.setMessageText("");
    alert.setInformativeText(message);
    alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    alert.beginSheetModalForWindow(dialog.get(), [dialog, focus](long) {
        if (dialog && focus)
            dialog->makeFirstResponder(focus);
    });
}

bool FavoriteWindowController::checkValid() {
    long row = selectedRow();
    if (row < kFirstFileRow || row >= static_cast<long>(_favoriteItemArray.size()))
        return true;
    FavoriteItem& item = _favoriteItemArray[static_cast<std::size_t>(row)];
    if (auto dialog = window())
        dialog->endEditingFor(nullptr);
    std::string name = _views.nameEditField->stringValue();
    auto message = FavoriteItem::checkName(name);
    if (!message)
        message = sameNameMessage(name, item.path());
    if (message) {
        alertSheet(*message, _views.nameEditField.get());
        return false;
    }
    item.setName(name);
    std::string comment = _views.commentEditField->stringValue();
    if (auto refused = FavoriteItem::checkComment(comment)) {
        alertSheet(*refused, _views.commentEditField.get());
        return false;
    }
    item.setComment(comment);
    return true;
}

void FavoriteWindowController::controlTextDidEndEditing(ui::TextField& field) {
    if (&field == _views.nameEditField.get() &&
        field.lastTextMovement() == ui::TextMovement::Return)
        _isOccurEnterOrReturnKeyEventOnNameEditField = true;
}

// ---- Buttons ----

void FavoriteWindowController::ok() {
    if (_isOccurEnterOrReturnKeyEventOnNameEditField) {
        _isOccurEnterOrReturnKeyEventOnNameEditField = false;
        if (checkValid())
            _views.favoriteListView->reloadData();
        return;
    }
    if (!checkValid())
        return;
    if (!applyChanges())
        return;
    end(kOK);
}

void FavoriteWindowController::cancel() {
    end(kCancel);
}

void FavoriteWindowController::sortRows() {
    std::stable_sort(_favoriteItemArray.begin(), _favoriteItemArray.end());
}

void FavoriteWindowController::deleteFavorite() {
    long row = selectedRow();
    if (row < kFirstFileRow || row >= static_cast<long>(_favoriteItemArray.size()))
        return;
    const std::string name = _favoriteItemArray[static_cast<std::size_t>(row)].name().value_or("");
    ui::Alert confirm;
    confirm.setMessageText("");
    confirm.setInformativeText(StringFormat::format(
        BSLocalizedStringOrKey("fmtConfirmationOfDeleteFavorite"), {Value(name)}));
    confirm.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    confirm.addButtonWithTitle(BSLocalizedStringOrKey("Cancel"));
    if (ui::Application::shared().runAlert(confirm, window().get()) != ui::kAlertFirstButtonReturn)
        return;
    _removedItemArray.push_back(_favoriteItemArray[static_cast<std::size_t>(row)]);
    _favoriteItemArray.erase(_favoriteItemArray.begin() + row);
    sortRows();
    _views.favoriteListView->reloadData();
    _views.favoriteListView->selectRow(0);
    showSelection();
}

void FavoriteWindowController::importFavorite() {
    // What was typed for the selected favorite is taken first, as when another row is clicked,
    // so that the selection can stay on that favorite when the imported row sorts in.
    if (!checkValid())
        return;
    ui::OpenPanel panel;
    panel.setDirectory(firstFavoriteFolder());
    panel.setCanChooseFiles(true);
    if (panel.runModal() != ui::kFileHandlingPanelOKButton || panel.url().empty())
        return;
    std::string path = panel.url();
    FavoriteFile file =
        FavoriteFile::favoriteFileWithContentsOfFile(path, FavoriteFile::kDestinationIotType);
    std::string name = FavoriteFile::nameWithPath(path);
    std::optional<std::string> message;
    if (!file.isValid())
        message = BSLocalizedStringOrKey("Fail to loading favorite file");
    else if (auto refused = FavoriteItem::checkName(name))
        message = refused; // the name becomes a file name in the favorite folder
    else {
        for (const auto& item : _favoriteItemArray)
            if (item.name() == name)
                message = StringFormat::format(
                    BSLocalizedStringOrKey("There is same favorite name"), {Value(name)});
    }
    if (message) {
        alertSheet(*message, nullptr);
        return;
    }
    FavoriteItem item(name);
    item.setComment(file.comment());
    item.setPath(path);
    long row = selectedRow();
    std::optional<FavoriteItem> selected;
    if (row >= 0 && row < static_cast<long>(_favoriteItemArray.size()))
        selected = _favoriteItemArray[static_cast<std::size_t>(row)];
    _favoriteItemArray.push_back(std::move(item));
    sortRows();
    _views.favoriteListView->reloadData();
    if (selected)
        reselect(*selected);
}

// The row of the same favorite (by its file, or by its name for the rows without one) is
// selected again after the rows moved.
void FavoriteWindowController::reselect(const FavoriteItem& selected) {
    for (long row = 0; row < static_cast<long>(_favoriteItemArray.size()); ++row) {
        const FavoriteItem& item = _favoriteItemArray[static_cast<std::size_t>(row)];
        if (item.path() == selected.path() && item.name() == selected.name()) {
            if (row != selectedRow())
                _views.favoriteListView->selectRow(row);
            showSelection();
            return;
        }
    }
}

void FavoriteWindowController::exportFavorite() {
    long row = selectedRow();
    if (row < kFirstFileRow || row >= static_cast<long>(_favoriteItemArray.size()))
        return;
    const FavoriteItem& item = _favoriteItemArray[static_cast<std::size_t>(row)];
    if (!item.path())
        return;
    ui::SavePanel panel;
    panel.setDirectory(firstFavoriteFolder());
    panel.setNameFieldStringValue(
        FavoriteFile::stringByAppendingExtension(item.name().value_or("")));
    if (panel.runModal() != ui::kFileHandlingPanelOKButton || panel.url().empty())
        return;
    FavoriteFile file = FavoriteFile::favoriteFileWithContentsOfFile(
        *item.path(), FavoriteFile::kDestinationIotType);
    if (!file.isValid()) {
        alertSheet(BSLocalizedStringOrKey("Fail to loading favorite file"), nullptr);
        return;
    }
    file.setComment(item.comment());
    if (auto written = file.writeToFile(panel.url(), FavoriteFile::kDestinationIotType); !written)
        alertSheet(StringFormat::format(BSLocalizedStringOrKey("fmtFavoriteNotExported"),
                                        {Value(panel.url()), Value(written.error())}),
                   nullptr);
}

bool FavoriteWindowController::applyChanges() {
    std::vector<FavoriteItem> rows(
        _favoriteItemArray.begin() +
            std::min<long>(kFirstFileRow, static_cast<long>(_favoriteItemArray.size())),
        _favoriteItemArray.end());
    FavoriteChangeSet changes(
        rows, _removedItemArray,
        AppPreference(_manager.principalBundle()).favoriteFolderPathArray(true));
    bool applied = changes.apply();
    // What was done stays done: the rows follow, so that OK can be pressed again.
    for (const auto& [from, to] : changes.moved())
        for (auto& item : _favoriteItemArray)
            if (item.path() == from)
                item.setPath(to);
    for (const auto& path : changes.trashed())
        std::erase_if(_removedItemArray,
                      [&](const FavoriteItem& item) { return item.path() == path; });
    if (applied)
        return true;
    ui::Alert alert;
    alert.setMessageText(StringFormat::format(BSLocalizedStringOrKey("Favorite not stored"),
                                              {Value(changes.failedName())}));
    switch (changes.failure()) {
    case FavoriteChangeSet::Failure::NameTaken:
        alert.setInformativeText(StringFormat::format(
            BSLocalizedStringOrKey("There is same favorite name"), {Value(changes.failedName())}));
        break;
    case FavoriteChangeSet::Failure::Unreadable:
        alert.setInformativeText(BSLocalizedStringOrKey("Fail to loading favorite file"));
        break;
    default: alert.setInformativeText(changes.reason()); break;
    }
    alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    ui::Application::shared().runAlert(alert, window().get());
    return false;
}

bool ShowFavoriteModalDialog(const std::string* profilePath, const Dictionary* printOption) {
    auto& dialog = FavoriteWindowController::sharedInstance();
    return dialog.showAsModalDialog(profilePath ? std::optional<std::string>(*profilePath)
                                                : std::nullopt,
                                    printOption ? std::optional<Dictionary>(*printOption)
                                                : std::nullopt) == FavoriteWindowController::kOK;
}

} // namespace velmora
