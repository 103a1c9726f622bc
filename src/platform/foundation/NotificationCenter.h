#pragma once

#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <string>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace velmora {

struct Notification {
    std::string name;
    const void* sender = nullptr;
    Dictionary userInfo;
};

// Synchronous notifications: post() calls every matching observer, in the order they were
// added, before it returns. An observer removed while a notification is being delivered is
// not called afterwards; one added meanwhile waits for the next notification.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    // The process-wide centre; every centre can also be made on its own.
    static NotificationCenter& defaultCenter();

    // An empty name observes every name; a null sender observes every sender.
    void addObserver(const void* observer, std::string name, const void* sender, Handler handler);
    // Removes every registration of the observer.
    void removeObserver(const void* observer);
    // Removes the observer's registrations for name (and sender, when given).
    void removeObserver(const void* observer, const std::string& name,
                        const void* sender = nullptr);
    void post(const Notification& notification);
    void post(std::string name, const void* sender = nullptr, Dictionary userInfo = {});

    std::size_t registrationCount() const { return _count; }
    // Whether a post of the name would reach anyone (so that nobody builds a user info for none).
    bool hasObservers(const std::string& name) const {
        return _byName.count(name) != 0 || _byName.count(std::string()) != 0;
    }

private:
    struct Registration {
        const void* observer;
        std::string name;
        const void* sender;
        Handler handler;
        std::uint64_t order = 0;
        bool removed = false;
    };
    using Registrations = std::vector<std::shared_ptr<Registration>>;
    // The registrations by name (an empty name stands for every name), each list in the order
    // they were made, so that a post looks only at the observers of its name; and by observer,
    // so that removing one looks only at its own.
    std::unordered_map<std::string, Registrations> _byName;
    std::unordered_map<const void*, std::unordered_map<std::string, Registrations>> _byObserver;
    std::uint64_t _nextOrder = 0;
    std::size_t _count = 0;

    void retire(Registrations& list, const void* sender);
};

} // namespace velmora
