#pragma once

#include <string>

namespace velmora {

// A folder of this process's own (0700) under $TMPDIR (else /tmp), removed with what it holds
// when the object goes: for files that are on their way elsewhere and may hold secrets.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // Empty when no folder could be made.
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

} // namespace velmora
