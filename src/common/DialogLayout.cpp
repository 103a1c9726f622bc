#include "common/DialogLayout.h"

#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/TextField.h"

#include <algorithm>

namespace velmora::DialogLayout {

namespace {
constexpr double kMinButtonWidth = 90;
constexpr double kBezel = 32;
constexpr double kLabelGap = 8;
} // namespace

double textWidth(const std::string& text) { return ui::Font::systemFont().widthOfString(text); }

double buttonWidth(const std::string& title) {
    return std::max(kMinButtonWidth, textWidth(title) + kBezel);
}

double labelColumnWidth(const std::vector<std::string>& labels) {
    double widest = 0;
    for (const auto& label : labels)
        widest = std::max(widest, textWidth(label));
    return widest + kLabelGap;
}

double buttonRowWidth(const std::vector<std::string>& titles) {
    double width = 0;
    for (const auto& title : titles)
        width += buttonWidth(title);
    return width + kButtonGap * static_cast<double>(titles.empty() ? 0 : titles.size() - 1);
}

std::vector<std::shared_ptr<ui::Button>> addButtonRow(ui::View& content,
                                                      const std::vector<std::string>& titles,
                                                      double right, double y) {
    std::vector<std::shared_ptr<ui::Button>> buttons(titles.size());
    double x = right;
    for (std::size_t i = titles.size(); i-- > 0;) {
        double width = buttonWidth(titles[i]);
        x -= width;
        buttons[i] = ui::Button::pushButton(ui::Rect::make(x, y, width, kButtonHeight), titles[i]);
        content.addSubview(buttons[i]);
        x -= kButtonGap;
    }
    return buttons;
}

EndButtons addEndButtons(ui::View& content, const std::string& cancel, const std::string& ok,
                         double right, double y) {
    auto row = addButtonRow(content, {cancel, ok}, right, y);
    row[0]->setKeyEquivalent("\x1b");
    row[1]->setKeyEquivalent("\r");
    return {row[0], row[1]};
}

LabeledField addLabeledField(ui::View& content, const std::string& title, double labelWidth,
                             double y, double right) {
    LabeledField row;
    row.label = ui::TextField::label(ui::Rect::make(kMargin, y, labelWidth, kRowHeight), title);
    double x = kMargin + labelWidth;
    row.field = std::make_shared<ui::TextField>(ui::Rect::make(x, y, right - x, kRowHeight));
    content.addSubview(row.label);
    content.addSubview(row.field);
    return row;
}

} // namespace velmora::DialogLayout
