#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Image.h"

namespace velmora::ui {

class ImageView : public Control {
public:
    explicit ImageView(Rect frame = {}, std::shared_ptr<Image> image = nullptr)
        : Control(frame), _image(std::move(image)) {}
    std::string className() const override { return "NSImageView"; }
    std::shared_ptr<Image> image() const { return _image; }
    void setImage(std::shared_ptr<Image> image) { _image = std::move(image); }

private:
    std::shared_ptr<Image> _image;
};

// A titled box that groups views.
class Box : public View {
public:
    explicit Box(Rect frame = {}, std::string title = {}) : View(frame), _title(std::move(title)) {}
    std::string className() const override { return "NSBox"; }
    const std::string& title() const { return _title; }
    void setTitle(std::string title) { _title = std::move(title); }

private:
    std::string _title;
};

} // namespace velmora::ui
