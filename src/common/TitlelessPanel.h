#pragma once

#include "platform/ui/Window.h"

namespace velmora {

// A borderless panel with a shadow that can still become key and main. It floats at the main
// menu's level while the host application is active and drops to the normal level otherwise,
// redrawing whenever the application becomes or stops being active.
class TitlelessPanel : public ui::Window {
public:
    explicit TitlelessPanel(ui::Rect frame = {});
    ~TitlelessPanel() override;
    std::string className() const override { return "TitlelessPanel"; }

    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return true; }
    void display() override;
};

} // namespace velmora
