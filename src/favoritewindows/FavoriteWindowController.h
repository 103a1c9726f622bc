#pragma once

#include "common/TDWindowController.h"
#include "favorites/FavoriteItem.h"
#include "favoritewindows/FavoriteWindowLayout.h"
#include "platform/foundation/Value.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class PanePlugInMgr;
class PrintOptionTreeDataSource;
namespace ui {
class Image;
}

// The favorites window: every favorite with the settings it holds; rename, re-comment, delete,
// import and export. Changes stay in memory until OK, which stores them all; Cancel leaves every
// file as it was.
class FavoriteWindowController : public TDWindowController,
                                 public ui::TableViewDataSource,
                                 public ui::TableViewDelegate,
                                 public ui::TextFieldDelegate {
public:
    static constexpr long kOK = 1;
    static constexpr long kCancel = 0;

    static FavoriteWindowController& sharedInstance();
    explicit FavoriteWindowController(PanePlugInMgr& manager);
    ~FavoriteWindowController() override;

    long showAsModalDialog(const std::optional<std::string>& profilePath,
                           const std::optional<Dictionary>& printOption);
    using DidEnd = std::function<void(FavoriteWindowController&)>;
    void showSheet(ui::Window& owner, const std::optional<std::string>& profilePath, DidEnd didEnd);

    // Actions.
    void deleteFavorite();
    void importFavorite();
    void exportFavorite();
    void ok();
    void cancel();

    const std::vector<FavoriteItem>& favoriteItems() const { return _favoriteItemArray; }
    const FavoriteWindowViews& views() const { return _views; }
    PrintOptionTreeDataSource& dataSource() { return *_dataSource; }
    // The options the tree shows for a row.
    Dictionary optionsOfRow(long row) const;
    // A row's settings in the panel's own form: the defaults with the favorite's options over
    // them, as the panel restores a favorite.
    Dictionary settingsOfRow(long row) const;

    // The list.
    long numberOfRowsInTableView(ui::TableView&) override;
    Value objectValueForTableColumn(ui::TableView&, ui::TableColumn* column, long row) override;
    bool shouldSelectRow(ui::TableView&, long row) override;
    void selectionDidChange(ui::TableView&) override;
    std::shared_ptr<ui::Image> iconOfRow(long row) const;
    ui::RowLook lookOfRow(ui::TableView&, long row) override { return {iconOfRow(row), false}; }
    // The name field.
    void controlTextDidEndEditing(ui::TextField& field) override;

protected:
    std::shared_ptr<ui::Window> buildWindow() override;
    void windowDidLoad() override;

private:
    void reselect(const FavoriteItem& selected);
    PanePlugInMgr& _manager;
    FavoriteWindowViews _views;
    std::vector<FavoriteItem> _favoriteItemArray;
    std::vector<FavoriteItem> _removedItemArray;
    DidEnd _didEndSelector;
    std::optional<std::string> _profilePath;
    std::unique_ptr<PrintOptionTreeDataSource> _dataSource;
    Dictionary _currentPrintOption;
    bool _isOccurEnterOrReturnKeyEventOnNameEditField = false;
    std::shared_ptr<ui::Image> _normalItemIcon, _classicIcon;
    ui::Window* _sheetOwner = nullptr;

    void prepare(const std::optional<std::string>& profilePath,
                 const std::optional<Dictionary>& printOption);
    void buildRows();
    void sortRows();
    void showSelection();
    long selectedRow() const;
    bool checkValid();
    std::optional<std::string> sameNameMessage(const std::string& name,
                                               const std::optional<std::string>& path) const;
    void alertSheet(const std::string& message, ui::TextField* focus);
    bool applyChanges();
    void end(long code);
    void finish(long code);
    std::string firstFavoriteFolder() const;
};

// The favorites window on the given settings; true for OK.
extern "C" bool ShowFavoriteModalDialog(const std::string* profilePath,
                                        const Dictionary* printOption);

} // namespace velmora
