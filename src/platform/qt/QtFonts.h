#pragma once

#include "platform/ui/Font.h"

#include <QFont>

namespace velmora::qt {

// The Qt font for a toolkit font: a Helvetica-metric face (Nimbus Sans) with IPAGothic for
// Japanese, at the toolkit's size in pixels, so that texts measured by the toolkit's layouts
// fit on screen too.
QFont toQFont(const ui::Font& font);
// Makes the application use that face, sized like the toolkit's system font.
void installApplicationFont();

} // namespace velmora::qt
