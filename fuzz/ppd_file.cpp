#include "platform/printing/PpdTranslation.h"
#include "platform/printing/PressNames.h"
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
            // The press's names the PPD gives its options, both ways, and options saved under
            // either name read as the PPD names them.
            velmora::PressNames names(ppd->handle());
            velmora::Dictionary saved;
            for (const auto& [option, choice] : ppd->defaultValueDictionary()) {
                std::string text = choice.stringValue();
                auto press = names.ofPress(option, text);
                auto back = names.inPpd(press.first, press.second);
                saved.set(press.first.empty() ? option : press.first, velmora::Value(text));
                saved.set(back.first.empty() ? option : back.first, velmora::Value(back.second));
            }
            (void)names.inPpdNames(saved);
            // The translations are read from the same bytes and put into libcups's records.
            auto text = std::string_view(reinterpret_cast<const char*>(data), size);
            (void)velmora::PpdTranslation::read(text, "ja_JP").applyTo(ppd->handle());
        }
    }
    close(fd);
    return 0;
}
