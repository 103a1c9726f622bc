#pragma once

#include "webservice/PrintServiceTypes.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The message child that carries the status: "status", or "result" for getFontList.
const char* statusField(PrintServiceOperation operation);
// What an element decodes to when it carries no xsi:type.
enum class Declared { String, KeyValue, Dict, Array };
// The declared type of one of the message's list fields; null for any other name.
std::optional<Declared> listFieldType(PrintServiceOperation operation, std::string_view field);

} // namespace PrintServiceOperations
} // namespace velmora
