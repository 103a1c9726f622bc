#pragma once

#include "platform/printing/PressTicket.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <memory>
#include <string>

namespace velmora::test {

// CIP4's published schema: the one reading of a ticket that is not ours.
class XjdfSchema {
public:
    XjdfSchema() {
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(VELMORA_XJDF_SCHEMA);
        _schema = xmlSchemaParse(parser);
        xmlSchemaFreeParserCtxt(parser);
    }
    ~XjdfSchema() { xmlSchemaFree(_schema); }
    // Empty when the document is valid, else what the validator said.
    std::string problems(const std::string& xml) const {
        std::string said;
        xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "t.xml", nullptr,
                                      XML_PARSE_NONET);
        if (!doc)
            return "not XML";
        xmlSchemaValidCtxtPtr context = xmlSchemaNewValidCtxt(_schema);
        xmlSchemaSetValidStructuredErrors(
            context,
            [](void* out, xmlErrorPtr error) {
                *static_cast<std::string*>(out) += error->message ? error->message : "?";
            },
            &said);
        int result = xmlSchemaValidateDoc(context, doc);
        xmlSchemaFreeValidCtxt(context);
        xmlFreeDoc(doc);
        return result == 0 ? std::string() : said.empty() ? "invalid" : said;
    }
    bool loaded() const { return _schema != nullptr; }

private:
    xmlSchemaPtr _schema = nullptr;
};

// The value of an XPath over a ticket, XJDF's namespace as "x".
inline std::string xpath(const std::string& xml, const std::string& expression) {
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "t.xml", nullptr, 0), xmlFreeDoc);
    xmlXPathContextPtr context = xmlXPathNewContext(doc.get());
    xmlXPathRegisterNs(context, BAD_CAST "x", BAD_CAST PressTicket::kXjdfNamespace);
    xmlXPathObjectPtr result =
        xmlXPathEvalExpression(BAD_CAST("string(" + expression + ")").c_str(), context);
    std::string value =
        result && result->stringval ? reinterpret_cast<const char*>(result->stringval) : "";
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return value;
}

} // namespace velmora::test
