#include "validation/LimitFormatterFamily.h"
#include "validation/StringEscapeConverter.h"

#include <unicode/uniset.h>

namespace {

template <velmora::LimitMeasure M> void checkTyped(const std::string& text) {
    static const icu::UnicodeSet letters = [] {
        UErrorCode status = U_ZERO_ERROR;
        return icu::UnicodeSet(u"[A-Za-z0-9\u3040-\u30FF]", status);
    }();
    velmora::Value out;
    std::string error;
    velmora::MaxFormatter<M> plain(0, 16);
    (void)plain.getObjectValue(out, text, &error);
    velmora::MaxFormatterWithEscapeAndCharacterSet<M> strict(1, 32, letters);
    (void)strict.getObjectValue(out, text, &error);
    (void)strict.containNotAllowedCharactor(text);
}

} // namespace

// Whatever the user types or pastes, in any encoding state, reaches these checks.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    checkTyped<velmora::LimitMeasure::Bytes>(text);
    checkTyped<velmora::LimitMeasure::Length>(text);
    for (bool japanese : {false, true}) {
        auto converter = velmora::StringEscapeConverter::standardConverter(japanese);
        (void)converter.unEscape(converter.escape(text));
    }
    return 0;
}
