// The password codec behind the panel's encryption bridge.
//
// This is obfuscation, not security: it keeps passwords from being readable at a glance in
// print settings and favorite files, and anyone with this source can reverse it. Each byte is
// XOR-ed with a position-dependent key byte and written as two upper-case hexadecimal digits,
// so the encoded text is printable ASCII of twice the input length.

#include "common/EncryptionLibraryAbi.h"

#include <cerrno>
#include <cstdint>

namespace {

constexpr unsigned char kKey[] = {0x5A, 0xC3, 0x17, 0x9E, 0x64, 0x2B, 0xF0, 0x81};
constexpr char kHexDigits[] = "0123456789ABCDEF";

unsigned char keyByte(std::uint64_t position) {
    return static_cast<unsigned char>(kKey[position % sizeof kKey] ^ (position * 7));
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int
encryption_encode_guess_count(const char* input, std::uint64_t inputLength,
                              std::uint64_t* outputLength) {
    if (!input || !outputLength)
        return EINVAL;
    if (inputLength > UINT64_MAX / 2)
        return EOVERFLOW;
    *outputLength = inputLength * 2;
    return 0;
}

__attribute__((visibility("default"))) int encryption_encode(const char* input,
                                                             std::uint64_t inputLength,
                                                             char* output,
                                                             std::uint64_t* outputLength) {
    if (!input || !output || !outputLength)
        return EINVAL;
    if (*outputLength < inputLength * 2)
        return EOVERFLOW;
    for (std::uint64_t i = 0; i < inputLength; ++i) {
        auto byte = static_cast<unsigned char>(static_cast<unsigned char>(input[i]) ^ keyByte(i));
        output[2 * i] = kHexDigits[byte >> 4];
        output[2 * i + 1] = kHexDigits[byte & 0xF];
    }
    *outputLength = inputLength * 2;
    return 0;
}

__attribute__((visibility("default"))) int
encryption_decode_guess_count(const char* input, std::uint64_t inputLength,
                              std::uint64_t* outputLength) {
    if (!input || !outputLength)
        return EINVAL;
    if (inputLength % 2 != 0)
        return EILSEQ;
    *outputLength = inputLength / 2;
    return 0;
}

__attribute__((visibility("default"))) int encryption_decode(const char* input,
                                                             std::uint64_t inputLength,
                                                             char* output,
                                                             std::uint64_t* outputLength) {
    if (!input || !output || !outputLength)
        return EINVAL;
    if (inputLength % 2 != 0)
        return EILSEQ;
    if (*outputLength < inputLength / 2)
        return EOVERFLOW;
    for (std::uint64_t i = 0; i < inputLength / 2; ++i) {
        int high = hexValue(input[2 * i]), low = hexValue(input[2 * i + 1]);
        if (high < 0 || low < 0)
            return EILSEQ;
        output[i] = static_cast<char>(static_cast<unsigned char>((high << 4) | low) ^ keyByte(i));
    }
    *outputLength = inputLength / 2;
    return 0;
}

} // extern "C"
