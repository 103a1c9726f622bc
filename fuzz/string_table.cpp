#include "platform/foundation/StringTable.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    (void)velmora::StringTable::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
