#include "platform/printing/PrintSession.h"

#include "platform/printing/Printer.h"

#include <utility>

namespace velmora {

PrintSession::PrintSession(std::shared_ptr<Printer> printer)
    : _currentPrinter(std::move(printer)) {}

void PrintSession::setCurrentPrinter(std::shared_ptr<Printer> printer) {
    _currentPrinter = std::move(printer);
}

} // namespace velmora
