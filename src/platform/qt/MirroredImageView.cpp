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
    std::string shown = image ? image->name() + '\x03' + image->path() : std::string();
    if (shown == _shownPath)
        return;
    _shownPath = shown;
    QPixmap pixmap;
    if (image) {
        QSize size(static_cast<int>(image->size().width), static_cast<int>(image->size().height));
        // A file is drawn at the image's size, larger or smaller; a system icon as the style
        // draws it at that size.
        pixmap = image->path().empty() ? iconOf(*image, style()).pixmap(size)
                                       : QPixmap(toQString(image->path()));
        if (!image->path().empty() && !pixmap.isNull())
            pixmap = pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    setPixmap(pixmap);
}

} // namespace velmora::qt
