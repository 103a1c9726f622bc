#include "platform/qt/QtFonts.h"

#include <QApplication>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>

namespace velmora::qt {

QFont toQFont(const ui::Font& font) {
    QFont qfont;
    qfont.setFamilies(QStringList{"Nimbus Sans", "IPAGothic", "DejaVu Sans"});
    // Slightly below the toolkit's size: Qt's styles pad buttons and fields more than the
    // toolkit's bezels do.
    qfont.setPixelSize(std::max(8, static_cast<int>(font.pointSize * 0.9 + 0.5)));
    qfont.setBold(font.isBold());
    return qfont;
}

void installApplicationFont() {
    QApplication::setFont(toQFont(ui::Font::systemFont()));
}

void setMinimumSectionSize(QHeaderView& header) {
    int margin = 2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    header.setMinimumSectionSize(header.fontMetrics().horizontalAdvance(QLatin1Char('W')) + margin);
}

} // namespace velmora::qt
