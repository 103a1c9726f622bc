#include "platform/qt/ViewMirror.h"

#include "platform/qt/LayoutInspector.h"
#include "platform/ui/FieldEditor.h"
#include "platform/ui/View.h"

#include <QLabel>

namespace velmora::qt {

ViewMirror::ViewMirror(std::shared_ptr<ui::View> root, QWidget* host) : _root(root), _host(host) {}

ViewMirror::~ViewMirror() {
    for (auto& [view, entry] : _entries)
        delete entry.widget.data();
}

void ViewMirror::refresh() {
    auto root = _root.lock();
    if (!root || !_host)
        return;
    ++_pass;
    _visited.clear();
    mirrorChildren(*root, _host);
    dropStaleWidgets();
    orderTabChain();
    relateLabels();
}

// A label that names a control is its buddy: assistive technology announces the control by the
// label (on Linux a pop-up's own name is its value), and the label's mnemonic reaches it.
void ViewMirror::relateLabels() {
    for (const auto& [view, entry] : _entries) {
        auto shown = entry.mirror->view();
        auto title = shown ? shown->titleView() : nullptr;
        auto* label = title ? qobject_cast<QLabel*>(widgetFor(title.get())) : nullptr;
        if (label && entry.widget && label->buddy() != entry.widget)
            label->setBuddy(entry.widget);
    }
}

// A widget Tab stops at, or, for one that draws its own parts (a matrix's radio buttons, a
// tab view's bar), those parts.
void ViewMirror::visitForTab(QWidget& widget) {
    if (widget.focusPolicy() & Qt::TabFocus) {
        _visited.emplace_back(&widget);
        return;
    }
    for (auto* part : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if ((part->focusPolicy() & Qt::TabFocus) && !isMirrored(*part))
            _visited.emplace_back(part);
}

// Widgets made later (a field that became a label and back) would otherwise go to the end of
// Qt's chain; Tab follows the views' order instead.
void ViewMirror::orderTabChain() {
    std::erase_if(_visited, [](const QPointer<QWidget>& widget) { return !widget; });
    if (_visited == _tabChain)
        return;
    _tabChain = _visited;
    for (std::size_t i = 1; i < _tabChain.size(); ++i)
        QWidget::setTabOrder(_tabChain[i - 1], _tabChain[i]);
}

QWidget* ViewMirror::widgetFor(const ui::View* view) const {
    auto it = _entries.find(view);
    return it == _entries.end() ? nullptr : it->second.widget.data();
}

std::shared_ptr<ui::View> ViewMirror::viewFor(const QWidget* widget) const {
    for (const auto& [view, entry] : _entries)
        if (entry.widget && entry.widget == widget)
            return entry.mirror->view();
    return nullptr;
}

void ViewMirror::mirrorChildren(const ui::View& parent, QWidget* parentWidget) {
    double parentHeight = parent.frame().size.height;
    for (const auto& child : parent.subviews()) {
        // The field editor is drawn by the field it edits.
        if (dynamic_cast<const ui::FieldEditor*>(child.get()))
            continue;
        MirroredView* mirror = mirrorFor(child, parentWidget);
        QWidget* widget = mirror->widget();
        QRect geometry = toQtRect(child->frame(), parentHeight);
        if (widget->geometry() != geometry)
            widget->setGeometry(geometry);
        widget->raise();
        mirror->pull();
        visitForTab(*widget);
        if (QWidget* host = mirror->childHost()) {
            mirrorChildren(*child, host);
            mirror->childrenPlaced();
        }
        widget->setVisible(!child->isHidden());
    }
}

MirroredView* ViewMirror::mirrorFor(const std::shared_ptr<ui::View>& view, QWidget* parentWidget) {
    auto it = _entries.find(view.get());
    if (it != _entries.end()) {
        Entry& entry = it->second;
        if (entry.widget && entry.mirror->mirrors(view) &&
            entry.widget->parentWidget() == parentWidget && entry.kind == mirrorKind(*view)) {
            entry.pass = _pass;
            return entry.mirror;
        }
        // The widget may be the one whose signal is running: it goes once Qt is done with it.
        if (QWidget* old = entry.widget.data()) {
            old->hide();
            old->deleteLater();
        }
        _entries.erase(it);
    }
    MirroredView* mirror = makeMirror(view, parentWidget);
    markMirrored(*mirror->widget());
    _entries[view.get()] = Entry{mirror, mirror->widget(), _pass, mirrorKind(*view)};
    return mirror;
}

void ViewMirror::dropStaleWidgets() {
    for (auto it = _entries.begin(); it != _entries.end();) {
        if (it->second.pass == _pass) {
            ++it;
            continue;
        }
        if (QWidget* widget = it->second.widget.data()) {
            widget->hide();
            widget->deleteLater();
        }
        it = _entries.erase(it);
    }
}

} // namespace velmora::qt
