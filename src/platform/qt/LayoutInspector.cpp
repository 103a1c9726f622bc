#include "platform/qt/LayoutInspector.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWidget>

namespace velmora::qt {

bool isMirrored(const QWidget& widget);
namespace {

constexpr const char* kMirrored = "velmoraMirrored";

QString describe(const QWidget& widget) {
    QString name = widget.metaObject()->className();
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget))
        name += " \"" + button->text() + "\"";
    else if (auto* label = qobject_cast<const QLabel*>(&widget))
        name += " \"" + label->text() + "\"";
    else if (auto* box = qobject_cast<const QGroupBox*>(&widget))
        name += " \"" + box->title() + "\"";
    else if (auto* combo = qobject_cast<const QComboBox*>(&widget))
        name += " \"" + combo->currentText() + "\"";
    QRect frame = widget.geometry();
    return name + QString(" at %1,%2 %3x%4")
                      .arg(frame.x())
                      .arg(frame.y())
                      .arg(frame.width())
                      .arg(frame.height());
}

int textWidth(const QWidget& widget, const QString& text) {
    QString plain = text;
    plain.remove('&');
    return widget.fontMetrics().horizontalAdvance(plain);
}

// The width a widget needs to show its whole text; 0 for widgets without one to check.
int neededWidth(const QWidget& widget) {
    const QStyle* style = widget.style();
    if (auto* check = qobject_cast<const QCheckBox*>(&widget))
        return check->text().isEmpty() ? 0
                                       : style->pixelMetric(QStyle::PM_IndicatorWidth) +
                                             style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) +
                                             textWidth(widget, check->text());
    if (auto* radio = qobject_cast<const QRadioButton*>(&widget))
        return radio->text().isEmpty()
                   ? 0
                   : style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                         style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) +
                         textWidth(widget, radio->text());
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        if (button->text().isEmpty())
            return 0;
        int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        return textWidth(widget, button->text()) + icon + 8;
    }
    if (auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (label->wordWrap() || label->text().isEmpty() || label->pixmap().isNull() == false)
            return 0;
        return textWidth(widget, label->text()) + 2 * label->margin();
    }
    if (auto* box = qobject_cast<const QGroupBox*>(&widget))
        return box->title().isEmpty() ? 0 : textWidth(widget, box->title()) + 12;
    if (auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        if (combo->currentText().isEmpty())
            return 0;
        return textWidth(widget, combo->currentText()) +
               style->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    }
    return 0;
}

// The height of the text or picture a widget shows; 0 for widgets without one to check.
int contentHeight(const QWidget& widget) {
    int text = widget.fontMetrics().height();
    if (auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (!label->pixmap().isNull())
            return static_cast<int>(label->pixmap().deviceIndependentSize().height());
        return label->text().isEmpty() || label->wordWrap() ? 0 : text;
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        int icon = button->icon().isNull() ? 0 : button->iconSize().height();
        return std::min(widget.height(), std::max(button->text().isEmpty() ? 0 : text, icon));
    }
    return 0;
}

std::string toStd(const QString& text) {
    return text.toStdString();
}

// The widgets whose inside Qt lays out itself.
bool isComposite(const QWidget& widget) {
    return qobject_cast<const QComboBox*>(&widget) ||
           qobject_cast<const QAbstractScrollArea*>(&widget) ||
           qobject_cast<const QAbstractSpinBox*>(&widget) ||
           qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QTabBar*>(&widget) ||
           qobject_cast<const QAbstractSlider*>(&widget);
}

// Whether a person can see the row: it and every row above it shown, those above it open.
bool rowShown(const QTreeWidgetItem& item) {
    if (item.isHidden())
        return false;
    for (const QTreeWidgetItem* parent = item.parent(); parent; parent = parent->parent())
        if (parent->isHidden() || !parent->isExpanded())
            return false;
    return true;
}

// Rows of a tree or list are cut to their column with an ellipsis by design (the summary's long
// titles, a held job's long title): such a row is tidy only when its tool tip holds the whole
// text, where a person reads it.
void inspectRows(const QTreeWidget& tree, std::vector<std::string>& out) {
    // The room Qt leaves around an item's text.
    const int margin = 2 * (tree.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it; ++it) {
        const QTreeWidgetItem& item = **it;
        if (!rowShown(item))
            continue;
        int depth = 0;
        for (auto* parent = item.parent(); parent; parent = parent->parent())
            ++depth;
        for (int column = 0; column < tree.columnCount(); ++column) {
            if (tree.isColumnHidden(column) || item.text(column).isEmpty())
                continue;
            int room = item.isFirstColumnSpanned() ? tree.viewport()->width()
                                                   : tree.header()->sectionSize(column);
            if (column == 0)
                room -= tree.indentation() * (depth + (tree.rootIsDecorated() ? 1 : 0));
            if (!item.icon(column).isNull())
                room -= tree.iconSize().width() + margin;
            QFont font =
                item.data(column, Qt::FontRole).isValid() ? item.font(column) : tree.font();
            int needed = QFontMetrics(font).horizontalAdvance(item.text(column)) + margin;
            if (needed > room && !item.toolTip(column).contains(item.text(column)))
                out.push_back(toStd(tree.metaObject()->className()) + " \"" +
                              toStd(tree.objectName()) + "\" row \"" + toStd(item.text(column)) +
                              "\" is cut at " + std::to_string(room) +
                              " pixels, and its tool tip does not hold it");
            if (item.isFirstColumnSpanned())
                break;
        }
    }
}

void inspect(const QWidget& widget, const QWidget& root, std::vector<std::string>& out) {
    // A widget that reaches past its parent's right edge loses that part of its text.
    int room = widget.width();
    if (const QWidget* parent = widget.parentWidget(); parent && &widget != &root)
        room = std::min(room, parent->width() - widget.x());
    int needed = neededWidth(widget);
    if (needed > room)
        out.push_back(toStd(describe(widget)) + " needs " + std::to_string(needed) +
                      " pixels and has " + std::to_string(room));
    // A text or picture that reaches above or below its parent is cut there. Both are centred
    // in their widget's height, which may leave room above and below them.
    if (const QWidget* parent = widget.parentWidget(); parent && &widget != &root) {
        if (int content = contentHeight(widget); content > 0) {
            int top = widget.y() + (widget.height() - content) / 2;
            if (top < 0 || top + content > parent->height())
                out.push_back(toStd(describe(widget)) + " is cut at its " +
                              (top < 0 ? "top" : "bottom") + " by " + toStd(describe(*parent)));
        }
    }
    std::vector<const QWidget*> shown;
    if (auto* tree = qobject_cast<const QTreeWidget*>(&widget))
        inspectRows(*tree, out);
    if (isComposite(widget))
        return;
    for (auto* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisibleTo(&root) && !child->isWindow())
            shown.push_back(child);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QWidget& child = *shown[i];
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            if (isMirrored(child) && isMirrored(*shown[j]) &&
                child.geometry().intersects(shown[j]->geometry()))
                out.push_back(toStd(describe(child)) + " overlaps " + toStd(describe(*shown[j])));
        if (!isComposite(widget))
            inspect(child, root, out);
    }
}

} // namespace

void markMirrored(QWidget& widget) {
    widget.setProperty(kMirrored, true);
}

bool isMirrored(const QWidget& widget) {
    return widget.property(kMirrored).toBool();
}

std::vector<std::string> layoutProblems(const QWidget& root) {
    std::vector<std::string> problems;
    inspect(root, root, problems);
    return problems;
}

} // namespace velmora::qt
