#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace velmora {

// A print queue as the printing system shows it to a print dialog.
class Printer {
public:
    virtual ~Printer() = default;

    virtual std::string name() const = 0;
    // Where the queue sends its jobs ("ipp://press.example/ipp/print"); null when unknown.
    virtual std::optional<std::string> deviceURI() const = 0;
    // Sends the queue a printer command ("ReportLevels") as a command job with the given
    // title; answers 0 when the command was handed over, else a negative status.
    virtual int sendCommand(const std::string& command, const std::string& jobTitle,
                            const Dictionary& options) = 0;
};

} // namespace velmora
