#include "platform/printing/PpdTranslation.h"
#include "ppd/PpdDataBlock.h"
#include "ppd/PpdFile.h"

#include <string>
#include <sys/mman.h>
#include <unistd.h>

// The PPD reaches libcups through a file, as a queue's PPD does; a memory file keeps the run off
// the disk.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    int fd = memfd_create("fuzz.ppd", 0);
    if (fd < 0)
        return 0;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        auto ppd = velmora::PpdFile::openFile("/proc/self/fd/" + std::to_string(fd));
        if (ppd) {
            (void)ppd->defaultValueDictionary();
            (void)ppd->product();
            for (const auto& option : ppd->optionKeywordsInOrder()) {
                (void)ppd->optionAliases(option);
                (void)ppd->mainAlias(option);
            }
            (void)velmora::PpdDataBlock::readList(ppd->handle(), "FeederInfoList");
            // The translations are read from the same bytes and put into libcups's records.
            auto text = std::string_view(reinterpret_cast<const char*>(data), size);
            (void)velmora::PpdTranslation::read(text, "ja_JP").applyTo(ppd->handle());
        }
    }
    close(fd);
    return 0;
}
