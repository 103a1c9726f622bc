#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The legacy encodings that stored files and PPDs use, converted through ICU.
enum class TextEncoding {
    UTF8,
    MacRoman,
    ShiftJIS, // Windows code page 932
    EUCJP,
    CP1252,
    CP936,
    CP850,
    CP949,
    CP950,
};

namespace TextEncodings {

// The ICU converter name of an encoding.
const char* icuName(TextEncoding encoding);
// Decodes bytes to UTF-8. Null when the bytes are not valid in that encoding.
std::optional<std::string> toUtf8(std::string_view bytes, TextEncoding encoding);
// Encodes UTF-8 text. Null when the text is not valid UTF-8 or holds a character that the
// encoding cannot represent: nothing is replaced or dropped silently.
std::optional<std::string> fromUtf8(std::string_view text, TextEncoding encoding);
// True when every character of the UTF-8 text can be written in the encoding.
bool canEncode(std::string_view text, TextEncoding encoding);
// Encodes UTF-8 text, replacing each character the encoding cannot hold by its substitute.
std::string fromUtf8Lossy(std::string_view text, TextEncoding encoding);
bool isValidUtf8(std::string_view bytes);
// UTF-16 bytes (without a byte-order mark) as UTF-8; null for an odd byte count or a lone
// surrogate: nothing is replaced silently.
std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian);

} // namespace TextEncodings
} // namespace velmora
