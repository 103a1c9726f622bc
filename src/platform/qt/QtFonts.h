#pragma once

#include "platform/ui/Font.h"

#include <QFont>

class QHeaderView;

namespace velmora::qt {

// The Qt font for a toolkit font: a Helvetica-metric face (Nimbus Sans) with IPAGothic for
// Japanese, at the toolkit's size in pixels, so that texts measured by the toolkit's layouts
// fit on screen too.
QFont toQFont(const ui::Font& font);
// Makes the application use that face, sized like the toolkit's system font.
void installApplicationFont();
// Gives a header the least width of its sections. Qt's own measures the widest glyph of every
// script the font covers, loading a font for each: the largest part of a list's first showing.
void setMinimumSectionSize(QHeaderView& header);

} // namespace velmora::qt
