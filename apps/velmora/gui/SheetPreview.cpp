#include "SheetPreview.h"

#include "PdfModule.h"

#include "platform/printing/HostText.h"
#include "platform/qt/MirroredView.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <map>

namespace velmora::app {

using qt::toQString;

namespace {

// Rendered pages kept at once: a few sheets' worth, whatever the document's length, and at most
// this many bytes of them (a print-size proof renders large pages).
constexpr std::size_t kKeptPages = 48;
constexpr qsizetype kKeptBytes = 256 * 1024 * 1024;

const QColor kBackdrop(0xd4, 0xd4, 0xd4);
const QColor kSheetEdge(0x60, 0x60, 0x60);
const QColor kPageEdge(0xa0, 0xa0, 0xa0);
const QColor kStaple(0x1a, 0x1a, 0x1a);
const QColor kHole(0x30, 0x30, 0x30);
const QColor kFold(0x15, 0x65, 0xc0);
const QColor kCrease(0x8e, 0x24, 0xaa);

QColor paperColour(const std::string& name) {
    static const std::map<std::string, QColor> kColours = {
        {"Ivory", QColor(0xff, 0xfb, 0xe8)},  {"Gray", QColor(0xdc, 0xdc, 0xdc)},
        {"Yellow", QColor(0xff, 0xf2, 0x8c)}, {"Pink", QColor(0xf8, 0xc8, 0xd8)},
        {"Blue", QColor(0xc2, 0xdc, 0xf5)},   {"Green", QColor(0xcc, 0xea, 0xc8)},
        {"Buff", QColor(0xf0, 0xdc, 0xa0)},   {"Goldenrod", QColor(0xf2, 0xc8, 0x5a)},
        {"Orange", QColor(0xff, 0xcc, 0x88)}, {"Red", QColor(0xf2, 0xa0, 0xa0)},
    };
    auto found = kColours.find(name);
    return found == kColours.end() ? QColor(Qt::white) : found->second;
}

// Why the pages cannot be shown, as a person reads it.
std::string unreadable(PdfDocument::Problem problem) {
    switch (problem) {
    case PdfDocument::Problem::None: return {};
    case PdfDocument::Problem::Encrypted:
        return hostText("The preview cannot show this document: it is encrypted.");
    case PdfDocument::Problem::NoPages:
        return hostText("The preview cannot show this document: it has no pages.");
    case PdfDocument::Problem::NoModule:
        return toQString(hostText("The preview cannot show documents: %1"))
            .arg(toQString(PdfModule::unavailable()))
            .toStdString();
    case PdfDocument::Problem::Unreadable: break;
    }
    return hostText("The preview cannot read this document: it is not a PDF, or it is damaged.");
}

int captionHeight(QSize size) {
    return std::clamp(size.height() / 9, 30, 64);
}

QPointF at(const QRectF& sheet, double x, double y) {
    return {sheet.left() + x * sheet.width(), sheet.top() + y * sheet.height()};
}

void drawStaple(QPainter& painter, const QRectF& sheet, const SheetPlan::Mark& mark) {
    double length = 0.07 * std::min(sheet.width(), sheet.height());
    QPen pen(kStaple, std::max(2.5, length / 5), Qt::SolidLine, Qt::SquareCap);
    painter.setPen(pen);
    QPointF centre = at(sheet, mark.x, mark.y);
    QPointF half;
    if (mark.slanted) {
        // Across the corner: at right angles to the line from the corner to the middle.
        double sx = mark.x < 0.5 ? 1 : -1, sy = mark.y < 0.5 ? 1 : -1;
        half = QPointF(sx, -sy) * (length / 2 / std::sqrt(2.0));
    } else {
        half = mark.vertical ? QPointF(0, length / 2) : QPointF(length / 2, 0);
    }
    painter.drawLine(centre - half, centre + half);
}

void drawHole(QPainter& painter, const QRectF& sheet, const SheetPlan::Mark& mark, int count) {
    double diameter = std::min(sheet.width(), sheet.height()) * (count > 4 ? 0.02 : 0.04);
    diameter = std::max(diameter, 4.0);
    painter.setPen(QPen(kHole, 1));
    painter.setBrush(kHole);
    painter.drawEllipse(at(sheet, mark.x, mark.y), diameter / 2, diameter / 2);
    painter.setBrush(Qt::NoBrush);
}

void drawLine(QPainter& painter, const QRectF& sheet, const SheetPlan::Line& line,
              const QColor& colour, Qt::PenStyle style) {
    painter.setPen(QPen(colour, 2, style));
    if (line.vertical)
        painter.drawLine(at(sheet, line.from, 0), at(sheet, line.from, 1));
    else
        painter.drawLine(at(sheet, 0, line.from), at(sheet, 1, line.from));
}

} // namespace

SheetPreview::SheetPreview(const std::string& documentPath) {
    PdfDocument::Problem problem = PdfDocument::Problem::None;
    _document = PdfModule::open(documentPath, problem);
    _problem = unreadable(problem);
}

SheetPreview::~SheetPreview() = default;

int SheetPreview::pageCount() const {
    return _document ? _document->pageCount() : 1;
}

const QImage* SheetPreview::page(int number, QSizeF cellSize) {
    if (!_document || number < 1 || number > _document->pageCount())
        return nullptr;
    auto fitting = [&](QSizeF pagePoints) {
        double scale = std::min(cellSize.width() / pagePoints.width(),
                                cellSize.height() / pagePoints.height());
        // In steps, so that a window resized by a few pixels reuses what was rendered.
        return std::ceil(scale * 72 / 8) * 8;
    };
    for (auto kept = _pages.begin(); kept != _pages.end(); ++kept) {
        if (kept->page != number)
            continue;
        QSizeF pagePoints = QSizeF(kept->image.size()) * (72 / kept->resolution);
        double wanted = std::clamp(fitting(pagePoints), 8.0, 600.0);
        if (kept->resolution >= wanted && kept->resolution <= wanted * 2) {
            _pages.splice(_pages.begin(), _pages, kept);
            return &_pages.front().image;
        }
        _pages.erase(kept);
        break;
    }
    QSizeF points(_document->pageWidth(number - 1), _document->pageHeight(number - 1));
    if (points.width() <= 0 || points.height() <= 0)
        return nullptr;
    double resolution = std::clamp(fitting(points), 8.0, 600.0);
    auto rendered = _document->render(number - 1, resolution);
    if (rendered.pixels.empty())
        return nullptr;
    QImage image = QImage(reinterpret_cast<const uchar*>(rendered.pixels.data()), rendered.width,
                          rendered.height, rendered.width * 4, QImage::Format_ARGB32)
                       .copy();
    ++_rendered;
    _pages.push_front({number, resolution, std::move(image)});
    qsizetype kept = 0;
    for (auto page = _pages.begin(); page != _pages.end();) {
        kept += page->image.sizeInBytes();
        // The page just rendered stays, whatever its size.
        bool over = page != _pages.begin() &&
                    (kept > kKeptBytes ||
                     static_cast<std::size_t>(std::distance(_pages.begin(), page)) >= kKeptPages);
        page = over ? _pages.erase(page) : std::next(page);
    }
    return &_pages.front().image;
}

QRect SheetPreview::sheetRect(const SheetPlan& plan, QSize size, bool caption) {
    constexpr int kMargin = 8;
    QRectF area(kMargin, kMargin, size.width() - 2 * kMargin,
                size.height() - (caption ? captionHeight(size) : 0) - 2 * kMargin);
    if (area.width() <= 0 || area.height() <= 0 || plan.sheetWidth <= 0 || plan.sheetHeight <= 0)
        return {};
    double scale = std::min(area.width() / plan.sheetWidth, area.height() / plan.sheetHeight);
    QSizeF sheet(plan.sheetWidth * scale, plan.sheetHeight * scale);
    QPointF corner(area.left() + (area.width() - sheet.width()) / 2,
                   area.top() + (area.height() - sheet.height()) / 2);
    return QRectF(corner, sheet).toAlignedRect();
}

QString SheetPreview::sideText(const SheetPlan& plan, int sheet, int sheets, bool back) {
    QString where = toQString(hostText("Sheet %1 of %2")).arg(sheet + 1).arg(sheets);
    if (plan.twoSided)
        where += QStringLiteral(" · ") + toQString(hostText(back ? "Back" : "Front"));
    return where;
}

QString SheetPreview::traysText(const SheetPlan& plan) {
    QStringList trays;
    if (!plan.trayTitle.empty())
        trays << toQString(hostText("Paper from: %1")).arg(QString::fromStdString(plan.trayTitle));
    if (!plan.outputTrayTitle.empty())
        trays << toQString(hostText("Output to: %1"))
                     .arg(QString::fromStdString(plan.outputTrayTitle));
    return trays.join(QStringLiteral(" · "));
}

QImage SheetPreview::draw(const SheetPlan& plan, int sheet, bool back, QSize size, bool caption) {
    QImage image(size.expandedTo(QSize(16, 16)), QImage::Format_RGB32);
    image.fill(kBackdrop);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF paper = sheetRect(plan, image.size(), caption);
    if (!paper.isEmpty()) {
        painter.fillRect(paper, paperColour(plan.paperColor));
        // The pages in their cells.
        SheetPlan::Side side = plan.side(sheet, back, pageCount());
        double cellWidth = paper.width() / plan.columns, cellHeight = paper.height() / plan.rows;
        double inset = 0.04 * std::min(cellWidth, cellHeight);
        QFont small = painter.font();
        small.setPixelSize(
            std::clamp(static_cast<int>(std::min(cellWidth, cellHeight) / 12), 8, 14));
        painter.setFont(small);
        for (std::size_t cell = 0; cell < side.pages.size(); ++cell) {
            int number = side.pages[cell];
            if (number == 0)
                continue;
            QRectF box(paper.left() + static_cast<double>(cell % plan.columns) * cellWidth + inset,
                       paper.top() + static_cast<double>(cell / plan.columns) * cellHeight + inset,
                       cellWidth - 2 * inset, cellHeight - 2 * inset);
            const QImage* rendered = page(number, box.size());
            QSizeF pageSize = rendered ? QSizeF(rendered->size()) : QSizeF(210, 297);
            double scale =
                std::min(box.width() / pageSize.width(), box.height() / pageSize.height());
            QSizeF shown = pageSize * scale;
            QRectF target(box.center().x() - shown.width() / 2,
                          box.center().y() - shown.height() / 2, shown.width(), shown.height());
            painter.fillRect(target, Qt::white);
            if (rendered)
                painter.drawImage(target, *rendered);
            painter.setPen(QPen(kPageEdge, 1));
            painter.drawRect(target);
            // The page's number, small, below it: how a person checks the order.
            painter.setPen(kSheetEdge);
            painter.drawText(QRectF(target.left(), target.bottom() - small.pixelSize() - 4,
                                    target.width(), small.pixelSize() + 4),
                             Qt::AlignHCenter | Qt::AlignVCenter, QString::number(number));
        }
        if (!_problem.empty()) {
            painter.setPen(Qt::black);
            painter.drawText(paper.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                             QString::fromStdString(_problem));
        }
        // The finishing, where it shows on this side.
        auto seen = [&](auto mark) { return back ? plan.seenFromBack(mark) : mark; };
        for (const auto& fold : plan.folds)
            drawLine(painter, paper, seen(fold), kFold, Qt::DashLine);
        for (const auto& crease : plan.creases) {
            auto line = seen(crease);
            drawLine(painter, paper, line, kCrease, line.valley ? Qt::DotLine : Qt::DashDotLine);
        }
        for (const auto& hole : plan.holes)
            drawHole(painter, paper, seen(hole), plan.punchHoles);
        for (const auto& staple : plan.staples)
            drawStaple(painter, paper, seen(staple));
        painter.setPen(QPen(kSheetEdge, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(paper);
    }
    if (!caption)
        return image;
    QFont font = painter.font();
    font.setPixelSize(std::clamp(captionHeight(image.size()) / 3, 9, 16));
    painter.setFont(font);
    painter.setPen(Qt::black);
    QRect area(8, image.height() - captionHeight(image.size()), image.width() - 16,
               captionHeight(image.size()) - 4);
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap,
                     sideText(plan, sheet, plan.sheetCount(pageCount()), back) + "\n" +
                         traysText(plan));
    return image;
}

} // namespace velmora::app
