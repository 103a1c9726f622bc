#pragma once

#include "support/TempDir.h"

#include <zip.h>

#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

struct ZipOptions {
    const char* encryptWith = nullptr; // a password: every entry AES-encrypted
    bool storeDocuments = true;        // entries under documents/ stored as they are
    std::string linkEntry;             // an entry marked as a symbolic link
};

// A ZIP file made of the given entries, in order, as any other program could make it: deflated
// but for the documents, unless told otherwise.
inline std::string zipOf(const std::vector<std::pair<std::string, std::string>>& entries,
                         const ZipOptions& options = {}) {
    TempDir dir;
    std::string path = dir / "made.zip";
    int code = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE, &code);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        auto index = static_cast<zip_uint64_t>(zip_file_add(zip, name.c_str(), source, 0));
        if (options.encryptWith)
            zip_file_set_encryption(zip, index, ZIP_EM_AES_256, options.encryptWith);
        if (options.storeDocuments && name.rfind("documents/", 0) == 0)
            zip_set_file_compression(zip, index, ZIP_CM_STORE, 0);
        if (name == options.linkEntry)
            zip_file_set_external_attributes(zip, index, 0, ZIP_OPSYS_UNIX,
                                             static_cast<zip_uint32_t>(S_IFLNK | 0777) << 16);
    }
    zip_close(zip);
    return readFile(path);
}

} // namespace velmora::test
