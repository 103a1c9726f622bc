#include "webservice/SoapAnswerReader.h"

#include "platform/foundation/NumberText.h"
#include "platform/foundation/XmlSaxHandler.h"
#include "webservice/SoapScalarCodecs.h"
#include "webservice/USGlobals.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstring>
#include <span>

namespace velmora {
namespace {

using Declared = PrintServiceOperations::Declared;

constexpr std::string_view kSoap11 = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr std::string_view kSoap12 = "http://www.w3.org/2003/05/soap-envelope";
constexpr std::string_view kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr const char* kXmlDomain = "PrintServiceResponseXML";

std::string_view view(const xmlChar* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

SoapAnswerReader* readerOf(void* context) {
    return static_cast<SoapAnswerReader*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void onStartElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                    const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                    int attributeCount, int, const xmlChar** attributes) {
    readerOf(context)->startElement(
        {localName, prefix, uri, namespaceCount, namespaces, attributeCount, attributes});
}

void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    readerOf(context)->endElement();
}

void onCharacters(void* context, const xmlChar* characters, int length) {
    readerOf(context)->characters(
        std::string_view(reinterpret_cast<const char*>(characters), static_cast<size_t>(length)));
}

// A parse that was halted (by a bad byte sequence, say) never gets here.
void onEndDocument(void* context) {
    readerOf(context)->endDocument();
}

// A SOAP message carries no document type: the parse stops at the DOCTYPE, before any
// declaration in it is read.
void onDocumentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    readerOf(context)->refuse();
}

void onEntityDeclaration(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*,
                         xmlChar*) {
    readerOf(context)->refuse();
}

xmlSAXHandler saxHandler() {
    xmlSAXHandler handler = elementAndTextSaxHandler(onStartElement, onEndElement, onCharacters);
    handler.endDocument = onEndDocument;
    handler.internalSubset = onDocumentType;
    handler.entityDecl = onEntityDeclaration;
    return handler;
}

// An attribute by its name as the document tree shows it, in any namespace (the first one).
std::optional<std::string_view> attribute(const SoapAnswerReader::ElementStart& element,
                                          std::string_view name) {
    for (int i = 0; i < element.attributeCount; ++i) {
        const xmlChar** a = element.attributes + 5 * i;
        bool prefixUnbound = a[1] && !a[2]; // such a name keeps its prefix
        if (!prefixUnbound && view(a[0]) == name)
            return std::string_view(reinterpret_cast<const char*>(a[3]),
                                    static_cast<std::size_t>(a[4] - a[3]));
    }
    return std::nullopt;
}

std::optional<std::string_view> xsiType(const SoapAnswerReader::ElementStart& element) {
    for (int i = 0; i < element.attributeCount; ++i) {
        const xmlChar** a = element.attributes + 5 * i;
        if (view(a[0]) == "type" && view(a[2]) == kXsiNamespace)
            return std::string_view(reinterpret_cast<const char*>(a[3]),
                                    static_cast<std::size_t>(a[4] - a[3]));
    }
    return std::nullopt;
}

std::optional<long> integerAttribute(const SoapAnswerReader::ElementStart& element,
                                     std::string_view name) {
    auto text = attribute(element, name);
    return text ? std::optional<long>(static_cast<long>(NumberText::leadingInteger(*text)))
                : std::nullopt;
}

bool isWhiteSpace(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

SoapAnswerReader::SoapAnswerReader(PrintServiceOperation operation)
    : _operation(operation), _expected(PrintServiceOperations::responseElement(operation)),
      _statusField(PrintServiceOperations::statusField(operation)) {}

PrintServiceSoapResponse SoapAnswerReader::read(const std::string& bytes) {
    if (bytes.empty()) {
        _response.error = SoapError{kXmlDomain, 2, "The server's answer was empty"};
        return std::move(_response);
    }
    bool wellFormed = parse(bytes);
    if (!wellFormed || _refused || !_ended) {
        PrintServiceSoapResponse refused;
        refused.error = SoapError{kXmlDomain, 1, "Errors while parsing returned XML"};
        return refused;
    }
    return std::move(_response);
}

// The answer is fed to the parser in pieces rather than handed over whole, which would copy it
// first: an answer may be tens of megabytes.
bool SoapAnswerReader::parse(const std::string& bytes) {
    xmlSAXHandler handler = saxHandler();
    std::size_t first = std::min<std::size_t>(bytes.size(), 4); // enough to tell the encoding
    xmlParserCtxtPtr parser =
        xmlCreatePushParserCtxt(&handler, nullptr, bytes.data(), static_cast<int>(first), nullptr);
    if (!parser)
        return false;
    parser->_private = this;
    // Entities are replaced where they stand; only the predefined ones and character references
    // can be met, since a DOCTYPE ends the parse.
    xmlCtxtUseOptions(parser,
                      XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    _parser = parser;
    for (std::size_t at = first; parser->wellFormed && !_refused;) {
        std::size_t piece = std::min(bytes.size() - at, kPieceBytes);
        bool last = at + piece == bytes.size();
        xmlParseChunk(parser, bytes.data() + at, static_cast<int>(piece), last);
        at += piece;
        if (last)
            break;
    }
    bool wellFormed = parser->wellFormed != 0;
    if (parser->myDoc)
        xmlFreeDoc(parser->myDoc);
    xmlFreeParserCtxt(parser);
    _parser = nullptr;
    return wellFormed;
}

void SoapAnswerReader::endDocument() {
    _ended = true;
}

void SoapAnswerReader::refuse() {
    _refused = true;
    if (_parser)
        xmlStopParser(static_cast<xmlParserCtxtPtr>(_parser));
}

SoapAnswerReader::Frame& SoapAnswerReader::pushFrame() {
    if (_depth == _frames.size())
        _frames.emplace_back();
    Frame& frame = _frames[_depth++];
    frame.role = Role::Ignored;
    frame.typed = Typed::NotApplied;
    frame.collectsText = false;
    frame.hasElements = false;
    frame.textSink = kNoSink;
    frame.namespaceCount = 0;
    frame.text.clear();
    frame.field.clear();
    frame.object = std::string();
    return frame;
}

// An element whose namespace prefix is bound to nothing keeps the prefix in its name.
std::string_view SoapAnswerReader::treeName(const ElementStart& element) {
    if (!element.prefix || element.uri)
        return view(element.localName);
    _qualifiedName.assign(reinterpret_cast<const char*>(element.prefix));
    _qualifiedName += ':';
    _qualifiedName += view(element.localName);
    return _qualifiedName;
}

void SoapAnswerReader::pushNamespaces(const ElementStart& element, Frame& frame) {
    for (int i = 0; i < element.namespaceCount; ++i)
        _namespaces.emplace_back(view(element.namespaces[2 * i]),
                                 view(element.namespaces[2 * i + 1]));
    frame.namespaceCount = static_cast<std::size_t>(element.namespaceCount);
}

std::string_view SoapAnswerReader::namespaceUri(std::string_view prefix) const {
    if (prefix == "xml")
        return kXmlNamespace;
    for (auto it = _namespaces.rbegin(); it != _namespaces.rend(); ++it)
        if (!it->first.empty() && it->first == prefix && !it->second.empty())
            return it->second;
    return {};
}

void SoapAnswerReader::startElement(const ElementStart& element) {
    if (_depth > kMaxNesting)
        return refuse();
    std::string_view name = treeName(element);
    Frame* parent = _depth ? &_frames[_depth - 1] : nullptr;
    if (parent)
        parent->hasElements = true;
    std::size_t sink = parent ? parent->textSink : kNoSink;
    Frame& frame = pushFrame();
    parent = _depth > 1 ? &_frames[_depth - 2] : nullptr; // the push may have moved the frames
    pushNamespaces(element, frame);
    frame.textSink = sink;
    if (!parent)
        frame.role = Role::Envelope;
    else
        assignRole(frame, *parent, name, element);
}

void SoapAnswerReader::assignRole(Frame& frame, const Frame& parent, std::string_view name,
                                  const ElementStart& element) {
    switch (parent.role) {
    case Role::Envelope:
        if (name == "Body") {
            frame.role = Role::Body;
            _response.bodyParts.clear();
        }
        return;
    case Role::Body: return startBodyPart(frame, name, element);
    case Role::Message: return startMessageChild(frame, name, element);
    case Role::Fault: return startFaultChild(frame, name);
    case Role::FaultCode:
        if (name == "Value") {
            frame.role = Role::FaultText;
            frame.faultPart = FaultPart::Code;
            frame.textSink = _depth - 1;
        }
        return;
    case Role::KeyValue:
    case Role::Array: {
        // Every child's own text counts; a "val" of a pair or an "item" of an array is decoded too.
        frame.role = Role::Text;
        frame.collectsText = true;
        bool member = parent.role == Role::KeyValue ? name == "val" : name == "item";
        if (member)
            applyTypedRule(frame, Declared::String, element);
        return;
    }
    case Role::Dict:
        if (name == "item")
            applyTypedRule(frame, Declared::KeyValue, element);
        return;
    default: return;
    }
}

void SoapAnswerReader::startBodyPart(Frame& frame, std::string_view name,
                                     const ElementStart& element) {
    if (name == _expected) {
        frame.role = Role::Message;
        PrintServiceMessage message;
        message.operation = _operation;
        _response.bodyParts.emplace_back(std::move(message));
    } else if (name == "Fault" &&
               (view(element.prefix) == "soap" || view(element.uri) == kSoap11 ||
                view(element.uri) == kSoap12)) {
        frame.role = Role::Fault;
        _faultVersion = view(element.uri) == kSoap11 ? 11 : view(element.uri) == kSoap12 ? 12 : 0;
        _response.bodyParts.emplace_back(SOAPFault{});
    } else {
        return;
    }
    _part = _response.bodyParts.size() - 1;
}

void SoapAnswerReader::startMessageChild(Frame& frame, std::string_view name,
                                         const ElementStart& element) {
    if (name == _statusField)
        frame.role = Role::Status;
    else if (name == "bResult")
        frame.role = Role::BResult;
    else if (name == "nDetail")
        frame.role = Role::NDetail;
    if (frame.role != Role::Ignored) {
        frame.collectsText = true;
        return;
    }
    if (auto declared = PrintServiceOperations::listFieldType(_operation, name)) {
        frame.field.assign(name);
        applyTypedRule(frame, *declared, element);
    }
}

void SoapAnswerReader::startFaultChild(Frame& frame, std::string_view name) {
    static const std::pair<std::string_view, FaultPart> kSoap11Parts[] = {
        {"faultcode", FaultPart::Code},
        {"faultstring", FaultPart::String},
        {"faultactor", FaultPart::Actor},
        {"detail", FaultPart::Detail}};
    static const std::pair<std::string_view, FaultPart> kSoap12Parts[] = {
        {"Reason", FaultPart::String}, {"Node", FaultPart::Actor}, {"Detail", FaultPart::Detail}};
    if (_faultVersion == 12 && name == "Code") {
        frame.role = Role::FaultCode;
        return;
    }
    auto parts = _faultVersion == 11 ? std::span(kSoap11Parts)
                 : _faultVersion == 12 ? std::span(kSoap12Parts)
                                       : std::span<const std::pair<std::string_view, FaultPart>>();
    for (const auto& [partName, part] : parts) {
        if (name == partName) {
            frame.role = Role::FaultText;
            frame.faultPart = part;
            frame.textSink = _depth - 1;
        }
    }
}

// The element's xsi:type names its class; without one the declared type holds.
void SoapAnswerReader::applyTypedRule(Frame& frame, Declared declared,
                                      const ElementStart& element) {
    Role role = Role::Ignored;
    if (auto type = xsiType(element)) {
        role = classOfType(*type);
    } else if (declared == Declared::String) {
        frame.typed = Typed::Text;
        frame.collectsText = true;
        return;
    } else {
        role = declared == Declared::KeyValue ? Role::KeyValue
               : declared == Declared::Dict   ? Role::Dict
                                              : Role::Array;
    }
    if (role == Role::Ignored) {
        frame.typed = Typed::Nothing; // "xsd:string" and every other class decode to nothing
        return;
    }
    startObject(frame, role, element);
}

// Only the three property classes are known by name. A qualified type finds its class prefix
// through the namespace its prefix is bound to here.
SoapAnswerReader::Role SoapAnswerReader::classOfType(std::string_view type) const {
    std::size_t colon = type.find(':');
    std::string_view localName = type;
    if (colon != std::string_view::npos) {
        std::string uri(namespaceUri(type.substr(0, colon)));
        if (uri.empty() || USGlobals::sharedInstance().prefixFor(uri) != "PrintService")
            return Role::Ignored;
        localName = type.substr(colon + 1);
    } else if (type.starts_with("PrintService_")) {
        localName = type.substr(std::strlen("PrintService_"));
    } else {
        return Role::Ignored;
    }
    if (localName == "PropKeyValue")
        return Role::KeyValue;
    if (localName == "PropDict")
        return Role::Dict;
    if (localName == "PropArray")
        return Role::Array;
    return Role::Ignored;
}

void SoapAnswerReader::startObject(Frame& frame, Role role, const ElementStart& element) {
    frame.role = role;
    frame.typed = Typed::Object;
    if (role == Role::KeyValue) {
        auto kv = std::make_shared<PrintService_PropKeyValue>();
        if (auto key = attribute(element, "key"))
            kv->key = std::string(*key);
        frame.object = std::move(kv);
    } else if (role == Role::Dict) {
        auto dict = std::make_shared<PrintService_PropDict>();
        dict->d = integerAttribute(element, "d");
        frame.object = std::move(dict);
    } else {
        auto array = std::make_shared<PrintService_PropArray>();
        array->d = integerAttribute(element, "d");
        frame.object = std::move(array);
    }
}

void SoapAnswerReader::characters(std::string_view text) {
    if (!_depth)
        return;
    Frame& frame = _frames[_depth - 1];
    if (frame.collectsText)
        frame.text.append(text);
    if (frame.textSink != kNoSink)
        _frames[frame.textSink].text.append(text);
}

void SoapAnswerReader::endElement() {
    if (!_depth)
        return;
    Frame& child = _frames[--_depth];
    _namespaces.resize(_namespaces.size() - child.namespaceCount);
    if (child.role == Role::FaultText)
        finishFaultText(child);
    if (_depth)
        finish(child, _frames[_depth - 1]);
}

void SoapAnswerReader::finish(Frame& child, Frame& parent) {
    switch (parent.role) {
    case Role::Message: return finishMessageChild(child);
    case Role::KeyValue: {
        auto& kv = *std::get<std::shared_ptr<PrintService_PropKeyValue>>(parent.object);
        if (auto text = directText(child))
            kv.val = std::move(*text);
        if (auto value = typedResult(child))
            kv.val = std::move(*value);
        return;
    }
    case Role::Array: {
        auto& array = *std::get<std::shared_ptr<PrintService_PropArray>>(parent.object);
        if (auto text = directText(child))
            array.addItem(std::move(*text));
        if (auto value = typedResult(child))
            array.addItem(std::move(*value));
        return;
    }
    case Role::Dict:
        if (auto value = typedResult(child))
            std::get<std::shared_ptr<PrintService_PropDict>>(parent.object)->addItem(std::move(*value));
        return;
    default: return;
    }
}

// A repeated child overwrites the field, also when it decodes to nothing.
void SoapAnswerReader::finishMessageChild(Frame& child) {
    auto& message = std::get<PrintServiceMessage>(_response.bodyParts[_part]);
    switch (child.role) {
    case Role::Status:
        message.status = statusFromString(PrintServiceOperations::statusTable(_operation),
                                          directText(child).value_or(""));
        return;
    case Role::BResult:
        if (auto value = SoapScalarCodecs::boolean(directText(child).value_or("")))
            message.bResult = *value;
        return;
    case Role::NDetail:
        if (auto value = SoapScalarCodecs::number(directText(child).value_or("")))
            message.nDetail = *value;
        return;
    default:
        if (child.typed == Typed::NotApplied)
            return;
        if (auto value = typedResult(child))
            message.fields[child.field] = std::move(*value);
        else
            message.fields.erase(child.field);
    }
}

void SoapAnswerReader::finishFaultText(Frame& child) {
    auto& fault = std::get<SOAPFault>(_response.bodyParts[_part]);
    switch (child.faultPart) {
    case FaultPart::Code: fault.faultcode = child.text; return;
    case FaultPart::String: fault.faultstring = child.text; return;
    case FaultPart::Actor: fault.faultactor = child.text; return;
    case FaultPart::Detail: fault.detail = child.text; return;
    }
}

std::optional<PropItem> SoapAnswerReader::typedResult(Frame& child) const {
    switch (child.typed) {
    case Typed::Text: return directText(child);
    case Typed::Object: return std::move(child.object);
    default: return std::nullopt;
    }
}

// The element's own text; white space between child elements does not count.
std::optional<std::string> SoapAnswerReader::directText(const Frame& frame) {
    if (frame.text.empty() || (frame.hasElements && isWhiteSpace(frame.text)))
        return std::nullopt;
    return frame.text;
}

} // namespace velmora
