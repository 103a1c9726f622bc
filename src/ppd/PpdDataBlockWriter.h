#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Writes a server list into a PPD as a data block: the list's bytes compressed as one zlib
// stream, in Base64 attributes NAME0000, NAME0001, … that keep within the PPD line limit. Every
// other line of the PPD is kept as it is; the file is replaced atomically.
class PpdDataBlockWriter {
public:
    // Raw bytes per attribute: 200 Base64 characters, so even a 40-character attribute name
    // leaves the line below 255 characters, and below the 159 bytes a reader decodes at once.
    static constexpr std::size_t kBytesPerAttribute = 150;
    // A list that would inflate beyond what a reader accepts is refused.
    static constexpr std::size_t kMaxListBytes = 16u << 20;

    // A list name of 1 to 36 characters of letters, digits, "-", "_" and ".".
    static bool isUsableName(std::string_view name);

    // The attribute lines of a block for the bytes (each ending in "\n").
    static std::string blockLines(const std::string& name, std::string_view bytes);
    // The PPD text with the block replaced (bytes given) or removed (null): a new block takes the
    // place of the old one, or goes to the end when there was none.
    static std::string replaceBlock(std::string_view ppd, const std::string& name,
                                    const std::optional<std::string_view>& bytes);

    // Writes the property list file (XML or binary; it must parse) into the PPD file as block
    // name, or removes the block when listFile is null. False with a reason on failure; the PPD
    // is then unchanged.
    static bool writeFile(const std::string& ppdPath, const std::string& name,
                          const std::optional<std::string>& listFile, std::string* error);
};

} // namespace velmora
