#pragma once

#include <QSize>

#include <algorithm>

namespace velmora::qt {

// The size that shows content of a fixed size in at most the room given: the content's own
// where it fits, else the room, with space for the scroll bar a direction that scrolls needs.
inline QSize scrolledSize(QSize content, QSize room, int scrollBarExtent) {
    QSize shown = content.boundedTo(room);
    if (shown.height() < content.height())
        shown.rwidth() = std::min(content.width() + scrollBarExtent, room.width());
    if (shown.width() < content.width())
        shown.rheight() = std::min(content.height() + scrollBarExtent, room.height());
    return shown;
}

} // namespace velmora::qt
