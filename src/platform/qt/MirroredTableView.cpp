#include "platform/qt/MirroredTableView.h"
#include "platform/qt/QtFonts.h"

#include "platform/qt/QtIcons.h"
#include "platform/ui/Image.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace velmora::qt {
namespace {

QString cellText(const Value& value) {
    if (value.isString())
        return toQString(value.stringValue());
    if (value.isNull())
        return {};
    return toQString(value.toJson());
}

// What tells two looks apart, so that a changed icon or dimming fills the table again.
std::string lookText(const ui::RowLook& look) {
    return (look.icon ? look.icon->name() + '\x03' + look.icon->path() : std::string()) +
           (look.dimmed ? "\x04" : "");
}

} // namespace

MirroredTableView::MirroredTableView(std::shared_ptr<ui::TableView> table, QWidget* parent)
    : QTreeWidget(parent), MirroredView(table), _table(table) {
    qt::setMinimumSectionSize(*header());
    setRootIsDecorated(dynamic_cast<ui::OutlineView*>(table.get()) != nullptr);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (auto shown = _table.lock())
            shown->clickRow(rowOf(item));
        actionDone();
    });
    auto expansion = [this](bool expand) {
        return [this, expand](QTreeWidgetItem* item) {
            auto outline = std::dynamic_pointer_cast<ui::OutlineView>(_table.lock());
            if (_filling || !outline)
                return;
            ui::OutlineItem shown = outline->itemAtRow(rowOf(item));
            expand ? outline->expandItem(shown) : outline->collapseItem(shown);
            actionDone();
        };
    };
    connect(this, &QTreeWidget::itemExpanded, this, expansion(true));
    connect(this, &QTreeWidget::itemCollapsed, this, expansion(false));
}

// Every row as text, with its level: the table is filled again when this changes.
std::vector<std::string> MirroredTableView::rowTexts(ui::TableView& table) const {
    auto* outline = dynamic_cast<ui::OutlineView*>(&table);
    std::vector<std::string> rows;
    for (long row = 0; row < table.numberOfRows(); ++row) {
        std::string text = outline ? std::to_string(outline->levelForRow(row)) : std::string();
        for (const auto& column : table.tableColumns()) {
            text += '\x01';
            text += fromQString(cellText(table.objectValueAt(column.get(), row)));
        }
        text += lookText(table.lookOfRow(row));
        rows.push_back(std::move(text));
    }
    for (const auto& column : table.tableColumns()) {
        std::string header = column->headerTitle();
        header += '\x02';
        header += std::to_string(column->width());
        rows.push_back(std::move(header));
    }
    return rows;
}

void MirroredTableView::fill(ui::TableView& table) {
    _filling = true;
    clear();
    const auto& columns = table.tableColumns();
    setColumnCount(static_cast<int>(columns.size()));
    QStringList headers;
    bool titled = false;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        headers << toQString(columns[c]->headerTitle());
        titled = titled || !columns[c]->headerTitle().empty();
        setColumnWidth(static_cast<int>(c), static_cast<int>(columns[c]->width()));
    }
    setHeaderLabels(headers);
    setHeaderHidden(!titled);
    auto* outline = dynamic_cast<ui::OutlineView*>(&table);
    std::vector<QTreeWidgetItem*> parents;
    for (long row = 0; row < table.numberOfRows(); ++row) {
        long level = outline ? outline->levelForRow(row) : 0;
        level = std::clamp(level, 0L, static_cast<long>(parents.size()));
        parents.resize(static_cast<std::size_t>(level));
        auto* item =
            parents.empty() ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parents.back());
        for (std::size_t c = 0; c < columns.size(); ++c)
            item->setText(static_cast<int>(c),
                          cellText(table.objectValueAt(columns[c].get(), row)));
        item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(row));
        showLook(*item, table.lookOfRow(row));
        if (outline && outline->isExpandable(outline->itemAtRow(row)))
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        parents.push_back(item);
    }
    if (outline)
        for (long row = 0; row < table.numberOfRows(); ++row)
            if (outline->isItemExpanded(outline->itemAtRow(row)))
                if (auto* item = itemFromIndex(model()
                                                   ->match(model()->index(0, 0), Qt::UserRole,
                                                           QVariant::fromValue<qlonglong>(row), 1,
                                                           Qt::MatchRecursive)
                                                   .value(0)))
                    item->setExpanded(true);
    _filling = false;
}

void MirroredTableView::showLook(QTreeWidgetItem& item, const ui::RowLook& look) const {
    if (look.icon)
        item.setIcon(0, iconOf(*look.icon, style()));
    if (look.dimmed)
        for (int c = 0; c < columnCount(); ++c)
            item.setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
}

long MirroredTableView::rowOf(QTreeWidgetItem* item) const {
    return item ? item->data(0, Qt::UserRole).toLongLong() : -1;
}

void MirroredTableView::showSelection(const ui::TableView& table) {
    QSignalBlocker quiet(this);
    clearSelection();
    long selected = table.selectedRow();
    QTreeWidgetItemIterator it(this);
    for (; *it; ++it)
        if (rowOf(*it) == selected) {
            setCurrentItem(*it);
            (*it)->setSelected(true);
        }
}

// Arrow keys move the current row: the toolkit is asked as for a click.
void MirroredTableView::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() != before && currentItem())
        if (auto shown = _table.lock())
            shown->clickRow(rowOf(currentItem()));
    actionDone();
}

void MirroredTableView::pull() {
    auto table = _table.lock();
    if (!table)
        return;
    pullCommon(*this);
    auto rows = rowTexts(*table);
    if (rows != _shownRows) {
        _shownRows = std::move(rows);
        fill(*table);
    }
    showSelection(*table);
}

} // namespace velmora::qt
