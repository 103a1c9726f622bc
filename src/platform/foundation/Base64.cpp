#include "platform/foundation/Base64.h"

#include <cctype>
#include <climits>
#include <cups/cups.h>

namespace velmora::Base64 {

std::string encode(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX / 4 * 3 - 4))
        return {};
    std::string out((bytes.size() + 2) / 3 * 4 + 1, '\0');
    httpEncode64_2(out.data(), static_cast<int>(out.size()),
                   reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
    out.resize(std::char_traits<char>::length(out.c_str()));
    return out;
}

namespace {

bool isAlphabet(unsigned char c) {
    return std::isalnum(c) != 0 || c == '+' || c == '/' || c == '=';
}

} // namespace

std::optional<std::vector<std::uint8_t>> decode(std::string_view text) {
    // libcups skips characters it does not know; a corrupt block must not decode silently.
    std::string clean;
    clean.reserve(text.size());
    for (unsigned char c : text) {
        if (std::isspace(c))
            continue;
        if (!isAlphabet(c))
            return std::nullopt;
        clean += static_cast<char>(c);
    }
    auto firstPad = clean.find('=');
    if (firstPad != std::string::npos &&
        (clean.find_first_not_of('=', firstPad) != std::string::npos || clean.size() % 4 != 0))
        return std::nullopt;
    if (clean.size() % 4 == 1 || clean.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    std::vector<std::uint8_t> out(clean.size() / 4 * 3 + 3);
    int length = static_cast<int>(out.size());
    if (!httpDecode64_2(reinterpret_cast<char*>(out.data()), &length, clean.c_str()))
        return std::nullopt;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

} // namespace velmora::Base64
