#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace velmora::NumberText {

std::string shortest(double value) {
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, ptr) : std::string("0");
}

namespace {

// Skips white space and reads an optional sign; returns true for a minus sign.
bool skipToDigits(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    text.remove_prefix(i);
    return negative;
}

} // namespace

std::int64_t leadingInteger(std::string_view text) {
    bool negative = skipToDigits(text);
    std::uint64_t magnitude = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (ptr == text.data())
        return 0;
    constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (ec == std::errc::result_out_of_range || magnitude > max + (negative ? 1 : 0))
        return negative ? std::numeric_limits<std::int64_t>::min()
                        : std::numeric_limits<std::int64_t>::max();
    return negative ? static_cast<std::int64_t>(0 - magnitude)
                    : static_cast<std::int64_t>(magnitude);
}

double leadingReal(std::string_view text) {
    bool negative = skipToDigits(text);
    double value = 0;
    auto [ptr, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ptr == text.data())
        return 0;
    (void)ec; // out of range gives the nearest representable value, which is what we want
    return negative ? -value : value;
}

std::int64_t saturatingInteger(double value) {
    if (!std::isfinite(value))
        return 0;
    // 2^63 itself is out of range, so the bounds stay just inside it.
    return static_cast<std::int64_t>(std::clamp(value, -9.2e18, 9.2e18));
}

} // namespace velmora::NumberText
