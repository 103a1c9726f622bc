#pragma once

#include "controls/ConflictInfo.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora {

class Bundle;
class ZEMAUI;
struct Notification;

// The registry of option controls and the constraint engine that keeps them consistent:
// conflicts the user may resolve, conflicts that are undone, conditions that enable and
// disable options, cooperation that sets options along, and hiding. A change of one option
// runs its change sequence, which posts the keywords of every option it touched; those run
// their own sequences in turn, depth first, before the change returns.
class ZEMAMgr {
public:
    using Controls = std::vector<std::shared_ptr<ZEMAUI>>;

    ZEMAMgr();
    ~ZEMAMgr();
    ZEMAMgr(const ZEMAMgr&) = delete;
    ZEMAMgr& operator=(const ZEMAMgr&) = delete;

    // The bundle whose "UI" string table localizes every message; the first path wins.
    void setPdeResourcePath(const std::string& path);
    // Whether the panes have been shown once; unrestorable conflicts exist only after that.
    void setPanesShownPredicate(std::function<bool()> panesShown);
    // Who answers the engine's questions (a conflict to resolve, a change to confirm): given the
    // message and the localized answers, it returns the index of the one chosen. The panel
    // installs one that shows an alert; without one the first answer is taken.
    using Decision = std::function<std::size_t(const std::string& message,
                                               const std::vector<std::string>& answers)>;
    static constexpr std::size_t kFirstAnswer = 0;
    void setDecision(Decision decision);

    void addControl(const std::shared_ptr<ZEMAUI>& control);
    const Controls* controlsFor(const std::string& keyword) const;
    const std::vector<std::string>& keywords() const { return _order; }

    void setStringValue(const std::string& keyword, const std::optional<std::string>& value);
    std::optional<std::string> getStringValue(const std::string& keyword) const;
    void updateOldValue(const std::string& keyword);
    Dictionary getAllValueDictionary() const;

    // The change sequence of an option, with the new value when one came along.
    void validateMainKeyword(const Notification& notification);
    void validateMainKeyword(const std::string& keyword, const std::optional<std::string>& value);
    void validateMainKeywordNoCoop(const std::string& keyword,
                                   const std::optional<std::string>& value);

    bool validateBeforeChange(const std::string& keyword, const std::string& candidate,
                              const std::optional<std::string>& displayName);
    std::optional<std::vector<std::string>>
    setStringValueWithRestoreConfliction(const std::string& keyword, const std::string& value);

    void setSettings(const Dictionary& settings);
    std::string backupSettings();
    void restoreSettings(const std::string& stamp);
    void setDefaults();
    bool isCollectiveChange() const { return _collectiveChange; }

    // The conflict searches, exposed for whoever needs to ask without changing anything.
    std::optional<ConflictInfo> conflictInfo(const std::string& keyword,
                                             const std::string& value) const;
    std::optional<ConflictInfo> unrestorableConflictInfo(const std::string& keyword,
                                                         const std::string& value) const;

    // Conflicts that no change resolves and that the current values break. A stored set (a
    // favorite, saved defaults, a settings file) is applied whole and never put back by the
    // engine, so such a conflict stands until the person changes one of its options; each one
    // comes with its alert text. None before the panes have been shown.
    struct StandingConflict {
        std::string options; // the options taking part, sorted and joined: tells conflicts apart
        std::string message;
    };
    std::vector<StandingConflict> standingConflicts() const;
    // Tells whoever decides about each standing conflict, once while it stands.
    void reportStandingConflicts();

    // How many change sequences have run since the manager was made (for measurements).
    std::uint64_t sequencesRun() const { return _sequencesRun; }

private:
    using Names = std::vector<std::string>;

    std::unordered_map<std::string, Controls> _registry;
    std::vector<std::string> _order;
    std::map<std::string, Dictionary> _backups;
    std::string _resourcePath;
    std::shared_ptr<Bundle> _resourceBundle;
    std::function<bool()> _panesShown;
    Decision _decision;
    bool _collectiveChange = false;
    std::set<std::string> _reportedConflicts;

    // Propagation bookkeeping: the keywords whose sequences are running in the current chain
    // (not re-entered, which ends cycles), and for each keyword the state generation at which
    // its sequence last completed in the current top-level change (a sequence that would run
    // again on unchanged state is skipped, which keeps diamonds from taking exponential time).
    // One entry per keyword, so that a sequence finds its bookkeeping with one lookup.
    struct SequenceState {
        bool running = false;
        std::optional<std::uint64_t> completedAt;
    };
    std::unordered_map<std::string, SequenceState> _sequences;
    std::uint64_t _generation = 0;
    int _depth = 0;
    std::uint64_t _sequencesRun = 0;

    ZEMAUI* first(const std::string& keyword) const;
    void registerControl(const std::shared_ptr<ZEMAUI>& control);
    template <typename Action> void forEachControl(const std::string& keyword, Action action);
    void noteStateChange() { ++_generation; }

    void runSequence(const std::string& keyword, const std::optional<std::string>& value,
                     bool cooperation);
    bool validateUnrestorableConflict(const std::string& keyword, Names& names);
    bool validateAfterChange(const std::string& keyword, Names& names);
    void conditionSetting(const std::string& keyword, Names& names);
    void cooperate(const std::string& keyword, Names& names);
    void applyHide(const std::string& keyword, Names& names);
    void postNames(const Names& names);
    void forgetResolvedConflicts();
    void applyRestore(const ConflictInfo& info, Names& names);

    std::optional<ConflictInfo> findConflictInfo(const Dictionary& condition, int typeSelf,
                                                 const std::string& valueSelf) const;
    std::optional<ConflictInfo> findUnrestorableConflictInfo(const Dictionary& condition,
                                                             int typeSelf,
                                                             const std::string& valueSelf) const;
    std::optional<std::pair<std::string, int>> firstMatchingPattern(const Dictionary& patterns,
                                                                    const std::string& value,
                                                                    std::string* patternValue,
                                                                    bool skipTexts) const;

    // Texts of messages
    std::string localized(const std::string& key) const;
    std::string ownName(const std::string& keyword) const;
    std::string nameOf(const std::string& keyword) const;
    std::string valueText(const std::string& keyword, int type,
                          const std::string& patternValue) const;
    std::string optionText(const std::string& keyword, const std::string& value) const;
    std::string conflictedLines(const ConflictInfo& info) const;
    std::string unrestorableMessage(const std::string& keyword, const ConflictInfo& info) const;
    std::string restoreLines(const ConflictInfo& info) const;
    std::size_t ask(const std::string& message, const std::vector<std::string>& buttons) const;
    std::optional<std::string> oldValueOrDefault(const ZEMAUI& control) const;
    static std::uint64_t stateFingerprint(const Controls& controls);
};

} // namespace velmora
