#include "controls/ConflictInfo.h"

#include "platform/foundation/NumberText.h"

#include <algorithm>

namespace velmora {
namespace {
constexpr std::string_view kLess = "__LESS__:";
constexpr std::string_view kGreater = "__GREATER__:";
constexpr std::string_view kAll = "__ALL__";
} // namespace

bool ConflictInfo::lists(const std::string& keyword) const {
    return std::find(conflictedKeyList.begin(), conflictedKeyList.end(), keyword) !=
           conflictedKeyList.end();
}

void ConflictInfo::addConflicted(const std::string& keyword, int type,
                                 const std::string& patternValue) {
    if (lists(keyword))
        return;
    conflictedKeyList.push_back(keyword);
    conflictedTypeOthersDict[keyword] = type;
    conflictedValueOthersDict[keyword] = patternValue;
}

void ConflictInfo::addRestore(const std::string& keyword, const std::string& value) {
    if (std::find(restoreKeyList.begin(), restoreKeyList.end(), keyword) != restoreKeyList.end())
        return;
    restoreKeyList.push_back(keyword);
    restoreDict[keyword] = value;
}

void ConflictInfo::merge(const ConflictInfo& other) {
    for (const auto& keyword : other.conflictedKeyList)
        addConflicted(keyword, other.conflictedTypeOthersDict.at(keyword),
                      other.conflictedValueOthersDict.at(keyword));
    for (const auto& keyword : other.restoreKeyList)
        addRestore(keyword, other.restoreDict.at(keyword));
}

int matchType(const std::string& pattern, const std::string& value, std::string* patternValue) {
    std::string_view p(pattern);
    auto setValue = [&](std::string_view v) {
        if (patternValue)
            *patternValue = std::string(v);
    };
    if (p.starts_with(kLess)) {
        setValue(p.substr(kLess.size()));
        if (value == kAll)
            return kNoMatch;
        return NumberText::leadingReal(value) < NumberText::leadingReal(p.substr(kLess.size()))
                   ? kMatchLess
                   : kNoMatch;
    }
    if (p.starts_with(kGreater)) {
        setValue(p.substr(kGreater.size()));
        if (value == kAll)
            return kNoMatch;
        return NumberText::leadingReal(value) > NumberText::leadingReal(p.substr(kGreater.size()))
                   ? kMatchGreater
                   : kNoMatch;
    }
    setValue("");
    return pattern == value ? kMatchExact : kNoMatch;
}

} // namespace velmora
