#include "platform/printing/DestinationPpd.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/Value.h"
#include "platform/printing/PpdTranslation.h"
#include "platform/printing/PressTicket.h"

namespace velmora {

std::shared_ptr<DestinationPpd> DestinationPpd::open(const std::string& path) {
    bool readable = !path.empty() && FileSystem::isRegularFile(path);
    return std::shared_ptr<DestinationPpd>(new DestinationPpd(path, readable));
}

DestinationPpd::DestinationPpd(const std::string& path, bool readable)
    : _path(path), _ppd(readable ? std::optional<std::string>(path) : std::nullopt) {
    if (!_ppd.get())
        return;
    _defaults = PressTicket::optionsOfJob(_ppd.get(), Dictionary());
    PpdTranslation::readFile(path, PreferredLanguages::first()).applyTo(_ppd.get());
}

} // namespace velmora
