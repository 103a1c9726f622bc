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
    // The key of each of the panel's own entries among the job's options: this prefix and the
    // option keyword.
    static constexpr const char* kEntryPrefix = "com.velmora.print.PrintSettingsTicket.";
    // The same entries as lpoptions keeps them: a line holds about a hundred of them, and CUPS
    // reads only so much of a line.
    static constexpr const char* kStoredEntryPrefix = "velmora.";

    static Dictionary fromSnapshot(const Dictionary& snapshot, ppd_file_s* ppd);
    // Saved options (lpoptions) as a snapshot to restore from: PPD options with a choice the PPD
    // has go to "ppd", the job's own options to "host", everything else to "ticket". Entries in
    // the stored form are read as the panel's entries.
    static Dictionary toSnapshot(const Dictionary& options, ppd_file_s* ppd);
    // Options as lpoptions keeps them: the panel's entries in the stored form. A queue's own
    // line leaves out PPD options at the PPD's default choice; an instance, which starts from
    // its queue's line, holds every PPD option, at the default choice where the options hold
    // none.
    static Dictionary toStored(const Dictionary& options, ppd_file_s* ppd, bool inherits);
    // The panel's entries under their stored keys, everything else as it is.
    static Dictionary withStoredKeys(const Dictionary& options);
    // Saved options, in whichever form they were read, as lpoptions keeps them now.
    static Dictionary inStoredForm(const Dictionary& saved) {
        return withStoredKeys(fromStored(saved));
    }
    // Sets the queue's InputSlot to the press's tray when the queue's PPD offers that choice: the
    // tray decides where the paper comes from, for a job and for a saved instance alike.
    static void setInputSlotOfTray(Dictionary& options, const std::string& tray, ppd_file_s* ppd);
    // Saved options with the panel's entries under their job option keys, whichever form they
    // were stored in.
    static Dictionary fromStored(const Dictionary& stored);
    // The options without passwords, PINs, copies and the job name: what may be kept in files
    // that other applications read.
    static Dictionary shareable(const Dictionary& options);
    // The options without passwords and PINs: what may travel as job attributes, which the
    // scheduler shows, logs and hands to filters on their command line.
    static Dictionary withoutSecrets(const Dictionary& options);
    // How a password or PIN that is set is shown wherever options are printed for a person.
    static constexpr const char* kHiddenSecret = "********";
    // The options with each password and PIN that is set shown as kHiddenSecret: what is printed.
    static Dictionary withSecretsHidden(const Dictionary& options);
    // Whether an option (or the option keyword behind an entry key) holds a secret.
    static bool isSecret(const std::string& key);

    static std::string sidesOfDuplexing(int duplexing);
    static int duplexingOfSides(const std::string& sides);
};

} // namespace velmora
