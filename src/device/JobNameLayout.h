#pragma once

#include <memory>

namespace velmora {

namespace ui {
class Button;
class Matrix;
class TextField;
class Window;
} // namespace ui

// The views of the job name dialog as its layout builds them.
struct JobNameViews {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::Matrix> radio;
    std::shared_ptr<ui::TextField> caption;
    std::shared_ptr<ui::TextField> edit;
    std::shared_ptr<ui::Button> ok;
    std::shared_ptr<ui::Button> cancel;
};

// The "JobName" window: the Auto / Input choice, the caption and name field beside each other,
// Cancel and OK at the bottom right. Sized from the localized texts.
JobNameViews layOutJobNameWindow();

} // namespace velmora
