#pragma once

#include <string>

namespace velmora::ui {

// A named colour; the headless toolkit keeps the name so that tests can see what was set.
struct Color {
    std::string name;
    double red = 0, green = 0, blue = 0, alpha = 1;

    static Color controlText() { return {"controlTextColor", 0, 0, 0, 1}; }
    static Color disabledControlText() { return {"disabledControlTextColor", 0.5, 0.5, 0.5, 1}; }
    static Color secondarySelectedControl() {
        return {"secondarySelectedControlColor", 0.83, 0.83, 0.83, 1};
    }
    static Color lightGray() { return {"lightGrayColor", 2.0 / 3, 2.0 / 3, 2.0 / 3, 1}; }
    static Color black() { return {"blackColor", 0, 0, 0, 1}; }
    static Color red_() { return {"redColor", 1, 0, 0, 1}; }

    bool operator==(const Color& other) const { return name == other.name; }
};

} // namespace velmora::ui
