#pragma once

#include "platform/ui/Geometry.h"

#include <string>
#include <string_view>

namespace velmora::ui {

// A font with deterministic metrics, so that layouts measured from text come out the same on
// every machine: a character is 0.55 of the size wide (0.6 in bold faces), a wide East Asian
// character the full size; a line is 1.2 of the size high.
struct Font {
    std::string name = "Helvetica Neue";
    double pointSize = 13;

    static Font systemFont(double size = 13) { return {"Helvetica Neue", size}; }
    static Font boldSystemFont(double size = 13) { return {"Helvetica Neue Bold", size}; }

    bool isBold() const;
    double widthOfString(std::string_view text) const;
    Size sizeOfString(std::string_view text) const;
    double lineHeight() const { return pointSize * 1.2; }
    bool operator==(const Font&) const = default;
};

} // namespace velmora::ui
