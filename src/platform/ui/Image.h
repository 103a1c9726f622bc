#pragma once

#include "platform/ui/Geometry.h"

#include <memory>
#include <string>

namespace velmora {
class Bundle;
}

namespace velmora::ui {

// An image: its name, the file it came from and the size it is drawn at.
class Image {
public:
    Image(std::string name, Size size, std::string path = {});

    // A PNG resource of a bundle, at the size its file gives; null when there is none.
    static std::shared_ptr<Image> named(const Bundle& bundle, const std::string& name);
    // The system icon for a four-character type code ("caut", "stop", "note"), 32 by 32.
    static std::shared_ptr<Image> systemIcon(const std::string& typeCode);

    const std::string& name() const { return _name; }
    const std::string& path() const { return _path; }
    Size size() const { return _size; }
    void setSize(Size size) { _size = size; }
    // A copy drawn at another size.
    std::shared_ptr<Image> scaledCopy(Size size) const;

private:
    std::string _name;
    Size _size;
    std::string _path;
};

} // namespace velmora::ui
