#include "platform/printing/PressTicket.h"

// The ticket of a job package as XML: read, and what was read written again.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    std::string error;
    auto ticket = velmora::PressTicket::fromXjdf(
        std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (ticket) {
        (void)ticket->toXjdf(nullptr, error);
        (void)velmora::Value(ticket->toDictionary()).toJson();
    }
    return 0;
}
