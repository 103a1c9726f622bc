#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class Bundle;
class PDEPlugInCallback;
namespace ui {
class View;
}

// The panel type of printer-module panels, the only kind a press's plug-in serves.
inline constexpr const char* kPDETypePrinterModule = "BDB091F4-E57F-11D3-B5CC-0050E4603277";

// One panel of a print dialog extension, as the print dialog calls it.
class PDEPanel {
public:
    virtual ~PDEPanel() = default;

    virtual std::string panelName() = 0;
    virtual std::string panelKind() = 0;
    virtual std::shared_ptr<ui::View> panelView() = 0;
    // The PPD options the panel handles itself; null when the bundle does not say.
    virtual std::optional<Array> supportedPPDOptionKeys() = 0;
    virtual void willShow() = 0;
    virtual bool shouldHide() = 0;
    // True on success; a failure may be described through `error`.
    virtual bool saveValuesAndReturnError(std::string* error) = 0;
    virtual bool restoreValuesAndReturnError(std::string* error) = 0;
    // Option title → choice title; null when there is nothing to say.
    virtual std::optional<Dictionary> summaryInfo() = 0;
    virtual void PPDOptionKeyValueDidChange(const std::optional<std::string>& option,
                                            const std::optional<std::string>& choice) = 0;
};

// The principal class of a print dialog extension bundle.
class PDEPlugIn {
public:
    virtual ~PDEPlugIn() = default;

    virtual bool initWithBundle(std::shared_ptr<Bundle> bundle) = 0;
    // The panels of that type for the dialog behind the callback; null when there are none.
    virtual std::optional<std::vector<std::shared_ptr<PDEPanel>>>
    PDEPanelsForType(const std::string& type, PDEPlugInCallback* callback) = 0;
};

inline constexpr unsigned kPDEPlugInAbiVersion = 1;
using PDEPlugInFactory = PDEPlugIn* (*)();

} // namespace velmora

// Exports the principal class of a print dialog extension: VELMORA_PDE_PLUGIN(LornPDEPlugIn)
#define VELMORA_PDE_PLUGIN(Class)                                                                  \
    extern "C" __attribute__((visibility("default"))) const unsigned Class##_abiVersion =          \
        velmora::kPDEPlugInAbiVersion;                                                             \
    extern "C" __attribute__((visibility("default"))) velmora::PDEPlugIn* Class##_create() {       \
        return new Class();                                                                        \
    }
