#include "platform/qt/MirroredImageView.h"

#include "platform/qt/QtIcons.h"
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
    // An image larger than its view is drawn smaller to fit it whole, keeping its proportions;
    // a smaller one keeps its size.
    QSize room(static_cast<int>(imageView->frame().width()),
               static_cast<int>(imageView->frame().height()));
    std::string shown = image
                            ? image->name() + '\x03' + image->path() + '\x03' +
                                  std::to_string(room.width()) + 'x' + std::to_string(room.height())
                            : std::string();
    if (shown == _shownPath)
        return;
    _shownPath = shown;
    QPixmap pixmap;
    if (image) {
        QSize size(static_cast<int>(image->size().width), static_cast<int>(image->size().height));
        if (!room.isEmpty() && (size.width() > room.width() || size.height() > room.height()))
            size = size.scaled(room, Qt::KeepAspectRatio);
        // A file is drawn at that size, larger or smaller; a system icon as the style draws it
        // at that size.
        pixmap = image->path().empty() ? iconOf(*image, style()).pixmap(size)
                                       : QPixmap(toQString(image->path()));
        if (!image->path().empty() && !pixmap.isNull())
            pixmap = pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    setPixmap(pixmap);
}

} // namespace velmora::qt
