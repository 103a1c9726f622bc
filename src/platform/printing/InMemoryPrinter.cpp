#include "platform/printing/InMemoryPrinter.h"

namespace velmora {

int InMemoryPrinter::sendCommand(const std::string& command, const std::string& jobTitle,
                                 const Dictionary&) {
    _sent.push_back({command, jobTitle});
    return 0;
}

} // namespace velmora
