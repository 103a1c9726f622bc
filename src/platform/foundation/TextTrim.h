#pragma once

#include <string_view>

namespace velmora {

// The text without the ASCII white space (space, tab, line breaks) at either end.
inline std::string_view trimWhiteSpace(std::string_view text) {
    constexpr std::string_view kWhiteSpace = " \t\r\n\f\v";
    std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

} // namespace velmora
