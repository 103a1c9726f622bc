#include "favorites/FavoriteFile.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    (void)velmora::FavoriteFile::favoriteFileWithBytes(
        std::string(reinterpret_cast<const char*>(data), size), 12);
    return 0;
}
