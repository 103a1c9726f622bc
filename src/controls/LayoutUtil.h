#pragma once

#include "platform/ui/Geometry.h"

#include <memory>
#include <vector>

namespace velmora {

namespace ui {
class View;
}

// Geometry helpers with which pane code closes gaps when options are hidden or shown.
// Coordinates grow upwards; a frame's top is y + height.
class LayoutUtil {
public:
    using Views = std::vector<std::shared_ptr<ui::View>>;

    static Views visibleSubViews(const ui::View& view);
    static void moveViews(const Views& views, double dx, double dy);
    // The target's position measured from the container's top.
    static ui::Point viewReversePosi(const ui::View& container, const ui::View& target);
    // The lowest visible subview above the target's top, by the integer part of origin y.
    static std::shared_ptr<ui::View> visibleNearNorthView(const ui::View& container,
                                                          const ui::View& target);
    // Moves the views vertically so that the highest top among them ends at target y - interval.
    static void closeViewsToView(const Views& views, const ui::View& target, double interval);
    // Visible subviews overlapping the band from the bottom target's y to the top target's top.
    static Views visibleRangeViews(const ui::View& container, const ui::View& topTarget,
                                   const ui::View& bottomTarget);
    // Visible subviews overlapping the band from 0 to the target's top.
    static Views visibleSouthViews(const ui::View& container, const ui::View& target);
    // Orders views by the integer part of their origin y, ascending.
    static bool compareViewsBottom(const std::shared_ptr<ui::View>& a,
                                   const std::shared_ptr<ui::View>& b);

private:
    static Views visibleOverlapping(const ui::View& container, double bottom, double top);
};

} // namespace velmora
