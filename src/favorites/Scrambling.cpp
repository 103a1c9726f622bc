#include "favorites/Scrambling.h"

#include "platform/foundation/NumberText.h"
#include "validation/StringUtilities.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

namespace velmora {
namespace {

bool isAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

void appendPair(char*& out, unsigned value) {
    std::snprintf(out, 3, "%1.2x", value & 0xFFu);
    out += 2;
}

} // namespace

void EncryptionWithSeed(const char* key, const char* clear, char* out, unsigned seed) {
    std::size_t keyLength = std::strlen(key);
    unsigned previous = seed % 255;
    appendPair(out, previous);
    std::size_t j = 0;
    for (const char* p = clear; *p; ++p) {
        unsigned k = keyLength ? static_cast<unsigned char>(key[j]) : 0;
        j = keyLength ? (j + 1) % keyLength : 0;
        unsigned next = k ^ ((previous + static_cast<unsigned char>(*p)) % 255);
        appendPair(out, next);
        previous = next;
    }
    *out = '\0';
}

extern "C" void Encryption(const char* key, const char* clear, char* out) {
    // A generator seeded with the current second: equal within a second, different across.
    std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(std::time(nullptr)));
    EncryptionWithSeed(key, clear, out, static_cast<unsigned>(generator() % 255));
}

extern "C" void Decryption(const char* key, const char* scrambled, char* out) {
    std::size_t keyLength = std::strlen(key), length = std::strlen(scrambled);
    char* o = out;
    if (length >= 2 && NumberText::hexDigitValue(scrambled[0]) >= 0 &&
        NumberText::hexDigitValue(scrambled[1]) >= 0) {
        int previous =
            NumberText::hexDigitValue(scrambled[0]) * 16 + NumberText::hexDigitValue(scrambled[1]);
        std::size_t j = 0;
        for (std::size_t i = 2; i + 1 < length; i += 2) {
            int high = NumberText::hexDigitValue(scrambled[i]),
                low = NumberText::hexDigitValue(scrambled[i + 1]);
            if (high < 0 || low < 0)
                break;
            int current = high * 16 + low;
            int k = keyLength ? static_cast<unsigned char>(key[j]) : 0;
            j = keyLength ? (j + 1) % keyLength : 0;
            int v = k ^ current;
            *o++ = static_cast<char>(previous < v ? v - previous : v - previous + 255);
            previous = current;
        }
    }
    *o = '\0';
}

extern "C" char* cStringByData(const void* bytes, std::size_t length) {
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy)
        return nullptr;
    if (length)
        std::memcpy(copy, bytes, length);
    copy[length] = '\0';
    return copy;
}

std::string stringByCString(const char* bytes) {
    return bytes ? std::string(bytes) : std::string();
}

// Counted in bytes of the legacy encoding, as every byte limit of the system is.
std::size_t encryptionBufLen(const std::string& text) {
    return 2 * lengthByBytes(text) + 3;
}

std::string encryptString(const std::string& key, const std::string& text) {
    std::string clear = isAscii(text) ? text : std::string();
    std::string asciiKey = isAscii(key) ? key : std::string();
    std::string out(2 * clear.size() + 4, '\0');
    Encryption(asciiKey.c_str(), clear.c_str(), out.data());
    out.resize(std::strlen(out.c_str()));
    return out;
}

std::string decryptString(const std::string& key, const std::string& text) {
    std::string scrambled = isAscii(text) ? text : std::string();
    std::string asciiKey = isAscii(key) ? key : std::string();
    std::string out(scrambled.size() + 1, '\0');
    Decryption(asciiKey.c_str(), scrambled.c_str(), out.data());
    out.resize(std::strlen(out.c_str()));
    return isAscii(out) ? out : std::string();
}

} // namespace velmora
