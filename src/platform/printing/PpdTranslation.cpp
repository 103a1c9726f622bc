#include "platform/printing/PpdTranslation.h"

#include "platform/foundation/FileUtil.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/TextEncoding.h"

// libcups marks its PPD API deprecated; the texts to replace live in its PPD records.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <strings.h>
#include <vector>

namespace velmora {
namespace {

// "ja-JP" → {"ja", "ja_JP"}: the language's key first, so that the region's lines, read after
// it, win. Only letters, digits and "_" can name a language in a PPD keyword.
std::vector<std::string> languageKeys(const std::string& language) {
    std::string code = language.substr(0, language.find_first_of(".@"));
    std::replace(code.begin(), code.end(), '-', '_');
    bool plain = !code.empty() && std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    });
    if (!plain || code == "C" || code == "POSIX" || code.starts_with("en"))
        return {};
    std::vector<std::string> keys;
    if (auto underscore = code.find('_'); underscore != std::string::npos)
        keys.push_back(code.substr(0, underscore));
    keys.push_back(code);
    return keys;
}

// A translation string may hold bytes written as hexadecimal between "<" and ">"; null when
// such a part is not closed or holds anything but hexadecimal digits and spaces, or an odd
// count of digits.
std::optional<std::string> decodeHex(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '<') {
            out += text[i];
            continue;
        }
        std::size_t end = text.find('>', i);
        if (end == std::string_view::npos)
            return std::nullopt;
        int high = -1;
        for (char c : text.substr(i + 1, end - i - 1)) {
            if (c == ' ' || c == '\t')
                continue;
            int digit = NumberText::hexDigitValue(c);
            if (digit < 0)
                return std::nullopt;
            if (high < 0) {
                high = digit;
            } else {
                out += static_cast<char>(high * 16 + digit);
                high = -1;
            }
        }
        if (high >= 0)
            return std::nullopt;
        i = end;
    }
    return out;
}

struct TranslationLine {
    std::string keyword, spec, text;
};

// "*ja.Keyword Spec/Text: ..." after its "*ja." prefix; null for anything else.
std::optional<TranslationLine> parseLine(std::string_view line) {
    std::size_t space = line.find_first_of(" \t");
    if (space == 0 || space == std::string_view::npos)
        return std::nullopt;
    std::string_view keyword = line.substr(0, space);
    std::string_view rest = line.substr(space + 1);
    std::size_t colon = rest.find(':');
    std::size_t slash = rest.find('/');
    if (colon == std::string_view::npos || slash == std::string_view::npos || slash > colon ||
        slash == 0)
        return std::nullopt;
    std::string_view spec = rest.substr(0, slash);
    if (spec.find_first_of(" \t") != std::string_view::npos)
        return std::nullopt;
    auto text = decodeHex(rest.substr(slash + 1, colon - slash - 1));
    if (!text || text->empty() || !TextEncodings::isValidUtf8(*text))
        return std::nullopt;
    return TranslationLine{std::string(keyword), std::string(spec), std::move(*text)};
}

// Copies the translation when it fits the field whole (a cut text could end in half a
// character).
template <std::size_t N> bool put(char (&field)[N], const std::string* text) {
    if (!text || text->size() >= N)
        return false;
    std::memcpy(field, text->c_str(), text->size() + 1);
    return true;
}

} // namespace

PpdTranslation PpdTranslation::read(std::string_view ppdText, const std::string& language) {
    PpdTranslation found;
    for (const auto& key : languageKeys(language)) {
        std::string prefix = "*" + key + ".";
        for (std::size_t start = 0; start < ppdText.size();) {
            std::size_t end = ppdText.find_first_of("\r\n", start);
            if (end == std::string_view::npos)
                end = ppdText.size();
            std::string_view line = ppdText.substr(start, end - start);
            start = end + 1;
            if (!line.starts_with(prefix))
                continue;
            if (auto parsed = parseLine(line.substr(prefix.size())))
                found._texts[{parsed->keyword, parsed->spec}] = std::move(parsed->text);
        }
    }
    return found;
}

PpdTranslation PpdTranslation::readFile(const std::string& path, const std::string& language) {
    if (languageKeys(language).empty())
        return {};
    auto text = FileUtil::readFile(path, kMaxFileSize);
    return text ? read(*text, language) : PpdTranslation{};
}

const std::string* PpdTranslation::find(const std::string& keyword, const std::string& spec) const {
    auto it = _texts.find({keyword, spec});
    return it == _texts.end() ? nullptr : &it->second;
}

namespace {

// libcups hands out texts of these encodings as UTF-8, as the translations are; in a PPD of
// another encoding a UTF-8 text would be read as that encoding's bytes.
bool textsAreUtf8(ppd_file_t& ppd) {
    ppd_attr_t* declared = ppdFindAttr(&ppd, "LanguageEncoding", nullptr);
    std::string name = declared && declared->value ? declared->value : "";
    for (const char* converted : {"ISOLatin1", "ISOLatin2", "ISOLatin5", "JIS83-RKSJ",
                                  "MacStandard", "WindowsANSI", "UTF-8"})
        if (::strcasecmp(name.c_str(), converted) == 0)
            return true;
    return false;
}

} // namespace

int PpdTranslation::applyTo(ppd_file_s* ppd) const {
    if (!ppd || _texts.empty() || !textsAreUtf8(*ppd))
        return 0;
    int replaced = 0;
    auto translateGroup = [&](ppd_group_t& group, auto& self) -> void {
        replaced += put(group.text, find("Translation", group.name));
        for (int o = 0; o < group.num_options; ++o) {
            ppd_option_t& option = group.options[o];
            replaced += put(option.text, find("Translation", option.keyword));
            for (int c = 0; c < option.num_choices; ++c)
                replaced +=
                    put(option.choices[c].text, find(option.keyword, option.choices[c].choice));
        }
        for (int sub = 0; sub < group.num_subgroups; ++sub)
            self(group.subgroups[sub], self);
    };
    for (int g = 0; g < ppd->num_groups; ++g)
        translateGroup(ppd->groups[g], translateGroup);
    return replaced;
}

} // namespace velmora
