#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Reads a binary property list ("bplist00") into values without recursion into the unknown:
// every offset, length and reference is checked against the file, nesting is counted while
// reading, and the expansion of shared references is bounded, so a hostile file gives an
// error instead of a crash, a hang or unbounded memory.
class BinaryPropertyListReader {
public:
    // Expanding the objects may produce at most this many values per reference the file holds
    // (plus one for the top object): writers never share containers, so only a file built to
    // expand exponentially comes near it.
    static constexpr std::uint64_t kValuesPerReference = 2;
    // Ceiling of the expanded size: 48 bytes per value plus the bytes of its text or data.
    static constexpr std::uint64_t kMaxExpandedBytes = 256u << 20;

    BinaryPropertyListReader(std::string_view bytes, int maxNesting);

    // The top object, or null with a one-line reason in error.
    std::optional<Value> read(std::string* error);

private:
    struct Trailer {
        unsigned offsetSize = 0;
        unsigned referenceSize = 0;
        std::uint64_t objectCount = 0;
        std::uint64_t topObject = 0;
        std::uint64_t offsetTableStart = 0;
    };
    struct Header {
        unsigned type = 0;
        std::uint64_t count = 0; // length of a string or data, entries of a container
        std::uint64_t start = 0; // first byte after the marker and its length
    };

    std::string_view _bytes;
    int _maxNesting;
    Trailer _trailer;
    std::vector<std::uint64_t> _offsets;
    std::uint64_t _valuesLeft = 0;
    std::uint64_t _expandedBytesLeft = kMaxExpandedBytes;
    std::string _error;

    std::nullopt_t fail(std::string reason);
    bool readTrailer();
    bool readOffsets();
    bool countReferences();
    bool referencesFit(const Header& h) const;
    std::optional<Header> header(std::uint64_t object);
    bool spend(std::uint64_t payloadBytes);
    std::optional<Value> object(std::uint64_t reference, int depth);
    std::optional<Value> scalar(const Header& h);
    std::optional<Value> integer(const Header& h);
    std::optional<Value> real(const Header& h);
    std::optional<Value> date(const Header& h);
    std::optional<std::string> text(const Header& h);
    std::optional<Value> array(const Header& h, int depth);
    std::optional<Value> dictionary(const Header& h, int depth);
    std::optional<std::uint64_t> reference(std::uint64_t at);
    std::uint64_t bigEndian(std::uint64_t at, unsigned width) const;
    bool fits(std::uint64_t start, std::uint64_t count, std::uint64_t width) const;
};

} // namespace velmora
