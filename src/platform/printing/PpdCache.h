#pragma once

#include "platform/foundation/Result.h"
#include "platform/printing/CupsConnection.h"

#include <optional>
#include <string>

namespace velmora {

// Queues' PPDs kept in the user's cache: one copy per scheduler (host:port) and queue, fetched
// again only when the scheduler's copy changed (CupsConnection::fetchPpd).
class PpdCache {
public:
    // The user's cache folder: $XDG_CACHE_HOME, else ~/.cache, else the passwd home's; never a
    // shared folder, where another user could plant a link. Null when there is none.
    static std::optional<std::string> userCacheFolder();
    // The cached copy of a queue's PPD and the date to ask the scheduler with (0 when there is
    // none yet). Its folder is made, closed to others. The reason when there is no cache.
    static Result<CupsConnection::FetchedPpd> entry(const CupsConnection& cups,
                                                    const std::string& queue);
    // A name that stays one plain file name whatever a server or queue is called.
    static std::string fileNamePart(const std::string& text);
};

} // namespace velmora
