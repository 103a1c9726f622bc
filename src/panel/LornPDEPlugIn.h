#pragma once

#include "platform/printing/PDEPlugIn.h"

#include <memory>

namespace velmora {

// The principal class of Velmora.plugin: the print dialog makes it with the bundle and asks it
// for its panels; printer-module panels get the one "Velmora Flow" panel.
class LornPDEPlugIn : public PDEPlugIn {
public:
    bool initWithBundle(std::shared_ptr<Bundle> bundle) override;
    std::optional<std::vector<std::shared_ptr<PDEPanel>>>
    PDEPanelsForType(const std::string& type, PDEPlugInCallback* callback) override;

private:
    std::shared_ptr<Bundle> _plugInBundle;
};

} // namespace velmora
