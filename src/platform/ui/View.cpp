#include "platform/ui/View.h"

#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora::ui {

View::View(Rect frame) : _frame(frame) {}

View::~View() {
    for (auto& sub : _subviews)
        sub->_superview = nullptr;
}

void View::addSubview(std::shared_ptr<View> view) {
    if (!view || view.get() == this)
        return;
    std::shared_ptr<View> keep = view; // removal from the old superview must not free it
    view->removeFromSuperview();
    view->_superview = this;
    _subviews.push_back(std::move(keep));
}

void View::removeFromSuperview() {
    View* parent = _superview;
    if (!parent)
        return;
    if (Window* w = window())
        w->viewWillLeave(*this);
    parent->willRemoveSubview(this);
    auto& siblings = parent->_subviews;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [this](const std::shared_ptr<View>& v) { return v.get() == this; });
    _superview = nullptr;
    if (it != siblings.end())
        siblings.erase(it); // may destroy this view: nothing may follow
}

void View::removeAllSubviews() {
    while (!_subviews.empty())
        _subviews.back()->removeFromSuperview();
}

bool View::isDescendantOf(const View* ancestor) const {
    for (const View* v = this; v; v = v->_superview)
        if (v == ancestor)
            return true;
    return false;
}

bool View::isHiddenOrHasHiddenAncestor() const {
    for (const View* v = this; v; v = v->_superview)
        if (v->isHidden())
            return true;
    return false;
}

Window* View::window() const {
    const View* root = this;
    while (root->_superview)
        root = root->_superview;
    return root->_window;
}

} // namespace velmora::ui
