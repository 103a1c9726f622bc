#pragma once

#include "platform/ui/Geometry.h"

#include <QRect>
#include <QString>
#include <Qt>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace velmora::ui {
class View;
}

namespace velmora::qt {

QString toQString(const std::string& text);
std::string fromQString(const QString& text);
// The toolkit's y axis grows upwards from the bottom of the parent; Qt's grows downwards.
QRect toQtRect(const ui::Rect& frame, double parentHeight);

// A Qt widget that shows one toolkit view. The view is the truth: pull() copies its state onto
// the widget, and a person's action on the widget is handed to the view through the toolkit
// call a script would make, followed by actionDone() so that every window shows the result.
class MirroredView {
public:
    explicit MirroredView(std::shared_ptr<ui::View> view);
    virtual ~MirroredView() = default;
    MirroredView(const MirroredView&) = delete;
    MirroredView& operator=(const MirroredView&) = delete;

    virtual QWidget* widget() = 0;
    // Where the view's subviews are shown; null when the widget shows them itself.
    virtual QWidget* childHost() { return widget(); }
    virtual void pull() = 0;
    // Called once the children are placed in childHost (drawn over what pull placed).
    virtual void childrenPlaced() {}

    std::shared_ptr<ui::View> view() const { return _view.lock(); }
    bool mirrors(const std::shared_ptr<ui::View>& view) const;

    // Run after every action a person takes (set by the toolkit): brings every window up to date.
    static void setActionDone(std::function<void()> hook);
    static void actionDone();

protected:
    // The person moved the focus onto the widget: the view becomes the window's first
    // responder, which the field being edited may refuse; then the focus goes back to it.
    void focusTaken(Qt::FocusReason reason);
    void pullCommon(QWidget& widget) const;

private:
    std::weak_ptr<ui::View> _view;
    const ui::View* _address;
};

// The kind of widget a view is shown with ("push", "switch", "label", "field", ...).
std::string mirrorKind(const ui::View& view);
// Makes the widget for a view, as a child of parent.
MirroredView* makeMirror(const std::shared_ptr<ui::View>& view, QWidget* parent);

} // namespace velmora::qt
