#pragma once

#include "platform/printing/Printer.h"

#include <optional>
#include <string>

namespace velmora {

class CupsConnection;

// A CUPS queue: its device URI from the scheduler, and printer commands sent as command jobs
// ("ReportLevels NAME" with the list name as job title).
//
// The device URI is asked of the scheduler once: the panel asks for it with every server list
// it reads, and each question is a round trip to the scheduler (dozens at the dialog's start).
// A URI the scheduler could not give is asked for again.
class CupsPrinter : public Printer {
public:
    CupsPrinter(CupsConnection& connection, std::string name)
        : _connection(connection), _name(std::move(name)) {}

    std::string name() const override { return _name; }
    std::optional<std::string> deviceURI() const override;
    int sendCommand(const std::string& command, const std::string& jobTitle,
                    const Dictionary& options) override;

private:
    CupsConnection& _connection;
    std::string _name;
    mutable std::optional<std::string> _deviceURI;
};

} // namespace velmora
