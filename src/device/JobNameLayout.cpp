#include "device/JobNameLayout.h"

#include "common/Localization.h"
#include "platform/ui/Button.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr double kMargin = 20;
constexpr double kRowHeight = 22;
constexpr double kButtonHeight = 28;
constexpr double kMinButtonWidth = 90;
constexpr double kFieldWidth = 280;
constexpr double kRadioMark = 24; // the radio circle and its gap before the title

double textWidth(const std::string& text) { return ui::Font::systemFont().widthOfString(text); }

double buttonWidth(const std::string& title) {
    return std::max(kMinButtonWidth, textWidth(title) + 32);
}

} // namespace

JobNameViews layOutJobNameWindow() {
    JobNameViews views;
    std::string autoTitle = BSLocalizedStringOrKey("Auto");
    std::string inputTitle = BSLocalizedStringOrKey("Input");
    std::string caption = BSLocalizedStringOrKey("Job name");
    std::string ok = BSLocalizedStringOrKey("OK");
    std::string cancel = BSLocalizedStringOrKey("Cancel");

    // The caption and the field line up under the radio titles, indented like a sub-option.
    double indent = kMargin + kRadioMark;
    double captionWidth = textWidth(caption) + 8;
    double radioWidth = kRadioMark + std::max(textWidth(autoTitle), textWidth(inputTitle)) + 8;
    double okWidth = buttonWidth(ok), cancelWidth = buttonWidth(cancel);
    double contentWidth = std::max({indent + captionWidth + kFieldWidth + kMargin,
                                    kMargin + radioWidth + kMargin,
                                    kMargin + cancelWidth + 12 + okWidth + kMargin});

    // From the bottom: buttons, the name row, the two radio rows.
    double buttonsY = kMargin;
    double nameY = buttonsY + kButtonHeight + 20;
    double radioY = nameY + kRowHeight + 14;
    double height = radioY + 2 * kRowHeight + kMargin;

    views.window = std::make_shared<ui::Window>(ui::Rect::make(0, 0, contentWidth, height),
                                                BSLocalizedStringOrKey("Job name setting"));
    auto content = views.window->contentView();

    views.radio = std::make_shared<ui::Matrix>(
        ui::Rect::make(kMargin, radioY, radioWidth, 2 * kRowHeight), 2, 1);
    content->addSubview(views.radio);

    views.caption =
        ui::TextField::label(ui::Rect::make(indent, nameY, captionWidth, kRowHeight), caption);
    content->addSubview(views.caption);
    views.edit = std::make_shared<ui::TextField>(
        ui::Rect::make(indent + captionWidth, nameY, contentWidth - kMargin - indent - captionWidth,
                       kRowHeight));
    content->addSubview(views.edit);

    views.ok = ui::Button::pushButton(
        ui::Rect::make(contentWidth - kMargin - okWidth, buttonsY, okWidth, kButtonHeight), ok);
    views.ok->setKeyEquivalent("\r");
    views.cancel = ui::Button::pushButton(
        ui::Rect::make(contentWidth - kMargin - okWidth - 12 - cancelWidth, buttonsY, cancelWidth,
                       kButtonHeight),
        cancel);
    views.cancel->setKeyEquivalent("\x1b");
    content->addSubview(views.cancel);
    content->addSubview(views.ok);
    return views;
}

} // namespace velmora
