#pragma once

#include "platform/printing/Printer.h"

#include <string>
#include <vector>

namespace velmora {

// A queue that exists only in this process: it has a name and a device URI, and keeps the
// commands it is sent instead of printing them.
class InMemoryPrinter : public Printer {
public:
    struct SentCommand {
        std::string command, jobTitle;
    };

    InMemoryPrinter(std::string name, std::optional<std::string> deviceURI)
        : _name(std::move(name)), _deviceURI(std::move(deviceURI)) {}

    std::string name() const override { return _name; }
    std::optional<std::string> deviceURI() const override { return _deviceURI; }
    int sendCommand(const std::string& command, const std::string& jobTitle,
                    const Dictionary& options) override;

    const std::vector<SentCommand>& sentCommands() const { return _sent; }

private:
    std::string _name;
    std::optional<std::string> _deviceURI;
    std::vector<SentCommand> _sent;
};

} // namespace velmora
