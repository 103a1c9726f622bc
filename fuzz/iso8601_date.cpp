#include "webservice/Iso8601DateCodec.h"

#include <cmath>

// Dates come from the print server's answers: any text is read in both modes, and every date
// that reads is written in each form and read back to the same second.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    using velmora::Iso8601DateCodec;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (bool lenient : {false, true}) {
        Iso8601DateCodec::Options options;
        options.lenient = lenient;
        auto seconds = Iso8601DateCodec::parse(text, options);
        if (!seconds)
            continue;
        for (auto form : {Iso8601DateCodec::Form::Calendar, Iso8601DateCodec::Form::Ordinal,
                          Iso8601DateCodec::Form::Week}) {
            options.form = form;
            auto written = Iso8601DateCodec::format(*seconds, options);
            if (!written)
                continue;
            auto back = Iso8601DateCodec::parse(*written, options);
            if (!back || std::floor(*back) != std::floor(*seconds))
                __builtin_trap();
        }
    }
    return 0;
}
