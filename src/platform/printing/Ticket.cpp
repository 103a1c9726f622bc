#include "platform/printing/Ticket.h"

#include <limits>

namespace velmora {

namespace {
constexpr int kParamErr = -50;
}

int Ticket::setString(const std::string& clientId, const std::string& key,
                      const std::string& value) {
    if (key.empty())
        return kParamErr;
    setValue(clientId, key, Value(value));
    return 0;
}

void Ticket::setValue(const std::string& clientId, const std::string& key, const Value& value) {
    _values.set(key, value);
    _clients.set(key, Value(clientId));
}

int Ticket::getString(const std::string& key, std::string* value) const {
    const Value* found = _values.find(key);
    if (!found || !found->isString() || !value)
        return kParamErr;
    *value = *found->string();
    return 0;
}

int Ticket::getSInt32(const std::string& key, std::int32_t* value) const {
    const Value* found = _values.find(key);
    if (!found || !found->isNumber() || !value)
        return kParamErr;
    std::int64_t number = found->integerValue();
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max())
        return kParamErr;
    *value = static_cast<std::int32_t>(number);
    return 0;
}

std::optional<std::string> Ticket::clientOf(const std::string& key) const {
    if (const Value* client = _clients.find(key); client && client->string())
        return *client->string();
    return std::nullopt;
}

} // namespace velmora
