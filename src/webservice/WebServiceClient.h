#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Lists from the print server's web service as plain strings: pair lists ([value, key]) and
// record lists (the values of selected keys per record). Each call is synchronous and
// independent; null means no host was given or the host application rules out contacting the
// server, an empty list that the server gave nothing usable.
class WebServiceClient {
public:
    using StringList = std::vector<std::vector<std::string>>;
    using Result = std::optional<StringList>;

    static constexpr int kServicePort = 8888;

    explicit WebServiceClient(int port = kServicePort, double timeout = 30.0)
        : _port(port), _timeout(timeout) {}

    Result getStackerInfoList(const std::optional<std::string>& host) const;
    Result getFeederInfoList(const std::optional<std::string>& host) const;
    Result getDeviceList(const std::optional<std::string>& host) const;
    Result getPrePostDeviceList(const std::optional<std::string>& host) const;
    Result getJobFolderList(const std::optional<std::string>& host) const;
    Result getCmsSpotGetAllListData(const std::optional<std::string>& host) const;
    Result getSpotColorAllInfoListData(const std::optional<std::string>& host) const;
    Result getColorSubstList(const std::optional<std::string>& host) const;
    Result GetJobResourceList(const std::optional<std::string>& host, long resourceType) const;
    Result GetJobResourceListWithResourceSet(const std::optional<std::string>& host,
                                             long resourceType,
                                             const std::string& resourceSet) const;
    Result getJobResourceSetList(const std::optional<std::string>& host) const;
    Result getCalibFileList(const std::optional<std::string>& host) const;
    Result getDensityAdjustProfileList(const std::optional<std::string>& host) const;
    Result getUserTrcProfileList(const std::optional<std::string>& host) const;
    Result getFontList(const std::optional<std::string>& host) const;
    Result getOutputProfileFileList(const std::optional<std::string>& host, long profileType) const;
    Result getRGBInputProfileFileList(const std::optional<std::string>& host) const;
    Result getCMYKInputProfileFileList(const std::optional<std::string>& host,
                                       long profileType) const;
    Result getDeviceLinkFileList(const std::optional<std::string>& host) const;

    // IPv6 addresses in brackets with "%" written "%25"; other hosts unchanged.
    static std::string convertUrlAddress(const std::string& host);
    // False inside host applications that must not contact the server.
    static bool isCommunicationPossible();
    std::string endpoint(const std::string& host) const;

    // Why the last list came back empty or null: the exchange failed, the answer was no SOAP
    // answer, or the server answered with a status other than OK. Nothing after a success.
    const std::optional<std::string>& lastFailure() const { return _lastFailure; }

private:
    int _port;
    double _timeout;
    mutable std::optional<std::string> _lastFailure;
    friend void noteFailure(const WebServiceClient& client, std::optional<std::string> failure);
};

} // namespace velmora
