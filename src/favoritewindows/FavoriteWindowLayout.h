#pragma once

#include <memory>

namespace velmora {

namespace ui {
class Button;
class OutlineView;
class TableView;
class TextField;
class Window;
} // namespace ui

struct FavoriteWindowViews {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TextField> titleFavoriteList, titleSettingList;
    std::shared_ptr<ui::TableView> favoriteListView;
    std::shared_ptr<ui::OutlineView> treeView;
    std::shared_ptr<ui::TextField> nameTitle, nameEditField, commentTitle, commentEditField;
    std::shared_ptr<ui::Button> deleteButton, importButton, exportButton, cancelButton, okButton;
};

// The "Favorite" window: the favorite list on the left with Delete, Import and Export under it,
// the name and comment of the selected favorite below, its settings tree on the right, Cancel
// and OK at the bottom right.
FavoriteWindowViews layOutFavoriteWindow();

} // namespace velmora
