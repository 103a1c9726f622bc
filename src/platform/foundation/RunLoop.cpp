#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace velmora {
namespace {

// The library is loaded by the main thread, so its static initialization runs there.
const std::thread::id kMainThread = std::this_thread::get_id();

std::shared_ptr<RunLoop> mainShared() {
    static const auto loop = std::make_shared<RunLoop>();
    return loop;
}

} // namespace

RunLoop& RunLoop::main() {
    return *mainShared();
}

std::shared_ptr<RunLoop> RunLoop::currentShared() {
    if (std::this_thread::get_id() == kMainThread)
        return mainShared();
    thread_local const auto loop = std::make_shared<RunLoop>();
    return loop;
}

RunLoop& RunLoop::current() {
    return *currentShared();
}

void RunLoop::perform(std::function<void()> action, std::vector<std::string> modes) {
    std::lock_guard lock(_mutex);
    _pending.push_back(Pending{std::move(action), std::move(modes)});
}

std::size_t RunLoop::runPending(std::string_view mode) {
    std::vector<Pending> due;
    {
        std::lock_guard lock(_mutex);
        auto inMode = [mode](const Pending& p) {
            return std::find(p.modes.begin(), p.modes.end(), mode) != p.modes.end();
        };
        auto keep = std::stable_partition(_pending.begin(), _pending.end(),
                                          [&](const Pending& p) { return !inMode(p); });
        std::move(keep, _pending.end(), std::back_inserter(due));
        _pending.erase(keep, _pending.end());
    }
    for (auto& p : due) // outside the lock: an action may queue another
        p.action();
    return due.size();
}

bool RunLoop::runUntil(const std::function<bool()>& done, double timeoutSeconds,
                       std::string_view mode) {
    // A day at most; anything that is not a positive number is no wait at all.
    double seconds = timeoutSeconds > 0 ? std::min(timeoutSeconds, 86400.0) : 0.0;
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                        std::chrono::duration<double>(seconds));
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        if (runPending(mode) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::size_t RunLoop::pendingCount() const {
    std::lock_guard lock(_mutex);
    return _pending.size();
}

void RunLoop::cancelAll() {
    std::lock_guard lock(_mutex);
    _pending.clear();
}

} // namespace velmora
