// A codec library with only three of the four entry points: encryption_decode is missing.

#include <cstdint>

extern "C" {
int encryption_encode_guess_count(const char*, std::uint64_t n, std::uint64_t* out) {
    *out = n;
    return 0;
}
int encryption_encode(const char* in, std::uint64_t n, char* out, std::uint64_t* outLength) {
    for (std::uint64_t i = 0; i < n; ++i)
        out[i] = in[i];
    *outLength = n;
    return 0;
}
int encryption_decode_guess_count(const char*, std::uint64_t n, std::uint64_t* out) {
    *out = n;
    return 0;
}
}
