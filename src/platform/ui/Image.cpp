#include "platform/ui/Image.h"

#include "platform/foundation/Bundle.h"

namespace velmora::ui {

Image::Image(std::string name, Size size, std::string path)
    : _name(std::move(name)), _size(size), _path(std::move(path)) {}

std::shared_ptr<Image> Image::named(const Bundle& bundle, const std::string& name) {
    auto info = bundle.imageNamed(name);
    if (!info)
        return nullptr;
    return std::make_shared<Image>(name, Size{info->width, info->height}, info->path);
}

std::shared_ptr<Image> Image::systemIcon(const std::string& typeCode) {
    return std::make_shared<Image>("icon:" + typeCode, Size{32, 32});
}

std::shared_ptr<Image> Image::scaledCopy(Size size) const {
    return std::make_shared<Image>(_name, size, _path);
}

} // namespace velmora::ui
