#pragma once

#include <QIcon>

class QStyle;

namespace velmora::ui {
class Image;
}

namespace velmora::qt {

// The pixels of a toolkit image: its file, or for a system icon ("icon:" and a four-character
// type code) the style's own icon of that kind. Null when there is neither.
QIcon iconOf(const ui::Image& image, QStyle* style);

} // namespace velmora::qt
