#include "favoritewindows/FavoriteWindowLayout.h"

#include "common/DialogLayout.h"
#include "common/Localization.h"
#include "platform/ui/Button.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora {
namespace {

using namespace DialogLayout;
constexpr double kListWidth = 300;
constexpr double kTreeWidth = 320;
constexpr double kListHeight = 260;
constexpr double kColumnGap = 24;

} // namespace

FavoriteWindowViews layOutFavoriteWindow() {
    FavoriteWindowViews v;
    std::string nameTitle = BSLocalizedStringOrKey("Name");
    std::string commentTitle = BSLocalizedStringOrKey("Comment");
    std::vector<std::string> fileButtons = {BSLocalizedStringOrKey("Delete"),
                                            BSLocalizedStringOrKey("Import"),
                                            BSLocalizedStringOrKey("Export")};
    std::vector<std::string> endButtons = {BSLocalizedStringOrKey("Cancel"),
                                           BSLocalizedStringOrKey("OK")};
    double listWidth = std::max(kListWidth, buttonRowWidth(fileButtons));
    double labels = labelColumnWidth({nameTitle, commentTitle});
    double width = std::max(kMargin + listWidth + kColumnGap + kTreeWidth + kMargin,
                            kMargin + buttonRowWidth(endButtons) + kMargin);
    double treeWidth = width - kMargin - (kMargin + listWidth + kColumnGap);

    // From the bottom up: the end buttons, comment, name, the file buttons, the list.
    double endY = kMargin;
    double commentY = endY + kButtonHeight + 20;
    double nameY = commentY + kRowHeight + kRowGap;
    double fileButtonsY = nameY + kRowHeight + 16;
    double listY = fileButtonsY + kButtonHeight + 8;
    double titleY = listY + kListHeight + 6;
    double height = titleY + kRowHeight + kMargin;

    v.window = std::make_shared<ui::Window>(ui::Rect::make(0, 0, width, height),
                                            BSLocalizedStringOrKey("Favorite window title"));
    auto content = v.window->contentView();
    double treeX = kMargin + listWidth + kColumnGap;

    v.titleFavoriteList =
        ui::TextField::label(ui::Rect::make(kMargin, titleY, listWidth, kRowHeight),
                             BSLocalizedStringOrKey("Favorite list"));
    v.titleSettingList = ui::TextField::label(ui::Rect::make(treeX, titleY, treeWidth, kRowHeight),
                                              BSLocalizedStringOrKey("Setting list"));
    v.favoriteListView =
        std::make_shared<ui::TableView>(ui::Rect::make(kMargin, listY, listWidth, kListHeight));
    // The tree reaches down to the name row, beside the list and its buttons.
    v.treeView = std::make_shared<ui::OutlineView>(
        ui::Rect::make(treeX, fileButtonsY, treeWidth, titleY - 6 - fileButtonsY));
    for (const auto& view : {std::static_pointer_cast<ui::View>(v.titleFavoriteList),
                             std::static_pointer_cast<ui::View>(v.titleSettingList),
                             std::static_pointer_cast<ui::View>(v.favoriteListView),
                             std::static_pointer_cast<ui::View>(v.treeView)})
        content->addSubview(view);
    auto files = addButtonRow(*content, fileButtons, kMargin + listWidth, fileButtonsY);
    v.deleteButton = files[0];
    v.importButton = files[1];
    v.exportButton = files[2];

    auto name = addLabeledField(*content, nameTitle, labels, nameY, width - kMargin);
    v.nameTitle = name.label;
    v.nameEditField = name.field;
    auto comment = addLabeledField(*content, commentTitle, labels, commentY, width - kMargin);
    v.commentTitle = comment.label;
    v.commentEditField = comment.field;
    auto ends = addEndButtons(*content, endButtons[0], endButtons[1], width - kMargin, endY);
    v.cancelButton = ends.cancel;
    v.okButton = ends.ok;
    return v;
}

} // namespace velmora
