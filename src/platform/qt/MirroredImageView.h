#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/ImageView.h"

#include <QLabel>

namespace velmora::qt {

// An image view: the image's file drawn at the image's size, centred in the frame.
class MirroredImageView : public QLabel, public MirroredView {
public:
    MirroredImageView(std::shared_ptr<ui::ImageView> imageView, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override;

private:
    std::weak_ptr<ui::ImageView> _imageView;
    std::string _shownPath;
};

} // namespace velmora::qt
