#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace velmora {

// A print ticket: values by key, each entry stamped with the client that wrote it. Hosts
// without print settings hand panels a ticket instead.
class Ticket {
public:
    // 0 on success, -50 for a missing key or value.
    int setString(const std::string& clientId, const std::string& key, const std::string& value);
    int getString(const std::string& key, std::string* value) const;
    // Only numbers count; -50 for anything else.
    int getSInt32(const std::string& key, std::int32_t* value) const;
    void setValue(const std::string& clientId, const std::string& key, const Value& value);

    const Dictionary& entries() const { return _values; }
    std::optional<std::string> clientOf(const std::string& key) const;

private:
    Dictionary _values;
    Dictionary _clients;
};

} // namespace velmora
