#include "Command.h"
#include "InstallPaths.h"
#include "QueuePpdGenerator.h"

#include <cstdio>

namespace velmora::app {

int runQueuePpdCommand(const std::vector<std::string>& arguments) {
    std::string ppd, bundle = pluginDirectory();
    bool understood = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--bundle" && i + 1 < arguments.size())
            bundle = arguments[++i];
        else if (ppd.empty() && !arguments[i].starts_with("--"))
            ppd = arguments[i];
        else
            understood = false;
    }
    if (!understood)
        ppd.clear();
    if (ppd.empty()) {
        std::fprintf(stderr, "usage: velmora queue-ppd PPD [--bundle DIR]\n");
        return 2;
    }
    std::string error;
    auto result = QueuePpdGenerator::generate(ppd, bundle, error);
    if (!result)
        return failCommand("queue-ppd", error);
    std::fwrite(result->ppd.data(), 1, result->ppd.size(), stdout);
    std::fprintf(stderr, "%d rules (%d with a resolution), %d rules no PPD choice can state\n",
                 result->constraints, result->resolvers, result->skippedRules);
    return 0;
}

} // namespace velmora::app
