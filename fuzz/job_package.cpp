#include "platform/printing/JobPackage.h"

// A job package from anyone who may print: the ZIP, its root message, the ticket and the
// documents it names, each read within its bounds.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    auto package =
        velmora::JobPackage::fromBytes(std::string(reinterpret_cast<const char*>(data), size));
    if (package)
        for (std::size_t i = 0; i < package->ticket().documents.size(); ++i)
            (void)package->documentBytes(i, 1u << 20);
    return 0;
}
