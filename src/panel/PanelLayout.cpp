#include "panel/PanelLayout.h"

#include "common/DialogLayout.h"
#include "common/Localization.h"
#include "controls/ZEMAUI.h"
#include "platform/ui/Button.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"

#include <algorithm>

namespace velmora {
namespace {

using namespace DialogLayout;
constexpr double kColumnWidth = 260;
constexpr double kColumnGap = 20;
constexpr double kPopUpHeight = 48; // a titled pop-up: its title row above the menu
constexpr double kCheckBoxHeight = 24;
constexpr double kControlGap = 4;
constexpr double kFavoritePopUpWidth = 200;

struct Placed {
    const char* key;
    double height;
};

// Check boxes take one row, titled pop-ups two.
const std::vector<Placed>& leftColumn() {
    static const std::vector<Placed> keys = {{"DuplexMode", kPopUpHeight},
                                             {"ColorMode", kPopUpHeight},
                                             {"KVInputSlot", kPopUpHeight},
                                             {"PagePrintOnCenter", kCheckBoxHeight}};
    return keys;
}

// The bypass tray's check box has a long title: it takes a row of its own under both columns.
const std::vector<Placed>& fullWidthRow() {
    static const std::vector<Placed> keys = {{"AutoTraySettingToBypass", kCheckBoxHeight}};
    return keys;
}

const std::vector<Placed>& rightColumn() {
    static const std::vector<Placed> keys = {{"StapleMode_StapleMechanism", kPopUpHeight},
                                             {"Punch_PunchHoles", kPopUpHeight},
                                             {"Fold", kPopUpHeight},
                                             {"OutputTray", kPopUpHeight},
                                             {"OffsetMode", kPopUpHeight}};
    return keys;
}

double columnHeight(const std::vector<Placed>& column) {
    double height = 0;
    for (const auto& placed : column)
        height += placed.height + kControlGap;
    return height - kControlGap;
}

std::shared_ptr<ui::Button> addButton(ui::View& content, const std::string& title, double x,
                                      double y) {
    auto button =
        ui::Button::pushButton(ui::Rect::make(x, y, buttonWidth(title), kButtonHeight), title);
    content.addSubview(button);
    return button;
}

// Places a column's controls from its top down (y grows upwards) and hands each to `assign`.
template <typename Assign>
void placeColumn(ui::View& content, const std::vector<Placed>& column, double x, double top,
                 Assign assign, double width = kColumnWidth) {
    for (const auto& placed : column) {
        top -= placed.height;
        auto control = std::make_shared<ZEMAUI>(ui::Rect::make(x, top, width, placed.height));
        content.addSubview(control);
        assign(placed.key, control);
        top -= kControlGap;
    }
}

} // namespace

std::vector<std::pair<std::string, std::shared_ptr<ZEMAUI>>> PanelViews::optionControls() const {
    return {{"DuplexMode", duplexMode},  {"PagePrintOnCenter", pagePrintOnCenter},
            {"ColorMode", colorMode},    {"StapleMode_StapleMechanism", stapleMode},
            {"Punch_PunchHoles", punch}, {"Fold", fold},
            {"OutputTray", outputTray},  {"OffsetMode", offsetMode},
            {"KVInputSlot", inputSlot}};
}

PanelViews layOutPanel() {
    PanelViews views;
    std::string favorites = BSLocalizedStringOrKey("Favorites:");
    std::string save = BSLocalizedStringOrKey("Save...");
    std::string remove = BSLocalizedStringOrKey("Delete...");
    std::string jobName = BSLocalizedStringOrKey("Job name...");
    std::string detailed = BSLocalizedStringOrKey("Show Detailed Settings");
    std::string revert = BSLocalizedStringOrKey("Revert to Default Settings");
    std::string automatic = BSLocalizedStringOrKey("Automatic Tray...");
    std::string bypass = BSLocalizedStringOrKey("Bypass Tray...");

    double favoritesLabel = labelColumnWidth({favorites});
    double width =
        std::max({kMargin + 2 * kColumnWidth + kColumnGap + kMargin,
                  kMargin + favoritesLabel + kFavoritePopUpWidth + kButtonGap + buttonWidth(save) +
                      kButtonGap + buttonWidth(remove) + kMargin,
                  kMargin + buttonWidth(detailed) + kButtonGap + buttonWidth(revert) + kMargin,
                  kMargin + buttonWidth(automatic) + kButtonGap + buttonWidth(bypass) + kMargin});

    // From the bottom: detailed settings and revert, the tray buttons, the option columns, the
    // job name row, the favorites row.
    double bottomY = kMargin;
    double trayY = bottomY + kButtonHeight + kRowGap;
    double fullRowY = trayY + kButtonHeight + 16;
    double columnsY = fullRowY + columnHeight(fullWidthRow()) + kControlGap;
    double columns = std::max(columnHeight(leftColumn()), columnHeight(rightColumn()));
    double jobNameY = columnsY + columns + 16;
    double favoritesY = jobNameY + kButtonHeight + kMargin;
    double height = favoritesY + kButtonHeight + kMargin;

    views.view = std::make_shared<ui::View>(ui::Rect::make(0, 0, width, height));
    ui::View& content = *views.view;

    views.titleFavorite = ui::TextField::label(
        ui::Rect::make(kMargin, favoritesY + 3, favoritesLabel, kRowHeight), favorites);
    content.addSubview(views.titleFavorite);
    views.favorite = std::make_shared<ui::PopUpButton>(
        ui::Rect::make(kMargin + favoritesLabel, favoritesY + 3, kFavoritePopUpWidth, kRowHeight));
    content.addSubview(views.favorite);
    double x = kMargin + favoritesLabel + kFavoritePopUpWidth + kButtonGap;
    views.saveFavoriteButton = addButton(content, save, x, favoritesY);
    x += buttonWidth(save) + kButtonGap;
    views.deleteFavoriteButton = addButton(content, remove, x, favoritesY);

    views.jobNameButton = addButton(content, jobName, kMargin, jobNameY);
    double labelX = kMargin + buttonWidth(jobName) + kButtonGap;
    views.jobName = ui::TextField::label(
        ui::Rect::make(labelX, jobNameY + 3, width - kMargin - labelX, kRowHeight),
        BSLocalizedStringOrKey("Auto"));
    content.addSubview(views.jobName);

    double top = columnsY + columns;
    auto assign = [&views](const std::string& key, const std::shared_ptr<ZEMAUI>& control) {
        if (key == "DuplexMode")
            views.duplexMode = control;
        else if (key == "ColorMode")
            views.colorMode = control;
        else if (key == "KVInputSlot")
            views.inputSlot = control;
        else if (key == "PagePrintOnCenter")
            views.pagePrintOnCenter = control;
        else if (key == "AutoTraySettingToBypass")
            views.autoTraySettingToBypass = control;
        else if (key == "StapleMode_StapleMechanism")
            views.stapleMode = control;
        else if (key == "Punch_PunchHoles")
            views.punch = control;
        else if (key == "Fold")
            views.fold = control;
        else if (key == "OutputTray")
            views.outputTray = control;
        else if (key == "OffsetMode")
            views.offsetMode = control;
    };
    placeColumn(content, leftColumn(), kMargin, top, assign);
    placeColumn(content, rightColumn(), kMargin + kColumnWidth + kColumnGap, top, assign);
    placeColumn(content, fullWidthRow(), kMargin, fullRowY + columnHeight(fullWidthRow()), assign,
                width - 2 * kMargin);

    views.automaticPaperTraySelectionButton = addButton(content, automatic, kMargin, trayY);
    views.automaticPaperTraySelectionButton->setTag(0);
    views.bypassPaperTraySelectionButton =
        addButton(content, bypass, kMargin + buttonWidth(automatic) + kButtonGap, trayY);
    views.bypassPaperTraySelectionButton->setTag(1);
    views.bypassPaperTraySelectionButton->setHidden(true);

    views.showDetailedSettingsButton = addButton(content, detailed, kMargin, bottomY);
    views.revertToDefaultSettingsButton =
        addButton(content, revert, kMargin + buttonWidth(detailed) + kButtonGap, bottomY);
    return views;
}

} // namespace velmora
