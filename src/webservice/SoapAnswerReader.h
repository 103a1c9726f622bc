#pragma once

#include "webservice/PrintServiceSoap.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// Decodes a print server's answer in one pass over the parser's events: the operation's message
// and any faults are built while their elements go by, so memory grows with the records kept,
// not with the document. An answer that is not well-formed XML, or that carries a DOCTYPE, is
// refused whole.
class SoapAnswerReader {
public:
    explicit SoapAnswerReader(PrintServiceOperation operation);
    PrintServiceSoapResponse read(const std::string& bytes);
    static constexpr std::size_t kPieceBytes = 256u << 10;
    // The deepest an element may lie (counted in open ancestors): libxml2's own limit, which
    // its push parser does not apply when it builds no tree. Deeper answers are refused, so no
    // decoded value nests deeper than this.
    static constexpr std::size_t kMaxNesting = 256;

    // An element's start as the parser reports it; strings are null where the document has none.
    struct ElementStart {
        const unsigned char* localName;
        const unsigned char* prefix;
        const unsigned char* uri;
        int namespaceCount;
        const unsigned char** namespaces; // prefix, URI pairs
        int attributeCount;
        const unsigned char** attributes; // local name, prefix, URI, value, value end
    };
    void startElement(const ElementStart& element);
    void endElement();
    void characters(std::string_view text);
    void endDocument();
    void refuse();

private:
    // What an open element is decoded as.
    enum class Role : unsigned char {
        Ignored,
        Envelope,
        Body,
        Message,
        Fault,
        FaultCode,  // a SOAP 1.2 fault's Code, whose Value is the fault code
        FaultText,  // a fault field: all the text inside it
        Status,
        BResult,
        NDetail,
        Text,       // only its own text counts (a child of a key-value pair or an array)
        KeyValue,
        Dict,
        Array,
    };
    // What the typed-element rule yields for an element it applies to.
    enum class Typed : unsigned char { NotApplied, Nothing, Text, Object };
    enum class FaultPart : unsigned char { Code, String, Actor, Detail };

    struct Frame {
        Role role = Role::Ignored;
        Typed typed = Typed::NotApplied;
        FaultPart faultPart = FaultPart::Code;
        bool collectsText = false;
        bool hasElements = false;
        std::size_t textSink = kNoSink; // the fault field that gathers all text below it
        std::size_t namespaceCount = 0;
        std::string text;
        std::string field; // the message field an element fills
        PropItem object;
    };
    static constexpr std::size_t kNoSink = static_cast<std::size_t>(-1);

    PrintServiceOperation _operation;
    const char* _expected;
    const char* _statusField;
    PrintServiceSoapResponse _response;
    std::size_t _part = 0; // the body part being decoded
    std::vector<Frame> _frames; // reused between elements, so their text buffers stay allocated
    std::size_t _depth = 0;
    std::vector<std::pair<std::string, std::string>> _namespaces; // prefix → URI, innermost last
    std::string _qualifiedName;
    int _faultVersion = 0;
    bool _refused = false;
    bool _ended = false;
    void* _parser = nullptr;

    bool parse(const std::string& bytes);
    Frame& pushFrame();
    void pushNamespaces(const ElementStart& element, Frame& frame);
    std::string_view treeName(const ElementStart& element);
    void assignRole(Frame& frame, const Frame& parent, std::string_view name,
                    const ElementStart& element);
    void startBodyPart(Frame& frame, std::string_view name, const ElementStart& element);
    void startMessageChild(Frame& frame, std::string_view name, const ElementStart& element);
    void startFaultChild(Frame& frame, std::string_view name);
    void applyTypedRule(Frame& frame, PrintServiceOperations::Declared declared,
                        const ElementStart& element);
    void startObject(Frame& frame, Role role, const ElementStart& element);
    Role classOfType(std::string_view type) const;
    std::string_view namespaceUri(std::string_view prefix) const;

    void finish(Frame& child, Frame& parent);
    void finishMessageChild(Frame& child);
    void finishFaultText(Frame& child);
    std::optional<PropItem> typedResult(Frame& child) const;
    static std::optional<std::string> directText(const Frame& frame);
};

} // namespace velmora
