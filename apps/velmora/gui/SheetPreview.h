#pragma once

#include "PdfDocument.h"
#include "platform/printing/SheetPlan.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <list>
#include <memory>
#include <string>
#include <utility>

namespace velmora::app {

// One document as the press will put it on its sheets. Pages are rendered when a sheet first
// shows them and kept (the most recent few dozen), so that a change of layout, finishing or
// paper only lays the sheet out again; opening a long document renders nothing.
class SheetPreview {
public:
    // A document that cannot be read (not a PDF, damaged, encrypted) leaves problem() set: the
    // sheets are still drawn, with their page areas empty.
    explicit SheetPreview(const std::string& documentPath);
    ~SheetPreview();
    SheetPreview(const SheetPreview&) = delete;
    SheetPreview& operator=(const SheetPreview&) = delete;

    // Why the document's pages cannot be shown, as a person reads it; empty when they can.
    const std::string& problem() const { return _problem; }
    // The document's pages; 1 for a document that cannot be read (one empty page stands in).
    int pageCount() const;
    // How many pages have been rendered so far.
    int pagesRendered() const { return _rendered; }

    // One side of one sheet (sheet from 0) in an image of the given size: the sheet in its
    // paper's colour with the pages in their places, the staples, holes, folds and creases, and
    // a caption naming the side, the tray it is fed from and the tray it goes to.
    // Without the caption (a host that says the same beside the picture) the sheet takes the
    // whole image.
    QImage draw(const SheetPlan& plan, int sheet, bool back, QSize size, bool caption = true);
    // Where draw puts the sheet within an image of that size.
    static QRect sheetRect(const SheetPlan& plan, QSize size, bool caption = true);
    // The caption's lines: the sheet and its side, and the trays (empty when none is named).
    static QString sideText(const SheetPlan& plan, int sheet, int sheets, bool back);
    static QString traysText(const SheetPlan& plan);

private:
    std::unique_ptr<PdfDocument> _document;
    std::string _problem;
    // Rendered pages, most recently used first, with the resolution they were rendered at.
    struct Rendered {
        int page;
        double resolution;
        QImage image;
    };
    std::list<Rendered> _pages;
    int _rendered = 0;

    // The page (from 1) rendered for a cell of cellSize pixels; null where it cannot be.
    const QImage* page(int number, QSizeF cellSize);
};

} // namespace velmora::app
