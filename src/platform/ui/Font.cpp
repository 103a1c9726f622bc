#include "platform/ui/Font.h"

#include <algorithm>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace velmora::ui {
namespace {

bool isWide(UChar32 c) {
    auto width = static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
    return width == U_EA_WIDE || width == U_EA_FULLWIDTH;
}

} // namespace

bool Font::isBold() const {
    return name.find("Bold") != std::string::npos;
}

double Font::widthOfString(std::string_view text) const {
    auto unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    double narrow = pointSize * (isBold() ? 0.6 : 0.55);
    double width = 0;
    for (int32_t i = 0; i < unicode.length(); i = unicode.moveIndex32(i, 1))
        width += isWide(unicode.char32At(i)) ? pointSize : narrow;
    return width;
}

Size Font::sizeOfString(std::string_view text) const {
    double widest = 0;
    int lines = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find_first_of("\r\n", start);
        widest = std::max(widest, widthOfString(text.substr(start, end - start)));
        ++lines;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return {widest, lines * lineHeight()};
}

} // namespace velmora::ui
