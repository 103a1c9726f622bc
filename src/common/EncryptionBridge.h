#pragma once

#include "common/EncryptionLibraryAbi.h"

#include <cstddef>
#include <string>

namespace velmora {

// Loads the password codec library from a folder and encodes and decodes NUL-terminated byte
// strings through it. Main thread only. Its diagnostics ("xxx …", "checkEncDec:…") go to
// standard error, which keeps the standard output of the velmora commands pure JSON.
class EncryptionBridge {
public:
    static constexpr std::size_t kOutputBufferSize = 1024;
    static constexpr std::size_t kMaxDirectoryBytes = 2048; // including the terminator
    // Status when the library is not loaded or an argument is missing.
    static constexpr int kStatusNotLoaded = -1;
    static constexpr int kStatusMissingArgument = -50;
    // Status when the library asks for more room than the output buffer has.
    static constexpr int kStatusOutputTooLong = -2000;

    // The bridge that the panel and the free functions below use.
    static EncryptionBridge& shared();

    EncryptionBridge() = default;
    ~EncryptionBridge();
    EncryptionBridge(const EncryptionBridge&) = delete;
    EncryptionBridge& operator=(const EncryptionBridge&) = delete;

    // 0 when the library is loaded with all four entry points, -1 otherwise. Loading again
    // keeps the first library. Each load that succeeded is one user of the library, and unload
    // ends one use: the library goes with its last user (two pane managers, a codec check).
    int load(const std::string& directory);
    // output: a cleared buffer of kOutputBufferSize bytes; NUL-terminated on success.
    int encode(const char* input, char* output);
    int decode(const char* input, char* output);
    void unload();
    bool isLoaded() const;
    // Round trip of text: 0 when it comes back unchanged; -1 load, -2 encode, -3 decode
    // failed; -4 the text came back changed. messageBuffer, when given, receives the path of
    // the library.
    int check(const char* text, const std::string& directory, std::string* messageBuffer);

private:
    void* _handle = nullptr;
    EncryptionGuessCountFunction _encodeGuessCount = nullptr;
    EncryptionCodecFunction _encode = nullptr;
    EncryptionGuessCountFunction _decodeGuessCount = nullptr;
    EncryptionCodecFunction _decode = nullptr;
    std::string* _messageBuffer = nullptr;
    int _users = 0;

    void close();
    bool noEntryPointResolved() const;
    bool completelyLoaded() const;
    void openAndResolve(const std::string& path);
    int run(const char* input, char* output, EncryptionGuessCountFunction guessCount,
            EncryptionCodecFunction codec, const char* guessName, const char* codecName);
};

// The bridge's operations on the shared bridge, under the names the rest of the driver uses.
int loadEncDec(const std::string& directory);
int encode(const char* input, char* output);
int decode(const char* input, char* output);
void unloadEncDec();
int checkEncDec(const char* text, const std::string& directory, std::string* messageBuffer);

} // namespace velmora
