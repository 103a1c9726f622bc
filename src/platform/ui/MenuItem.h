#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace velmora::ui {

class Image;

// One item of a pop-up button's menu.
class MenuItem {
public:
    explicit MenuItem(std::string title = {}) : _title(std::move(title)) {}
    static std::shared_ptr<MenuItem> separatorItem();

    const std::string& title() const { return _title; }
    void setTitle(std::string title) { _title = std::move(title); }
    const Value& representedObject() const { return _representedObject; }
    void setRepresentedObject(Value object) { _representedObject = std::move(object); }
    std::shared_ptr<Image> image() const { return _image; }
    void setImage(std::shared_ptr<Image> image) { _image = std::move(image); }
    bool isSeparatorItem() const { return _separator; }
    bool isEnabled() const { return _enabled; }
    void setEnabled(bool enabled) { _enabled = enabled; }
    long tag() const { return _tag; }
    void setTag(long tag) { _tag = tag; }
    int state() const { return _state; }
    void setState(int state) { _state = state; }

private:
    std::string _title;
    Value _representedObject;
    std::shared_ptr<Image> _image;
    bool _separator = false;
    bool _enabled = true;
    long _tag = 0;
    int _state = 0;
};

} // namespace velmora::ui
