#include "validation/StringUtilities.h"

#include "platform/foundation/UnicodeText.h"

namespace velmora {

std::size_t lengthByBytes(const std::string& text) {
    if (auto exact = TextEncodings::fromUtf8(text, kCStringEncoding))
        return exact->size();
    return TextEncodings::fromUtf8Lossy(text, kCStringEncoding).size();
}

bool boolValueIfString(const Value& value) {
    if (const std::string* text = value.string())
        return UnicodeText::equalIgnoringCase(*text, "True");
    return value.boolValue();
}

} // namespace velmora
