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

constexpr signed char kWhiteSpace = -2, kPad = -3, kInvalid = -1;

struct DecodeTable {
    signed char entries[256];
    constexpr DecodeTable() : entries() {
        for (auto& entry : entries)
            entry = kInvalid;
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            entries[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
            entries[c] = kWhiteSpace;
        entries[static_cast<unsigned char>('=')] = kPad;
    }
};

constexpr DecodeTable kTable;

} // namespace

// One pass: characters outside the alphabet refuse the text (libcups would skip them, and a
// corrupt block must not decode silently); padding may only end the text and complete its
// last group; a lone character after the last full group cannot be decoded.
bool decodeAppend(std::string_view text, std::string& out) {
    std::size_t start = out.size();
    // Written through a pointer into room made once: a server list's block is megabytes long.
    out.resize(start + text.size() / 4 * 3 + 3);
    char* write = out.data() + start;
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t length = text.size();
    std::size_t characters = 0;
    bool padded = false;
    unsigned accumulator = 0;
    int bits = 0;
    for (std::size_t i = 0; i < length;) {
        // Four characters of the alphabet at the start of a group, the common case, give three
        // bytes at once; anything else (white space, padding, a wrong character) goes one by
        // one below. Every value but the alphabet's is negative.
        if (bits == 0 && i + 4 <= length) {
            signed char a = kTable.entries[in[i]], b = kTable.entries[in[i + 1]],
                        c = kTable.entries[in[i + 2]], d = kTable.entries[in[i + 3]];
            if ((a | b | c | d) >= 0 && !padded) {
                unsigned group = static_cast<unsigned>(a) << 18 | static_cast<unsigned>(b) << 12 |
                                 static_cast<unsigned>(c) << 6 | static_cast<unsigned>(d);
                *write++ = static_cast<char>(group >> 16);
                *write++ = static_cast<char>((group >> 8) & 0xFF);
                *write++ = static_cast<char>(group & 0xFF);
                characters += 4;
                i += 4;
                continue;
            }
        }
        signed char value = kTable.entries[in[i++]];
        if (value == kWhiteSpace)
            continue;
        if (value == kInvalid || (padded && value != kPad)) {
            out.resize(start);
            return false;
        }
        ++characters;
        if (value == kPad) {
            padded = true;
            continue;
        }
        accumulator = (accumulator << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            *write++ = static_cast<char>((accumulator >> bits) & 0xFF);
        }
    }
    out.resize(static_cast<std::size_t>(write - out.data()));
    if ((padded && characters % 4 != 0) || characters % 4 == 1) {
        out.resize(start);
        return false;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> decode(std::string_view text) {
    std::string bytes;
    if (!decodeAppend(text, bytes))
        return std::nullopt;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

} // namespace velmora::Base64
