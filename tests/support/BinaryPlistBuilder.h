#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

// Builds binary property lists object by object, for shapes no writer produces: shared
// containers, absurd nesting, lengths in their long forms, damaged numbers.
class BinaryPlistBuilder {
public:
    // Adds an object's bytes (marker included); returns its reference.
    std::uint64_t add(std::string bytes) {
        _objects.push_back(std::move(bytes));
        return _objects.size() - 1;
    }
    // An array or dictionary marker with its count, in the short or the long form.
    static std::string marker(unsigned type, std::uint64_t count, bool longForm = false) {
        std::string m;
        if (count < 15 && !longForm) {
            m += static_cast<char>((type << 4) | count);
            return m;
        }
        m += static_cast<char>((type << 4) | 0x0F);
        m += static_cast<char>(0x13); // an 8-byte length
        m += bigEndian(count, 8);
        return m;
    }
    static std::string bigEndian(std::uint64_t value, unsigned width) {
        std::string out(width, '\0');
        for (unsigned i = 0; i < width; ++i)
            out[width - 1 - i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    }
    static std::string array(const std::vector<std::uint64_t>& refs) {
        std::string out = marker(0xA, refs.size());
        for (auto ref : refs)
            out += bigEndian(ref, kRefSize);
        return out;
    }
    static std::string ascii(const std::string& text) { return marker(0x5, text.size()) + text; }

    std::string build(std::uint64_t top = 0) const {
        std::string out = "bplist00";
        std::vector<std::uint64_t> offsets;
        for (const auto& object : _objects) {
            offsets.push_back(out.size());
            out += object;
        }
        std::uint64_t table = out.size();
        for (auto offset : offsets)
            out += bigEndian(offset, 8);
        out += std::string(6, '\0');
        out += static_cast<char>(8);        // offset size
        out += static_cast<char>(kRefSize); // reference size
        out += bigEndian(_objects.size(), 8);
        out += bigEndian(top, 8);
        out += bigEndian(table, 8);
        return out;
    }

    static constexpr unsigned kRefSize = 4;

private:
    std::vector<std::string> _objects;
};

} // namespace velmora::test
