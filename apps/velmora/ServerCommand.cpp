#include "Command.h"

#include "platform/foundation/NumberText.h"
#include "platform/foundation/SystemLog.h"
#include "platform/foundation/Value.h"
#include "webservice/WebServiceClient.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace velmora::app {
namespace {

using Getter = std::function<WebServiceClient::Result(const WebServiceClient&, const std::string&,
                                                      const std::vector<std::string>&)>;

struct ListCommand {
    std::size_t arguments;
    Getter getter;
};

long number(const std::string& text) {
    return static_cast<long>(NumberText::leadingInteger(text));
}

const std::map<std::string, ListCommand>& listCommands() {
    using C = WebServiceClient;
    auto plain = [](WebServiceClient::Result (C::*getter)(const std::optional<std::string>&)
                        const) {
        return ListCommand{0,
                           [getter](const C& c, const std::string& host,
                                    const std::vector<std::string>&) { return (c.*getter)(host); }};
    };
    auto typed = [](WebServiceClient::Result (C::*getter)(const std::optional<std::string>&, long)
                        const) {
        return ListCommand{
            1, [getter](const C& c, const std::string& host, const std::vector<std::string>& a) {
                return (c.*getter)(host, number(a[0]));
            }};
    };
    static const std::map<std::string, ListCommand> commands = {
        {"getStackerInfoList", plain(&C::getStackerInfoList)},
        {"getFeederInfoList", plain(&C::getFeederInfoList)},
        {"getDeviceList", plain(&C::getDeviceList)},
        {"getPrePostDeviceList", plain(&C::getPrePostDeviceList)},
        {"getJobFolderList", plain(&C::getJobFolderList)},
        {"getCmsSpotGetAllListData", plain(&C::getCmsSpotGetAllListData)},
        {"getSpotColorAllInfoListData", plain(&C::getSpotColorAllInfoListData)},
        {"getColorSubstList", plain(&C::getColorSubstList)},
        {"GetJobResourceList", typed(&C::GetJobResourceList)},
        {"GetJobResourceListWithResourceSet",
         ListCommand{2,
                     [](const C& c, const std::string& host, const std::vector<std::string>& a) {
                         return c.GetJobResourceListWithResourceSet(host, number(a[0]), a[1]);
                     }}},
        {"getJobResourceSetList", plain(&C::getJobResourceSetList)},
        {"getCalibFileList", plain(&C::getCalibFileList)},
        {"getDensityAdjustProfileList", plain(&C::getDensityAdjustProfileList)},
        {"getUserTrcProfileList", plain(&C::getUserTrcProfileList)},
        {"getFontList", plain(&C::getFontList)},
        {"getOutputProfileFileList", typed(&C::getOutputProfileFileList)},
        {"getRGBInputProfileFileList", plain(&C::getRGBInputProfileFileList)},
        {"getCMYKInputProfileFileList", typed(&C::getCMYKInputProfileFileList)},
        {"getDeviceLinkFileList", plain(&C::getDeviceLinkFileList)},
    };
    return commands;
}

Value resultJson(const WebServiceClient::Result& result) {
    if (!result)
        return Value();
    Array rows;
    for (const auto& row : *result) {
        Array cells;
        for (const auto& cell : row)
            cells.push_back(Value(cell));
        rows.push_back(Value(std::move(cells)));
    }
    return Value(std::move(rows));
}

int usage() {
    std::fprintf(stderr,
                 "usage: velmora server HOST LIST [ARGS] [--port N] [--timeout SECONDS]\nlists:");
    for (const auto& [name, command] : listCommands())
        std::fprintf(stderr, " %s%s", name.c_str(),
                     command.arguments == 0   ? ""
                     : command.arguments == 1 ? " N"
                                              : " N SET");
    std::fprintf(stderr, "\n");
    return 2;
}

// The host goes into the service's address as it is: anything that would make it a path, a
// query or a fragment would silently drop the port.
bool isPlainHost(const std::string& host) {
    return !host.empty() && host.find_first_of("/?#@ ") == std::string::npos;
}

} // namespace

int runServerCommand(const std::vector<std::string>& arguments) {
    std::vector<std::string> positional;
    std::int64_t port = WebServiceClient::kServicePort;
    double timeout = 30;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if ((arguments[i] == "--port" || arguments[i] == "--timeout") && i + 1 < arguments.size()) {
            if (arguments[i] == "--port")
                port = NumberText::leadingInteger(arguments[++i]);
            else
                timeout = NumberText::leadingReal(arguments[++i]);
        } else {
            positional.push_back(arguments[i]);
        }
    }
    if (positional.size() < 2)
        return usage();
    auto it = listCommands().find(positional[1]);
    if (it == listCommands().end() || positional.size() != 2 + it->second.arguments)
        return usage();
    if (!(timeout >= 1 && timeout <= 3600))
        return failCommand("server", "the time-out must be from 1 to 3600 seconds");
    if (port < 1 || port > 65535)
        return failCommand("server", "the port must be from 1 to 65535");
    if (!isPlainHost(positional[0]))
        return failCommand("server", "not a host name or address: " + positional[0]);
    // The service's diagnostic lines are for the system log; a person at the command line gets
    // the one line that says what failed.
    if (!std::getenv("VELMORA_SYSLOG"))
        SystemLog::setSink([](std::string_view) {});
    WebServiceClient client(static_cast<int>(port), timeout);
    std::vector<std::string> extra(positional.begin() + 2, positional.end());
    auto result = it->second.getter(client, positional[0], extra);
    std::printf("%s\n", resultJson(result).toJson(2).c_str());
    if (client.lastFailure())
        return failCommand("server", *client.lastFailure());
    return 0;
}

} // namespace velmora::app
