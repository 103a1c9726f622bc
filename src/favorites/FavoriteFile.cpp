#include "favorites/FavoriteFile.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/SystemLog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace velmora {
namespace {

constexpr std::size_t kMaxFileSize = 4u << 20;

// Reads the bytes of a favorite file token by token, as the press's own software does.
class TokenReader {
public:
    explicit TokenReader(const std::string& bytes) : _bytes(bytes) {}

    struct Token {
        std::optional<std::string> text; // null for an empty or undecodable token
        bool endedFile = false;
    };

    // Bytes up to the delimiter (consumed, not part of the token), the end of the file, or
    // maxLength + 1 bytes, decoded with the encoding.
    Token next(char delimiter, std::size_t maxLength, TextEncoding encoding) {
        Token token;
        std::string raw;
        while (true) {
            if (_pos >= _bytes.size()) {
                token.endedFile = true;
                break;
            }
            char c = _bytes[_pos++];
            if (c == delimiter)
                break;
            raw += c;
            if (raw.size() > maxLength)
                break;
        }
        if (!raw.empty())
            token.text = TextEncodings::toUtf8(raw, encoding);
        return token;
    }
    std::size_t position() const { return _pos; }
    void seek(std::size_t position) { _pos = position; }

private:
    const std::string& _bytes;
    std::size_t _pos = 0;
};

bool isSingleDigit(const std::optional<std::string>& text) {
    return text && text->size() == 1 && std::isdigit(static_cast<unsigned char>((*text)[0]));
}

std::string languageFirst() {
    return PreferredLanguages::first();
}

std::optional<int>& scriptOverride() {
    static std::optional<int> script;
    return script;
}

std::string valueText(const Value& value) {
    if (value.isBoolean())
        return value.boolValue() ? "1" : "0";
    if (value.isReal())
        return std::to_string(NumberText::saturatingInteger(*value.real()));
    return value.stringValue();
}

bool roundTrips(const std::string& text, TextEncoding encoding) {
    auto bytes = TextEncodings::fromUtf8(text, encoding);
    if (!bytes)
        return false;
    auto back = TextEncodings::toUtf8(
        *bytes, FavoriteFile::readingEncoding(FavoriteFile::languageCodeFor(encoding)));
    return back && *back == text;
}

// The format has no escapes: a line break in the comment, "=" in an option name, a TAB in a
// value or a token longer than the reader takes would come back as other text and other
// options. The encoded text is read back through the reader itself and must give what was meant.
bool readsBackUnchanged(const std::string& encodedText, int languageCode,
                        const std::optional<std::string>& comment,
                        const std::optional<Dictionary>& options) {
    if (!options || options->empty())
        return true; // the reader refuses an option-less file whatever it holds
    FavoriteFile back = FavoriteFile::favoriteFileWithBytes(
        "2\n0\n" + std::to_string(languageCode) + "\n" + encodedText, 0);
    if (!back.isValid() || back.comment() != comment.value_or(""))
        return false;
    Dictionary expected;
    for (const auto& [key, value] : *options)
        expected.set(key, valueText(value));
    return Value(*back.options()) == Value(expected);
}

bool isAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

TextEncoding FavoriteFile::readingEncoding(int languageCode) {
    switch (languageCode) {
    case 2: return TextEncoding::EUCJP;
    case 3: return TextEncoding::CP1252;
    case 4: return TextEncoding::CP936;
    default: return TextEncoding::ShiftJIS;
    }
}

int FavoriteFile::languageCodeFor(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::CP1252: return 3;
    case TextEncoding::CP936: return 4;
    case TextEncoding::EUCJP: return 2;
    default: return 0;
    }
}

void FavoriteFile::setScriptOverride(std::optional<int> script) {
    scriptOverride() = script;
}

int FavoriteFile::currentScript() {
    if (scriptOverride())
        return *scriptOverride();
    std::string code = languageFirst();
    std::string lower = code;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    std::string base = lower.substr(0, lower.find_first_of("-_"));
    if (base == "ja")
        return 1;
    if (base == "ko")
        return 3;
    if (base == "zh")
        return lower.find("tw") != std::string::npos || lower.find("hk") != std::string::npos ||
                       lower.find("hant") != std::string::npos
                   ? 2
                   : 25;
    static const char* const roman[] = {"en", "fr", "de", "it", "nl", "sv", "es", "da", "pt", "no",
                                        "nb", "nn", "fi", "is", "ga", "ca", "la", "af", "id", "ms"};
    for (const char* r : roman)
        if (base == r)
            return 0;
    return -1;
}

std::optional<TextEncoding> FavoriteFile::scriptEncoding(int script) {
    switch (script) {
    case 0: return TextEncoding::CP850;
    case 1: return TextEncoding::ShiftJIS;
    case 2: return TextEncoding::CP950;
    case 3: return TextEncoding::CP949;
    case 25: return TextEncoding::CP936;
    default: return std::nullopt;
    }
}

void FavoriteFile::setComment(const std::optional<std::string>& comment) {
    if (comment)
        _comment = comment;
}

void FavoriteFile::setOptions(const std::optional<Dictionary>& options) {
    if (options)
        _options = options;
}

void FavoriteFile::reset() {
    _version = kUnknownVersion;
    _iotType = kUnknownIotType;
    _encoding = kUnknownEncoding;
    _comment.reset();
    _options.reset();
}

FavoriteFile FavoriteFile::favoriteFileWithContentsOfFile(const std::string& path,
                                                          int currentIotType) {
    FavoriteFile file;
    if (path.empty())
        return file;
    auto bytes = FileUtil::readFile(path, kMaxFileSize);
    if (!bytes)
        return file; // "not found" and unreadable files stay unknown
    return favoriteFileWithBytes(*bytes, currentIotType);
}

FavoriteFile FavoriteFile::favoriteFileWithBytes(const std::string& bytes, int currentIotType) {
    FavoriteFile file;
    if (!file.parse(bytes, currentIotType))
        file.reset();
    return file;
}

bool FavoriteFile::parse(const std::string& bytes, int currentIotType) {
    TokenReader reader(bytes);
    auto version = reader.next('\n', 32, TextEncoding::UTF8).text;
    if (!isSingleDigit(version) || (*version)[0] - '0' > kCurrentVersion)
        return false;
    _version = (*version)[0] - '0';
    auto type = reader.next('\n', 32, TextEncoding::UTF8).text;
    _iotType = type && type->size() < 3 && std::isdigit(static_cast<unsigned char>((*type)[0]))
                   ? std::stoi(*type)
                   : 0;
    if (_iotType != currentIotType)
        return false;
    int code = 0;
    if (_version > 1) {
        auto line = reader.next('\n', 32, TextEncoding::UTF8).text;
        if (!isSingleDigit(line))
            return false;
        code = (*line)[0] - '0';
        _encoding = code;
    }
    TextEncoding encoding = readingEncoding(code);
    std::size_t mark = reader.position();
    auto commentKey = reader.next('=', 32, TextEncoding::UTF8);
    if (commentKey.text == std::optional<std::string>("Comment")) {
        auto comment = reader.next('\n', 255, encoding);
        _comment = comment.text && !comment.endedFile ? *comment.text : std::string();
    } else {
        reader.seek(mark);
    }
    Dictionary options;
    while (true) {
        auto key = reader.next('=', 128, encoding);
        if (!key.text || key.endedFile)
            break;
        auto value = reader.next('\t', 512, encoding);
        options.set(*key.text, value.text && !value.endedFile ? *value.text : std::string());
        if (value.endedFile)
            break;
        if (reader.next('\t', 1, encoding).endedFile)
            break;
    }
    if (options.empty())
        return false;
    _options = std::move(options);
    return true;
}

std::string FavoriteFile::textToWrite() const {
    std::string text = "Comment=" + _comment.value_or("") + "\n";
    if (_options)
        for (const auto& [key, value] : *_options)
            text += key + "=" + valueText(value) + "\t\t";
    return text;
}

Status FavoriteFile::writeToFile(const std::string& path, int iotType) const {
    if (path.empty())
        return Failure{"the favorite has no file to be written to"};
    std::string text = textToWrite();
    // The local encoding first when its language code reads it back; plain ASCII text keeps the
    // local choice as it is; otherwise the first encoding the reader knows that holds the text.
    std::optional<TextEncoding> chosen;
    auto local = scriptEncoding(currentScript());
    if (local && roundTrips(text, *local))
        chosen = local;
    else if (local && isAscii(text))
        chosen = local;
    for (TextEncoding candidate :
         {TextEncoding::CP1252, TextEncoding::ShiftJIS, TextEncoding::CP936, TextEncoding::EUCJP})
        if (!chosen && roundTrips(text, candidate))
            chosen = candidate;
    if (!local)
        SystemLog::format("system encoding=0x%x, ns encoding=0x%x",
                          static_cast<unsigned>(currentScript()),
                          static_cast<unsigned>(chosen ? languageCodeFor(*chosen) : 0));
    if (!chosen)
        return Failure{
            "the favorite's text cannot be written in an encoding it can be read back in"};
    std::string encodedText = *TextEncodings::fromUtf8(text, *chosen);
    int languageCode = languageCodeFor(*chosen);
    if (!readsBackUnchanged(encodedText, languageCode, _comment, _options))
        return Failure{"the favorite cannot be stored as it is: a line break in the comment, \"=\" "
                       "in an option name, a TAB in a value, or text longer than the file keeps "
                       "(comment 255, name 128, value 512 bytes)"};
    std::string bytes = std::to_string(kCurrentVersion) + "\n" + std::to_string(iotType) + "\n" +
                        std::to_string(languageCode) + "\n" + encodedText;
    // A favorite may hold a scrambled password, and scrambling is no encryption.
    std::string reason;
    if (!FileUtil::writeFileAtomically(path, bytes, &reason, FileUtil::Readers::OwnerOnly))
        return Failure{reason.empty() ? path + " cannot be written" : reason};
    return {};
}

std::optional<std::string> FavoriteFile::pathWithName(const std::optional<std::string>& name,
                                                      const std::optional<std::string>& folder) {
    if (!name || !folder)
        return std::nullopt;
    return *folder + "/" + stringByAppendingExtension(*name);
}

std::string FavoriteFile::nameWithPath(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

std::string FavoriteFile::stringByAppendingExtension(const std::string& name) {
    return name + "." + kExtension;
}

bool FavoriteFile::hasExtension(const std::string& fileName) {
    return fileName.size() > 4 && fileName.ends_with(".pfj");
}

std::string FavoriteFile::nameAppendingClassic(const std::string& name) {
    return name + " (Classic)";
}

bool isFileInVisible(const std::string& path) {
    return FileSystem::exists(path) && FileSystem::isInvisible(path);
}

} // namespace velmora
