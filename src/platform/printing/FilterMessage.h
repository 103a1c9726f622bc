#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The lines a CUPS filter writes on standard error, where the scheduler acts on them: "PPD:"
// rewrites keywords of the queue's PPD for everyone, so nothing a filter repeats from outside
// (a command file, a print server's answer) may start a message of its own. Every line built here
// is shorter than the scheduler's buffer, holds printable ASCII only and ends in one newline, and
// a PPD keyword is written only when the PPD line it makes stays within the PPD line limit.
class FilterMessage {
public:
    // Well below the 2,047 bytes at which the scheduler splits a line into two messages.
    static constexpr std::size_t kMaxLineBytes = 1000;
    // What libcups accepts as one PPD line ("*Keyword: \"value\"").
    static constexpr std::size_t kMaxPpdLineBytes = 255;

    enum class Level { Debug, Info, Warning, Error };

    // "LEVEL: text\n", the text made printable and cut (ending in "...") to fit the line.
    static std::string line(Level level, std::string_view text);
    // Text from outside as it appears inside a message: between double quotes, bytes outside
    // printable ASCII (and the quote and backslash) written as \xNN, cut to about maxBytes.
    static std::string quoted(std::string_view text, std::size_t maxBytes = 80);
    // "PPD: Keyword='\"value\"'\n", or null when the keyword is not a plain PPD keyword, the value
    // holds a quote, a backslash or anything but printable ASCII, or the PPD line would be too
    // long.
    static std::optional<std::string> ppdKeyword(std::string_view keyword, std::string_view value);
    // The longest value a keyword can carry in the PPD.
    static std::size_t maxPpdValueBytes(std::string_view keyword);

    // Writes one line to standard error in one write, so that no other output lands inside it.
    static void emit(const std::string& line);
};

} // namespace velmora
