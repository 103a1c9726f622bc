#pragma once

#include <memory>

namespace velmora {

class Printer;

// One print dialog session: the queue the user has chosen.
class PrintSession {
public:
    PrintSession() = default;
    explicit PrintSession(std::shared_ptr<Printer> printer);

    // Null when no queue is chosen.
    std::shared_ptr<Printer> currentPrinter() const { return _currentPrinter; }
    void setCurrentPrinter(std::shared_ptr<Printer> printer);

private:
    std::shared_ptr<Printer> _currentPrinter;
};

} // namespace velmora
