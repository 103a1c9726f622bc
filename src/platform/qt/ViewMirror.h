#pragma once

#include "platform/qt/MirroredView.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

namespace velmora::ui {
class View;
}

namespace velmora::qt {

// Keeps a Qt widget tree in step with a toolkit view tree: a widget per view, at the view's
// frame, shown when the view is, in the view's state. Views that appear get a widget, views
// that go take theirs along, a view that needs another kind of widget gets a new one.
class ViewMirror {
public:
    ViewMirror(std::shared_ptr<ui::View> root, QWidget* host);
    ~ViewMirror();
    ViewMirror(const ViewMirror&) = delete;
    ViewMirror& operator=(const ViewMirror&) = delete;

    void refresh();
    QWidget* host() const { return _host; }
    std::shared_ptr<ui::View> root() const { return _root.lock(); }
    // The widget that shows the view; null when it has none (hidden parents still have one).
    QWidget* widgetFor(const ui::View* view) const;
    // The view a widget shows; null for widgets that are not mirrors.
    std::shared_ptr<ui::View> viewFor(const QWidget* widget) const;
    // The widgets Tab visits, in the order of the views (set on Qt after each refresh).
    const std::vector<QPointer<QWidget>>& tabChain() const { return _tabChain; }

private:
    struct Entry {
        MirroredView* mirror;
        QPointer<QWidget> widget;
        unsigned pass;
        std::string kind; // a field that becomes a label needs another widget
    };
    std::weak_ptr<ui::View> _root;
    QPointer<QWidget> _host;
    std::map<const ui::View*, Entry> _entries;
    unsigned _pass = 0;
    std::vector<QPointer<QWidget>> _tabChain, _visited;

    void mirrorChildren(const ui::View& parent, QWidget* parentWidget);
    MirroredView* mirrorFor(const std::shared_ptr<ui::View>& view, QWidget* parentWidget);
    void dropStaleWidgets();
    void visitForTab(QWidget& widget);
    void orderTabChain();
    void relateLabels();
};

} // namespace velmora::qt
