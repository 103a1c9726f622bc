#pragma once

#include "platform/foundation/Result.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A CUPS command file: "#CUPS-COMMAND" on the first line, then one command per line ("NAME
// ARGUMENT…"); "#" starts a comment line. Lines beyond the limits are ignored.
class CommandFile {
public:
    static constexpr std::size_t kMaxCommands = 1000;
    static constexpr std::size_t kMaxArguments = 100;
    // A command job's document is small; anything larger is not a command file of ours.
    static constexpr std::size_t kMaxBytes = 64 * 1024;

    struct Command {
        std::string name;
        std::vector<std::string> arguments;
    };

    // The whole file, read from the stream; the reason when it holds more than kMaxBytes (no
    // more than one byte beyond the limit is read) or cannot be read.
    static Result<std::string> read(std::istream& in);
    static std::vector<Command> parse(std::string_view text);
    // The list names of every "ReportLevels" command, in order.
    static std::vector<std::string> reportLevelsLists(const std::vector<Command>& commands);
};

} // namespace velmora
