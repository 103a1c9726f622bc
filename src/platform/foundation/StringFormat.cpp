#include "platform/foundation/StringFormat.h"

#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace velmora::StringFormat {
namespace {

// Formats come from string tables and settings files: widths, precisions and positions are
// held to what a label can show, so no format can ask for gigabytes of padding.
constexpr std::int64_t kMaxWidth = 256;
constexpr std::int64_t kMaxPrecision = 64;
constexpr std::int64_t kMaxPosition = 99;

std::size_t digitsEnd(std::string_view fmt, std::size_t i) {
    while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i])))
        ++i;
    return i;
}

// The number written at fmt[from, to), held to at most limit.
std::int64_t boundedNumber(std::string_view fmt, std::size_t from, std::size_t to,
                           std::int64_t limit) {
    return std::min(NumberText::leadingInteger(fmt.substr(from, to - from)), limit);
}

struct Conversion {
    std::string flags;  // flags, then width and precision held to their bounds
    std::string length; // h, l, ll, q, z
    char type = 0;
    int position = 0;    // 1-based explicit position, 0 when none
    std::size_t end = 0; // index after the conversion in the format
};

bool parseConversion(std::string_view fmt, std::size_t start, Conversion& c) {
    std::size_t i = start + 1;
    std::size_t digits = digitsEnd(fmt, i);
    if (digits > i && digits < fmt.size() && fmt[digits] == '$') {
        // A position past every argument stays past them: it writes nothing.
        c.position = static_cast<int>(boundedNumber(fmt, i, digits, kMaxPosition + 1));
        i = digits + 1;
    }
    while (i < fmt.size() && std::strchr("-+ #0", fmt[i]))
        c.flags += fmt[i++];
    std::size_t widthEnd = digitsEnd(fmt, i);
    if (widthEnd > i)
        c.flags += std::to_string(boundedNumber(fmt, i, widthEnd, kMaxWidth));
    i = widthEnd;
    if (i < fmt.size() && fmt[i] == '.') {
        std::size_t precisionEnd = digitsEnd(fmt, i + 1);
        c.flags += '.' + std::to_string(boundedNumber(fmt, i + 1, precisionEnd, kMaxPrecision));
        i = precisionEnd;
    }
    std::size_t lengthStart = i;
    while (i < fmt.size() && std::strchr("hlqzjt", fmt[i]))
        ++i;
    c.length.assign(fmt.substr(lengthStart, i - lengthStart));
    if (i >= fmt.size())
        return false;
    c.type = fmt[i];
    c.end = i + 1;
    return true;
}

std::string formatted(const char* spec, auto value) {
    char buf[512];
    int n = std::snprintf(buf, sizeof buf, spec, value);
    if (n < 0)
        return {};
    if (static_cast<std::size_t>(n) < sizeof buf)
        return std::string(buf, static_cast<std::size_t>(n));
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), spec, value);
    big.resize(static_cast<std::size_t>(n));
    return big;
}

std::string convert(const Conversion& c, const Value& argument) {
    switch (c.type) {
    case '@': return argument.stringValue();
    case 's': return formatted(("%" + c.flags + "s").c_str(), argument.stringValue().c_str());
    case 'd':
    case 'i':
        return formatted(("%" + c.flags + "lld").c_str(),
                         static_cast<long long>(argument.integerValue()));
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        return formatted(("%" + c.flags + "ll" + c.type).c_str(),
                         static_cast<unsigned long long>(argument.integerValue()));
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G': return formatted(("%" + c.flags + c.type).c_str(), argument.doubleValue());
    case 'c': return std::string(1, static_cast<char>(argument.integerValue()));
    default: return {};
    }
}

bool isKnownType(char type) {
    return std::strchr("@sdiuxXofFeEgGc", type) != nullptr;
}

} // namespace

std::string format(std::string_view fmt, const std::vector<Value>& arguments) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < fmt.size();) {
        if (fmt[i] != '%') {
            out += fmt[i++];
            continue;
        }
        if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        Conversion c;
        if (!parseConversion(fmt, i, c) || !isKnownType(c.type)) {
            out += fmt[i++];
            continue;
        }
        std::size_t index = c.position > 0 ? static_cast<std::size_t>(c.position - 1) : next++;
        if (index < arguments.size())
            out += convert(c, arguments[index]);
        i = c.end;
    }
    return out;
}

} // namespace velmora::StringFormat
