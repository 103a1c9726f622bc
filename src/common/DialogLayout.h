#pragma once

#include <memory>
#include <string>
#include <vector>

namespace velmora {

namespace ui {
class Button;
class TextField;
class View;
} // namespace ui

// Measures for dialogs laid out from their localized texts.
namespace DialogLayout {

inline constexpr double kMargin = 20;
inline constexpr double kRowHeight = 22;
inline constexpr double kRowGap = 10;
inline constexpr double kButtonHeight = 28;
inline constexpr double kButtonGap = 12;

double textWidth(const std::string& text);
// Wide enough for the title and the bezel, never narrower than a standard button.
double buttonWidth(const std::string& title);
// The widest of the texts, plus room before the field beside it.
double labelColumnWidth(const std::vector<std::string>& labels);
// Push buttons in a row ending at the right edge, the last title rightmost (the default
// button); returns them in the order of the titles.
std::vector<std::shared_ptr<ui::Button>> addButtonRow(ui::View& content,
                                                      const std::vector<std::string>& titles,
                                                      double right, double y);
// Width the buttons of such a row take, gaps included.
double buttonRowWidth(const std::vector<std::string>& titles);
// The usual end of a dialog: Cancel (Escape) and the default button (Return) at the right.
struct EndButtons {
    std::shared_ptr<ui::Button> cancel, ok;
};
EndButtons addEndButtons(ui::View& content, const std::string& cancel, const std::string& ok,
                         double right, double y);
// A label in the label column and an editable field beside it up to the right edge.
struct LabeledField {
    std::shared_ptr<ui::TextField> label, field;
};
LabeledField addLabeledField(ui::View& content, const std::string& title, double labelWidth,
                             double y, double right);

} // namespace DialogLayout
} // namespace velmora
