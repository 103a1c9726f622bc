#pragma once

#include <string>
#include <string_view>

namespace velmora::UnicodeText {

// Canonical composition (NFC) of UTF-8 text; invalid UTF-8 is returned unchanged.
std::string normalizeNFC(std::string_view text);
// Compares UTF-8 texts ignoring case (full Unicode case folding): <0, 0 or >0.
int compareIgnoringCase(std::string_view a, std::string_view b);
bool equalIgnoringCase(std::string_view a, std::string_view b);
// Number of UTF-16 code units, the length the original platform reports for a string.
std::size_t utf16Length(std::string_view text);

} // namespace velmora::UnicodeText
