#pragma once

#include "SheetPreview.h"

#include "platform/printing/SheetPlan.h"

#include <QImage>
#include <QWidget>

#include <functional>

#include <memory>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QToolButton;

namespace velmora::app {

// The sheet view of the preview: draws the current side of the current sheet at its own size.
class SheetView : public QWidget {
public:
    explicit SheetView(QWidget* parent);
    void setPicture(std::function<QImage(QSize)> draw);
    QSize sizeHint() const override { return {320, 360}; }
    // Small enough that the dialog still fits a small screen at a large scale.
    QSize minimumSizeHint() const override { return {120, 60}; }
    const QImage& picture() const { return _picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::function<QImage(QSize)> _draw;
    QImage _picture;
    void redraw();
};

// The preview beside the panel: the job's sheets as the press will produce them, a flip between
// front and back, and the sheet shown. It shows the plan it is given; the dialog gives it a new
// plan whenever the settings change.
class PreviewPane : public QWidget {
public:
    explicit PreviewPane(QWidget* parent);
    ~PreviewPane() override;

    // The document previewed; empty for none (the pane says so).
    void setDocument(const std::string& path);
    void setPlan(const SheetPlan& plan);

    int sheet() const { return _sheet; }
    bool showsBack() const { return _back; }
    int sheetCount() const;
    SheetPreview* preview() const { return _preview.get(); }
    SheetView* view() const { return _view; }
    QToolButton* previousButton() const { return _previous; }
    QToolButton* nextButton() const { return _next; }
    QPushButton* flipButton() const { return _flip; }
    QLabel* sheetLabel() const { return _sheetLabel; }
    QLabel* problemLabel() const { return _problem; }
    QLabel* traysLabel() const { return _trays; }

private:
    std::unique_ptr<SheetPreview> _preview;
    std::optional<SheetPlan> _plan;
    int _sheet = 0;
    bool _back = false;
    SheetView* _view;
    QToolButton* _previous;
    QToolButton* _next;
    QPushButton* _flip;
    QLabel* _sheetLabel;
    QLabel* _problem;
    QLabel* _trays;

    void showSheet(int sheet, bool back);
};

} // namespace velmora::app
