#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Locale-independent number text: "." is always the decimal point.
namespace velmora::NumberText {

// The shortest text that reads back as the same double ("0.1", "1e+300", "3").
std::string shortest(double value);
// The integer at the start of the text after white space and an optional sign; 0 when there
// is none. Saturates at the 64-bit limits.
std::int64_t leadingInteger(std::string_view text);
// The decimal number at the start of the text after white space and an optional sign; 0 when
// there is none.
double leadingReal(std::string_view text);
// The number that the whole text (no white space, at most one sign) writes; null when it is not
// one. Out of range, it is infinite (too large) or zero (too small), signed as written.
std::optional<double> exactReal(std::string_view text);
// The whole text as a 64-bit integer (at most one sign); null when it is not one or does not fit.
std::optional<std::int64_t> exactInteger(std::string_view text);

// The value of one hexadecimal digit (either case); -1 for any other character.
int hexDigitValue(char c);

// The whole part of a double as a 64-bit integer, saturating at the limits; 0 for NaN and
// infinities (converting such values directly is undefined).
std::int64_t saturatingInteger(double value);

} // namespace velmora::NumberText
