#pragma once

#include <cstddef>

namespace velmora::ui {

struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

// A rectangle in a coordinate system whose y axis grows upwards: origin is the bottom-left
// corner and top() the upper edge.
struct Rect {
    Point origin;
    Size size;

    static Rect make(double x, double y, double width, double height) {
        return Rect{{x, y}, {width, height}};
    }
    double minX() const { return origin.x; }
    double maxX() const { return origin.x + size.width; }
    double minY() const { return origin.y; }
    double top() const { return origin.y + size.height; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    bool operator==(const Rect&) const = default;
};

// A text range in UTF-16 code units, as the toolkit counts characters.
struct Range {
    std::size_t location = 0, length = 0;
    std::size_t end() const { return location + length; }
    bool operator==(const Range&) const = default;
};

} // namespace velmora::ui
