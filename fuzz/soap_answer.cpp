#include "webservice/PrintServiceSoap.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    for (auto operation : {velmora::PrintServiceOperation::getPrePostDeviceList,
                           velmora::PrintServiceOperation::getOutputProfileList})
        (void)velmora::PrintServiceSoap::decodeAnswer(operation, bytes);
    return 0;
}
