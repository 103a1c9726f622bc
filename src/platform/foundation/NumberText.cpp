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

// A number past what a double holds: from_chars leaves the result alone then, so it is decided
// here by the exponent's sign: a large number is infinite, a tiny one zero.
double outOfRange(std::string_view number) {
    std::size_t e = number.find_first_of("eE");
    bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    return tiny ? 0.0 : HUGE_VAL;
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
    if (ec == std::errc::result_out_of_range)
        value =
            outOfRange(std::string_view(text.data(), static_cast<std::size_t>(ptr - text.data())));
    return negative ? -value : value;
}

std::optional<double> exactReal(std::string_view text) {
    bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return std::nullopt;
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ptr != text.data() + text.size() ||
        (ec != std::errc() && ec != std::errc::result_out_of_range))
        return std::nullopt;
    if (ec == std::errc::result_out_of_range)
        value = outOfRange(text);
    return negative ? -value : value;
}

std::optional<std::int64_t> exactInteger(std::string_view text) {
    bool plus = text.starts_with('+');
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || (plus && text.front() == '-'))
        return std::nullopt;
    std::int64_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::int64_t saturatingInteger(double value) {
    if (!std::isfinite(value))
        return 0;
    // 2^63 itself is out of range, so the bounds stay just inside it.
    return static_cast<std::int64_t>(std::clamp(value, -9.2e18, 9.2e18));
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace velmora::NumberText
