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

    std::size_t registrationCount() const { return _registrations.size(); }

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
    // Every registration in the order it was made, and the same by name (an empty name stands
    // for every name), so that a post looks only at the observers of its name.
    Registrations _registrations;
    std::unordered_map<std::string, Registrations> _byName;
    std::uint64_t _nextOrder = 0;

    template <typename Predicate> void removeWhere(Predicate matches);
};

} // namespace velmora
