#pragma once

#include <memory>
#include <vector>

namespace velmora {

class ZEMAUI;
namespace ui {
class Box;
class Button;
class View;
class Window;
} // namespace ui

// The views of the paper attributes window as its layout builds them: option controls in two
// columns (the paper itself on the left, the optional media attributes on the right), a
// separator above the close button.
struct AutomaticPaperTraySelectionViews {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::Box> separator;
    std::shared_ptr<ui::Button> close;
};

// The "AutomaticPaperTraySelection" window, wide enough for two columns.
AutomaticPaperTraySelectionViews layOutAutomaticPaperTraySelectionWindow();

// Stacks the configured controls: the left column from the top, the right column beside it,
// the separator and close button below the taller one; the window takes the height it needs.
void arrangeAutomaticPaperTraySelection(const AutomaticPaperTraySelectionViews& views,
                                        const std::vector<std::shared_ptr<ZEMAUI>>& left,
                                        const std::vector<std::shared_ptr<ZEMAUI>>& right);

// Drops the right-hand column: the separator becomes half its width plus 16 points, the window
// half its width plus 32 points.
void narrowAutomaticPaperTraySelection(const AutomaticPaperTraySelectionViews& views);

} // namespace velmora
