#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <iterator>

namespace velmora {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void* observer, std::string name, const void* sender,
                                     Handler handler) {
    auto registration = std::make_shared<Registration>(
        Registration{observer, std::move(name), sender, std::move(handler), _nextOrder++});
    _byName[registration->name].push_back(registration);
    _registrations.push_back(std::move(registration));
}

template <typename Predicate> void NotificationCenter::removeWhere(Predicate matches) {
    auto firstRemoved =
        std::stable_partition(_registrations.begin(), _registrations.end(),
                              [&](const std::shared_ptr<Registration>& r) { return !matches(*r); });
    if (firstRemoved == _registrations.end())
        return;
    for (auto it = firstRemoved; it != _registrations.end(); ++it) {
        (*it)->removed = true; // a delivery in progress may still hold it
        auto named = _byName.find((*it)->name);
        if (named == _byName.end())
            continue;
        std::erase_if(named->second, [](const std::shared_ptr<Registration>& r) { return r->removed; });
        if (named->second.empty())
            _byName.erase(named);
    }
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
    static const Registrations kNone;
    auto lookup = [&](const std::string& name) -> const Registrations& {
        auto found = _byName.find(name);
        return found == _byName.end() ? kNone : found->second;
    };
    const Registrations& named = notification.name.empty() ? kNone : lookup(notification.name);
    const Registrations& everyName = lookup(std::string());
    // The observers of the name and those of every name, in the order they registered.
    Registrations matching;
    matching.reserve(named.size() + everyName.size());
    std::merge(named.begin(), named.end(), everyName.begin(), everyName.end(),
               std::back_inserter(matching),
               [](const std::shared_ptr<Registration>& a, const std::shared_ptr<Registration>& b) {
                   return a->order < b->order;
               });
    for (const auto& r : matching)
        if (!r->removed && (!r->sender || r->sender == notification.sender))
            r->handler(notification);
}

void NotificationCenter::post(std::string name, const void* sender, Dictionary userInfo) {
    post(Notification{std::move(name), sender, std::move(userInfo)});
}

} // namespace velmora
