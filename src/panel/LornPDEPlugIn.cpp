#include "panel/LornPDEPlugIn.h"

#include "panel/LornPDEByCocoa.h"
#include "platform/foundation/SystemLog.h"

#include <exception>

namespace velmora {

bool LornPDEPlugIn::initWithBundle(std::shared_ptr<Bundle> bundle) {
    _plugInBundle = std::move(bundle);
    return true;
}

std::optional<std::vector<std::shared_ptr<PDEPanel>>>
LornPDEPlugIn::PDEPanelsForType(const std::string& type, PDEPlugInCallback* callback) {
    std::vector<std::shared_ptr<PDEPanel>> panels;
    if (type == kPDETypePrinterModule) {
        // The print dialog must not be stopped by a panel that cannot start.
        try {
            panels.push_back(std::make_shared<LornPDEByCocoa>(callback, _plugInBundle));
        } catch (const std::exception& e) {
            SystemLog::write(std::string("###Error: the panel cannot start: ") + e.what());
        }
    }
    _plugInBundle.reset();
    if (panels.empty())
        return std::nullopt;
    return panels;
}

} // namespace velmora
