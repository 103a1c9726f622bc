#pragma once

#include "webservice/PrintServiceTypes.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct _xmlNode;

namespace velmora {

// The seventeen operations of the print server's PrintService.
enum class PrintServiceOperation {
    getStackerInfoList,
    getFeederInfoList,
    getJobFolderList,
    getPrePostDeviceList,
    getCmsSpotGetAllListData,
    getSpotColorAllInfoListData,
    getColorSubstListData,
    GetJobResourceList,
    getJobResourceSetList,
    getCalibFileList,
    getDensityAdjustProfileList,
    getUserTrcProfileList,
    getFontList,
    getOutputProfileList,
    getRGBInputProfileList,
    getCMYKInputProfileList,
    getDeviceLinkFileList,
};

// What a request carries beyond the fixed text: the type and select of GetJobResourceList and
// the language of getFontList.
struct PrintServiceRequest {
    long type = 0;
    std::string select = "SYSTEM_DEFAULT";
};

// A decoded response message: its list fields by name, its status and the two extra fields of
// GetJobResourceList.
struct PrintServiceMessage {
    PrintServiceOperation operation{};
    std::map<std::string, PropItem> fields;
    int status = 0;
    std::optional<bool> bResult;
    std::optional<double> nDetail;

    const PropItem* field(const std::string& name) const;
};

namespace PrintServiceOperations {

const char* name(PrintServiceOperation operation);
// The Body element that carries the answer ("getStackerInfoListResponse", ...).
const char* responseElement(PrintServiceOperation operation);
StatusTable statusTable(PrintServiceOperation operation);
// The request body inside the envelope; select is escaped for XML.
std::string requestBody(PrintServiceOperation operation, const PrintServiceRequest& request);
// The whole envelope, sent as it stands.
std::string envelope(PrintServiceOperation operation, const PrintServiceRequest& request);
// The operation a name stands for ("getStackerInfoList"); null for an unknown name.
std::optional<PrintServiceOperation> fromName(const std::string& name);
std::string escapeXml(const std::string& text);

// Decodes a response element by the message rules and the typed-element rule.
PrintServiceMessage decodeMessage(PrintServiceOperation operation, _xmlNode* element);
// The typed-element rule on its own: a property object, a string, or nothing.
enum class Declared { String, KeyValue, Dict, Array };
std::optional<PropItem> decodeTyped(_xmlNode* element, Declared declared);

} // namespace PrintServiceOperations
} // namespace velmora
