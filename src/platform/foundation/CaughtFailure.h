#pragma once

#include <exception>
#include <string>

namespace velmora {

// What the exception being handled says, for a message: its what() text, or "an unknown
// failure". Called only inside a catch block. A failure caught on a path that must go on (a
// pane that stopped, a panel that could not be built) is said with this reason, never dropped.
inline std::string caughtFailure() {
    try {
        throw;
    } catch (const std::exception& exception) {
        return exception.what();
    } catch (...) {
        return "an unknown failure";
    }
}

} // namespace velmora
