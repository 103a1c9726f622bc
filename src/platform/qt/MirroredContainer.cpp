#include "platform/qt/MirroredContainer.h"

namespace velmora::qt {

MirroredContainer::MirroredContainer(std::shared_ptr<ui::View> view, QWidget* parent)
    : QWidget(parent), MirroredView(view) {}

MirroredBox::MirroredBox(std::shared_ptr<ui::Box> box, QWidget* parent)
    : QGroupBox(parent), MirroredView(box), _box(box) {}

void MirroredBox::pull() {
    auto box = _box.lock();
    if (!box)
        return;
    pullCommon(*this);
    setTitle(toQString(box->title()));
}

} // namespace velmora::qt
