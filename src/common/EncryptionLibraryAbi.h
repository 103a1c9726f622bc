#pragma once

// The four entry points of the password codec library that the panel loads at run time.
// Every entry point returns 0 on success and a library-defined error code otherwise.
// Lengths are in bytes and exclude the terminating NUL.

#include <cstdint>

namespace velmora {

inline constexpr const char* kEncryptionLibraryName = "libencryption.so";

extern "C" {
using EncryptionGuessCountFunction = int (*)(const char* input, std::uint64_t inputLength,
                                             std::uint64_t* outputLength);
using EncryptionCodecFunction = int (*)(const char* input, std::uint64_t inputLength, char* output,
                                        std::uint64_t* outputLength);
}

} // namespace velmora
