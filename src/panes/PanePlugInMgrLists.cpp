// The press's lists, read from the queue through the panel by name.
#include "panes/PanePlugInMgr.h"

namespace velmora {

std::optional<Value> PanePlugInMgr::sendCommand(const std::string& listName) {
    return _PDEObject ? _PDEObject->sendCommand(listName) : std::nullopt;
}

} // namespace velmora
