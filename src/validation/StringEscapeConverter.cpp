#include "validation/StringEscapeConverter.h"

#include <unicode/unistr.h>

namespace velmora {

namespace {
constexpr const char* kBackslash = "\\";
constexpr const char* kTwoBackslashes = "\\\\";
constexpr const char* kYen = "\xC2\xA5";
} // namespace

StringEscapeConverter StringEscapeConverter::standardConverter(bool japanesePreferred) {
    StringEscapeConverter converter;
    if (japanesePreferred) {
        converter.replace(kYen, kTwoBackslashes);
        converter.replace(kBackslash, kTwoBackslashes);
    } else {
        converter.replace(kBackslash, kTwoBackslashes);
        converter.replace(kYen, kTwoBackslashes);
    }
    converter.replace("\"", "\\\"");
    converter.replace(kBackslash, kTwoBackslashes);
    converter.replace("\n", "\\n");
    converter.replace("\xE2\x80\xA8", "\\n"); // line separator
    return converter;
}

void StringEscapeConverter::replace(const std::string& source, const std::string& escaped) {
    _rules.emplace_back(source, escaped);
}

std::string StringEscapeConverter::convert(const std::string& text, bool escaping) const {
    icu::UnicodeString in = icu::UnicodeString::fromUTF8(text), out;
    std::vector<std::pair<icu::UnicodeString, icu::UnicodeString>> rules;
    for (const auto& [source, escaped] : _rules) {
        auto from = icu::UnicodeString::fromUTF8(escaping ? source : escaped);
        auto to = icu::UnicodeString::fromUTF8(escaping ? escaped : source);
        rules.emplace_back(from, to);
    }
    for (int32_t i = 0; i < in.length();) {
        bool matched = false;
        for (const auto& [from, to] : rules) {
            if (!from.isEmpty() && in.compare(i, from.length(), from) == 0) {
                out += to;
                i += from.length();
                matched = true;
                break;
            }
        }
        if (!matched)
            out += in.charAt(i++);
    }
    std::string result;
    out.toUTF8String(result);
    return result;
}

std::string StringEscapeConverter::escape(const std::string& text) const {
    return convert(text, true);
}
std::string StringEscapeConverter::unEscape(const std::string& text) const {
    return convert(text, false);
}

} // namespace velmora
