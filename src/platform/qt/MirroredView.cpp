#include "platform/qt/MirroredView.h"

#include "platform/qt/MirroredButton.h"
#include "platform/qt/MirroredContainer.h"
#include "platform/qt/MirroredDatePicker.h"
#include "platform/qt/MirroredImageView.h"
#include "platform/qt/MirroredMatrix.h"
#include "platform/qt/MirroredPopUpButton.h"
#include "platform/qt/MirroredSlider.h"
#include "platform/qt/MirroredStepper.h"
#include "platform/qt/MirroredTabView.h"
#include "platform/qt/MirroredTableView.h"
#include "platform/qt/MirroredTextField.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtToolkit.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace velmora::qt {
namespace {

std::function<void()>& actionHook() {
    static std::function<void()> hook;
    return hook;
}

template <typename T> std::shared_ptr<T> as(const std::shared_ptr<ui::View>& view) {
    return std::dynamic_pointer_cast<T>(view);
}

} // namespace

QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromQString(const QString& text) {
    return text.toStdString();
}

QRect toQtRect(const ui::Rect& frame, double parentHeight) {
    auto x = static_cast<int>(std::lround(frame.origin.x));
    auto y = static_cast<int>(std::lround(parentHeight - frame.top()));
    return QRect(x, y, static_cast<int>(std::lround(frame.size.width)),
                 static_cast<int>(std::lround(frame.size.height)));
}

MirroredView::MirroredView(std::shared_ptr<ui::View> view) : _view(view), _address(view.get()) {}

bool MirroredView::mirrors(const std::shared_ptr<ui::View>& view) const {
    return view.get() == _address && !_view.expired();
}

void MirroredView::setActionDone(std::function<void()> hook) {
    actionHook() = std::move(hook);
}

void MirroredView::actionDone() {
    if (actionHook())
        actionHook()();
}

void MirroredView::focusTaken(Qt::FocusReason reason) {
    // Qt moves the focus itself when a window opens or a focused widget is hidden; only a
    // person's click, Tab or shortcut is an action.
    bool byPerson = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                    reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    auto shown = view();
    if (!byPerson)
        return;
    ui::Window* window = shown ? shown->window() : nullptr;
    if (!window || !shown->acceptsFirstResponder())
        return;
    ui::TextField* editing = window->editingField();
    if (editing == shown.get() || window->firstResponder() == shown.get())
        return;
    if (!window->makeFirstResponder(shown.get())) {
        // The field being edited keeps the focus; give it back once Qt has moved it.
        QPointer<QWidget> keeper = QtToolkit::shared().widgetFor(editing);
        QTimer::singleShot(0, [keeper] {
            if (keeper)
                keeper->setFocus(Qt::OtherFocusReason);
            actionDone();
        });
    }
    actionDone();
}

void MirroredView::pullCommon(QWidget& widget) const {
    auto shown = view();
    if (!shown)
        return;
    widget.setToolTip(toQString(shown->toolTip()));
    if (QString name = toQString(shown->accessibilityLabel());
        !name.isEmpty() && widget.accessibleName() != name)
        widget.setAccessibleName(name);
    if (auto control = std::dynamic_pointer_cast<ui::Control>(shown)) {
        widget.setEnabled(control->isEnabled());
        QFont font = toQFont(control->font());
        if (widget.font() != font)
            widget.setFont(font);
    }
}

std::string mirrorKind(const ui::View& view) {
    if (auto* button = dynamic_cast<const ui::Button*>(&view))
        return MirroredButton::kindOf(*button);
    if (auto* field = dynamic_cast<const ui::TextField*>(&view))
        return MirroredTextField::kindOf(*field);
    return view.className();
}

MirroredView* makeMirror(const std::shared_ptr<ui::View>& view, QWidget* parent) {
    if (auto button = as<ui::Button>(view))
        return MirroredButton::make(button, parent);
    if (auto field = as<ui::TextField>(view))
        return MirroredTextField::make(field, parent);
    if (auto popUp = as<ui::PopUpButton>(view))
        return new MirroredPopUpButton(popUp, parent);
    if (auto matrix = as<ui::Matrix>(view))
        return new MirroredMatrix(matrix, parent);
    if (auto slider = as<ui::Slider>(view))
        return new MirroredSlider(slider, parent);
    if (auto stepper = as<ui::Stepper>(view))
        return new MirroredStepper(stepper, parent);
    if (auto picker = as<ui::DatePicker>(view))
        return new MirroredDatePicker(picker, parent);
    if (auto image = as<ui::ImageView>(view))
        return new MirroredImageView(image, parent);
    if (auto table = as<ui::TableView>(view))
        return new MirroredTableView(table, parent);
    if (auto tabs = as<ui::TabView>(view))
        return new MirroredTabView(tabs, parent);
    if (auto box = as<ui::Box>(view))
        return new MirroredBox(box, parent);
    return new MirroredContainer(view, parent);
}

} // namespace velmora::qt
