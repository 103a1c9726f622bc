#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace velmora {

// Unit codes of option fields: numbers with a precision, or a kind of text.
enum ZEMAUnit : std::uint32_t {
    kUnitInteger0 = 0,
    kUnitTwoDecimals = 1,
    kUnitInteger = 2,
    kUnitOneDecimal = 3,
    kUnitTwoDecimalsAlt = 4,
    kUnitThreeDecimals = 5,
    kUnitInteger6 = 6,
    kUnitEmail = 7,
    kUnitAscii = 8,
    kUnitPageList = 9,
    kUnitPlainText = 10,
    kUnitSpecialText = 11,
};

// The state and checks that the number and text fields of option controls share: unit,
// range, maximal length and the checks of each edit.
struct ZEMAFieldRules {
    bool numberMode = false;
    std::uint32_t unit = kUnitInteger;
    std::uint32_t maxLength = 256;
    double minimum = std::numeric_limits<double>::lowest();
    double maximum = std::numeric_limits<double>::max();
    // Fields of the secret kind never show a decimal comma.
    bool decimalCommaAllowed = true;

    // "%.02f" and friends for the number units; "" for the text units.
    std::string displayFormat() const;
    std::string cFormat() const;
    // Digits allowed after the decimal separator; -1 for integer units.
    int decimalPlaces() const;
    bool isDecimalUnit() const;
    bool isNumberUnit() const { return unit <= kUnitInteger6; }

    // The decimal comma is shown when the user's first preferred language is Spanish,
    // German, Italian or French.
    static bool isEurope();
    bool usesDecimalComma() const { return decimalCommaAllowed && isEurope(); }

    // Whether a text may stand in the field while the user types a number.
    bool isNumFormat(const std::string& text) const;
    // Whether a text may stand in a page-list or special-text field while the user types.
    // Whether text mode checks what is typed (page lists and special texts do).
    bool checksText() const;
    bool isTextFormatForPageNum(const std::string& text) const;

    // The number a text shows. Under the decimal comma the text is read as it is and with the
    // comma as a point, and the reading of larger magnitude wins.
    double numberOf(const std::string& text) const;
    double clamp(double number) const;
    std::string format(double number) const; // with the display format
    std::string formatWithCFormat(double number) const;
    // The maximal length that a maximum written with the C format needs.
    std::uint32_t lengthForMaximum(double maximum) const;
    // The out-of-range message naming the minimum and the maximum.
    std::string outOfRangeMessage() const;
};

} // namespace velmora
