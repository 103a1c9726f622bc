#include "platform/foundation/JsonReader.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    auto value =
        velmora::JsonReader::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (value)
        (void)value->toJson();
    return 0;
}
