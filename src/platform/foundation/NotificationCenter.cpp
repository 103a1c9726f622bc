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
    _byObserver[observer][registration->name].push_back(std::move(registration));
    ++_count;
}

// Takes the registrations of one observer and name (those of one sender, when given) out of
// both indexes.
void NotificationCenter::retire(Registrations& list, const void* sender) {
    std::string name = list.empty() ? std::string() : list.front()->name;
    std::size_t before = list.size();
    std::erase_if(list, [&](const std::shared_ptr<Registration>& r) {
        if (sender && r->sender != sender)
            return false;
        r->removed = true; // a delivery in progress may still hold it
        return true;
    });
    if (list.size() == before)
        return;
    _count -= before - list.size();
    auto named = _byName.find(name);
    if (named == _byName.end())
        return;
    std::erase_if(named->second, [](const std::shared_ptr<Registration>& r) { return r->removed; });
    if (named->second.empty())
        _byName.erase(named);
}

void NotificationCenter::removeObserver(const void* observer) {
    auto own = _byObserver.find(observer);
    if (own == _byObserver.end())
        return;
    for (auto& [name, list] : own->second)
        retire(list, nullptr);
    _byObserver.erase(own);
}

void NotificationCenter::removeObserver(const void* observer, const std::string& name,
                                        const void* sender) {
    auto own = _byObserver.find(observer);
    if (own == _byObserver.end())
        return;
    auto named = own->second.find(name);
    if (named == own->second.end())
        return;
    retire(named->second, sender);
    if (named->second.empty())
        own->second.erase(named);
    if (own->second.empty())
        _byObserver.erase(own);
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
