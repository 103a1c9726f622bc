#include "favorites/windows/SaveFavoriteLayout.h"

#include "common/DialogLayout.h"
#include "common/Localization.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora {
namespace {

using namespace DialogLayout;
constexpr double kFieldWidth = 320;

} // namespace

SaveFavoriteViews layOutSaveFavoriteWindow() {
    SaveFavoriteViews views;
    std::string nameTitle = BSLocalizedStringOrKey("Favorite name");
    std::string commentTitle = BSLocalizedStringOrKey("Comment");
    std::vector<std::string> buttons = {BSLocalizedStringOrKey("Cancel"),
                                        BSLocalizedStringOrKey("Save")};
    double labels = labelColumnWidth({nameTitle, commentTitle});
    double width = std::max(kMargin + labels + kFieldWidth + kMargin,
                            kMargin + buttonRowWidth(buttons) + kMargin);
    double commentY = kMargin + kButtonHeight + 20;
    double nameY = commentY + kRowHeight + kRowGap;
    double height = nameY + kRowHeight + kMargin;

    views.window = std::make_shared<ui::Window>(ui::Rect::make(0, 0, width, height),
                                                BSLocalizedStringOrKey("Save Favorite"));
    auto content = views.window->contentView();
    double fieldX = kMargin + labels, fieldWidth = width - kMargin - fieldX;
    views.titleFavoriteName =
        ui::TextField::label(ui::Rect::make(kMargin, nameY, labels, kRowHeight), nameTitle);
    views.favoriteName =
        std::make_shared<ui::TextField>(ui::Rect::make(fieldX, nameY, fieldWidth, kRowHeight));
    views.titleComment =
        ui::TextField::label(ui::Rect::make(kMargin, commentY, labels, kRowHeight), commentTitle);
    views.comment =
        std::make_shared<ui::TextField>(ui::Rect::make(fieldX, commentY, fieldWidth, kRowHeight));
    for (const auto& view : {views.titleFavoriteName, views.favoriteName, views.titleComment,
                             views.comment})
        content->addSubview(view);
    auto row = addButtonRow(*content, buttons, width - kMargin, kMargin);
    views.cancel = row[0];
    views.ok = row[1];
    views.ok->setKeyEquivalent("\r");
    views.cancel->setKeyEquivalent("\x1b");
    return views;
}

} // namespace velmora
