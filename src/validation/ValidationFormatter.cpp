#include "validation/ValidationFormatter.h"

#include "platform/ui/FieldEditor.h"
#include "platform/ui/Window.h"
#include "validation/StringUtilities.h"

#include <cctype>
#include <limits>

namespace velmora {
namespace {

constexpr std::size_t kMailBytesExamined = 128;

bool isMailSeparator(char c) {
    return c == ';' || c == ',' || std::isspace(static_cast<unsigned char>(c));
}

// Reads decimal digits as an unsigned 64-bit number (saturating).
std::uint64_t readNumber(const std::string& text, std::size_t& at) {
    std::uint64_t value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        std::uint64_t digit = static_cast<std::uint64_t>(text[at] - '0');
        value = value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10
                    ? std::numeric_limits<std::uint64_t>::max()
                    : value * 10 + digit;
    }
    return value;
}

} // namespace

ValidationFormatter::ValidationFormatter(std::uint32_t minBytes, std::uint32_t maxBytes,
                                         const icu::UnicodeSet& set,
                                         std::optional<std::string> message)
    : MaxBytesFormatterWithCharacterSet(minBytes, maxBytes, set), _message(std::move(message)) {}

bool ValidationFormatter::isValid(const std::string&) const {
    return true;
}

bool ValidationFormatter::controlTextShouldEndEditing(ui::TextField& field,
                                                      ui::FieldEditor& editor) {
    ui::Window* window = field.window();
    if (!window || !window->isVisible())
        return true;
    if (isValid(editor.string()))
        return true;
    showSheet(field, _message.value_or("--"));
    return false;
}

MailAddressFormatter::MailAddressFormatter(std::uint32_t minBytes, std::uint32_t maxBytes,
                                           const icu::UnicodeSet& set,
                                           std::optional<std::string> message)
    : ValidationFormatter(minBytes, maxBytes, set, std::move(message)) {
    enableEscaping();
}

bool MailAddressFormatter::isValid(const std::string& whole) const {
    std::string text = whole.substr(0, kMailBytesExamined); // the first 128 bytes are examined
    std::size_t at = 0, addresses = 0;
    while (at < text.size() && isMailSeparator(text[at]))
        ++at;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && !isMailSeparator(text[end]))
            ++end;
        if (!checkOneAddress(text.substr(at, end - at)))
            return false;
        ++addresses;
        at = end;
        while (at < text.size() && isMailSeparator(text[at]))
            ++at;
    }
    return addresses > 0;
}

bool PageRangeFormatter::isValid(const std::string& text) const {
    return isValidPageRange(text, 1, 2147483647u);
}

bool PageRangeFormatter::isValidPageRange(const std::string& input, std::uint64_t min,
                                          std::uint64_t max) {
    auto legacy = TextEncodings::fromUtf8(input, kCStringEncoding);
    if (!legacy)
        return false;
    std::string text;
    for (char c : *legacy)
        if (!std::isspace(static_cast<unsigned char>(c)))
            text += c;
    if (text.empty())
        return true;
    bool hit = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(",\n", start);
        if (end == std::string::npos)
            end = text.size();
        std::string piece = text.substr(start, end - start);
        start = end + 1;
        if (piece.empty())
            continue;
        if (piece == "-")
            return false;
        std::size_t at = 0;
        std::uint64_t first =
            std::isdigit(static_cast<unsigned char>(piece[0])) ? readNumber(piece, at) : min;
        std::uint64_t second = first;
        if (at < piece.size() && piece[at] == '-') {
            ++at;
            if (at < piece.size() && std::isdigit(static_cast<unsigned char>(piece[at])))
                second = readNumber(piece, at);
        }
        if (at != piece.size() || first > second || first == 0)
            return false;
        if ((min <= first && first <= max) || (first < min && min <= second && second <= max))
            hit = true;
    }
    return hit;
}

} // namespace velmora
