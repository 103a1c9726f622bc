#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/Font.h"

#include <memory>
#include <string>

namespace velmora::ui {

class Image;

enum ControlState : int { kOffState = 0, kOnState = 1, kMixedState = -1 };

// The state a control draws from; radio matrices and table columns hold several.
class Cell {
public:
    virtual ~Cell() = default;
    virtual std::string className() const { return "NSCell"; }

    const std::string& title() const { return _title; }
    void setTitle(std::string title) { _title = std::move(title); }
    const Value& representedObject() const { return _representedObject; }
    void setRepresentedObject(Value object) { _representedObject = std::move(object); }
    int state() const { return _state; }
    void setState(int state) { _state = state; }
    bool isEnabled() const { return _enabled; }
    void setEnabled(bool enabled) { _enabled = enabled; }
    long tag() const { return _tag; }
    void setTag(long tag) { _tag = tag; }
    const Font& font() const { return _font; }
    void setFont(Font font) { _font = std::move(font); }
    bool wraps() const { return _wraps; }
    void setWraps(bool wraps) { _wraps = wraps; }
    // Browser cells: a leaf has no arrow to a next column.
    bool isLeaf() const { return _leaf; }
    void setLeaf(bool leaf) { _leaf = leaf; }
    std::shared_ptr<Image> image() const { return _image; }
    void setImage(std::shared_ptr<Image> image) { _image = std::move(image); }

private:
    std::string _title;
    Value _representedObject;
    int _state = kOffState;
    bool _enabled = true;
    long _tag = 0;
    Font _font;
    bool _wraps = false;
    bool _leaf = false;
    std::shared_ptr<Image> _image;
};

// The cell of a browser column: a leaf that wraps its text.
class BrowserCell : public Cell {
public:
    std::string className() const override { return "NSBrowserCell"; }
};

} // namespace velmora::ui
