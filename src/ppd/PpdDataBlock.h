#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <optional>
#include <string>

struct ppd_file_s;

namespace velmora {

// A server list that the printing system keeps in a queue's PPD: attributes named list name
// + four upper-case hexadecimal digits (0000, 0001, … without gaps), each Base64 text; their
// decoded bytes in order form one zlib stream whose inflated bytes are a property list.
class PpdDataBlock {
public:
    // Inflated output stops growing past this size.
    static constexpr std::size_t kCeiling = 16u << 20;

    // The inflated bytes of the list; null when the PPD has no such block. complete tells
    // whether the zlib stream ended with a matching checksum (damaged or cut-off data does not).
    static std::optional<std::string> read(ppd_file_s* ppd, const std::string& name,
                                           bool* complete = nullptr);
    // The list parsed as a property list; null when it is missing, damaged (its checksum
    // included) or cannot be decoded.
    static std::optional<Value> readList(ppd_file_s* ppd, const std::string& name);
    // The attribute name of part index of a list ("FeederInfoList" + "002A").
    static std::string attributeName(const std::string& name, unsigned index);
};

} // namespace velmora
