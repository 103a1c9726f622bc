#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

// Small readers of option dictionaries shared by the conversion rules. "Present" means the key
// exists; "non-empty" that its value is not a zero-length string.
namespace velmora::OptionDictionary {

// The value as text (Booleans "True"/"False"); null when absent.
std::optional<std::string> text(const Dictionary& options, std::string_view key);
// The value as text when present and non-empty.
std::optional<std::string> nonEmptyText(const Dictionary& options, std::string_view key);
// Applies fn to the text of key and stores the result, when the key is present and non-empty.
template <typename Fn> void transform(Dictionary& options, const std::string& key, Fn fn) {
    if (auto value = nonEmptyText(options, key))
        options.set(key, fn(*value));
}
std::string replaceAll(std::string text, std::string_view from, std::string_view to);
// printf of one value into a string.
std::string format(const char* fmt, double value);
// Rounds half away from zero after printing with six decimals, as the driver does:
// roundDecimal(2.125, 2) is "2.13", roundDecimal(119055.1181, 0) is "119055".
std::string roundDecimal(double value, int places);

} // namespace velmora::OptionDictionary
