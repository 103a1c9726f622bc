#include "platform/foundation/StringTable.h"

#include "platform/foundation/FileUtil.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unicode/unistr.h>

namespace velmora {
namespace {

constexpr std::size_t kMaxTableSize = 16u << 20;

// Brings the bytes to UTF-8: UTF-16 with a byte-order mark is converted, a UTF-8 mark dropped.
// Null when the text is neither valid UTF-16 nor valid UTF-8: no table hands on bytes that are
// not text.
std::optional<std::string> textAsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xFE\xFF"))
        return TextEncodings::utf16ToUtf8(bytes.substr(2), true);
    if (bytes.starts_with("\xFF\xFE"))
        return TextEncodings::utf16ToUtf8(bytes.substr(2), false);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (!TextEncodings::isValidUtf8(bytes))
        return std::nullopt;
    return std::string(bytes);
}

class ClassicParser {
public:
    explicit ClassicParser(std::string_view text) : _text(text) {}

    bool parse(StringTable& table) {
        for (;;) {
            if (!skipSpaceAndComments())
                return false;
            if (atEnd())
                return true;
            std::string key, value;
            if (!token(key, "a key"))
                return false;
            if (!skipSpaceAndComments())
                return false;
            if (peek() == ';') {
                value = key; // a lone key stands for itself
            } else {
                if (!expect('=') || !skipSpaceAndComments() || !token(value, "a value"))
                    return false;
                if (!skipSpaceAndComments())
                    return false;
            }
            if (!expect(';'))
                return false;
            table.set(std::move(key), std::move(value));
        }
    }

    std::string error() const { return _error; }

private:
    std::string_view _text;
    std::size_t _pos = 0;
    std::string _error;

    bool atEnd() const { return _pos >= _text.size(); }
    char peek() const { return atEnd() ? '\0' : _text[_pos]; }
    int line() const {
        return 1 + static_cast<int>(std::count(_text.begin(), _text.begin() + _pos, '\n'));
    }
    bool fail(const std::string& what) {
        _error = "line " + std::to_string(line()) + ": " + what;
        return false;
    }
    bool expect(char c) {
        if (peek() != c)
            return fail(std::string("expected '") + c + "'");
        ++_pos;
        return true;
    }

    bool skipSpaceAndComments() {
        while (!atEnd()) {
            if (std::isspace(static_cast<unsigned char>(peek()))) {
                ++_pos;
            } else if (_text.substr(_pos).starts_with("//")) {
                std::size_t end = _text.find('\n', _pos);
                _pos = end == std::string_view::npos ? _text.size() : end + 1;
            } else if (_text.substr(_pos).starts_with("/*")) {
                std::size_t end = _text.find("*/", _pos + 2);
                if (end == std::string_view::npos)
                    return fail("unterminated comment");
                _pos = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    static bool isBareChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_$+/:.-", c);
    }

    bool token(std::string& out, const char* what) {
        if (peek() == '"')
            return quoted(out);
        std::size_t start = _pos;
        while (!atEnd() && isBareChar(peek()))
            ++_pos;
        if (_pos == start)
            return fail(std::string("expected ") + what);
        out.assign(_text.substr(start, _pos - start));
        return true;
    }

    static void appendUtf8(std::string& out, char32_t c) {
        icu::UnicodeString u;
        u.append(static_cast<UChar32>(c));
        u.toUTF8String(out);
    }

    bool hexDigits(int count, char32_t& value) {
        value = 0;
        for (int i = 0; i < count; ++i, ++_pos) {
            char c = peek();
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return fail("bad \\U escape");
            value = value * 16 + static_cast<char32_t>(std::isdigit(static_cast<unsigned char>(c))
                                                           ? c - '0'
                                                           : (std::tolower(c) - 'a' + 10));
        }
        return true;
    }

    bool escape(std::string& out) {
        char c = peek();
        ++_pos;
        switch (c) {
        case 'n': out += '\n'; return true;
        case 't': out += '\t'; return true;
        case 'r': out += '\r'; return true;
        case 'a': out += '\a'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'v': out += '\v'; return true;
        case 'U':
        case 'u': {
            char32_t code;
            if (!hexDigits(4, code))
                return false;
            // A surrogate pair is written as two escapes.
            if (code >= 0xD800 && code <= 0xDBFF && _text.substr(_pos).starts_with("\\U")) {
                _pos += 2;
                char32_t low;
                if (!hexDigits(4, low))
                    return false;
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            appendUtf8(out, code);
            return true;
        }
        default:
            if (c >= '0' && c <= '7') {
                int value = c - '0';
                for (int i = 0; i < 2 && peek() >= '0' && peek() <= '7'; ++i, ++_pos)
                    value = value * 8 + (peek() - '0');
                appendUtf8(out, static_cast<char32_t>(value));
                return true;
            }
            out += c; // \" \\ \' and any other character stand for themselves
            return true;
        }
    }

    bool quoted(std::string& out) {
        ++_pos;
        while (!atEnd() && peek() != '"') {
            if (peek() == '\\') {
                ++_pos;
                if (atEnd())
                    break;
                if (!escape(out))
                    return false;
            } else {
                out += peek();
                ++_pos;
            }
        }
        if (atEnd())
            return fail("unterminated string");
        ++_pos;
        return true;
    }
};

std::optional<StringTable> fromPropertyList(std::string_view bytes, std::string* error) {
    auto value = PropertyList::parse(bytes, error);
    if (!value)
        return std::nullopt;
    const Dictionary* dictionary = value->dictionary();
    if (!dictionary) {
        if (error)
            *error = "a string table must be a dictionary";
        return std::nullopt;
    }
    StringTable table;
    for (const auto& [key, item] : *dictionary)
        if (const std::string* text = item.string())
            table.set(key, *text);
    return table;
}

} // namespace

std::optional<StringTable> StringTable::parse(std::string_view bytes, std::string* error) {
    // A binary property list is bytes, read as one.
    if (bytes.starts_with("bplist"))
        return fromPropertyList(bytes, error);
    auto text = textAsUtf8(bytes);
    if (!text) {
        if (error)
            *error = "the strings table is not text: neither UTF-8 nor UTF-16 with a byte-order "
                     "mark (or a UTF-16 text with an odd number of bytes or a lone surrogate)";
        return std::nullopt;
    }
    std::string_view start(*text);
    while (!start.empty() && std::isspace(static_cast<unsigned char>(start.front())))
        start.remove_prefix(1);
    if (start.starts_with("<?xml") || start.starts_with("<plist") || start.starts_with("bplist"))
        // The property list reader reads UTF-16 itself, by the encoding its declaration names.
        return fromPropertyList(bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xFF\xFE")
                                    ? bytes
                                    : std::string_view(*text),
                                error);
    StringTable table;
    ClassicParser parser(*text);
    if (!parser.parse(table)) {
        if (error)
            *error = parser.error();
        return std::nullopt;
    }
    return table;
}

std::optional<StringTable> StringTable::readFile(const std::string& path, std::string* error) {
    auto bytes = FileUtil::readFile(path, kMaxTableSize, error);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes, error);
}

const std::string* StringTable::find(std::string_view key) const {
    auto it = _strings.find(std::string(key));
    return it == _strings.end() ? nullptr : &it->second;
}

} // namespace velmora
