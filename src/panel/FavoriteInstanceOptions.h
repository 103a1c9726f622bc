#pragma once

#include "platform/foundation/Value.h"

#include <string>

namespace velmora {

class FavoriteFile;

// A favorite as a CUPS destination instance keeps it in lpoptions, for a queue's PPD: PPD
// choices as they are, everything else as the panel's own entries (escaped, in their stored
// form), without secrets, copies or the job name. Every PPD option is there, at its default
// too, and the queue's InputSlot follows the press's tray: what an instance leaves out, CUPS
// takes from the queue's own line.
class FavoriteInstanceOptions {
public:
    static Dictionary of(const FavoriteFile& favorite, const std::string& ppdPath);
};

} // namespace velmora
