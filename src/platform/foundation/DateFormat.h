#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::DateFormat {

// Seconds between 1970-01-01 and 2001-01-01, the reference date of property lists.
inline constexpr double kSecondsFrom1970To2001 = 978307200.0;
// Beyond about ±30,000 years the calendar's year no longer fits in the text form.
inline constexpr double kMaxSecondsFrom1970 = 30000.0 * 366 * 86400;

// "YYYY-MM-DDTHH:MM:SSZ" in UTC; fractions of a second are dropped.
std::string iso8601(double secondsSince1970);
// Reads "YYYY-MM-DDTHH:MM:SS" with optional fraction and "Z" or "+HH:MM"/"-HH:MM" zone
// (no zone means UTC). Null when the text is not such a date.
std::optional<double> parseIso8601(std::string_view text);

} // namespace velmora::DateFormat
