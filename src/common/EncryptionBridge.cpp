#include "common/EncryptionBridge.h"

#include "platform/foundation/CodeTrust.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>

namespace velmora {

EncryptionBridge& EncryptionBridge::shared() {
    static EncryptionBridge bridge;
    return bridge;
}

EncryptionBridge::~EncryptionBridge() {
    close();
}

bool EncryptionBridge::noEntryPointResolved() const {
    return !_encodeGuessCount && !_encode && !_decodeGuessCount && !_decode;
}

bool EncryptionBridge::completelyLoaded() const {
    return _handle && _encodeGuessCount && _encode && _decodeGuessCount && _decode;
}

bool EncryptionBridge::isLoaded() const {
    return completelyLoaded();
}

void EncryptionBridge::openAndResolve(const std::string& path) {
    errno = 0;
    _handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!_handle)
        return;
    _encodeGuessCount = reinterpret_cast<EncryptionGuessCountFunction>(
        ::dlsym(_handle, "encryption_encode_guess_count"));
    _encode = reinterpret_cast<EncryptionCodecFunction>(::dlsym(_handle, "encryption_encode"));
    _decodeGuessCount = reinterpret_cast<EncryptionGuessCountFunction>(
        ::dlsym(_handle, "encryption_decode_guess_count"));
    _decode = reinterpret_cast<EncryptionCodecFunction>(::dlsym(_handle, "encryption_decode"));
}

namespace {

// The bundle whose Contents/Resources folder holds the codec, or the folder itself otherwise.
std::string bundleOf(const std::string& directory) {
    std::filesystem::path folder = std::filesystem::path(directory).lexically_normal();
    if (folder.filename().empty())
        folder = folder.parent_path();
    if (folder.parent_path().filename() == "Contents")
        return folder.parent_path().parent_path().string();
    return folder.string();
}

} // namespace

int EncryptionBridge::load(const std::string& directory) {
    if (directory.size() + 1 > kMaxDirectoryBytes) {
        std::fprintf(stderr, "xxx dlopen(%s) error %d\n", "<directory too long>", ENAMETOOLONG);
        return -1;
    }
    std::string path = directory + "/" + kEncryptionLibraryName;
    if (_messageBuffer)
        *_messageBuffer = path;
    if (!_handle && noEntryPointResolved()) {
        // The codec sees every password: it is loaded only from a bundle nobody else can change.
        std::string reason;
        auto object = CodeTrust::trustedObject(bundleOf(directory), path, &reason);
        if (!object) {
            std::fprintf(stderr, "xxx %s is not loaded: %s\n", path.c_str(), reason.c_str());
            return -1;
        }
        openAndResolve(*object);
        if (!_handle) {
            // dlopen reports through dlerror, not errno: its text says what went wrong.
            const char* reason = ::dlerror();
            std::fprintf(stderr, "xxx dlopen(%s) error %d (%s)\n", path.c_str(), errno,
                         reason ? reason : "unknown");
            return -1;
        }
    }
    if (completelyLoaded()) {
        ++_users;
        return 0;
    }
    std::fprintf(stderr, "xxx incomplete status %p, %p, %p, %p, %p\n", _handle,
                 reinterpret_cast<void*>(_encodeGuessCount), reinterpret_cast<void*>(_encode),
                 reinterpret_cast<void*>(_decodeGuessCount), reinterpret_cast<void*>(_decode));
    // The entry points are cleared with the handle: they would point into an unloaded library.
    close();
    return -1;
}

void EncryptionBridge::unload() {
    if (_users > 0)
        --_users;
    if (_users == 0)
        close();
}

void EncryptionBridge::close() {
    _users = 0;
    if (_handle)
        ::dlclose(_handle);
    _handle = nullptr;
    _encodeGuessCount = nullptr;
    _encode = nullptr;
    _decodeGuessCount = nullptr;
    _decode = nullptr;
}

int EncryptionBridge::run(const char* input, char* output, EncryptionGuessCountFunction guessCount,
                          EncryptionCodecFunction codec, const char* guessName,
                          const char* codecName) {
    if (!input || !output)
        return kStatusMissingArgument;
    if (!completelyLoaded())
        return kStatusNotLoaded;
    std::uint64_t inputLength = std::strlen(input);
    std::uint64_t guessed = 0;
    int status = guessCount(input, inputLength, &guessed);
    if (status == 0 && guessed >= kOutputBufferSize)
        status = kStatusOutputTooLong;
    if (status != 0) {
        std::fprintf(stderr, "xxx %s() error=%d\n", guessName, status);
        return status;
    }
    std::uint64_t written = guessed;
    status = codec(input, inputLength, output, &written);
    if (status == 0 && written > guessed)
        status = kStatusOutputTooLong;
    if (status != 0) {
        std::fprintf(stderr, "xxx %s() error=%d\n", codecName, status);
        return status;
    }
    output[written] = '\0';
    return 0;
}

int EncryptionBridge::encode(const char* input, char* output) {
    return run(input, output, _encodeGuessCount, _encode, "encryption_encode_guess_count",
               "encryption_encode");
}

int EncryptionBridge::decode(const char* input, char* output) {
    return run(input, output, _decodeGuessCount, _decode, "encryption_decode_guess_count",
               "encryption_decode");
}

int EncryptionBridge::check(const char* text, const std::string& directory,
                            std::string* messageBuffer) {
    char encoded[kOutputBufferSize] = {};
    char decoded[kOutputBufferSize] = {};
    _messageBuffer = messageBuffer;
    int loaded = load(directory);
    _messageBuffer = nullptr;
    if (loaded != 0) {
        std::fprintf(stderr, "%s\n", "checkEncDec:loadEncDec error");
        return -1;
    }
    if (encode(text, encoded) != 0) {
        std::fprintf(stderr, "%s\n", "checkEncDec:encode error");
        return -2;
    }
    if (decode(encoded, decoded) != 0) {
        std::fprintf(stderr, "%s\n", "checkEncDec:decode error");
        return -3;
    }
    bool same = std::strcmp(decoded, text ? text : "") == 0;
    std::fprintf(stderr, "%s\n", same ? "checkEncDec:OK" : "checkEncDec:NG");
    unload();
    return same ? 0 : -4;
}

int loadEncDec(const std::string& directory) {
    return EncryptionBridge::shared().load(directory);
}
int encode(const char* input, char* output) {
    return EncryptionBridge::shared().encode(input, output);
}
int decode(const char* input, char* output) {
    return EncryptionBridge::shared().decode(input, output);
}
void unloadEncDec() {
    EncryptionBridge::shared().unload();
}
int checkEncDec(const char* text, const std::string& directory, std::string* messageBuffer) {
    return EncryptionBridge::shared().check(text, directory, messageBuffer);
}

} // namespace velmora
