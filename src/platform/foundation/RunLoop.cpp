#include "platform/foundation/RunLoop.h"

#include <algorithm>

namespace velmora {

RunLoop& RunLoop::main() {
    static RunLoop loop;
    return loop;
}

void RunLoop::perform(std::function<void()> action, std::vector<std::string> modes) {
    _pending.push_back(Pending{std::move(action), std::move(modes)});
}

std::size_t RunLoop::runPending(std::string_view mode) {
    std::vector<Pending> due;
    auto inMode = [mode](const Pending& p) {
        return std::find(p.modes.begin(), p.modes.end(), mode) != p.modes.end();
    };
    auto keep = std::stable_partition(_pending.begin(), _pending.end(),
                                      [&](const Pending& p) { return !inMode(p); });
    std::move(keep, _pending.end(), std::back_inserter(due));
    _pending.erase(keep, _pending.end());
    for (auto& p : due)
        p.action();
    return due.size();
}

} // namespace velmora
