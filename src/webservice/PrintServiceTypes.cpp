#include "webservice/PrintServiceTypes.h"

#include <array>

namespace velmora {

const std::vector<PropItem>* itemsOf(const PropItem& object) {
    if (auto dict = std::get_if<std::shared_ptr<PrintService_PropDict>>(&object))
        return *dict ? &(*dict)->item : nullptr;
    if (auto array = std::get_if<std::shared_ptr<PrintService_PropArray>>(&object))
        return *array ? &(*array)->item : nullptr;
    return nullptr;
}

const std::string* stringOf(const std::optional<PropItem>& value) {
    return value ? std::get_if<std::string>(&*value) : nullptr;
}

std::shared_ptr<PrintService_PropKeyValue> keyValueOf(const PropItem& member) {
    auto kv = std::get_if<std::shared_ptr<PrintService_PropKeyValue>>(&member);
    return kv ? *kv : nullptr;
}

std::string SOAPFault::simpleFaultString() const {
    static const std::string kPrefix = "System.Web.Services.Protocols.SoapException: ";
    static const std::string kNone;
    const std::string& fault = faultstring ? *faultstring : kNone;
    // One pass: erasing in place would cost the square of a long fault's length.
    std::string text;
    text.reserve(fault.size());
    for (std::size_t at = 0;;) {
        std::size_t found = fault.find(kPrefix, at);
        text.append(fault, at, found == std::string::npos ? std::string::npos : found - at);
        if (found == std::string::npos)
            break;
        at = found + kPrefix.size();
    }
    std::size_t trace = text.find("\n   at ");
    if (trace != std::string::npos)
        text.erase(trace);
    return text;
}

namespace {

const std::vector<std::string>& rows(StatusTable table) {
    static const std::vector<std::string> service = {"OK",
                                                     "InitializeError",
                                                     "OutOfMemory",
                                                     "ExceedClientCount",
                                                     "DuplicateClientUniqueId",
                                                     "HostNotAllowed",
                                                     "JobNotFound",
                                                     "JobOperationNotAllowed",
                                                     "AlreadyRipped",
                                                     "InvalidJobStatus",
                                                     "ScheduleOperationError",
                                                     "ScheduleColorManagementError",
                                                     "ScheduleFontDownloadError",
                                                     "FileNotFound",
                                                     "FileLockError",
                                                     "IniFileError",
                                                     "DiskFull",
                                                     "UnknownUserName",
                                                     "UserAlreadyExist",
                                                     "BadUserName",
                                                     "BadPassword",
                                                     "PasswordMismatch",
                                                     "ExceedUserCount",
                                                     "TooLongUserName",
                                                     "TooLongPassword",
                                                     "BadUserComment",
                                                     "PatliteDefAccess",
                                                     "UnknownPatlite",
                                                     "PatliteAlreadyExist",
                                                     "PatliteBadHost",
                                                     "StopScheduling",
                                                     "CategoryExisted",
                                                     "CategorySelected",
                                                     "AppleTalkNeedRebootAfp",
                                                     "AppleTalkNeedRebootDriver",
                                                     "CollectLogDuplicated",
                                                     "JobProcError",
                                                     "TagAlreadyExist",
                                                     "ExceedTagCount",
                                                     "RequestDuplicated",
                                                     "Error"};
    static const std::vector<std::string> resource = {"OK",
                                                      "Error",
                                                      "RscSetMaxEntry",
                                                      "RscMaxEntry",
                                                      "RscSetNotExist",
                                                      "RscExist",
                                                      "RscNotExist",
                                                      "RscModifyNG",
                                                      "RscUsing",
                                                      "DiskFull",
                                                      "IllegalData",
                                                      "RscLocked",
                                                      "PatternNotExist",
                                                      "UnmatchPatch",
                                                      "UnknError",
                                                      "Unsupperted",
                                                      "Aborted",
                                                      "AllocateError",
                                                      "InifileError",
                                                      "PressCovNonR",
                                                      "PressCovNonG",
                                                      "PressCovNonB",
                                                      "PressCovNonW",
                                                      "PressCovNonC",
                                                      "PressCovNonM",
                                                      "PressCovNonY",
                                                      "PressCovNonK",
                                                      "PrinterCovNonW",
                                                      "PrinterCovNonC",
                                                      "PrinterCovNonM",
                                                      "PrinterCovNonY",
                                                      "PrinterCovNonK",
                                                      "PressNumberDifferent",
                                                      "PrinterNumberDifferent",
                                                      "IllegalParam",
                                                      "IllegalProfile",
                                                      "ReadError",
                                                      "WriteError",
                                                      "DataError",
                                                      "IllegalDataFormat",
                                                      "AdditionalCMYK",
                                                      "InndevDataError",
                                                      "OutdevDataError",
                                                      "RetryError",
                                                      "RetryErrorDetail",
                                                      "IccMwpError",
                                                      "FileCannotFeedBack",
                                                      "MesfileError",
                                                      "FbdeltaeToomuch",
                                                      "FbprofFormatError",
                                                      "IccVersionError"};
    static const std::vector<std::string> cms = {"OK",
                                                 "Error",
                                                 "RscExist",
                                                 "CalibTrayAssignError",
                                                 "CalibStkAssignError",
                                                 "CalibPrtPapsizeTooSmall"};
    switch (table) {
    case StatusTable::ServiceResult: return service;
    case StatusTable::ResourceResult: return resource;
    case StatusTable::CmsResResult: return cms;
    }
    return service;
}

} // namespace

int statusFromString(StatusTable table, const std::string& text) {
    const auto& names = rows(table);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == text)
            return static_cast<int>(i) + 1;
    return 0;
}

std::string stringFromStatus(StatusTable table, int status) {
    const auto& names = rows(table);
    return status >= 1 && static_cast<std::size_t>(status) <= names.size()
               ? names[static_cast<std::size_t>(status) - 1]
               : std::string();
}

} // namespace velmora
