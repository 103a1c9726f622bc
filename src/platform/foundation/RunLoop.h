#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Actions deferred to the next pass of the event loop. Each action runs in the modes it was
// queued for; the modal loops run the pending actions of their mode on every pass.
class RunLoop {
public:
    static constexpr const char* kDefaultMode = "kCFRunLoopDefaultMode";
    static constexpr const char* kModalPanelMode = "NSModalPanelRunLoopMode";

    // The main thread's run loop; a run loop can also be made on its own.
    static RunLoop& main();

    void perform(std::function<void()> action, std::vector<std::string> modes = {kDefaultMode});
    // Runs, in order, the actions that were pending for mode when the pass began; actions that
    // they queue wait for the next pass. Returns how many ran.
    std::size_t runPending(std::string_view mode = kDefaultMode);
    std::size_t pendingCount() const { return _pending.size(); }
    void cancelAll() { _pending.clear(); }

private:
    struct Pending {
        std::function<void()> action;
        std::vector<std::string> modes;
    };
    std::vector<Pending> _pending;
};

} // namespace velmora
