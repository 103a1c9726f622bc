#include "platform/qt/MirroredImageView.h"

#include "platform/ui/Image.h"

#include <QPixmap>

namespace velmora::qt {

MirroredImageView::MirroredImageView(std::shared_ptr<ui::ImageView> imageView, QWidget* parent)
    : QLabel(parent), MirroredView(imageView), _imageView(imageView) {
    setAlignment(Qt::AlignCenter);
}

void MirroredImageView::pull() {
    auto imageView = _imageView.lock();
    if (!imageView)
        return;
    pullCommon(*this);
    auto image = imageView->image();
    std::string path = image ? image->path() : std::string();
    if (path == _shownPath)
        return;
    _shownPath = path;
    QPixmap pixmap(toQString(path));
    if (!pixmap.isNull() && image)
        pixmap = pixmap.scaled(static_cast<int>(image->size().width),
                               static_cast<int>(image->size().height), Qt::KeepAspectRatio,
                               Qt::SmoothTransformation);
    setPixmap(pixmap);
}

} // namespace velmora::qt
