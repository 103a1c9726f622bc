#pragma once

#include "platform/foundation/NotificationCenter.h"

#include <string>

namespace velmora {

// The notifications that link options: named by main keywords, posted with no sender unless
// one is given, on the process's notification centre.
class NotifyUnit {
public:
    using Handler = NotificationCenter::Handler;

    static std::string keyNameWithName(const std::string& name) { return name; }
    static NotificationCenter& notyfyInstance();
    static const void* notyfyObject() { return nullptr; }
    // Points the unit at another centre (tests); null restores the default centre.
    static void setCenter(NotificationCenter* center);

    static void postNotificationName(const std::string& name, const void* object = nullptr);
    static void postNotificationName(const std::string& name, Dictionary userInfo);
    static void postNotificationName(const std::string& name, const void* object,
                                     Dictionary userInfo);
    // The options of the platform's posting (coalescing) do not apply to synchronous delivery.
    static void postNotificationNameWithOptions(const std::string& name, Dictionary userInfo,
                                                unsigned options);

    static void addObserver(const void* observer, Handler handler, const std::string& name,
                            const void* object = nullptr);
    static void removeObserver(const void* observer);
    static void removeObserver(const void* observer, const std::string& name);
};

} // namespace velmora
