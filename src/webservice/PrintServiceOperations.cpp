#include "webservice/PrintServiceOperations.h"

#include "platform/foundation/PreferredLanguages.h"

namespace velmora::PrintServiceOperations {
namespace {

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

const char* statusField(PrintServiceOperation operation) {
    return info(operation).statusField;
}

std::optional<Declared> listFieldType(PrintServiceOperation operation, std::string_view field) {
    for (const auto& [listName, declared] : info(operation).listFields)
        if (field == listName)
            return declared;
    return std::nullopt;
}

} // namespace velmora::PrintServiceOperations

namespace velmora {
const PropItem* PrintServiceMessage::field(const std::string& fieldName) const {
    auto it = fields.find(fieldName);
    return it == fields.end() ? nullptr : &it->second;
}
} // namespace velmora
