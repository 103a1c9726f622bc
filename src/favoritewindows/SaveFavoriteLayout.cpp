#include "favoritewindows/SaveFavoriteLayout.h"

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
    auto name = addLabeledField(*content, nameTitle, labels, nameY, width - kMargin);
    views.titleFavoriteName = name.label;
    views.favoriteName = name.field;
    auto comment = addLabeledField(*content, commentTitle, labels, commentY, width - kMargin);
    views.titleComment = comment.label;
    views.comment = comment.field;
    auto ends = addEndButtons(*content, buttons[0], buttons[1], width - kMargin, kMargin);
    views.cancel = ends.cancel;
    views.ok = ends.ok;
    return views;
}

} // namespace velmora
