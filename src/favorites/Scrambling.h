#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Light obfuscation of values typed into password fields: a random seed byte, then each clear
// byte chained with the previous one and XOR-ed with a cyclic key, all as lower-case
// hexadecimal pairs. Not a cipher.
namespace velmora {

// The key every caller shares.
inline constexpr const char* kScramblingKey = "parameters=kvsn_data";

// Scrambles ASCII text (other text scrambles as empty: only the seed is written).
std::string encryptString(const std::string& key, const std::string& text);
std::string decryptString(const std::string& key, const std::string& text);
// 2 × the text's byte length + 3: the buffer Encryption needs.
std::size_t encryptionBufLen(const std::string& text);
// Scrambling with a given seed (0 to 254), for callers that need a repeatable result.
void EncryptionWithSeed(const char* key, const char* clear, char* out, unsigned seed);

extern "C" {
// out must hold 2 × strlen(clear) + 3 bytes; the seed comes from the current second.
void Encryption(const char* key, const char* clear, char* out);
// out must hold strlen(scrambled) + 1 bytes.
void Decryption(const char* key, const char* scrambled, char* out);
// A newly allocated NUL-terminated copy of the bytes (free with std::free); null on failure.
char* cStringByData(const void* bytes, std::size_t length);
}
std::string stringByCString(const char* bytes);

} // namespace velmora
