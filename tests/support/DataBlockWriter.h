#pragma once

#include "platform/foundation/Base64.h"

#include <cstdio>
#include <string>
#include <vector>
#include <zlib.h>

namespace velmora::test {

inline std::string zlibCompress(const std::string& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
              Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

// PPD attribute lines that carry bytes as a data block: name + 0000, 0001, … each with the
// Base64 of at most chunk bytes.
inline std::string dataBlockLines(const std::string& name, const std::string& bytes,
                                  std::size_t chunk = 150) {
    std::string lines;
    unsigned index = 0;
    for (std::size_t at = 0; at < bytes.size(); at += chunk, ++index) {
        std::string part = bytes.substr(at, chunk);
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%04X", index);
        lines += "*" + name + suffix + ": \"" +
                 Base64::encode(std::vector<std::uint8_t>(part.begin(), part.end())) + "\"\n";
    }
    return lines;
}

} // namespace velmora::test
