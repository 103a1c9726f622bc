#include "platform/foundation/ImageInfo.h"

#include <array>
#include <cstring>
#include <fstream>

namespace velmora {

std::optional<ImageInfo> ImageInfo::readPng(const std::string& path) {
    // Signature (8 bytes), then the IHDR chunk: length (4), type (4), width (4), height (4).
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::array<unsigned char, 24> header{};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size()))
        return std::nullopt;
    if (std::memcmp(header.data(), kSignature, 8) != 0 || std::memcmp(&header[12], "IHDR", 4) != 0)
        return std::nullopt;
    auto bigEndian = [&](std::size_t at) {
        return (std::uint32_t(header[at]) << 24) | (std::uint32_t(header[at + 1]) << 16) |
               (std::uint32_t(header[at + 2]) << 8) | std::uint32_t(header[at + 3]);
    };
    return ImageInfo{path, static_cast<double>(bigEndian(16)), static_cast<double>(bigEndian(20))};
}

} // namespace velmora
