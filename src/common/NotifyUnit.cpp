#include "common/NotifyUnit.h"

namespace velmora {
namespace {
NotificationCenter* centerOverride = nullptr;
}

NotificationCenter& NotifyUnit::notyfyInstance() {
    return centerOverride ? *centerOverride : NotificationCenter::defaultCenter();
}

void NotifyUnit::setCenter(NotificationCenter* center) {
    centerOverride = center;
}

void NotifyUnit::postNotificationName(const std::string& name, const void* object) {
    notyfyInstance().post(keyNameWithName(name), object);
}

void NotifyUnit::postNotificationName(const std::string& name, Dictionary userInfo) {
    notyfyInstance().post(keyNameWithName(name), notyfyObject(), std::move(userInfo));
}

void NotifyUnit::postNotificationName(const std::string& name, const void* object,
                                      Dictionary userInfo) {
    notyfyInstance().post(keyNameWithName(name), object, std::move(userInfo));
}

void NotifyUnit::postNotificationNameWithOptions(const std::string& name, Dictionary userInfo,
                                                 unsigned) {
    postNotificationName(name, std::move(userInfo));
}

void NotifyUnit::addObserver(const void* observer, Handler handler, const std::string& name,
                             const void* object) {
    notyfyInstance().addObserver(observer, keyNameWithName(name), object, std::move(handler));
}

void NotifyUnit::removeObserver(const void* observer) {
    notyfyInstance().removeObserver(observer);
}

void NotifyUnit::removeObserver(const void* observer, const std::string& name) {
    notyfyInstance().removeObserver(observer, keyNameWithName(name));
}

} // namespace velmora
