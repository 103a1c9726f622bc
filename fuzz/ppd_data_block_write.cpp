#include "ppd/PpdDataBlockWriter.h"

// A queue's PPD may hold anything: writing a list into it and taking the list out again must
// give the PPD as it was without that list, whatever its other lines are.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    using velmora::PpdDataBlockWriter;
    std::string_view ppd(reinterpret_cast<const char*>(data), size);
    const std::string name = "FeederInfoList";
    const std::string list = "<plist><array><string>Tray1</string></array></plist>";
    std::string without = PpdDataBlockWriter::replaceBlock(ppd, name, std::nullopt);
    std::string with = PpdDataBlockWriter::replaceBlock(ppd, name, std::string_view(list));
    // A PPD whose last line had no line end gains one before the block.
    std::string removed = PpdDataBlockWriter::replaceBlock(with, name, std::nullopt);
    if (removed != without && removed != without + "\n")
        __builtin_trap();
    if (PpdDataBlockWriter::replaceBlock(without, name, std::nullopt) != without)
        __builtin_trap();
    return 0;
}
