#pragma once

#include <memory>

namespace velmora {

namespace ui {
class Button;
class TextField;
class Window;
} // namespace ui

struct SaveFavoriteViews {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TextField> titleFavoriteName, favoriteName, titleComment, comment;
    std::shared_ptr<ui::Button> cancel, ok;
};

// The "SaveFavorite" window: name and comment, each with its label in one aligned column,
// Cancel and Save at the bottom right.
SaveFavoriteViews layOutSaveFavoriteWindow();

} // namespace velmora
