#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/OutlineView.h"

#include <QTreeWidget>

namespace velmora::qt {

// A table or outline: its columns, rows from the data source (an outline's rows nested by
// level, expanded as the outline has them) and its selection. Clicking a row is the toolkit's
// clickRow, which the delegate may refuse; opening or closing an item expands or collapses it.
class MirroredTableView : public QTreeWidget, public MirroredView {
public:
    MirroredTableView(std::shared_ptr<ui::TableView> table, QWidget* parent);
    QWidget* widget() override { return this; }
    QWidget* childHost() override { return nullptr; }
    void pull() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::weak_ptr<ui::TableView> _table;
    std::vector<std::string> _shownRows;
    bool _filling = false;

    std::vector<std::string> rowTexts(ui::TableView& table) const;
    void fill(ui::TableView& table);
    long rowOf(QTreeWidgetItem* item) const;
    void showLook(QTreeWidgetItem& item, const ui::RowLook& look) const;
    void showSelection(const ui::TableView& table);
};

} // namespace velmora::qt
