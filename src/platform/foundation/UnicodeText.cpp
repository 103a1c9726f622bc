#include "platform/foundation/UnicodeText.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace velmora::UnicodeText {

std::string normalizeNFC(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return std::string(text);
    icu::UnicodeString source = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    icu::UnicodeString normalized = nfc->normalize(source, status);
    if (U_FAILURE(status))
        return std::string(text);
    std::string out;
    normalized.toUTF8String(out);
    return out;
}

int compareIgnoringCase(std::string_view a, std::string_view b) {
    auto ua =
        icu::UnicodeString::fromUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())));
    auto ub =
        icu::UnicodeString::fromUTF8(icu::StringPiece(b.data(), static_cast<int32_t>(b.size())));
    return ua.caseCompare(ub, U_FOLD_CASE_DEFAULT);
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return compareIgnoringCase(a, b) == 0;
}

std::size_t utf16Length(std::string_view text) {
    return static_cast<std::size_t>(
        icu::UnicodeString::fromUTF8(
            icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
            .length());
}

} // namespace velmora::UnicodeText
