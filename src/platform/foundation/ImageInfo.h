#pragma once

#include <optional>
#include <string>

namespace velmora {

// An image file and its size in pixels, read from the file's header.
struct ImageInfo {
    std::string path;
    double width = 0;
    double height = 0;

    // Reads the size from a PNG file's header; null when the file is not a PNG.
    static std::optional<ImageInfo> readPng(const std::string& path);
};

} // namespace velmora
