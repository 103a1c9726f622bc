#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/Button.h"

#include <QAbstractButton>

namespace velmora::qt {

// A push button, check box, radio button or transparent (invisible but clickable) button. A
// click is the toolkit's performClick; the widget then shows the state the button took, so a
// disabled or refusing button does not change on screen either.
class MirroredButton : public MirroredView {
public:
    static std::string kindOf(const ui::Button& button);
    static MirroredView* make(const std::shared_ptr<ui::Button>& button, QWidget* parent);

    QWidget* widget() override { return _widget; }
    void pull() override;

protected:
    MirroredButton(std::shared_ptr<ui::Button> button, QAbstractButton* widget);

private:
    std::weak_ptr<ui::Button> _button;
    QAbstractButton* _widget;
    std::string _kind;
};

} // namespace velmora::qt
