#include "platform/qt/MirroredTabView.h"

#include <QTabBar>

namespace velmora::qt {

MirroredTabView::MirroredTabView(std::shared_ptr<ui::TabView> tabs, QWidget* parent)
    : QWidget(parent), MirroredView(tabs), _tabs(tabs), _bar(new QTabBar(this)) {
    _bar->setDrawBase(true);
    _bar->setExpanding(false);
    // A click or an arrow key changes the bar; the toolkit decides, and the next refresh
    // shows its choice (the bar goes back when the change is refused).
    connect(_bar, &QTabBar::currentChanged, this, [this](int index) {
        if (auto shown = _tabs.lock(); shown && index >= 0)
            shown->selectTabViewItemAtIndex(index);
        QMetaObject::invokeMethod(
            this, [] { actionDone(); }, Qt::QueuedConnection);
    });
}

void MirroredTabView::pull() {
    auto tabs = _tabs.lock();
    if (!tabs)
        return;
    pullCommon(*this);
    bool shown = tabs->tabViewType() == ui::TabViewType::TopTabsBezelBorder;
    _bar->setVisible(shown);
    std::vector<std::string> labels;
    for (const auto& item : tabs->tabViewItems())
        labels.push_back(item->label());
    QSignalBlocker quiet(_bar);
    if (labels != _labels) {
        while (_bar->count())
            _bar->removeTab(0);
        for (const auto& label : labels)
            _bar->addTab(toQString(label));
        _labels = std::move(labels);
    }
    auto selected = tabs->selectedTabViewItem();
    _bar->setCurrentIndex(selected ? tabs->indexOfTabViewItem(selected.get()) : -1);
    _bar->setGeometry(0, 0, width(), _bar->sizeHint().height());
    _bar->raise();
}

void MirroredTabView::childrenPlaced() {
    if (_bar->isVisible())
        _bar->raise();
}

} // namespace velmora::qt
