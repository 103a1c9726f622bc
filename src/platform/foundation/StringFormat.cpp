#include "platform/foundation/StringFormat.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace velmora::StringFormat {
namespace {

struct Conversion {
    std::string flags;  // flags, width and precision as written
    std::string length; // h, l, ll, q, z
    char type = 0;
    int position = 0;    // 1-based explicit position, 0 when none
    std::size_t end = 0; // index after the conversion in the format
};

bool parseConversion(std::string_view fmt, std::size_t start, Conversion& c) {
    std::size_t i = start + 1;
    std::size_t digits = i;
    while (digits < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[digits])))
        ++digits;
    if (digits > i && digits < fmt.size() && fmt[digits] == '$') {
        c.position = std::stoi(std::string(fmt.substr(i, digits - i)));
        i = digits + 1;
    }
    std::size_t flagsStart = i;
    while (i < fmt.size() && std::strchr("-+ #0123456789.", fmt[i]))
        ++i;
    c.flags.assign(fmt.substr(flagsStart, i - flagsStart));
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
