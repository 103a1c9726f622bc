#include "platform/foundation/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    auto value =
        velmora::PropertyList::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (value)
        (void)velmora::PropertyList::toXml(*value);
    return 0;
}
