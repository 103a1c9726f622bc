#include "platform/foundation/XmlPropertyListReader.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/TextEncoding.h"
#include "platform/foundation/TextTrim.h"
#include "platform/foundation/XmlSaxHandler.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

namespace velmora {
namespace {

constexpr const char* kMalformed = "not a property list (malformed XML)";

XmlPropertyListReader* readerOf(void* context) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    return static_cast<XmlPropertyListReader*>(parser->_private);
}

std::string_view text(const xmlChar* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

void onStartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                    const xmlChar**, int, int, const xmlChar**) {
    readerOf(context)->startElement(text(localName));
}

void onEndElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*) {
    readerOf(context)->endElement(text(localName));
}

void onCharacters(void* context, const xmlChar* characters, int length) {
    readerOf(context)->characters(
        std::string_view(reinterpret_cast<const char*>(characters), static_cast<size_t>(length)));
}

// Entity definitions, and references to entities nobody defined, are refused.
void onEntityDeclaration(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*,
                         xmlChar*) {
    readerOf(context)->refuse("a property list defines no entities");
}

void onEntityReference(void* context, const xmlChar*) {
    readerOf(context)->refuse(kMalformed);
}

// An XML parser turns every carriage return into a line feed, but a carriage return in a text
// of a property list is a line break of a title and must stay one. In the text inside the root
// element each one is written as a character reference first (in a CDATA section, between two
// sections); in tags, comments, processing instructions and the prolog it stays as it is.
// The scan reads 8-bit encodings only: UTF-16 or UTF-32 documents are left alone.
class CarriageReturnKeeper {
public:
    explicit CarriageReturnKeeper(std::string_view bytes) : _in(bytes) {}

    std::string run() {
        _out.reserve(_in.size() + 64);
        while (_at < _in.size()) {
            if (startsWith("<!--"))
                copyThrough("-->", nullptr);
            else if (startsWith("<![CDATA["))
                copyThrough("]]>", "]]>&#13;<![CDATA[");
            else if (startsWith("<?") || startsWith("<!"))
                copyThrough(">", nullptr);
            else if (_in[_at] == '<')
                copyTag();
            else
                copyText();
        }
        return std::move(_out);
    }

private:
    std::string_view _in;
    std::size_t _at = 0;
    int _depth = 0;
    std::string _out;

    bool startsWith(std::string_view s) const { return _in.substr(_at).starts_with(s); }

    // Copies up to and including the end mark; a carriage return is replaced when asked.
    void copyThrough(std::string_view end, const char* carriageReturn) {
        std::size_t stop = _in.find(end, _at + 1);
        stop = stop == std::string_view::npos ? _in.size() : stop + end.size();
        for (; _at < stop; ++_at) {
            if (_in[_at] == '\r' && carriageReturn && _depth > 0)
                _out += carriageReturn;
            else
                _out += _in[_at];
        }
    }

    // A start, end or empty-element tag; quoted attribute values may hold '>'.
    void copyTag() {
        bool closing = _at + 1 < _in.size() && _in[_at + 1] == '/';
        char quote = 0;
        char previous = 0;
        for (; _at < _in.size(); ++_at) {
            char c = _in[_at];
            _out += c;
            if (quote) {
                quote = c == quote ? 0 : quote;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                ++_at;
                _depth += closing ? -1 : previous == '/' ? 0 : 1;
                return;
            }
            previous = c;
        }
    }

    void copyText() {
        for (; _at < _in.size() && _in[_at] != '<'; ++_at) {
            if (_in[_at] == '\r' && _depth > 0)
                _out += "&#13;";
            else
                _out += _in[_at];
        }
    }
};

// Whether the document is UTF-16, and in which byte order: by its byte-order mark, or by the
// "<" it begins with. UTF-32 (and everything else) is not.
std::optional<bool> utf16BigEndian(std::string_view bytes) {
    auto at = [&](std::size_t i) { return i < bytes.size() ? bytes[i] : '\x01'; };
    bool mark32 = bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4));
    if (bytes.starts_with("\xFE\xFF") || (at(0) == '\0' && at(1) == '<'))
        return true;
    if ((bytes.starts_with("\xFF\xFE") && !mark32) ||
        (at(0) == '<' && at(1) == '\0' && at(2) != '\0'))
        return false;
    return std::nullopt;
}

// A decimal integer, or a hexadecimal one written "0x…" as other readers of property lists take
// it, within 64 signed bits. outOfRange tells a number too large from text that is no number.
std::optional<std::int64_t> integerOf(std::string_view text, bool& outOfRange) {
    outOfRange = false;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        std::string_view digits = text.substr(2);
        std::uint64_t value = 0;
        auto [end, problem] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (digits.empty() || end != digits.data() + digits.size())
            return std::nullopt;
        outOfRange = problem == std::errc::result_out_of_range ||
                     value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        return outOfRange ? std::nullopt
                          : std::optional<std::int64_t>(static_cast<std::int64_t>(value));
    }
    if (auto value = NumberText::exactInteger(text))
        return value;
    std::string_view digits = text;
    if (digits.starts_with('-') || digits.starts_with('+'))
        digits.remove_prefix(1);
    outOfRange =
        !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
    return std::nullopt;
}

// A date as ISO 8601 with its time, or a date alone ("2024-01-02" or "2024-01-02Z"), which
// other readers of property lists take for midnight.
std::optional<double> dateOf(std::string_view text) {
    if (text.ends_with('Z') && text.size() == 11)
        text.remove_suffix(1);
    bool dateAlone = text.size() == 10 && text[4] == '-' && text[7] == '-';
    if (!dateAlone)
        return DateFormat::parseIso8601(text);
    return DateFormat::parseIso8601(std::string(text) + "T00:00:00Z");
}

} // namespace

XmlPropertyListReader::XmlPropertyListReader(std::string_view bytes, int maxNesting)
    : _bytes(bytes), _maxNesting(maxNesting) {}

std::optional<Value> XmlPropertyListReader::read(std::string* error) {
    xmlSAXHandler handler = elementAndTextSaxHandler(onStartElement, onEndElement, onCharacters);
    handler.entityDecl = onEntityDeclaration;
    handler.reference = onEntityReference;

    std::string utf8, escaped;
    std::string_view input = _bytes;
    // UTF-16 is read as the UTF-8 it stands for, so that its carriage returns stay as they do in
    // UTF-8 files.
    bool wide = false;
    if (auto bigEndian = utf16BigEndian(input)) {
        std::string_view units = input;
        if (units.starts_with("\xFE\xFF") || units.starts_with("\xFF\xFE"))
            units.remove_prefix(2);
        auto converted = TextEncodings::utf16ToUtf8(units, *bigEndian);
        if (!converted) {
            if (error)
                *error = "not a property list (invalid UTF-16 text)";
            return std::nullopt;
        }
        utf8 = std::move(*converted);
        input = utf8;
        wide = true;
    }
    bool eightBit = input.find('\0') == std::string_view::npos;
    if (eightBit && input.find('\r') != std::string_view::npos) {
        escaped = CarriageReturnKeeper(input).run();
        input = escaped;
    }
    xmlParserCtxtPtr parser =
        xmlCreateMemoryParserCtxt(input.data(), static_cast<int>(input.size()));
    if (!parser) {
        if (error)
            *error = kMalformed;
        return std::nullopt;
    }
    std::memcpy(parser->sax, &handler, sizeof handler);
    parser->_private = this;
    parser->userData = parser;
    // The declaration of a converted UTF-16 file still names UTF-16.
    xmlCtxtUseOptions(parser, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                  (wide ? XML_PARSE_IGNORE_ENC : 0));
    _parser = parser;
    xmlParseDocument(parser);
    bool wellFormed = parser->wellFormed != 0;
    if (parser->myDoc) // libxml2 makes a document to hold entity declarations it met
        xmlFreeDoc(parser->myDoc);
    xmlFreeParserCtxt(parser);
    _parser = nullptr;

    if (_error.empty() && (!wellFormed || !_root))
        _error = kMalformed;
    if (!_error.empty()) {
        if (error)
            *error = _error;
        return std::nullopt;
    }
    return std::move(_root);
}

void XmlPropertyListReader::refuse(std::string reason) {
    if (_error.empty())
        _error = std::move(reason);
    if (_parser)
        xmlStopParser(static_cast<xmlParserCtxtPtr>(_parser));
}

namespace {

bool isContainer(XmlPropertyListReader::Element element) {
    using Element = XmlPropertyListReader::Element;
    return element == Element::Array || element == Element::Dict;
}

bool isScalar(XmlPropertyListReader::Element element) {
    return !isContainer(element) && element != XmlPropertyListReader::Element::Plist;
}

} // namespace

void XmlPropertyListReader::startElement(std::string_view name) {
    // The common names first: a long list is mostly strings, keys and containers.
    static const std::pair<std::string_view, Element> kElements[] = {
        {"string", Element::String}, {"key", Element::Key},         {"array", Element::Array},
        {"dict", Element::Dict},     {"integer", Element::Integer}, {"true", Element::True},
        {"false", Element::False},   {"real", Element::Real},       {"date", Element::Date},
        {"data", Element::Data},     {"plist", Element::Plist},
    };
    if (static_cast<int>(_elements.size()) >= _maxNesting)
        return refuse("containers nested too deeply");
    const Element* element = nullptr;
    for (const auto& [elementName, kind] : kElements) {
        if (elementName == name) {
            element = &kind;
            break;
        }
    }
    bool insideScalar = !_elements.empty() && isScalar(_elements.back());
    if (!element || insideScalar || (*element == Element::Plist && !_elements.empty()))
        return refuse(kMalformed);
    _elements.push_back(*element);
    if (isContainer(*element))
        _open.push_back(Container{*element == Element::Dict,
                                  *element == Element::Dict ? _entries.size() : _items.size(),
                                  {}});
    else
        _text.clear();
}

void XmlPropertyListReader::endElement(std::string_view) {
    if (_elements.empty())
        return;
    Element element = _elements.back();
    _elements.pop_back();
    if (isContainer(element))
        finishContainer();
    else if (isScalar(element))
        finishScalar(element);
}

void XmlPropertyListReader::characters(std::string_view text) {
    if (!_elements.empty() && isScalar(_elements.back()))
        _text.append(text);
}

void XmlPropertyListReader::finishContainer() {
    Container container = std::move(_open.back());
    _open.pop_back();
    if (container.key)
        return refuse(kMalformed); // a key without its value
    if (container.isDictionary) {
        auto first = _entries.begin() + static_cast<std::ptrdiff_t>(container.first);
        Dictionary dictionary;
        dictionary.reserve(static_cast<std::size_t>(_entries.end() - first));
        // A key given twice keeps its first place and its last value.
        for (auto entry = first; entry != _entries.end(); ++entry)
            dictionary.set(std::move(entry->first), std::move(entry->second));
        _entries.erase(first, _entries.end());
        return add(Value(std::move(dictionary)));
    }
    auto first = _items.begin() + static_cast<std::ptrdiff_t>(container.first);
    Array array(std::make_move_iterator(first), std::make_move_iterator(_items.end()));
    _items.erase(first, _items.end());
    add(Value(std::move(array)));
}

void XmlPropertyListReader::finishScalar(Element element) {
    if (element == Element::Key) {
        if (_open.empty() || !_open.back().isDictionary || _open.back().key)
            return refuse(kMalformed);
        _open.back().key = std::move(_text);
        return;
    }
    std::string problem;
    auto value = scalarValue(element, problem);
    if (!value) {
        int line = _parser ? xmlSAX2GetLineNumber(_parser) : 0;
        return refuse("not a property list (" + problem + " at line " + std::to_string(line) + ")");
    }
    add(std::move(*value));
}

std::optional<Value> XmlPropertyListReader::scalarValue(Element element, std::string& problem) {
    switch (element) {
    case Element::String: return Value(std::move(_text));
    case Element::True: return Value(true);
    case Element::False: return Value(false);
    case Element::Integer: {
        // Within 64 signed bits; anything else is refused, never wrapped.
        bool outOfRange = false;
        auto n = integerOf(trimWhiteSpace(_text), outOfRange);
        if (!n)
            problem = outOfRange ? "integer out of the 64-bit range" : "integer that is no number";
        return n ? std::optional<Value>(Value(*n)) : std::nullopt;
    }
    case Element::Real: {
        auto r = NumberText::exactReal(trimWhiteSpace(_text));
        if (!r)
            problem = "real that is no number";
        return r ? std::optional<Value>(Value(*r)) : std::nullopt;
    }
    case Element::Date: {
        auto seconds = dateOf(trimWhiteSpace(_text));
        if (!seconds)
            problem = "date that is not an ISO 8601 date";
        return seconds ? std::optional<Value>(Value(Date{*seconds})) : std::nullopt;
    }
    case Element::Data: {
        auto bytes = Base64::decode(_text);
        if (!bytes)
            problem = "data that is not base64";
        return bytes ? std::optional<Value>(Value(std::move(*bytes))) : std::nullopt;
    }
    default: problem = "value of no kind"; return std::nullopt;
    }
}

void XmlPropertyListReader::add(Value value) {
    if (_open.empty()) {
        if (_root)
            return refuse(kMalformed); // a second top value
        _root = std::move(value);
        return;
    }
    Container& parent = _open.back();
    if (!parent.isDictionary) {
        _items.push_back(std::move(value));
        return;
    }
    if (!parent.key)
        return refuse(kMalformed); // a value without its key
    _entries.emplace_back(std::move(*parent.key), std::move(value));
    parent.key.reset();
}

} // namespace velmora
