#include "controls/LayoutUtil.h"

#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {

LayoutUtil::Views LayoutUtil::visibleSubViews(const ui::View& view) {
    Views visible;
    for (const auto& sub : view.subviews())
        if (!sub->isHidden())
            visible.push_back(sub);
    return visible;
}

void LayoutUtil::moveViews(const Views& views, double dx, double dy) {
    for (const auto& view : views) {
        ui::Point origin = view->frame().origin;
        view->setFrameOrigin({origin.x + dx, origin.y + dy});
    }
}

ui::Point LayoutUtil::viewReversePosi(const ui::View& container, const ui::View& target) {
    return {target.frame().minX(), container.frame().height() - target.frame().top()};
}

bool LayoutUtil::compareViewsBottom(const std::shared_ptr<ui::View>& a,
                                    const std::shared_ptr<ui::View>& b) {
    return std::trunc(a->frame().minY()) < std::trunc(b->frame().minY());
}

std::shared_ptr<ui::View> LayoutUtil::visibleNearNorthView(const ui::View& container,
                                                           const ui::View& target) {
    Views sorted = container.subviews();
    std::sort(sorted.begin(), sorted.end(), compareViewsBottom);
    for (const auto& view : sorted)
        if (!view->isHidden() && view->frame().minY() > target.frame().top())
            return view;
    return nullptr;
}

void LayoutUtil::closeViewsToView(const Views& views, const ui::View& target, double interval) {
    if (views.empty())
        return;
    double highest = -std::numeric_limits<double>::infinity();
    for (const auto& view : views)
        highest = std::max(highest, view->frame().top());
    moveViews(views, 0, target.frame().minY() - interval - highest);
}

LayoutUtil::Views LayoutUtil::visibleOverlapping(const ui::View& container, double bottom,
                                                 double top) {
    Views found;
    for (const auto& view : visibleSubViews(container)) {
        double overlap =
            std::min(top, view->frame().top()) - std::max(bottom, view->frame().minY());
        if (overlap > 0)
            found.push_back(view);
    }
    return found;
}

LayoutUtil::Views LayoutUtil::visibleRangeViews(const ui::View& container,
                                                const ui::View& topTarget,
                                                const ui::View& bottomTarget) {
    return visibleOverlapping(container, bottomTarget.frame().minY(), topTarget.frame().top());
}

LayoutUtil::Views LayoutUtil::visibleSouthViews(const ui::View& container, const ui::View& target) {
    return visibleOverlapping(container, 0, target.frame().top());
}

} // namespace velmora
