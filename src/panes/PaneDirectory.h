#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class PanePlugInInterface;
namespace ui {
class View;
} // namespace ui

// What the manager's collaborators may ask of it about the loaded panes, and nothing more.
class PaneDirectory {
public:
    virtual ~PaneDirectory() = default;
    // The panes as the detailed settings show them: their order and names.
    virtual const Dictionary* panesTreeDictionary() = 0;
    virtual std::optional<std::string> panelNameOfBundleName(const std::string& name) = 0;
    virtual std::shared_ptr<ui::View> panelViewOfBundleName(const std::string& name) = 0;
    // The loaded panes by name, in the order they were registered.
    virtual std::vector<std::pair<std::string, std::shared_ptr<PanePlugInInterface>>>
    loadedPanes() const = 0;
    // Asks a pane for its view again, so that it shows the values it was given.
    virtual std::shared_ptr<ui::View> safeInvokePanelViewFor(PanePlugInInterface& controller) = 0;
};

} // namespace velmora
