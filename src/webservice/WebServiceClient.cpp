#include "webservice/WebServiceClient.h"

#include "common/Localization.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/SystemLog.h"
#include "platform/ui/Application.h"
#include "webservice/PrintServiceSoap.h"

#include <algorithm>
#include <functional>

namespace velmora {
namespace {

using StringList = WebServiceClient::StringList;
using O = PrintServiceOperation;

// How a getter reacts to a status other than OK.
enum class StatusLog { Loud, Silent };

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The members of the list field of a message; nothing when the field is absent.
const std::vector<PropItem>* listField(const PrintServiceMessage& message, const char* field) {
    const PropItem* value = message.field(field);
    return value ? itemsOf(*value) : nullptr;
}

// The values of the selected keys of one record, in record order; absent values give "".
std::vector<std::string> selectedValues(const std::vector<PropItem>& record,
                                        const std::vector<std::string>& keys) {
    std::vector<std::string> values;
    for (const auto& member : record) {
        auto kv = keyValueOf(member);
        if (!kv || !kv->key || std::find(keys.begin(), keys.end(), *kv->key) == keys.end())
            continue;
        const std::string* text = stringOf(kv->val);
        values.push_back(text ? *text : "");
    }
    return values;
}

std::optional<std::string> valueOfKey(const std::vector<PropItem>& record, const std::string& key) {
    for (const auto& member : record)
        if (auto kv = keyValueOf(member); kv && kv->key == key)
            if (const std::string* text = stringOf(kv->val))
                return *text;
    return std::nullopt;
}

struct RecordRule {
    std::vector<std::string> keys;
    std::vector<std::string> lastKeys = {}; // a second pass that puts these values last
    bool keepEmpty = true;
    std::function<bool(const std::vector<PropItem>&)> retain = nullptr; // null: always
};

void appendRecords(const std::vector<PropItem>* records, const RecordRule& rule, StringList& out) {
    if (!records)
        return;
    for (const auto& member : *records) {
        const std::vector<PropItem>* record = itemsOf(member);
        if (!record || (rule.retain && !rule.retain(*record)))
            continue;
        auto values = selectedValues(*record, rule.keys);
        auto last = selectedValues(*record, rule.lastKeys);
        values.insert(values.end(), last.begin(), last.end());
        if (!values.empty() || rule.keepEmpty)
            out.push_back(std::move(values));
    }
}

} // namespace

std::string WebServiceClient::convertUrlAddress(const std::string& host) {
    if (host.find(':') == std::string::npos)
        return host;
    std::string wrapped = host.find('[') == std::string::npos ? "[" + host + "]" : host;
    return replaceAll(wrapped, "%", "%25");
}

bool WebServiceClient::isCommunicationPossible() {
    auto host = ui::Application::shared().mainBundle();
    if (!host)
        return true;
    const Value& name = host->objectForInfoDictionaryKey("CFBundleName");
    if (!name.isString())
        return false;
    return name.string()->find("Adobe Reader") == std::string::npos &&
           name.string()->find("Acrobat") == std::string::npos;
}

std::string WebServiceClient::endpoint(const std::string& host) const {
    return "http://" + convertUrlAddress(host) + ":" + std::to_string(_port);
}

void noteFailure(const WebServiceClient& client, std::optional<std::string> failure) {
    client._lastFailure = std::move(failure);
}

namespace {

// The ordinary status check: anything but OK ends the walk, logged unless the getter is silent.
bool statusOk(const PrintServiceMessage& message, StatusLog log) {
    if (message.status == 1)
        return true;
    if (log == StatusLog::Loud)
        SystemLog::format("###PrintService error: %d", message.status);
    return false;
}

struct Call {
    O operation;
    PrintServiceRequest request = {};
    bool logXml = true;
    StatusLog statusLog = StatusLog::Loud;
    std::function<bool(const PrintServiceMessage&)> accepts = nullptr; // null: statusOk
};

// The frame every getter shares: the host checks, one exchange, the status check, then the walk
// of each answer message.
WebServiceClient::Result
run(const WebServiceClient& client, double timeout, const std::optional<std::string>& host,
    const Call& call, const std::function<void(const PrintServiceMessage&, StringList&)>& walk) {
    noteFailure(client, std::nullopt);
    if (!host || !WebServiceClient::isCommunicationPossible()) {
        noteFailure(client, host ? "contacting the print server is ruled out here" : "no host");
        return std::nullopt;
    }
    PrintServiceSoap binding(client.endpoint(*host));
    binding.setDefaultTimeout(timeout);
    binding.setLogXMLInOut(call.logXml);
    auto response = binding.performSynchronousOperation(call.operation, call.request);
    if (response.error) {
        SystemLog::format("###Response: %s (%s %ld)", response.error->description.c_str(),
                          response.error->domain.c_str(), response.error->code);
        // The exchange's own failures (libcurl's, an HTTP status) say what they are; a code of
        // another domain is named beside its text.
        noteFailure(client, response.error->domain == "HTTP"
                                ? response.error->description
                                : response.error->description + " (" + response.error->domain +
                                      " " + std::to_string(response.error->code) + ")");
    }
    StringList result;
    bool answered = false;
    for (const auto& part : response.bodyParts) {
        const auto* message = std::get_if<PrintServiceMessage>(&part);
        answered = answered || message;
        if (!message) {
            noteFailure(client, "the server answered with a fault: " +
                                    std::get<SOAPFault>(part).simpleFaultString());
            continue; // faults are skipped
        }
        bool accepted = call.accepts ? call.accepts(*message) : statusOk(*message, call.statusLog);
        if (!accepted) {
            noteFailure(client,
                        "the server answered with status " + std::to_string(message->status));
            return result;
        }
        walk(*message, result);
    }
    // An answer without the operation's message (an error page, garbage) gave no list.
    if (!answered && !client.lastFailure())
        noteFailure(client, "the server's answer holds no list");
    return result;
}

WebServiceClient::Result records(const WebServiceClient& client, double timeout,
                                 const std::optional<std::string>& host, const Call& call,
                                 const char* field, const RecordRule& rule) {
    return run(client, timeout, host, call,
               [&](const PrintServiceMessage& message, StringList& out) {
                   appendRecords(listField(message, field), rule, out);
               });
}

const RecordRule kNameCommentUpdated{{"Name", "Comment", "UpdatedDateTime"}};

std::function<bool(const std::vector<PropItem>&)> profileType(long type) {
    return [type](const std::vector<PropItem>& record) {
        auto value = valueOfKey(record, "Type");
        return (type == 0 && value == std::optional<std::string>("Colorimetry")) ||
               (type == 1 && value == std::optional<std::string>("ICC"));
    };
}

} // namespace

namespace {

// Pairs (value, key) of every string member with the given key in the records of "ary".
WebServiceClient::Result devicePairs(const WebServiceClient& client, double timeout,
                                     const std::optional<std::string>& host, const Call& call,
                                     const std::string& key) {
    return run(client, timeout, host, call,
               [&](const PrintServiceMessage& message, StringList& out) {
                   if (const auto* records = listField(message, "ary"))
                       for (const auto& record : *records)
                           if (const auto* members = itemsOf(record))
                               for (const auto& member : *members)
                                   if (auto kv = keyValueOf(member); kv && kv->key == key)
                                       if (const std::string* value = stringOf(kv->val))
                                           out.push_back({*value, key});
               });
}

} // namespace

WebServiceClient::Result
WebServiceClient::getStackerInfoList(const std::optional<std::string>& host) const {
    return devicePairs(*this, _timeout, host, Call{O::getStackerInfoList}, "Type");
}

WebServiceClient::Result
WebServiceClient::getFeederInfoList(const std::optional<std::string>& host) const {
    return devicePairs(*this, _timeout, host,
                       Call{O::getFeederInfoList, {}, true, StatusLog::Silent}, "Number");
}

WebServiceClient::Result
WebServiceClient::getDeviceList(const std::optional<std::string>& host) const {
    Call call{O::getPrePostDeviceList};
    return run(*this, _timeout, host, call,
               [&](const PrintServiceMessage& message, StringList& out) {
                   if (const auto* members = listField(message, "dict"))
                       for (const auto& member : *members)
                           if (auto kv = keyValueOf(member); kv && kv->key)
                               if (const std::string* value = stringOf(kv->val))
                                   out.push_back({*value, *kv->key});
               });
}

namespace {

// The first member of the message's "dict" list with the key (and, when asked, with a value).
std::shared_ptr<PrintService_PropKeyValue> dictMember(const PrintServiceMessage& message,
                                                      const std::string& key, bool needsValue) {
    const auto* members = listField(message, "dict");
    if (!members)
        return nullptr;
    for (const auto& member : *members)
        if (auto kv = keyValueOf(member); kv && kv->key == key && (kv->val || !needsValue))
            return kv;
    return nullptr;
}

// Custom paper records: "Index" is carried from member to member (and record to record), so it
// must precede "Name" within a record.
void appendCustomPapers(const PropItem& array, StringList& out) {
    const auto* papers = itemsOf(array);
    if (!papers)
        return;
    std::optional<std::string> index;
    for (const auto& paper : *papers)
        if (const auto* fields = itemsOf(paper))
            for (const auto& field : *fields) {
                auto entry = keyValueOf(field);
                const std::string* value = entry ? stringOf(entry->val) : nullptr;
                if (!entry || !value)
                    continue;
                if (entry->key == std::optional<std::string>("Index"))
                    index = *value;
                else if (entry->key == std::optional<std::string>("Name"))
                    out.push_back({index.value_or("(null)") + "-" + *value,
                                   "CustomPaper" + index.value_or("(null)")});
            }
}

// A folder is a plain name or a dictionary whose "Name" members name it.
void appendFolders(const PropItem& array, StringList& out) {
    const auto* folders = itemsOf(array);
    if (!folders)
        return;
    for (const auto& folder : *folders) {
        if (const auto* name = std::get_if<std::string>(&folder)) {
            out.push_back({*name, *name});
        } else if (auto dict = std::get_if<std::shared_ptr<PrintService_PropDict>>(&folder)) {
            for (const auto& field : (*dict)->item)
                if (auto entry = keyValueOf(field);
                    entry && entry->key == std::optional<std::string>("Name"))
                    if (const std::string* value = stringOf(entry->val))
                        out.push_back({*value, *value});
        }
    }
}

} // namespace

WebServiceClient::Result
WebServiceClient::getPrePostDeviceList(const std::optional<std::string>& host) const {
    Call call{O::getPrePostDeviceList};
    return run(*this, _timeout, host, call,
               [&](const PrintServiceMessage& message, StringList& out) {
                   if (auto papers = dictMember(message, "CustomPaperArray", true))
                       appendCustomPapers(*papers->val, out);
               });
}

WebServiceClient::Result
WebServiceClient::getJobFolderList(const std::optional<std::string>& host) const {
    Call call{O::getJobFolderList};
    return run(*this, _timeout, host, call,
               [&](const PrintServiceMessage& message, StringList& out) {
                   auto folders = dictMember(message, "FolderArray", false);
                   if (!folders)
                       return;
                   out.push_back({BSLocalizedStringOrKey("#\xE5\x85\xB1\xE9\x80\x9A"),
                                  ""}); // "#共通": the common folder
                   if (folders->val)
                       appendFolders(*folders->val, out);
               });
}

WebServiceClient::Result
WebServiceClient::getCmsSpotGetAllListData(const std::optional<std::string>& host) const {
    RecordRule rule{{"SpotColorShowCategory", "Name", "inktype", "SpotColorLabL", "SpotColorLabA",
                     "SpotColorLabB", "SpotColorC", "SpotColorM", "SpotColorY", "SpotColorK"}};
    rule.keepEmpty = false;
    return records(*this, _timeout, host, Call{O::getCmsSpotGetAllListData, {}, false}, "resInfo",
                   rule);
}

WebServiceClient::Result
WebServiceClient::getSpotColorAllInfoListData(const std::optional<std::string>& host) const {
    RecordRule rule{{"Name", "SpotType"}};
    rule.keepEmpty = false;
    return records(*this, _timeout, host,
                   Call{O::getSpotColorAllInfoListData, {}, false, StatusLog::Silent}, "resInfo",
                   rule);
}

WebServiceClient::Result
WebServiceClient::getColorSubstList(const std::optional<std::string>& host) const {
    return records(*this, _timeout, host, Call{O::getColorSubstListData}, "resInfo",
                   RecordRule{{"Name", "Comment", "ModifyTime"}});
}

namespace {

// Job resources accept status 0 as well, but only with a detail code of 0.
bool jobResourceStatusOk(const PrintServiceMessage& message) {
    int s = message.status;
    if (s != 0 && s != 1) {
        SystemLog::write("###status is not OK.");
        return false;
    }
    if (message.nDetail && *message.nDetail != 0) {
        SystemLog::write("###Detail is not 0.");
        return false;
    }
    if (!message.nDetail && s == 0) {
        SystemLog::write("###Failed to get status.");
        return false;
    }
    return true;
}

WebServiceClient::Result jobResources(const WebServiceClient& client, double timeout,
                                      const std::optional<std::string>& host, long type,
                                      const std::string& set) {
    Call call{O::GetJobResourceList, PrintServiceRequest{type, set}};
    call.accepts = jobResourceStatusOk;
    RecordRule rule{{"JobRecListName", "JobRecListComment", "JobRecListDateTimeValue"}};
    return records(client, timeout, host, call, "resInfo", rule);
}

} // namespace

WebServiceClient::Result
WebServiceClient::GetJobResourceList(const std::optional<std::string>& host,
                                     long resourceType) const {
    return jobResources(*this, _timeout, host, resourceType, "SYSTEM_DEFAULT");
}

WebServiceClient::Result
WebServiceClient::GetJobResourceListWithResourceSet(const std::optional<std::string>& host,
                                                    long resourceType,
                                                    const std::string& resourceSet) const {
    return jobResources(*this, _timeout, host, resourceType, resourceSet);
}

WebServiceClient::Result
WebServiceClient::getJobResourceSetList(const std::optional<std::string>& host) const {
    return records(
        *this, _timeout, host, Call{O::getJobResourceSetList}, "resInfo",
        RecordRule{{"JobRecSetName", "JobRecSetMemo", "JobResourceSetDateTime"}, {"TonerTarget"}});
}

WebServiceClient::Result
WebServiceClient::getCalibFileList(const std::optional<std::string>& host) const {
    return records(*this, _timeout, host, Call{O::getCalibFileList}, "arry",
                   RecordRule{{"FileName", "Comment", "UpdatedDateTime"}, {"TonerTarget"}});
}

WebServiceClient::Result
WebServiceClient::getDensityAdjustProfileList(const std::optional<std::string>& host) const {
    return records(*this, _timeout, host, Call{O::getDensityAdjustProfileList}, "resInfo",
                   kNameCommentUpdated);
}

WebServiceClient::Result
WebServiceClient::getUserTrcProfileList(const std::optional<std::string>& host) const {
    return records(*this, _timeout, host, Call{O::getUserTrcProfileList}, "resInfo",
                   kNameCommentUpdated);
}

WebServiceClient::Result
WebServiceClient::getFontList(const std::optional<std::string>& host) const {
    Call call{O::getFontList};
    RecordRule rule{{"DisplayName", "FontName"}};
    return run(*this, _timeout, host, call,
               [&](const PrintServiceMessage& message, StringList& out) {
                   appendRecords(listField(message, "stdFontList"), rule, out);
                   appendRecords(listField(message, "optFontList"), rule, out);
               });
}

WebServiceClient::Result
WebServiceClient::getOutputProfileFileList(const std::optional<std::string>& host,
                                           long type) const {
    RecordRule rule = kNameCommentUpdated;
    rule.retain = profileType(type);
    return records(*this, _timeout, host, Call{O::getOutputProfileList}, "resInfo", rule);
}

WebServiceClient::Result
WebServiceClient::getRGBInputProfileFileList(const std::optional<std::string>& host) const {
    return records(*this, _timeout, host,
                   Call{O::getRGBInputProfileList, {}, true, StatusLog::Silent}, "resInfo",
                   kNameCommentUpdated);
}

WebServiceClient::Result
WebServiceClient::getCMYKInputProfileFileList(const std::optional<std::string>& host,
                                              long type) const {
    RecordRule rule = kNameCommentUpdated;
    rule.retain = profileType(type);
    return records(*this, _timeout, host,
                   Call{O::getCMYKInputProfileList, {}, true, StatusLog::Silent}, "resInfo", rule);
}

WebServiceClient::Result
WebServiceClient::getDeviceLinkFileList(const std::optional<std::string>& host) const {
    return records(*this, _timeout, host,
                   Call{O::getDeviceLinkFileList, {}, true, StatusLog::Silent}, "arry",
                   RecordRule{{"Name", "Comment", "ModifyTime"}});
}

} // namespace velmora
