#include "controls/ZEMAFieldRules.h"

#include "common/Localization.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/StringFormat.h"
#include "platform/foundation/UnicodeText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace velmora {
namespace {

constexpr const char* kOutOfRangeKey = "IDM_MSG58";
constexpr const char* kOutOfRangeFallback = "Enter a value from %s to %s.";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string printf1(const std::string& format, double value) {
    char buf[512];
    int n = std::snprintf(buf, sizeof buf, format.c_str(), value);
    if (n < 0)
        return {};
    return std::string(buf, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1));
}

// "^-?[0-9]*" then, for decimal units, one optional separator and more digits.
bool matchesNumberPattern(const std::string& text, bool decimal, char separator) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    if (decimal && i < text.size() && text[i] == separator) {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
    }
    return i == text.size();
}

// "^(-|[1-9])([0-9-,]*)$" and not ending in "--" or ",,".
bool matchesPageListPattern(const std::string& text) {
    if (text.empty() || !(text[0] == '-' || (text[0] >= '1' && text[0] <= '9')))
        return false;
    for (char c : text)
        if (!(isDigit(c) || c == '-' || c == ','))
            return false;
    return !(text.ends_with("--") || text.ends_with(",,"));
}

} // namespace

namespace {

struct UnitFormats {
    const char* display;
    const char* c;
    int decimalPlaces; // -1 for integers
};

// The number units; text units have no formats.
std::optional<UnitFormats> formatsOf(std::uint32_t unit) {
    switch (unit) {
    case kUnitTwoDecimals:
    case kUnitTwoDecimalsAlt: return UnitFormats{"%.02f", "%.2f", 2};
    case kUnitOneDecimal: return UnitFormats{"%.01f", "%.01f", 1};
    case kUnitThreeDecimals: return UnitFormats{"%.03f", "%.03f", 3};
    case kUnitInteger0:
    case kUnitInteger:
    case kUnitInteger6: return UnitFormats{"%.0f", "%.0f", -1};
    default: return std::nullopt;
    }
}

} // namespace

std::string ZEMAFieldRules::displayFormat() const {
    auto formats = formatsOf(unit);
    return formats ? formats->display : "";
}

std::string ZEMAFieldRules::cFormat() const {
    auto formats = formatsOf(unit);
    return formats ? formats->c : "";
}

int ZEMAFieldRules::decimalPlaces() const {
    auto formats = formatsOf(unit);
    return formats ? formats->decimalPlaces : -1;
}

bool ZEMAFieldRules::isDecimalUnit() const {
    return decimalPlaces() > 0;
}

bool ZEMAFieldRules::isEurope() {
    static const char* const kCommaLanguages[] = {"es", "de", "it", "fr"};
    std::string first = PreferredLanguages::first();
    return std::any_of(std::begin(kCommaLanguages), std::end(kCommaLanguages),
                       [&](const char* code) { return first.find(code) != std::string::npos; });
}

bool ZEMAFieldRules::isNumFormat(const std::string& text) const {
    if (text.empty())
        return true;
    char separator = usesDecimalComma() ? ',' : '.';
    if (!matchesNumberPattern(text, isDecimalUnit(), separator))
        return false;
    bool negative = text.starts_with('-');
    if (negative && minimum >= 0)
        return false;
    if (text.size() > maxLength + (negative ? 1u : 0u))
        return false;
    if (isDecimalUnit()) {
        // The limit applies to the separator the field shows, so that a decimal comma cannot
        // carry more digits than a decimal point.
        std::size_t point = text.find(separator);
        if (point != std::string::npos &&
            text.size() - point - 1 > static_cast<std::size_t>(decimalPlaces()))
            return false;
    }
    if (minimum > 0 && text.starts_with('0'))
        return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool ZEMAFieldRules::checksText() const {
    return unit == kUnitPageList || unit == kUnitSpecialText;
}

bool ZEMAFieldRules::isTextFormatForPageNum(const std::string& text) const {
    if (text.empty())
        return true;
    std::size_t length = UnicodeText::utf16Length(text);
    if (unit == kUnitPageList)
        return matchesPageListPattern(text) && length <= maxLength;
    if (unit == kUnitSpecialText)
        return length <= maxLength;
    return true;
}

double ZEMAFieldRules::numberOf(const std::string& text) const {
    double asIs = NumberText::leadingReal(text);
    if (!usesDecimalComma())
        return asIs;
    std::string pointed = text;
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    double withPoint = NumberText::leadingReal(pointed);
    return std::fabs(withPoint) > std::fabs(asIs) ? withPoint : asIs;
}

double ZEMAFieldRules::clamp(double number) const {
    if (std::isnan(number))
        return minimum;
    return std::clamp(number, minimum, std::max(minimum, maximum));
}

std::string ZEMAFieldRules::format(double number) const {
    std::string f = displayFormat();
    return f.empty() ? NumberText::shortest(number) : printf1(f, number);
}

std::string ZEMAFieldRules::formatWithCFormat(double number) const {
    std::string f = cFormat();
    return f.empty() ? NumberText::shortest(number) : printf1(f, number);
}

std::uint32_t ZEMAFieldRules::lengthForMaximum(double max) const {
    return static_cast<std::uint32_t>(formatWithCFormat(max).size());
}

std::string ZEMAFieldRules::outOfRangeMessage() const {
    std::string format = kOutOfRangeFallback;
    if (auto bundle = BSPrincipalBundle())
        if (const std::string* own = bundle->findLocalizedString(kOutOfRangeKey, "Localizable"))
            format = *own;
    return StringFormat::format(
        format, {Value(formatWithCFormat(minimum)), Value(formatWithCFormat(maximum))});
}

} // namespace velmora
