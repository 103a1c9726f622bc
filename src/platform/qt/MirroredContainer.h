#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/ImageView.h"

#include <QGroupBox>
#include <QWidget>

namespace velmora::qt {

// A plain view: it only holds its subviews.
class MirroredContainer : public QWidget, public MirroredView {
public:
    MirroredContainer(std::shared_ptr<ui::View> view, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override { pullCommon(*this); }
};

// A titled box; its subviews keep the box's own coordinates.
class MirroredBox : public QGroupBox, public MirroredView {
public:
    MirroredBox(std::shared_ptr<ui::Box> box, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override;

private:
    std::weak_ptr<ui::Box> _box;
};

} // namespace velmora::qt
