#include "ppd/OptionDictionary.h"

#include <cstdio>

namespace velmora::OptionDictionary {

std::optional<std::string> text(const Dictionary& options, std::string_view key) {
    const Value* value = options.find(key);
    if (!value)
        return std::nullopt;
    if (value->isString())
        return *value->string();
    if (value->isBoolean())
        return value->boolValue() ? "True" : "False";
    return value->stringValue();
}

std::optional<std::string> nonEmptyText(const Dictionary& options, std::string_view key) {
    auto value = text(options, key);
    return value && !value->empty() ? value : std::nullopt;
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    if (from.empty())
        return text;
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string format(const char* fmt, double value) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

std::string roundDecimal(double value, int places) {
    std::string fixed = format("%f", value); // six decimals, as the driver prints first
    bool negative = fixed.starts_with('-');
    if (negative)
        fixed.erase(0, 1);
    std::size_t point = fixed.find('.');
    std::string integer = fixed.substr(0, point);
    std::string fraction = point == std::string::npos ? "000000" : fixed.substr(point + 1);
    fraction.resize(6, '0');
    std::string digits = integer + fraction.substr(0, static_cast<std::size_t>(places));
    if (places < 6 && fraction[static_cast<std::size_t>(places)] >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0 && digits[static_cast<std::size_t>(i)] == '9'; --i)
            digits[static_cast<std::size_t>(i)] = '0';
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[static_cast<std::size_t>(i)];
    }
    std::size_t integerDigits = digits.size() - static_cast<std::size_t>(places);
    std::string whole = digits.substr(0, integerDigits);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    std::string result = places > 0 ? whole + "." + digits.substr(integerDigits) : whole;
    bool zero = result.find_first_not_of("0.") == std::string::npos;
    return (negative && !zero ? "-" : "") + result;
}

} // namespace velmora::OptionDictionary
