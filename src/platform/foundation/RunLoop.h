#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Actions deferred to the next pass of the event loop. Each action runs in the modes it was
// queued for; the modal loops run the pending actions of their mode on every pass. Any thread
// may queue an action; the loop's own thread runs them.
class RunLoop {
public:
    static constexpr const char* kDefaultMode = "kCFRunLoopDefaultMode";
    static constexpr const char* kModalPanelMode = "NSModalPanelRunLoopMode";

    // The main thread's run loop; a run loop can also be made on its own.
    static RunLoop& main();
    // The run loop of the calling thread (the main one on the main thread).
    static RunLoop& current();
    // The same, shared: whoever will queue actions for this thread later keeps it alive, also
    // after the thread has ended (its actions then never run).
    static std::shared_ptr<RunLoop> currentShared();

    void perform(std::function<void()> action, std::vector<std::string> modes = {kDefaultMode});
    // Runs, in order, the actions that were pending for mode when the pass began; actions that
    // they queue wait for the next pass. Returns how many ran.
    std::size_t runPending(std::string_view mode = kDefaultMode);
    // Runs passes until done answers true or the time-out (seconds) passes; returns done().
    bool runUntil(const std::function<bool()>& done, double timeoutSeconds,
                  std::string_view mode = kDefaultMode);
    std::size_t pendingCount() const;
    void cancelAll();

private:
    struct Pending {
        std::function<void()> action;
        std::vector<std::string> modes;
    };
    mutable std::mutex _mutex;
    std::vector<Pending> _pending;
};

} // namespace velmora
