#include "platform/printing/CommandFile.h"

#include <istream>

namespace velmora {
namespace {

std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> found;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (end > at)
            found.emplace_back(line.substr(at, end - at));
        at = end;
    }
    return found;
}

} // namespace

Result<std::string> CommandFile::read(std::istream& in) {
    std::string text(kMaxBytes + 1, '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        in.read(text.data() + filled, static_cast<std::streamsize>(text.size() - filled));
        if (in.gcount() <= 0)
            break;
        filled += static_cast<std::size_t>(in.gcount());
    }
    if (in.bad())
        return Failure{"the command file cannot be read"};
    if (filled > kMaxBytes)
        return Failure{"the command file is larger than " + std::to_string(kMaxBytes / 1024) +
                       " KiB"};
    text.resize(filled);
    return text;
}

std::vector<CommandFile::Command> CommandFile::parse(std::string_view text) {
    std::vector<Command> commands;
    bool first = true;
    while (!text.empty() && commands.size() < kMaxCommands) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (first && line.starts_with("#CUPS-COMMAND")) {
            first = false;
            continue;
        }
        first = false;
        auto parts = words(line);
        if (parts.empty() || parts.front()[0] == '#')
            continue;
        Command command{parts.front(), {}};
        for (std::size_t i = 1; i < parts.size() && command.arguments.size() < kMaxArguments; ++i)
            command.arguments.push_back(parts[i]);
        commands.push_back(std::move(command));
    }
    return commands;
}

std::vector<std::string> CommandFile::reportLevelsLists(const std::vector<Command>& commands) {
    std::vector<std::string> lists;
    for (const auto& command : commands)
        if (command.name == "ReportLevels")
            lists.insert(lists.end(), command.arguments.begin(), command.arguments.end());
    return lists;
}

} // namespace velmora
