#include "Command.h"

#include "platform/foundation/PropertyList.h"

#include <cstdio>

namespace velmora::app {

int runPlistCommand(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: velmora plist FILE\n");
        return 2;
    }
    std::string error;
    auto value = PropertyList::readFile(arguments[0], &error);
    if (!value)
        return failCommand("plist", error);
    std::printf("%s\n", value->toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
