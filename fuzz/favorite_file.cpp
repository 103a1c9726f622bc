#include "favorites/FavoriteFile.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

// Any favorite that reads must either be written back so that it reads the same, or be
// refused: never written so that it comes back as something else.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    using velmora::FavoriteFile;
    auto file = FavoriteFile::favoriteFileWithBytes(
        std::string(reinterpret_cast<const char*>(data), size), 12);
    if (!file.isValid())
        return 0;
    static const std::string path = "/tmp/velmora-fuzz-" + std::to_string(getpid()) + ".pfj";
    static const bool removedAtExit = std::atexit([] { unlink(path.c_str()); }) == 0;
    (void)removedAtExit;
    FavoriteFile::setScriptOverride(static_cast<int>(size % 3)); // Roman, Japanese, Chinese
    if (file.writeToFile(path, 12)) {
        auto back = FavoriteFile::favoriteFileWithContentsOfFile(path, 12);
        if (back.comment().value_or("") != file.comment().value_or("") ||
            velmora::Value(*back.options()) != velmora::Value(*file.options()))
            std::abort();
    }
    return 0;
}
