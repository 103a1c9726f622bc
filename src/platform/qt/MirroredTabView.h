#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/TabView.h"

#include <QWidget>

class QTabBar;

namespace velmora::qt {

// A tab view: the tabs (for the top-tabs type) across its top and the selected tab's view,
// which is its only subview. Clicking a tab selects its item.
class MirroredTabView : public QWidget, public MirroredView {
public:
    MirroredTabView(std::shared_ptr<ui::TabView> tabs, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override;
    // The bar stays over the pages, which the toolkit may frame from the tab view's top: a click
    // on a tab reaches the tab.
    void childrenPlaced() override;
    QTabBar* tabBar() const { return _bar; }

private:
    std::weak_ptr<ui::TabView> _tabs;
    QTabBar* _bar;
    std::vector<std::string> _labels;
};

} // namespace velmora::qt
