#include "platform/foundation/JsonReader.h"

#include "platform/foundation/TextEncoding.h"

#include <charconv>
#include <unicode/unistr.h>

namespace velmora::JsonReader {
namespace {

constexpr int kMaxDepth = 256;

class Parser {
public:
    explicit Parser(std::string_view text) : _text(text) {}

    std::optional<Value> document() {
        auto value = element(0);
        skipSpace();
        if (value && _pos != _text.size())
            return fail("unexpected text after the value");
        return value;
    }
    const std::string& error() const { return _error; }

private:
    std::string_view _text;
    std::size_t _pos = 0;
    std::string _error;

    std::nullopt_t fail(const std::string& what) {
        if (_error.empty())
            _error = "offset " + std::to_string(_pos) + ": " + what;
        return std::nullopt;
    }
    void skipSpace() {
        while (_pos < _text.size() && (_text[_pos] == ' ' || _text[_pos] == '\t' ||
                                       _text[_pos] == '\n' || _text[_pos] == '\r'))
            ++_pos;
    }
    bool consume(std::string_view word) {
        if (_text.substr(_pos).starts_with(word)) {
            _pos += word.size();
            return true;
        }
        return false;
    }

    std::optional<Value> element(int depth) {
        if (depth > kMaxDepth)
            return fail("nested too deeply");
        skipSpace();
        if (_pos >= _text.size())
            return fail("unexpected end");
        char c = _text[_pos];
        if (c == '{')
            return object(depth);
        if (c == '[')
            return array(depth);
        if (c == '"') {
            auto s = string();
            return s ? std::optional<Value>(Value(std::move(*s))) : std::nullopt;
        }
        if (consume("true"))
            return Value(true);
        if (consume("false"))
            return Value(false);
        if (consume("null"))
            return Value();
        return number();
    }

    std::optional<Value> object(int depth) {
        ++_pos;
        Dictionary d;
        skipSpace();
        if (consume("}"))
            return Value(std::move(d));
        for (;;) {
            skipSpace();
            if (_pos >= _text.size() || _text[_pos] != '"')
                return fail("expected a key");
            auto key = string();
            if (!key)
                return std::nullopt;
            skipSpace();
            if (!consume(":"))
                return fail("expected ':'");
            auto value = element(depth + 1);
            if (!value)
                return std::nullopt;
            d.set(std::move(*key), std::move(*value));
            skipSpace();
            if (consume("}"))
                return Value(std::move(d));
            if (!consume(","))
                return fail("expected ',' or '}'");
        }
    }

    std::optional<Value> array(int depth) {
        ++_pos;
        Array a;
        skipSpace();
        if (consume("]"))
            return Value(std::move(a));
        for (;;) {
            auto value = element(depth + 1);
            if (!value)
                return std::nullopt;
            a.push_back(std::move(*value));
            skipSpace();
            if (consume("]"))
                return Value(std::move(a));
            if (!consume(","))
                return fail("expected ',' or ']'");
        }
    }

    std::optional<unsigned> hex4() {
        if (_pos + 4 > _text.size())
            return fail("short \\u escape");
        unsigned value = 0;
        auto [ptr, ec] = std::from_chars(_text.data() + _pos, _text.data() + _pos + 4, value, 16);
        if (ec != std::errc() || ptr != _text.data() + _pos + 4)
            return fail("bad \\u escape");
        _pos += 4;
        return value;
    }

    // The character of a \\u escape; a surrogate must be half of a pair, never a character of
    // its own (no text could hold it, and decoding it anyway would change the text).
    std::optional<UChar32> codePoint(unsigned unit) {
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            return fail("lone low surrogate in a \\u escape");
        if (unit < 0xD800 || unit > 0xDBFF)
            return static_cast<UChar32>(unit);
        if (!consume("\\u"))
            return fail("lone high surrogate in a \\u escape");
        auto low = hex4();
        if (!low)
            return std::nullopt;
        if (*low < 0xDC00 || *low > 0xDFFF)
            return fail("high surrogate without its low half in a \\u escape");
        return 0x10000 + ((static_cast<UChar32>(unit) - 0xD800) << 10) +
               (static_cast<UChar32>(*low) - 0xDC00);
    }

    std::optional<std::string> string() {
        ++_pos;
        std::string out;
        while (_pos < _text.size()) {
            char c = _text[_pos++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                return fail("control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (_pos >= _text.size())
                break;
            char e = _text[_pos++];
            switch (e) {
            case '"':
            case '\\':
            case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                auto unit = hex4();
                if (!unit)
                    return std::nullopt;
                auto code = codePoint(*unit);
                if (!code)
                    return std::nullopt;
                icu::UnicodeString(*code).toUTF8String(out);
                break;
            }
            default: return fail("bad escape");
            }
        }
        return fail("unterminated string");
    }

    std::optional<Value> number() {
        std::size_t start = _pos;
        if (_pos < _text.size() && _text[_pos] == '-')
            ++_pos;
        bool real = false;
        while (_pos < _text.size()) {
            char c = _text[_pos];
            if (c >= '0' && c <= '9') {
                ++_pos;
            } else if (c == '.' || c == 'e' || c == 'E' || c == '+' || (c == '-' && _pos > start)) {
                real = true;
                ++_pos;
            } else {
                break;
            }
        }
        std::string_view token = _text.substr(start, _pos - start);
        if (token.empty() || token == "-")
            return fail("expected a value");
        if (!real) {
            std::int64_t i = 0;
            auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), i);
            if (ec == std::errc() && ptr == token.data() + token.size())
                return Value(i);
        }
        double d = 0;
        auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), d);
        if (ec != std::errc() || ptr != token.data() + token.size())
            return fail("bad number");
        return Value(d);
    }
};

} // namespace

std::optional<Value> parse(std::string_view text, std::string* error) {
    // JSON is UTF-8; text that is not would be carried into settings and written back out.
    if (!TextEncodings::isValidUtf8(text)) {
        if (error)
            *error = "the text is not valid UTF-8";
        return std::nullopt;
    }
    Parser parser(text);
    auto value = parser.document();
    if (!value && error)
        *error = parser.error();
    return value;
}

} // namespace velmora::JsonReader
