#include "webservice/ServerListSource.h"

#include "webservice/WebServiceClient.h"

#include <functional>
#include <map>

namespace velmora {
namespace {

using Client = WebServiceClient;
using Fetch = std::function<Client::Result(const Client&, const std::string&)>;

const std::map<std::string, long>& resourceTypes() {
    static const std::map<std::string, long> types = {
        {"COLOR_PATCH", 1}, {"NOTE", 2},          {"CUSTOM_NOTE", 3}, {"PAGENATION", 4},
        {"FORM", 5},        {"SPECIAL_TONER", 6}, {"WATERMARK", 7},   {"TRAPPING", 8},
        {"NORMALIZER", 9},  {"IMPOSITION", 10}};
    return types;
}

const std::map<std::string, Fetch>& sources() {
    static const std::map<std::string, Fetch> table = [] {
        auto plain = [](Client::Result (Client::*getter)(const std::optional<std::string>&) const) {
            return Fetch(
                [getter](const Client& c, const std::string& host) { return (c.*getter)(host); });
        };
        auto typed = [](Client::Result (Client::*getter)(const std::optional<std::string>&, long)
                            const,
                        long type) {
            return Fetch([getter, type](const Client& c, const std::string& host) {
                return (c.*getter)(host, type);
            });
        };
        std::map<std::string, Fetch> map = {
            {"StackerInfoList", plain(&Client::getStackerInfoList)},
            {"FeederInfoList", plain(&Client::getFeederInfoList)},
            {"DeviceList", plain(&Client::getDeviceList)},
            {"PrePostDevice", plain(&Client::getPrePostDeviceList)},
            {"JobFolder", plain(&Client::getJobFolderList)},
            {"CmsSpotGetAll", plain(&Client::getCmsSpotGetAllListData)},
            {"ColorSubst", plain(&Client::getColorSubstList)},
            {"JobResourceSet", plain(&Client::getJobResourceSetList)},
            {"CalibFile", plain(&Client::getCalibFileList)},
            {"DensityAdjustProfile", plain(&Client::getDensityAdjustProfileList)},
            {"UserTrcProfile", plain(&Client::getUserTrcProfileList)},
            {"Font", plain(&Client::getFontList)},
            {"OutputProfileFile-MEASUREMENT", typed(&Client::getOutputProfileFileList, 0)},
            {"OutputProfileFile-ICC", typed(&Client::getOutputProfileFileList, 1)},
            {"RGBInputProfileFile", plain(&Client::getRGBInputProfileFileList)},
            {"CMYKInputProfileFile-MEASUREMENT", typed(&Client::getCMYKInputProfileFileList, 0)},
            {"CMYKInputProfileFile-ICC", typed(&Client::getCMYKInputProfileFileList, 1)},
            {"DeviceLinkFile", plain(&Client::getDeviceLinkFileList)},
        };
        for (const auto& [kind, type] : resourceTypes())
            map.emplace("JobResource-" + kind, typed(&Client::GetJobResourceList, type));
        return map;
    }();
    return table;
}

} // namespace

std::optional<long> ServerListSource::resourceType(const std::string& kind) {
    auto found = resourceTypes().find(kind);
    return found == resourceTypes().end() ? std::nullopt : std::optional<long>(found->second);
}

bool ServerListSource::isKnown(const std::string& listName) {
    return sources().count(listName) != 0;
}

const std::vector<std::string>& ServerListSource::listNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const auto& [name, fetch] : sources())
            all.push_back(name);
        return all;
    }();
    return names;
}

std::optional<Value> ServerListSource::fetch(const WebServiceClient& client,
                                             const std::string& host, const std::string& listName,
                                             std::string* failure) {
    auto source = sources().find(listName);
    if (source == sources().end()) {
        if (failure)
            *failure = "no such list";
        return std::nullopt;
    }
    auto rows = source->second(client, host);
    // A transport error or a refusal leaves the list as it was, even when a part came through.
    if (!rows || client.lastFailure()) {
        if (failure)
            *failure = client.lastFailure().value_or("the print server gave no list");
        return std::nullopt;
    }
    Array list;
    for (const auto& row : *rows) {
        Array cells;
        for (const auto& cell : row)
            cells.push_back(Value(cell));
        list.push_back(Value(std::move(cells)));
    }
    return Value(std::move(list));
}

} // namespace velmora
