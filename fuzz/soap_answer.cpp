#include "webservice/PrintServiceSoap.h"

#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    for (auto operation : {velmora::PrintServiceOperation::getPrePostDeviceList,
                           velmora::PrintServiceOperation::getOutputProfileList}) {
        auto response = velmora::PrintServiceSoap::decodeAnswer(operation, bytes);
        // A fault's text is shortened for people to read, whatever the server put in it.
        for (const auto& part : response.bodyParts)
            if (const auto* fault = std::get_if<velmora::SOAPFault>(&part))
                (void)fault->simpleFaultString();
    }
    return 0;
}
