#include "PreviewPane.h"

#include "platform/printing/HostText.h"
#include "platform/qt/MirroredView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora::app {

using qt::toQString;

SheetView::SheetView(QWidget* parent) : QWidget(parent) {
    setObjectName("sheetView");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(toQString(hostText("Sheet preview")));
}

void SheetView::setPicture(std::function<QImage(QSize)> draw) {
    _draw = std::move(draw);
    redraw();
}

void SheetView::redraw() {
    _picture = _draw && width() > 0 && height() > 0 ? _draw(size()) : QImage();
    setAccessibleDescription(_picture.isNull() ? QString() : toolTip());
    update();
}

void SheetView::resizeEvent(QResizeEvent*) {
    redraw();
}

void SheetView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!_picture.isNull())
        painter.drawImage(QPoint(0, 0), _picture);
}

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent) {
    setObjectName("preview");
    _view = new SheetView(this);
    _previous = new QToolButton(this);
    _previous->setObjectName("previousSheet");
    _previous->setArrowType(Qt::LeftArrow);
    _previous->setAccessibleName(toQString(hostText("Previous Sheet")));
    _previous->setToolTip(toQString(hostText("Previous Sheet")));
    _next = new QToolButton(this);
    _next->setObjectName("nextSheet");
    _next->setArrowType(Qt::RightArrow);
    _next->setAccessibleName(toQString(hostText("Next Sheet")));
    _next->setToolTip(toQString(hostText("Next Sheet")));
    _sheetLabel = new QLabel(this);
    _sheetLabel->setObjectName("sheetNumber");
    _sheetLabel->setAlignment(Qt::AlignCenter);
    _flip = new QPushButton(toQString(hostText("Show Back")), this);
    _flip->setObjectName("flipSheet");
    _flip->setCheckable(true);
    _problem = new QLabel(this);
    _problem->setObjectName("previewProblem");
    _problem->setWordWrap(true);
    _problem->hide();
    _trays = new QLabel(this);
    _trays->setObjectName("previewTrays");
    _trays->setAlignment(Qt::AlignCenter);
    _trays->setWordWrap(true);

    auto* controls = new QHBoxLayout;
    controls->addWidget(_previous);
    controls->addWidget(_sheetLabel, 1);
    controls->addWidget(_next);
    controls->addWidget(_flip);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(_view, 1);
    layout->addWidget(_trays);
    layout->addWidget(_problem);
    layout->addLayout(controls);

    connect(_previous, &QToolButton::clicked, this, [this] { showSheet(_sheet - 1, _back); });
    connect(_next, &QToolButton::clicked, this, [this] { showSheet(_sheet + 1, _back); });
    connect(_flip, &QPushButton::toggled, this, [this](bool back) { showSheet(_sheet, back); });
}

PreviewPane::~PreviewPane() = default;

void PreviewPane::setDocument(const std::string& path) {
    _preview = path.empty() ? nullptr : std::make_unique<SheetPreview>(path);
    std::string problem = !_preview ? hostText("No document to preview.") : _preview->problem();
    _problem->setText(QString::fromStdString(problem));
    _problem->setVisible(!problem.empty());
    showSheet(0, false);
}

void PreviewPane::setPlan(const SheetPlan& plan) {
    _plan = plan;
    showSheet(_sheet, _back);
}

int PreviewPane::sheetCount() const {
    return _plan && _preview ? _plan->sheetCount(_preview->pageCount()) : 0;
}

void PreviewPane::showSheet(int sheet, bool back) {
    int count = sheetCount();
    _sheet = std::clamp(sheet, 0, std::max(count - 1, 0));
    _back = back && _plan && _plan->twoSided;
    _previous->setEnabled(_sheet > 0);
    _next->setEnabled(_sheet + 1 < count);
    _flip->setEnabled(_plan && _plan->twoSided);
    {
        const QSignalBlocker quiet(_flip);
        _flip->setChecked(_back);
    }
    _flip->setText(toQString(hostText(_back ? "Show Front" : "Show Back")));
    _sheetLabel->setText(count && _plan ? SheetPreview::sideText(*_plan, _sheet, count, _back)
                                        : QString());
    _trays->setText(_plan ? SheetPreview::traysText(*_plan) : QString());
    _trays->setVisible(!_trays->text().isEmpty());
    _view->setToolTip(_sheetLabel->text() + QStringLiteral("\n") + _trays->text());
    if (!_plan || !_preview) {
        _view->setPicture(nullptr);
        return;
    }
    SheetPlan plan = *_plan;
    int shown = _sheet;
    bool backSide = _back;
    _view->setPicture([this, plan, shown, backSide](QSize size) {
        // The labels beside the picture say what its caption would.
        return _preview ? _preview->draw(plan, shown, backSide, size, false) : QImage();
    });
}

} // namespace velmora::app
