#include "common/TitlelessPanel.h"

#include "common/NotifyUnit.h"
#include "platform/ui/Application.h"

namespace velmora {

TitlelessPanel::TitlelessPanel(ui::Rect frame) : ui::Window(frame) {
    setBorderless(true);
    setHasShadow(true);
    auto redraw = [this](const Notification&) { display(); };
    NotifyUnit::addObserver(this, redraw, "NSApplicationDidBecomeActiveNotification");
    NotifyUnit::addObserver(this, redraw, "NSApplicationDidResignActiveNotification");
}

TitlelessPanel::~TitlelessPanel() {
    NotifyUnit::removeObserver(this);
}

void TitlelessPanel::display() {
    setLevel(ui::Application::shared().isActive() ? ui::kMainMenuWindowLevel
                                                  : ui::kNormalWindowLevel);
    ui::Window::display();
}

} // namespace velmora
