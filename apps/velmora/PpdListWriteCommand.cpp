#include "Command.h"

#include "ppd/PpdDataBlockWriter.h"

#include <cstdio>
#include <optional>

namespace velmora::app {

int runPpdListWriteCommand(const std::vector<std::string>& arguments) {
    bool remove = arguments.size() == 3 && arguments[2] == "--remove";
    if (arguments.size() != 3 || (arguments[2].starts_with("--") && !remove)) {
        std::fprintf(stderr, "usage: velmora ppd-list-write PPD NAME FILE|--remove\n");
        return 2;
    }
    std::string error;
    std::optional<std::string> list;
    if (!remove)
        list = arguments[2];
    if (!PpdDataBlockWriter::writeFile(arguments[0], arguments[1], list, &error))
        return failCommand("ppd-list-write", error);
    return 0;
}

} // namespace velmora::app
