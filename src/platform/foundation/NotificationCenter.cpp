#include "platform/foundation/NotificationCenter.h"

#include <algorithm>

namespace velmora {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void* observer, std::string name, const void* sender,
                                     Handler handler) {
    _registrations.push_back(std::make_shared<Registration>(
        Registration{observer, std::move(name), sender, std::move(handler)}));
}

template <typename Predicate> void NotificationCenter::removeWhere(Predicate matches) {
    auto firstRemoved =
        std::stable_partition(_registrations.begin(), _registrations.end(),
                              [&](const std::shared_ptr<Registration>& r) { return !matches(*r); });
    for (auto it = firstRemoved; it != _registrations.end(); ++it)
        (*it)->removed = true; // a delivery in progress may still hold it
    _registrations.erase(firstRemoved, _registrations.end());
}

void NotificationCenter::removeObserver(const void* observer) {
    removeWhere([observer](const Registration& r) { return r.observer == observer; });
}

void NotificationCenter::removeObserver(const void* observer, const std::string& name,
                                        const void* sender) {
    removeWhere([&](const Registration& r) {
        return r.observer == observer && r.name == name && (!sender || r.sender == sender);
    });
}

void NotificationCenter::post(const Notification& notification) {
    std::vector<std::shared_ptr<Registration>> matching;
    for (const auto& r : _registrations) {
        bool nameMatches = r->name.empty() || r->name == notification.name;
        bool senderMatches = !r->sender || r->sender == notification.sender;
        if (nameMatches && senderMatches)
            matching.push_back(r);
    }
    for (const auto& r : matching)
        if (!r->removed)
            r->handler(notification);
}

void NotificationCenter::post(std::string name, const void* sender, Dictionary userInfo) {
    post(Notification{std::move(name), sender, std::move(userInfo)});
}

} // namespace velmora
