#pragma once

#include <memory>

namespace velmora {

namespace ui {
class Button;
class OutlineView;
class PopUpButton;
class TabView;
class TextField;
class TableColumn;
class View;
class Window;
} // namespace ui

// The views of the detailed settings window as its layout builds them.
struct DetailedSettingsViews {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::PopUpButton> viewStyle;
    std::shared_ptr<ui::TextField> viewStyleTitle;
    // outline → clip view → outline holder; the holder sits beside the tab view.
    std::shared_ptr<ui::View> outlineHolder;
    std::shared_ptr<ui::OutlineView> outline;
    ui::TableColumn* outlineColumn = nullptr;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<ui::Button> cancel, ok, revertToDefault, versionInfo, download;
};

// The "DetailedSettings" window: the view style pop-up (tabs: tag 1, outline: tag 2) at the
// top, the outline of the panes at the left, the panes' tab view beside it, "version info..."
// and "Revert to Default Settings" at the bottom left, Cancel and "Setting" at the bottom right.
DetailedSettingsViews layOutDetailedSettingsWindow();

// Sizes the window around its tab view once the panes are in: the tab view as large as its
// largest pane, the outline as tall as the tab view, the buttons along the bottom edge.
void fitDetailedSettingsWindow(DetailedSettingsViews& views);

} // namespace velmora
