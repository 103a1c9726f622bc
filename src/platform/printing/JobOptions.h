#pragma once

#include "platform/foundation/Value.h"

#include <string>

struct ppd_file_s;

namespace velmora {

// Print settings as CUPS job options and back. A snapshot of the dialog's settings ({"ppd":
// {option: choice}, "ticket": {key: stored value}, "host": {"copies", "collate", "duplexing",
// "KVInputSlot"}}) becomes: each PPD choice "Keyword=Choice", each entry of the panel's own under
// its key with its stored (escaped) value, copies → "copies", collate → "collate", duplexing →
// "sides", and the input tray as the queue's "InputSlot" when its PPD offers that choice.
class JobOptions {
public:
    static Dictionary fromSnapshot(const Dictionary& snapshot, ppd_file_s* ppd);
    // Saved options (lpoptions) as a snapshot to restore from: PPD options with a choice the PPD
    // has go to "ppd", the job's own options to "host", everything else to "ticket".
    static Dictionary toSnapshot(const Dictionary& options, ppd_file_s* ppd);
    // The options without passwords, PINs, copies and the job name: what may be kept in files
    // that other applications read.
    static Dictionary shareable(const Dictionary& options);
    // Whether an option (or the option keyword behind an entry key) holds a secret.
    static bool isSecret(const std::string& key);

    static std::string sidesOfDuplexing(int duplexing);
    static int duplexingOfSides(const std::string& sides);
};

} // namespace velmora
