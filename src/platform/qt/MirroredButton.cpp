#include "platform/qt/MirroredButton.h"

#include "platform/ui/Image.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>

namespace velmora::qt {
namespace {

// Catches clicks and draws nothing, as a transparent button does.
class TransparentButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {}
};

// Qt's own state change on a click is undone by the pull that follows: the toolkit decides.
template <typename Base> class ButtonWidget : public Base, public MirroredButton {
public:
    ButtonWidget(std::shared_ptr<ui::Button> button, QWidget* parent)
        : Base(parent), MirroredButton(button, this) {}

protected:
    void focusInEvent(QFocusEvent* event) override {
        Base::focusInEvent(event);
        focusTaken(event->reason());
    }
};

} // namespace

std::string MirroredButton::kindOf(const ui::Button& button) {
    if (button.isTransparent())
        return "transparent";
    switch (button.buttonType()) {
    case ui::ButtonType::Switch: return "switch";
    case ui::ButtonType::Radio: return "radio";
    case ui::ButtonType::Push: break;
    }
    return "push";
}

MirroredView* MirroredButton::make(const std::shared_ptr<ui::Button>& button, QWidget* parent) {
    std::string kind = kindOf(*button);
    if (kind == "switch")
        return new ButtonWidget<QCheckBox>(button, parent);
    if (kind == "radio")
        return new ButtonWidget<QRadioButton>(button, parent);
    if (kind == "transparent")
        return new ButtonWidget<TransparentButton>(button, parent);
    return new ButtonWidget<QPushButton>(button, parent);
}

MirroredButton::MirroredButton(std::shared_ptr<ui::Button> button, QAbstractButton* widget)
    : MirroredView(button), _button(button), _widget(widget), _kind(kindOf(*button)) {
    if (auto* radio = qobject_cast<QRadioButton*>(widget))
        radio->setAutoExclusive(false);
    if (_kind == "transparent")
        widget->setFocusPolicy(Qt::NoFocus);
    QObject::connect(widget, &QAbstractButton::clicked, widget, [this] {
        if (auto shown = _button.lock())
            shown->performClick();
        actionDone();
    });
}

void MirroredButton::pull() {
    auto button = _button.lock();
    if (!button)
        return;
    pullCommon(*_widget);
    if (_kind != "transparent")
        _widget->setText(toQString(button->title()));
    if (auto image = button->image(); image && !image->path().empty()) {
        _widget->setIcon(QIcon(toQString(image->path())));
        _widget->setIconSize(
            QSize(static_cast<int>(image->size().width), static_cast<int>(image->size().height)));
    } else {
        _widget->setIcon(QIcon());
    }
    if (auto* check = qobject_cast<QCheckBox*>(_widget)) {
        check->setTristate(button->allowsMixedState());
        check->setCheckState(button->state() == ui::kMixedState ? Qt::PartiallyChecked
                             : button->state() == ui::kOnState  ? Qt::Checked
                                                                : Qt::Unchecked);
    } else if (auto* radio = qobject_cast<QRadioButton*>(_widget)) {
        radio->setChecked(button->state() == ui::kOnState);
    } else if (auto* push = qobject_cast<QPushButton*>(_widget)) {
        push->setDefault(button->keyEquivalent() == "\r");
        push->setAutoDefault(false);
    }
}

} // namespace velmora::qt
