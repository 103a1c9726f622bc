#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class Bundle;
class PanePlugInHost;
class ZEMAUI;
namespace ui {
class PopUpButton;
class View;
} // namespace ui

// The version of the interface below. A pane plug-in exports the version it was built
// against; the manager loads nothing built against another one.
inline constexpr unsigned kPanePlugInAbiVersion = 2;

// Numbered profile items a pane wants in one of its pop-ups.
struct ProfileUiInformation {
    std::shared_ptr<ui::PopUpButton> profileUiControl;
    long profileNo_Max = 0;
    std::string fmtOptionKeywod; // choice keyword format, "Profile%d"
};
// Option keyword → what its pop-up should offer.
using ProfileUiInformations = std::vector<std::pair<std::string, ProfileUiInformation>>;

// Optional: a pane that offers numbered profiles.
class PaneProfileProvider {
public:
    virtual ~PaneProfileProvider() = default;
    virtual ProfileUiInformations profileUiInformations() = 0;
};

// Optional: a pane that keeps the automatic paper tray selection in step with restored values.
class PaneAutomaticPaperTrayWriter {
public:
    virtual ~PaneAutomaticPaperTrayWriter() = default;
    virtual void writeAutomaticPapaerTraySelection() = 0;
};

// What the principal class of every pane plug-in offers the manager. A pane gets the host in
// initializePanel and builds its controls with the host's services (PanePlugInHost.h).
class PanePlugInInterface {
public:
    virtual ~PanePlugInInterface() = default;

    virtual std::vector<std::shared_ptr<ZEMAUI>> getListZEMAUI() = 0;
    virtual void willShow() = 0;
    virtual std::string panelName() = 0;
    virtual std::shared_ptr<ui::View> panelView() = 0;
    // False refuses the pane; it is then not registered.
    virtual bool initializePanel(std::shared_ptr<Bundle> bundle, PanePlugInHost& host) = 0;

    // The optional operations; null when the pane does not offer them.
    virtual PaneProfileProvider* profileProvider() { return nullptr; }
    virtual PaneAutomaticPaperTrayWriter* automaticPaperTrayWriter() { return nullptr; }
};

using PanePlugInFactory = PanePlugInInterface* (*)();

} // namespace velmora

// Exports a pane class from its plug-in: VELMORA_PANE_PLUGIN(FinishingPane)
#define VELMORA_PANE_PLUGIN(Class)                                                                 \
    extern "C" __attribute__((visibility("default"))) const unsigned Class##_abiVersion =          \
        velmora::kPanePlugInAbiVersion;                                                            \
    extern "C" __attribute__((visibility("default")))                                              \
    velmora::PanePlugInInterface* Class##_create() {                                               \
        return new Class();                                                                        \
    }
