// The input-manager format that favorite files store: tag key → tag value, driven by the
// convert table.

#include "ppd/OptionDictionary.h"
#include "ppd/PrintOptionConverter.h"

#include "common/Localization.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UnicodeText.h"

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>

#include <cctype>
#include <memory>

namespace velmora {

using namespace OptionDictionary;

namespace {

constexpr const char* kYenSign = "\xC2\xA5";

__extension__ using Int128 = __int128; // wide enough for products of option values

// A decimal number held exactly as digits and a scale, for products of decimal texts.
struct Decimal {
    Int128 mantissa = 0;
    int scale = 0;

    static std::optional<Decimal> parse(const std::string& text) {
        Decimal d;
        std::size_t i = 0;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        bool digits = false, point = false;
        for (; i < text.size(); ++i) {
            char c = text[i];
            if (std::isdigit(static_cast<unsigned char>(c))) {
                if (d.mantissa > (Int128(1) << 100))
                    return std::nullopt; // far beyond any option value
                d.mantissa = d.mantissa * 10 + (c - '0');
                d.scale += point ? 1 : 0;
                digits = true;
            } else if (c == '.' && !point) {
                point = true;
            } else {
                break;
            }
        }
        if (!digits)
            return std::nullopt;
        if (negative)
            d.mantissa = -d.mantissa;
        return d;
    }

    // Null when the product does not fit: such numbers are no option value.
    std::optional<Decimal> times(const Decimal& other) const {
        Decimal product{0, scale + other.scale};
        if (__builtin_mul_overflow(mantissa, other.mantissa, &product.mantissa))
            return std::nullopt;
        return product;
    }

    std::string text() const {
        Int128 m = mantissa;
        int s = scale;
        while (s > 0 && m % 10 == 0) {
            m /= 10;
            --s;
        }
        bool negative = m < 0;
        std::string digits;
        for (Int128 v = negative ? -m : m; v > 0 || digits.empty(); v /= 10)
            digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        if (s > 0) {
            if (static_cast<int>(digits.size()) <= s)
                digits.insert(0, static_cast<std::size_t>(s + 1 - static_cast<int>(digits.size())),
                              '0');
            digits.insert(digits.end() - s, '.');
        }
        if (negative && m != 0)
            digits.insert(digits.begin(), '-');
        return digits;
    }
};

std::string numberText(const Value& value) {
    return value.isString() ? *value.string() : value.stringValue();
}

long long integerOf(const Value& value) {
    return value.isString() ? NumberText::leadingInteger(*value.string()) : value.integerValue();
}

std::string formatWithPattern(double value, const std::string& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    auto symbols = std::make_unique<icu::DecimalFormatSymbols>(icu::Locale::getUS(), status);
    icu::DecimalFormat format(icu::UnicodeString::fromUTF8(pattern), symbols.release(), status);
    if (U_FAILURE(status))
        return NumberText::shortest(value);
    icu::UnicodeString out;
    format.format(value, out);
    std::string text;
    out.toUTF8String(text);
    return text;
}

// The integer that starts at the text's first decimal digit ("Tray3" → 3); null without one.
std::optional<long long> integerFromFirstDigit(const std::string& text) {
    auto digit = std::find_if(text.begin(), text.end(),
                              [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    if (digit == text.end())
        return std::nullopt;
    return NumberText::leadingInteger(
        std::string_view(&*digit, static_cast<std::size_t>(text.end() - digit)));
}

std::optional<Value> itemTagValue(const Array& items, const Value& ppdValue) {
    std::string value =
        ppdValue.isString() ? *ppdValue.string() : (ppdValue.boolValue() ? "True" : "False");
    for (const Value& itemValue : items) {
        const Dictionary* item = itemValue.dictionary();
        if (!item)
            continue;
        std::string keyword = item->get("optionKeyword").stringValue();
        const Value& tag = item->get("tagValue");
        if (keyword.ends_with("%d")) {
            std::string prefix = keyword.substr(0, keyword.size() - 2);
            if (!prefix.empty() && !value.starts_with(prefix))
                continue;
            auto number = integerFromFirstDigit(value);
            long long sum = 0;
            if (!number || __builtin_add_overflow(*number, integerOf(tag), &sum))
                return std::nullopt; // a number too large for a tag has no tag value
            return Value(static_cast<std::int64_t>(sum));
        }
        if (value == keyword)
            return tag;
    }
    return std::nullopt;
}

std::optional<Value> itemPpdValue(const Array& items, const Value& tagValue) {
    long long tag = integerOf(tagValue);
    for (const Value& itemValue : items) {
        const Dictionary* item = itemValue.dictionary();
        if (!item)
            continue;
        std::string keyword = item->get("optionKeyword").stringValue();
        long long itemTag = integerOf(item->get("tagValue"));
        if (keyword.ends_with("%d")) {
            long long difference = 0;
            if (__builtin_sub_overflow(tag, itemTag, &difference))
                return std::nullopt;
            return Value(keyword.substr(0, keyword.size() - 2) + std::to_string(difference));
        }
        if (tag == itemTag)
            return Value(keyword);
    }
    return std::nullopt;
}

std::optional<Value> ppdValueOf(const Dictionary& entry, const Value& tagValue) {
    if (const Array* items = entry.get("items").array())
        return itemPpdValue(*items, tagValue);
    if (entry.get("tagValueType").stringValue() == "Boolean")
        return Value(integerOf(tagValue) == 1);
    double number =
        tagValue.isString() ? NumberText::leadingReal(*tagValue.string()) : tagValue.doubleValue();
    const Value& magnification = entry.get("magnification");
    const Value& pattern = entry.get("format");
    if (!magnification.isNull()) {
        double factor = magnification.isString() ? NumberText::leadingReal(*magnification.string())
                                                 : magnification.doubleValue();
        double ppd = factor != 0 ? number / factor : 0;
        return Value(pattern.isString() ? formatWithPattern(ppd, *pattern.string())
                                        : NumberText::shortest(ppd));
    }
    if (pattern.isString())
        return Value(formatWithPattern(number, *pattern.string()));
    return tagValue;
}

std::optional<Value> withYenAsBackslash(std::optional<Value> value) {
    if (value && value->isString())
        return Value(replaceAll(*value->string(), kYenSign, "\\"));
    return value;
}

void applyColorCorrectionRule(const Dictionary& inputManager, Dictionary& result) {
    const Value* mode = inputManager.find("CL_RGBMD");
    if (!mode)
        return;
    static const char* const kCorrections[] = {
        "None",           "sRGB",           "RGB",           "AdobeRGB",
        "sRGBAutoAdjust", "sRGBAutoPerson", "sRGBAutoScene", "sRGBAutoOnSitePhoto"};
    long long index = integerOf(*mode);
    if (index >= 0 && index < 8)
        result.set("ZRRGBColorCorrect", kCorrections[index]);
    result.remove("ZRSRGBAuto");
    result.remove("ZRSRGBAutoType");
}

void applySaveFileRule(const Dictionary& inputManager, Dictionary& result) {
    const Value* saveType = inputManager.find("SP_SAVEFT");
    if (!saveType)
        return;
    std::string type = numberText(*saveType);
    if (type == "0") {
        result.set("ZRSaveFile", "None");
        return;
    }
    if (type != "1" && type != "2")
        return;
    const Value* dpiValue = inputManager.find("SP_TFDPI");
    long long dpi = dpiValue ? integerOf(*dpiValue) : 0;
    if (dpi < 1)
        dpi = 600;
    result.set("ZRSaveFile",
               std::string(type == "1" ? "TIFF" : "PDF") + std::to_string(dpi) + "dpi");
}

std::optional<std::string> defaultConvertTablePath() {
    auto bundle = BSPrincipalBundle();
    if (!bundle)
        return std::nullopt;
    auto misc = bundle->pathForResource("miscellaneous", "plist");
    auto info = misc ? PropertyList::readFile(*misc) : std::nullopt;
    std::string appName = bundle->objectForInfoDictionaryKey("CFBundleName").stringValue();
    const Dictionary* app =
        info && info->dictionary() ? info->dictionary()->get(appName).dictionary() : nullptr;
    if (!app || !app->get("convertTableFileName").isString())
        return std::nullopt;
    return bundle->pathForResource(*app->get("convertTableFileName").string(), "plist");
}

} // namespace

PrintOptionConverter& PrintOptionConverter::sharedInstance() {
    static PrintOptionConverter converter;
    return converter;
}

std::optional<Dictionary> PrintOptionConverter::convertTable() const {
    auto path = _locator ? _locator() : defaultConvertTablePath();
    if (!path)
        return std::nullopt;
    auto table = PropertyList::readFile(*path);
    if (!table || !table->dictionary())
        return std::nullopt;
    return std::move(*table->dictionary());
}

namespace {

std::optional<Value> tagValueOf(const Dictionary& entry, const Value& value) {
    if (const Array* items = entry.get("items").array())
        return itemTagValue(*items, value);
    if (!value.isString() || entry.get("tagValueType").stringValue() == "Boolean")
        return Value(value.isString() ? UnicodeText::equalIgnoringCase(*value.string(), "True")
                                      : value.boolValue());
    const Value& magnification = entry.get("magnification");
    if (!magnification.isNull()) {
        auto v = Decimal::parse(*value.string());
        auto m = Decimal::parse(numberText(magnification));
        auto product = v && m ? v->times(*m) : std::nullopt;
        if (!product)
            return std::nullopt;
        return Value(product->text());
    }
    return value;
}

} // namespace

std::optional<Value> PrintOptionConverter::inputMgrTagValue(const std::string& mainKeyword,
                                                            const Value& value) const {
    auto table = convertTable();
    const Dictionary* entry = table ? table->get(mainKeyword).dictionary() : nullptr;
    return entry ? tagValueOf(*entry, value) : std::nullopt;
}

Dictionary PrintOptionConverter::toInputMgrFormat(const Dictionary* options) const {
    Dictionary result;
    auto table = convertTable();
    if (!options || !table)
        return result;
    for (const auto& [keyword, value] : *options) {
        const Dictionary* entry = table->get(keyword).dictionary();
        if (!entry || !entry->get("tagKey").isString())
            continue;
        if (auto tag = tagValueOf(*entry, value))
            result.set(*entry->get("tagKey").string(), std::move(*tag));
    }
    return result;
}

Dictionary PrintOptionConverter::toPpdKeywordFormat(const Dictionary* inputManager) const {
    Dictionary result;
    auto table = convertTable();
    if (!inputManager || !table)
        return result;
    for (const auto& tagEntry : *inputManager) {
        const std::string& tagKey = tagEntry.first; // named, so that the lambda can capture it
        const Value& tagValue = tagEntry.second;
        auto entry = std::find_if(table->begin(), table->end(), [&](const Dictionary::Entry& e) {
            const Dictionary* d = e.second.dictionary();
            return d && d->get("tagKey").isString() && *d->get("tagKey").string() == tagKey;
        });
        if (entry == table->end() || tagValue.isNull())
            continue;
        if (auto value = withYenAsBackslash(ppdValueOf(*entry->second.dictionary(), tagValue)))
            result.set(entry->first, std::move(*value));
    }
    applyColorCorrectionRule(*inputManager, result);
    applySaveFileRule(*inputManager, result);
    return result;
}

extern "C" {
Dictionary* ToInputMgrFormat(const Dictionary* options) {
    if (!options)
        return nullptr;
    return new Dictionary(PrintOptionConverter::sharedInstance().toInputMgrFormat(options));
}
Dictionary* ToPpdKeywordFormat(const Dictionary* inputManager) {
    if (!inputManager)
        return nullptr;
    return new Dictionary(PrintOptionConverter::sharedInstance().toPpdKeywordFormat(inputManager));
}
}

} // namespace velmora
