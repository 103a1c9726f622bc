// Command files and saved job options come from outside: a command job's document, a user's
// lpoptions. Both are read into commands and a print settings snapshot and written back.
#include "platform/printing/CommandFile.h"
#include "platform/printing/JobOptions.h"

#include <cups/cups.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    auto commands = velmora::CommandFile::parse(text);
    (void)velmora::CommandFile::reportLevelsLists(commands);

    cups_option_t* options = nullptr;
    int count = cupsParseOptions(text.c_str(), 0, &options);
    velmora::Dictionary saved;
    for (int i = 0; i < count; ++i)
        saved.set(options[i].name, velmora::Value(options[i].value));
    cupsFreeOptions(count, options);
    auto snapshot = velmora::JobOptions::toSnapshot(saved, nullptr);
    (void)velmora::JobOptions::shareable(velmora::JobOptions::fromSnapshot(snapshot, nullptr));
    return 0;
}
