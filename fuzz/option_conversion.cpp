#include "platform/foundation/JsonReader.h"
#include "ppd/PrintOptionConverter.h"

#include <optional>
#include <string>

// Option dictionaries come back from favorite files and print settings that anyone may have
// edited: every conversion must take any keys and values.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    auto json =
        velmora::JsonReader::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!json || !json->dictionary())
        return 0;
    auto& converter = velmora::PrintOptionConverter::sharedInstance();
    converter.setConvertTableLocator(
        [] { return std::optional<std::string>(VELMORA_CONVERT_TABLE); });
    const velmora::Dictionary& options = *json->dictionary();
    velmora::Dictionary internal = options;
    velmora::PrintOptionConverter::convertToInternalPpdKeyword(internal);
    for (bool convertCustom : {false, true}) {
        velmora::Dictionary canonical = options;
        velmora::PrintOptionConverter::convertToCanonicalPpdKeyword(canonical, convertCustom);
    }
    velmora::Dictionary tagged = converter.toInputMgrFormat(&options);
    (void)converter.toPpdKeywordFormat(&options);
    (void)converter.toPpdKeywordFormat(&tagged);
    return 0;
}
