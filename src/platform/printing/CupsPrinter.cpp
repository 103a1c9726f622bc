#include "platform/printing/CupsPrinter.h"

#include "platform/printing/CupsConnection.h"

namespace velmora {

std::optional<std::string> CupsPrinter::deviceURI() const {
    if (!_deviceURI)
        _deviceURI = _connection.deviceURI(_name);
    return _deviceURI;
}

// The command names its list; options do not travel with a command job.
int CupsPrinter::sendCommand(const std::string& command, const std::string& jobTitle,
                             const Dictionary&) {
    std::string line = jobTitle.empty() ? command : command + " " + jobTitle;
    return _connection.submitCommand(_name, jobTitle.empty() ? command : jobTitle, {line}) ? 0 : -1;
}

} // namespace velmora
