#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

class WebServiceClient;

// Where each server list a queue's PPD keeps comes from: the web service operation (and its
// arguments) behind a list name. The printing system uses it to bring the lists in the PPD up to
// date.
class ServerListSource {
public:
    // Resource types of the job resource lists ("JobResource-<KIND>").
    static std::optional<long> resourceType(const std::string& kind);
    static bool isKnown(const std::string& listName);
    static const std::vector<std::string>& listNames();
    // The list as the PPD keeps it (an array of string arrays); null with a reason when the
    // server could not give it (down, too slow, a fault, a bad status) or the name is unknown.
    static std::optional<Value> fetch(const WebServiceClient& client, const std::string& host,
                                      const std::string& listName, std::string* failure);
};

} // namespace velmora
