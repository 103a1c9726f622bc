#pragma once

#include "platform/foundation/PendingRemoval.h"

#include <string>

namespace velmora {

// A folder of this process's own (0700) under $TMPDIR (else /tmp), removed with what it holds
// when the object goes, or when a signal ends the process: for files that are on their way
// elsewhere and may hold secrets. Only files belong in it.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // Empty when no folder could be made.
    const std::string& path() const { return _pending.path(); }

private:
    PendingRemoval _pending;
};

} // namespace velmora
