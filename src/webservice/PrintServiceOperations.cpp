#include "webservice/PrintServiceOperations.h"

#include "platform/foundation/NumberText.h"
#include "platform/foundation/PreferredLanguages.h"
#include "webservice/SoapScalarCodecs.h"
#include "webservice/USGlobals.h"

#include <libxml/tree.h>

#include <cstring>

namespace velmora::PrintServiceOperations {
namespace {

constexpr const char* kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";

struct OperationInfo {
    PrintServiceOperation operation;
    const char* name;
    const char* responseElement;
    StatusTable table;
    const char* statusField;
    std::vector<std::pair<const char*, Declared>> listFields;
};

const std::vector<OperationInfo>& operations() {
    using O = PrintServiceOperation;
    using T = StatusTable;
    constexpr auto A = Declared::Array;
    constexpr auto D = Declared::Dict;
    static const std::vector<OperationInfo> table = {
        {O::getStackerInfoList,
         "getStackerInfoList",
         "getStackerInfoListResponse",
         T::ServiceResult,
         "status",
         {{"ary", A}}},
        {O::getFeederInfoList,
         "getFeederInfoList",
         "getFeederInfoListResponse",
         T::ServiceResult,
         "status",
         {{"ary", A}}},
        {O::getJobFolderList,
         "getJobFolderList",
         "GetJobFolderListResponse",
         T::ServiceResult,
         "status",
         {{"dict", D}}},
        {O::getPrePostDeviceList,
         "getPrePostDeviceList",
         "getPrePostDeviceResponse",
         T::ServiceResult,
         "status",
         {{"dict", D}}},
        {O::getCmsSpotGetAllListData,
         "getCmsSpotGetAllListData",
         "getCmsSpotGetAllListDataResponse",
         T::ServiceResult,
         "status",
         {{"resInfo", A}}},
        {O::getSpotColorAllInfoListData,
         "getSpotColorAllInfoListData",
         "getSpotColorAllInfoListDataResponse",
         T::ResourceResult,
         "status",
         {{"resInfo", A}}},
        {O::getColorSubstListData,
         "getColorSubstListData",
         "getColorSubstListDataResponse",
         T::ResourceResult,
         "status",
         {{"resInfo", A}}},
        {O::GetJobResourceList,
         "GetJobResourceList",
         "GetJobResourceListResponse",
         T::ServiceResult,
         "status",
         {{"resInfo", A}}},
        {O::getJobResourceSetList,
         "getJobResourceSetList",
         "GetJobResourceSetListResponse",
         T::ResourceResult,
         "status",
         {{"resInfo", A}}},
        {O::getCalibFileList,
         "getCalibFileList",
         "getCalibFileListResponse",
         T::ResourceResult,
         "status",
         {{"arry", A}}},
        {O::getDensityAdjustProfileList,
         "getDensityAdjustProfileList",
         "getDensityAdjustProfileListResponse",
         T::ResourceResult,
         "status",
         {{"resInfo", A}}},
        {O::getUserTrcProfileList,
         "getUserTrcProfileList",
         "getUserTrcProfileListResponse",
         T::ResourceResult,
         "status",
         {{"resInfo", A}}},
        {O::getFontList,
         "getFontList",
         "getFontListResponse",
         T::ServiceResult,
         "result",
         {{"stdFontList", A}, {"optFontList", A}}},
        {O::getOutputProfileList,
         "getOutputProfileList",
         "getOutputProfileListResponse",
         T::ResourceResult,
         "status",
         {{"resInfo", A}}},
        {O::getRGBInputProfileList,
         "getRGBInputProfileList",
         "getRGBInputProfileListResponse",
         T::ResourceResult,
         "status",
         {{"resInfo", A}}},
        {O::getCMYKInputProfileList,
         "getCMYKInputProfileList",
         "getCMYKInputProfileListResponse",
         T::ResourceResult,
         "status",
         {{"resInfo", A}}},
        {O::getDeviceLinkFileList,
         "getDeviceLinkFileList",
         "getDeviceLinkFileListResponse",
         T::CmsResResult,
         "status",
         {{"arry", A}}},
    };
    return table;
}

const OperationInfo& info(PrintServiceOperation operation) {
    return operations()[static_cast<std::size_t>(operation)];
}

std::string iotBody(const char* operation) {
    return std::string("<") + operation + " xmlns=\"kv:zema\"><iotId>1</iotId></" + operation + ">";
}

std::string resourceSetBody(const char* operation) {
    return std::string("<") + operation +
           " xmlns=\"kv:zema\"><iotId>1</iotId><resourceSet>SYSTEM_DEFAULT</resourceSet></" +
           operation + ">";
}

std::string item(const char* key, const char* type, const char* value) {
    std::string text = std::string("<item key=\"") + key + "\"><val xsi:type=\"" + type + "\"";
    return *value ? text + ">" + value + "</val></item>" : text + "/></item>";
}

const char* localName(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

bool isElement(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE;
}

// The text children of an element, joined; whitespace between child elements does not count.
std::optional<std::string> directText(const xmlNode* node) {
    std::string text;
    bool hasElements = false;
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)
            text += reinterpret_cast<const char*>(child->content);
        hasElements = hasElements || isElement(child);
    }
    if (text.empty() || (hasElements && text.find_first_not_of(" \t\r\n") == std::string::npos))
        return std::nullopt;
    return text;
}

std::optional<std::string> attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return std::nullopt;
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::optional<long> integerAttribute(const xmlNode* node, const char* name) {
    auto text = attribute(node, name);
    return text ? std::optional<long>(static_cast<long>(NumberText::leadingInteger(*text)))
                : std::nullopt;
}

// The class name the element's xsi:type stands for; null when it has no type (an empty type
// is a type, of no class).
std::optional<std::string> typeClassName(xmlNode* node) {
    xmlChar* type = xmlGetNsProp(node, reinterpret_cast<const xmlChar*>("type"),
                                 reinterpret_cast<const xmlChar*>(kXsiNamespace));
    if (!type)
        return std::nullopt;
    std::string value(reinterpret_cast<const char*>(type));
    xmlFree(type);
    std::size_t colon = value.find(':');
    if (colon == std::string::npos)
        return value;
    std::string prefix = value.substr(0, colon);
    xmlNs* ns = xmlSearchNs(node->doc, node, reinterpret_cast<const xmlChar*>(prefix.c_str()));
    std::string classPrefix =
        ns && ns->href
            ? USGlobals::sharedInstance().prefixFor(reinterpret_cast<const char*>(ns->href))
            : std::string();
    return classPrefix + "_" + value.substr(colon + 1);
}

std::shared_ptr<PrintService_PropKeyValue> decodeKeyValue(xmlNode* node) {
    auto kv = std::make_shared<PrintService_PropKeyValue>();
    kv->key = attribute(node, "key");
    for (xmlNode* child = node->children; child; child = child->next) {
        if (!isElement(child))
            continue;
        if (auto text = directText(child))
            kv->val = *text;
        if (std::strcmp(localName(child), "val") == 0)
            if (auto value = decodeTyped(child, Declared::String))
                kv->val = *value;
    }
    return kv;
}

std::shared_ptr<PrintService_PropDict> decodeDict(xmlNode* node) {
    auto dict = std::make_shared<PrintService_PropDict>();
    dict->d = integerAttribute(node, "d");
    for (xmlNode* child = node->children; child; child = child->next)
        if (isElement(child) && std::strcmp(localName(child), "item") == 0)
            if (auto member = decodeTyped(child, Declared::KeyValue))
                dict->addItem(*member);
    return dict;
}

std::shared_ptr<PrintService_PropArray> decodeArray(xmlNode* node) {
    auto array = std::make_shared<PrintService_PropArray>();
    array->d = integerAttribute(node, "d");
    for (xmlNode* child = node->children; child; child = child->next) {
        if (!isElement(child))
            continue;
        if (auto text = directText(child))
            array->addItem(*text);
        if (std::strcmp(localName(child), "item") == 0)
            if (auto member = decodeTyped(child, Declared::String))
                array->addItem(*member);
    }
    return array;
}

} // namespace

const char* name(PrintServiceOperation operation) {
    return info(operation).name;
}
const char* responseElement(PrintServiceOperation operation) {
    return info(operation).responseElement;
}
StatusTable statusTable(PrintServiceOperation operation) {
    return info(operation).table;
}

std::optional<PrintServiceOperation> fromName(const std::string& operationName) {
    for (const auto& op : operations())
        if (operationName == op.name)
            return op.operation;
    return std::nullopt;
}

std::string escapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string requestBody(PrintServiceOperation operation, const PrintServiceRequest& request) {
    using O = PrintServiceOperation;
    switch (operation) {
    case O::getStackerInfoList: return iotBody("getStackerInfoList");
    case O::getFeederInfoList: return iotBody("getFeederInfoList");
    case O::getJobFolderList: return "<getJobFolderList xmlns=\"kv:zema\"/>";
    case O::getPrePostDeviceList: return iotBody("getPrePostDeviceList");
    case O::getCmsSpotGetAllListData:
        return "<getCmsSpotGetAllListData xmlns=\"kv:zema\"><dict d=\"0\">" +
               item("Print", "xsd:string", "1") + item("ColorMode", "xsd:int", "1") +
               item("ProfileType", "xsd:string", "") + item("ProfileName", "xsd:string", "") +
               item("Intent", "xsd:int", "2") + item("iotId", "xsd:unsignedInt", "1") +
               item("IsWithouDelete", "xsd:boolean", "true") + "</dict></getCmsSpotGetAllListData>";
    case O::getSpotColorAllInfoListData:
        return "<getSpotColorAllInfoListData xmlns=\"kv:zema\"><dict d=\"0\">" +
               item("iotId", "xsd:unsignedInt", "1") + "</dict></getSpotColorAllInfoListData>";
    case O::getColorSubstListData:
        return "<getColorSubstListData xmlns=\"kv:zema\"><dict d=\"0\">" +
               item("IotId", "xsd:int", "1") + "</dict></getColorSubstListData>";
    case O::GetJobResourceList:
        return "<GetJobResourceList xmlns=\"kv:zema\"><type>" + std::to_string(request.type) +
               "</type><select>" + escapeXml(request.select) + "</select></GetJobResourceList>";
    case O::getJobResourceSetList:
        return "<GetJobResourceSetList xmlns=\"kv:zema\"><type>0</type></GetJobResourceSetList>";
    case O::getCalibFileList:
        return "<getCalibFileList xmlns=\"kv:zema\"><initDict d=\"0\">" +
               item("IotId", "xsd:unsignedInt", "1") + "</initDict></getCalibFileList>";
    case O::getDensityAdjustProfileList: return resourceSetBody("getDensityAdjustProfileList");
    case O::getUserTrcProfileList: return resourceSetBody("getUserTrcProfileList");
    case O::getFontList: {
        bool japanese = PreferredLanguages::first().find("ja") != std::string::npos;
        return std::string("<getFontList xmlns=\"kv:zema\"><lang>") +
               (japanese ? "ja-HJP" : "en-US") + "</lang></getFontList>";
    }
    case O::getOutputProfileList: return iotBody("getOutputProfileList");
    case O::getRGBInputProfileList: return "<getRGBInputProfileList xmlns=\"kv:zema\"/>";
    case O::getCMYKInputProfileList: return "<getCMYKInputProfileList xmlns=\"kv:zema\"/>";
    case O::getDeviceLinkFileList:
        return "<getDeviceLinkFileList xmlns=\"kv:zema\"><initDict d=\"0\">" +
               item("IotId", "xsd:int", "1") + "</initDict></getDeviceLinkFileList>";
    }
    return {};
}

std::string envelope(PrintServiceOperation operation, const PrintServiceRequest& request) {
    return "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
           "<s:Body xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">" +
           requestBody(operation, request) + "</s:Body></s:Envelope>";
}

std::optional<PropItem> decodeTyped(xmlNode* element, Declared declared) {
    auto typeName = typeClassName(element);
    if (!typeName) {
        switch (declared) {
        case Declared::String: {
            auto text = directText(element);
            return text ? std::optional<PropItem>(*text) : std::nullopt;
        }
        case Declared::KeyValue: return PropItem(decodeKeyValue(element));
        case Declared::Dict: return PropItem(decodeDict(element));
        case Declared::Array: return PropItem(decodeArray(element));
        }
    }
    const std::string& className = *typeName;
    if (className == "PrintService_PropKeyValue")
        return PropItem(decodeKeyValue(element));
    if (className == "PrintService_PropDict")
        return PropItem(decodeDict(element));
    if (className == "PrintService_PropArray")
        return PropItem(decodeArray(element));
    return std::nullopt; // "_string" and every other name decode to nothing
}

namespace {

// A repeated child overwrites the field, also when it decodes to nothing.
void setField(PrintServiceMessage& message, const std::string& field,
              std::optional<PropItem> value) {
    if (value)
        message.fields[field] = std::move(*value);
    else
        message.fields.erase(field);
}

} // namespace

PrintServiceMessage decodeMessage(PrintServiceOperation operation, xmlNode* element) {
    const OperationInfo& op = info(operation);
    PrintServiceMessage message;
    message.operation = operation;
    for (xmlNode* child = element->children; child; child = child->next) {
        if (!isElement(child))
            continue;
        std::string field = localName(child);
        if (field == op.statusField) {
            message.status = statusFromString(op.table, directText(child).value_or(""));
        } else if (field == "bResult") {
            if (auto value = SoapScalarCodecs::boolean(directText(child).value_or("")))
                message.bResult = *value;
        } else if (field == "nDetail") {
            if (auto value = SoapScalarCodecs::number(directText(child).value_or("")))
                message.nDetail = *value;
        } else {
            for (const auto& [listName, declared] : op.listFields)
                if (field == listName)
                    setField(message, field, decodeTyped(child, declared));
        }
    }
    return message;
}

} // namespace velmora::PrintServiceOperations

namespace velmora {
const PropItem* PrintServiceMessage::field(const std::string& fieldName) const {
    auto it = fields.find(fieldName);
    return it == fields.end() ? nullptr : &it->second;
}
} // namespace velmora
