#include "device/JobNameLayout.h"

#include "common/DialogLayout.h"
#include "common/Localization.h"
#include "platform/ui/Button.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora {
namespace {

using namespace DialogLayout;
constexpr double kFieldWidth = 280;
constexpr double kRadioMark = 24; // the radio circle and its gap before the title

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
    double captionWidth = labelColumnWidth({caption});
    double radioWidth = kRadioMark + labelColumnWidth({autoTitle, inputTitle});
    double contentWidth = std::max({indent + captionWidth + kFieldWidth + kMargin,
                                    kMargin + radioWidth + kMargin,
                                    kMargin + buttonRowWidth({cancel, ok}) + kMargin});

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

    auto ends = addEndButtons(*content, cancel, ok, contentWidth - kMargin, buttonsY);
    views.cancel = ends.cancel;
    views.ok = ends.ok;
    return views;
}

} // namespace velmora
