#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Match types of value patterns: "__LESS__:" + number, "__GREATER__:" + number, exact text.
enum PatternMatch : int { kNoMatch = 0, kMatchLess = 1, kMatchGreater = 2, kMatchExact = 3 };

// The result of a conflict search: the own pattern that matched, the other options that take
// part (each with the type and value of its matching pattern), and either the options to
// change with their values (resolvable) or the alert's title and message (unresolvable).
struct ConflictInfo {
    int conflictedTypeSelf = kNoMatch;
    std::string conflictedValueSelf;
    std::vector<std::string> conflictedKeyList;
    std::map<std::string, int> conflictedTypeOthersDict;
    std::map<std::string, std::string> conflictedValueOthersDict;
    std::vector<std::string> restoreKeyList;
    std::map<std::string, std::string> restoreDict;
    std::optional<std::string> title;
    std::optional<std::string> message;

    // An empty result for the own pattern's match type and value.
    static ConflictInfo forOwnPattern(int type, std::string patternValue) {
        ConflictInfo info;
        info.conflictedTypeSelf = type;
        info.conflictedValueSelf = std::move(patternValue);
        return info;
    }

    bool lists(const std::string& keyword) const;
    void addConflicted(const std::string& keyword, int type, const std::string& patternValue);
    void addRestore(const std::string& keyword, const std::string& value);
    // Adds what other lists that this one does not list yet.
    void merge(const ConflictInfo& other);
};

// The match type of a pattern against a value, and the pattern's value (the number of a
// "__LESS__:"/"__GREATER__:" pattern, else empty). "__ALL__" only matches "__ALL__".
int matchType(const std::string& pattern, const std::string& value, std::string* patternValue);

} // namespace velmora
