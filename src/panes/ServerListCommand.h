#pragma once

#include "panes/PanePlugInMgr.h"

#include <optional>
#include <string>

namespace velmora {

class PDEPlugInCallback;

// How the panel reads a server list: on hosts older than 10.9 it first asks the queue to
// refresh the list ("ReportLevels" with the list's name as job title, not waited for), then
// it reads the list's data block from the queue's PPD. Without a chosen queue there is no list.
class ServerListCommand : public PanelCommandTarget {
public:
    static constexpr const char* kRefreshCommand = "ReportLevels";

    explicit ServerListCommand(PDEPlugInCallback* callback) : _callback(callback) {}
    std::optional<Value> sendCommand(const std::string& listName) override;

private:
    PDEPlugInCallback* _callback;
};

} // namespace velmora
