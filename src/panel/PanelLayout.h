#pragma once

#include <memory>
#include <string>
#include <vector>

namespace velmora {

class ZEMAUI;
namespace ui {
class Button;
class PopUpButton;
class TextField;
class View;
} // namespace ui

// The views of the panel as its layout builds them.
struct PanelViews {
    std::shared_ptr<ui::View> view;
    std::shared_ptr<ui::TextField> titleFavorite;
    std::shared_ptr<ui::PopUpButton> favorite;
    std::shared_ptr<ui::Button> saveFavoriteButton, deleteFavoriteButton;
    std::shared_ptr<ui::Button> jobNameButton;
    std::shared_ptr<ui::TextField> jobName;
    std::shared_ptr<ui::Button> showDetailedSettingsButton, revertToDefaultSettingsButton;
    std::shared_ptr<ui::Button> automaticPaperTraySelectionButton, bypassPaperTraySelectionButton;
    std::shared_ptr<ZEMAUI> autoTraySettingToBypass, duplexMode, pagePrintOnCenter, colorMode,
        stapleMode, punch, fold, outputTray, offsetMode, inputSlot;

    // The nine option controls in the order they are built, then the bypass control.
    std::vector<std::pair<std::string, std::shared_ptr<ZEMAUI>>> optionControls() const;
};

// The "PDE_UI_ByCocoa" panel: the favorites row at the top (cut off once the panel is shown),
// the job name row, the option controls in two columns, the tray buttons and the detailed
// settings and revert buttons at the bottom. Sized from the localized texts.
PanelViews layOutPanel();

} // namespace velmora
