#include "platform/foundation/TextEncoding.h"

#include <memory>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/unistr.h>

namespace velmora::TextEncodings {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// A converter that stops at the first byte or character it cannot map.
Converter strictConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    if (U_FAILURE(status))
        return nullptr;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    return U_SUCCESS(status) ? std::move(converter) : nullptr;
}

std::optional<std::string> convert(std::string_view bytes, const char* from, const char* to) {
    Converter source = strictConverter(from), target = strictConverter(to);
    if (!source || !target)
        return std::nullopt;
    std::string out(bytes.size() * 4 + 16, '\0');
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        char* outPtr = out.data();
        const char* inPtr = bytes.data();
        ucnv_convertEx(target.get(), source.get(), &outPtr, out.data() + out.size(), &inPtr,
                       bytes.data() + bytes.size(), nullptr, nullptr, nullptr, nullptr, true, true,
                       &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(out.size() * 2);
            ucnv_reset(source.get());
            ucnv_reset(target.get());
            continue;
        }
        if (U_FAILURE(status))
            return std::nullopt;
        out.resize(static_cast<std::size_t>(outPtr - out.data()));
        return out;
    }
}

} // namespace

const char* icuName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::UTF8: return "UTF-8";
    case TextEncoding::MacRoman: return "macintosh";
    case TextEncoding::ShiftJIS: return "windows-31j";
    case TextEncoding::EUCJP: return "EUC-JP";
    case TextEncoding::CP1252: return "windows-1252";
    case TextEncoding::CP936: return "windows-936";
    case TextEncoding::CP850: return "ibm-850";
    case TextEncoding::CP949: return "windows-949";
    case TextEncoding::CP950: return "windows-950";
    }
    return "UTF-8";
}

std::optional<std::string> toUtf8(std::string_view bytes, TextEncoding encoding) {
    return convert(bytes, icuName(encoding), "UTF-8");
}

std::optional<std::string> fromUtf8(std::string_view text, TextEncoding encoding) {
    return convert(text, "UTF-8", icuName(encoding));
}

std::string fromUtf8Lossy(std::string_view text, TextEncoding encoding) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(icuName(encoding), &status));
    if (U_FAILURE(status))
        return std::string(text);
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string out(static_cast<std::size_t>(unicode.length()) * 4 + 8, '\0');
    int32_t length = ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()),
                                     unicode.getBuffer(), unicode.length(), &status);
    if (U_FAILURE(status))
        return std::string(text);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

bool canEncode(std::string_view text, TextEncoding encoding) {
    return fromUtf8(text, encoding).has_value();
}

bool isValidUtf8(std::string_view bytes) {
    return toUtf8(bytes, TextEncoding::UTF8).has_value();
}

std::optional<std::string> utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    return convert(bytes, bigEndian ? "UTF-16BE" : "UTF-16LE", "UTF-8");
}

} // namespace velmora::TextEncodings
