#include "platform/printing/FilterMessage.h"

#include <cstdio>
#include <strings.h>

namespace velmora {
namespace {

constexpr std::string_view kCut = "...";

bool isPrintable(char c) {
    return c >= 0x20 && c < 0x7f;
}

std::string_view prefix(FilterMessage::Level level) {
    switch (level) {
    case FilterMessage::Level::Debug: return "DEBUG: ";
    case FilterMessage::Level::Info: return "INFO: ";
    case FilterMessage::Level::Warning: return "WARNING: ";
    case FilterMessage::Level::Error: return "ERROR: ";
    }
    return "DEBUG: ";
}

bool isKeywordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

} // namespace

std::string FilterMessage::line(Level level, std::string_view text) {
    std::string out(prefix(level));
    // Room for the text: the line with its newline stays below the bound.
    std::size_t room = kMaxLineBytes - 2 - out.size();
    bool cut = text.size() > room;
    if (cut)
        text = text.substr(0, room - kCut.size());
    for (char c : text)
        out += isPrintable(c) ? c : '?';
    if (cut)
        out += kCut;
    out += '\n';
    return out;
}

std::string FilterMessage::quoted(std::string_view text, std::size_t maxBytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::string piece;
        if (isPrintable(static_cast<char>(c)) && c != '"' && c != '\\')
            piece = static_cast<char>(c);
        else
            piece = std::string("\\x") + kHex[c >> 4] + kHex[c & 0xF];
        if (out.size() + piece.size() > maxBytes) {
            out += kCut;
            break;
        }
        out += piece;
    }
    return out + "\"";
}

std::size_t FilterMessage::maxPpdValueBytes(std::string_view keyword) {
    // "*" keyword ": " and the value between its two double quotes.
    std::size_t frame = 1 + keyword.size() + 2 + 2;
    return frame >= kMaxPpdLineBytes ? 0 : kMaxPpdLineBytes - frame;
}

std::optional<std::string> FilterMessage::ppdKeyword(std::string_view keyword,
                                                     std::string_view value) {
    // The scheduler's own keywords and anything but a plain name are not ours to write.
    if (keyword.empty() || keyword.size() > 40 ||
        (keyword.size() >= 4 && strncasecmp(keyword.data(), "cups", 4) == 0))
        return std::nullopt;
    for (char c : keyword)
        if (!isKeywordCharacter(c))
            return std::nullopt;
    if (value.size() > maxPpdValueBytes(keyword))
        return std::nullopt;
    for (char c : value)
        if (!isPrintable(c) || c == '"' || c == '\'' || c == '\\')
            return std::nullopt;
    return "PPD: " + std::string(keyword) + "='\"" + std::string(value) + "\"'\n";
}

void FilterMessage::emit(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace velmora
