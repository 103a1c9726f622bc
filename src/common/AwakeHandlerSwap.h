#pragma once

#include <functional>

namespace velmora {

// Keeps the host application's handler for loaded interfaces out of the way while the
// plug-in loads one of its own, and puts it back however the load ends.
class AwakeHandlerSwap {
public:
    AwakeHandlerSwap();
    ~AwakeHandlerSwap();
    AwakeHandlerSwap(const AwakeHandlerSwap&) = delete;
    AwakeHandlerSwap& operator=(const AwakeHandlerSwap&) = delete;

private:
    std::function<void()> _saved;
};

} // namespace velmora
