#include "controls/ZEMAMgr.h"

#include "common/NotificationNames.h"
#include "common/NotifyUnit.h"
#include "controls/ZEMAUI.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/ScopedValue.h"
#include "platform/foundation/StringFormat.h"

#include <algorithm>
#include <ctime>

namespace velmora {
namespace {

constexpr const char* kAll = "__ALL__";
constexpr const char* kTitle = "title";
constexpr const char* kMessage = "message";
constexpr const char* kRestore = "restore";
constexpr const char* kLine = "[%@]:[%@]\r";
constexpr const char* kCannotBeSetTogether =
    "The following properties cannot be set at the same time.\r[%@]:[%@]\r";
constexpr const char* kGoingBack =
    "\xE9\x81\xB8\xE6\x8A\x9E\xE3\x82\x92\xE7\x84\xA1\xE5\x8A\xB9\xE3\x81\xAB\xE3\x81\x97\xE3\x81"
    "\xA6\xE3\x80\x81\xE4\xBB\xA5\xE4\xB8\x8B\xE3\x81\xAE\xE8\xA8\xAD\xE5\xAE\x9A\xE3\x81\xAB\xE6"
    "\x88\xBB\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82"; // 選択を無効にして、以下の設定に戻します。
constexpr const char* kInOrderToChange =
    "Do you want to change the settings to the following in order to change [%@]?\r";
constexpr const char* kToEnableTheSelection =
    "\rDo you want to change to the following settings to enable the selection?\r";
constexpr const char* kWhenSettingsAreMade =
    "When the following settings are made, %@ cannot be set.\r";
constexpr const char* kChangeToTheFollowing =
    "\rDo you want to change the settings to the following?\r";
constexpr const char* kNotValidated = "MediaTypeWeight";

bool isText(const std::string& key) {
    return key == kTitle || key == kMessage;
}

void copyTexts(const Dictionary& from, ConflictInfo& into) {
    if (const Value* title = from.find(kTitle))
        into.title = title->stringValue();
    if (const Value* message = from.find(kMessage))
        into.message = message->stringValue();
}

bool holdsOnlyTexts(const Dictionary& entry) {
    return std::all_of(entry.begin(), entry.end(), [](const auto& e) { return isText(e.first); });
}

// Adds a keyword to a list of names to post, once.
void addName(std::vector<std::string>& names, const std::string& keyword) {
    if (std::find(names.begin(), names.end(), keyword) == names.end())
        names.push_back(keyword);
}

std::string localTimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04ld-%02ld-%02ldT%02ld:%02ld:%02ld", long(tm.tm_year + 1900),
                  long(tm.tm_mon + 1), long(tm.tm_mday), long(tm.tm_hour), long(tm.tm_min),
                  long(tm.tm_sec));
    return buf;
}

} // namespace

ZEMAMgr::ZEMAMgr() : _panesShown([] { return false; }) {}

ZEMAMgr::~ZEMAMgr() {
    NotifyUnit::removeObserver(this);
}

void ZEMAMgr::setPdeResourcePath(const std::string& path) {
    if (!_resourcePath.empty())
        return;
    _resourcePath = path;
    _resourceBundle = Bundle::open(path);
}

void ZEMAMgr::setPanesShownPredicate(std::function<bool()> panesShown) {
    _panesShown = panesShown ? std::move(panesShown) : [] { return false; };
}

// ---- Registry ----

ZEMAUI* ZEMAMgr::first(const std::string& keyword) const {
    auto it = _registry.find(keyword);
    return it == _registry.end() || it->second.empty() ? nullptr : it->second.front().get();
}

const ZEMAMgr::Controls* ZEMAMgr::controlsFor(const std::string& keyword) const {
    auto it = _registry.find(keyword);
    return it == _registry.end() ? nullptr : &it->second;
}

void ZEMAMgr::registerControl(const std::shared_ptr<ZEMAUI>& control) {
    const std::string& keyword = control->mainKeyword();
    if (keyword.empty())
        return;
    auto [it, inserted] = _registry.try_emplace(keyword);
    if (inserted)
        _order.push_back(keyword);
    Controls& list = it->second;
    if (std::find(list.begin(), list.end(), control) == list.end())
        list.push_back(control);
    NotifyUnit::removeObserver(this, keyword);
    NotifyUnit::addObserver(
        this, [this](const Notification& n) { validateMainKeyword(n); }, keyword);
}

void ZEMAMgr::addControl(const std::shared_ptr<ZEMAUI>& control) {
    if (!control)
        return;
    registerControl(control);
    for (const auto& child : control->childControls())
        addControl(child);
}

std::uint64_t ZEMAMgr::stateFingerprint(const Controls& controls) {
    std::uint64_t print = 0;
    for (const auto& control : controls)
        print = print * 1099511628211ull + control->stateHash();
    return print;
}

template <typename Action> void ZEMAMgr::forEachControl(const std::string& keyword, Action action) {
    auto it = _registry.find(keyword);
    if (it == _registry.end())
        return;
    Controls controls = it->second; // an action may register or post; keep the list stable
    std::uint64_t before = stateFingerprint(controls);
    for (const auto& control : controls)
        action(*control);
    if (stateFingerprint(controls) != before)
        noteStateChange();
}

// ---- Values ----

void ZEMAMgr::setStringValue(const std::string& keyword, const std::optional<std::string>& value) {
    forEachControl(keyword, [&](ZEMAUI& c) { c.setStringValue(value); });
}

std::optional<std::string> ZEMAMgr::getStringValue(const std::string& keyword) const {
    ZEMAUI* control = first(keyword);
    return control ? control->value() : std::nullopt;
}

void ZEMAMgr::updateOldValue(const std::string& keyword) {
    forEachControl(keyword, [](ZEMAUI& c) { c.setOldValueToCurrent(); });
}

Dictionary ZEMAMgr::getAllValueDictionary() const {
    Dictionary all;
    for (const auto& keyword : _order) {
        ZEMAUI* control = first(keyword);
        if (!control)
            continue;
        if (control->getUnsportValue())
            all.set(keyword, *control->getUnsportValue());
        else if (control->value() && !control->value()->empty())
            all.set(keyword, *control->value());
        else
            all.set(keyword, "");
    }
    return all;
}

std::optional<std::string> ZEMAMgr::oldValueOrDefault(const ZEMAUI& control) const {
    return control.getOldValue() ? control.getOldValue() : control.getDefault();
}

// ---- Conflict searches ----

std::optional<std::pair<std::string, int>> ZEMAMgr::firstMatchingPattern(const Dictionary& patterns,
                                                                         const std::string& value,
                                                                         std::string* patternValue,
                                                                         bool skipTexts) const {
    for (const auto& [pattern, entry] : patterns) {
        if (skipTexts && isText(pattern))
            continue;
        int type = matchType(pattern, value, patternValue);
        if (type != kNoMatch)
            return std::make_pair(pattern, type);
    }
    return std::nullopt;
}

std::optional<ConflictInfo> ZEMAMgr::conflictInfo(const std::string& keyword,
                                                  const std::string& value) const {
    ZEMAUI* control = first(keyword);
    if (!control)
        return std::nullopt;
    for (const auto& [pattern, condition] : control->getConflictDictionary()) {
        std::string patternValue;
        int type = matchType(pattern, value, &patternValue);
        if (type == kNoMatch || !condition.isDictionary())
            continue;
        if (auto info = findConflictInfo(*condition.dictionary(), type, patternValue))
            return info;
    }
    return std::nullopt;
}

std::optional<ConflictInfo> ZEMAMgr::findConflictInfo(const Dictionary& condition, int typeSelf,
                                                      const std::string& valueSelf) const {
    std::optional<ConflictInfo> result;
    for (const auto& [keyword, patternsValue] : condition) {
        const Dictionary* patterns = patternsValue.dictionary();
        ZEMAUI* other = first(keyword);
        if (!patterns || !other || !other->value())
            continue;
        std::string patternValue;
        auto match = firstMatchingPattern(*patterns, *other->value(), &patternValue, false);
        if (!match)
            continue;
        const Dictionary* entry = patterns->get(match->first).dictionary();
        if (!entry)
            continue;
        if (const Value* restore = entry->find(kRestore)) {
            if (!result)
                result = ConflictInfo::forOwnPattern(typeSelf, valueSelf);
            if (const Dictionary* several = restore->dictionary()) {
                for (const auto& [restoreKey, restoreValue] : *several)
                    result->addRestore(restoreKey, restoreValue.stringValue());
            } else {
                result->addRestore(keyword, restore->stringValue());
            }
        } else {
            auto deeper = findConflictInfo(*entry, typeSelf, valueSelf);
            if (!deeper)
                continue;
            if (result)
                result->merge(*deeper);
            else
                result = std::move(deeper);
        }
        result->addConflicted(keyword, match->second, patternValue);
    }
    return result;
}

std::optional<ConflictInfo> ZEMAMgr::unrestorableConflictInfo(const std::string& keyword,
                                                              const std::string& value) const {
    ZEMAUI* control = first(keyword);
    if (!control)
        return std::nullopt;
    const Dictionary& dictionary = control->getUnrestorableConflictDictionary();
    for (const auto& [pattern, condition] : dictionary) {
        if (isText(pattern) || !condition.isDictionary())
            continue;
        std::string patternValue;
        int type = matchType(pattern, value, &patternValue);
        if (type == kNoMatch)
            continue;
        if (auto info = findUnrestorableConflictInfo(*condition.dictionary(), type, patternValue)) {
            copyTexts(dictionary, *info);
            return info;
        }
    }
    return std::nullopt;
}

std::optional<ConflictInfo>
ZEMAMgr::findUnrestorableConflictInfo(const Dictionary& condition, int typeSelf,
                                      const std::string& valueSelf) const {
    if (!_panesShown())
        return std::nullopt;
    for (const auto& [keyword, patternsValue] : condition) {
        const Dictionary* patterns = patternsValue.dictionary();
        ZEMAUI* other = first(keyword);
        if (isText(keyword) || !patterns || !other || !other->value())
            continue;
        std::string patternValue;
        auto match = firstMatchingPattern(*patterns, *other->value(), &patternValue, true);
        if (!match)
            continue;
        const Dictionary* entry = patterns->get(match->first).dictionary();
        static const Dictionary empty;
        if (!entry)
            entry = &empty;
        std::optional<ConflictInfo> result;
        if (!holdsOnlyTexts(*entry)) {
            result = findUnrestorableConflictInfo(*entry, typeSelf, valueSelf);
            if (!result)
                continue;
        } else {
            result = ConflictInfo::forOwnPattern(typeSelf, valueSelf);
            copyTexts(*entry, *result);
        }
        copyTexts(*patterns, *result);
        copyTexts(condition, *result);
        result->addConflicted(keyword, match->second, patternValue);
        return result;
    }
    return std::nullopt;
}

// ---- Texts ----

std::string ZEMAMgr::localized(const std::string& key) const {
    if (_resourceBundle)
        if (const std::string* text = _resourceBundle->findLocalizedString(key, "UI"))
            return *text;
    return key; // an untranslated message still reads in English
}

std::string ZEMAMgr::ownName(const std::string& keyword) const {
    ZEMAUI* control = first(keyword);
    return localized(control ? control->mainKeywordText() : keyword);
}

std::string ZEMAMgr::nameOf(const std::string& keyword) const {
    ZEMAUI* control = first(keyword);
    return control ? control->mainKeywordText() : keyword;
}

std::string ZEMAMgr::optionText(const std::string& keyword, const std::string& value) const {
    ZEMAUI* control = first(keyword);
    auto text = control ? control->getOptionText(value) : std::nullopt;
    // Controls without choices (fields, sliders, dates) have no option text: show the value.
    return text ? localized(*text) : value;
}

std::string ZEMAMgr::valueText(const std::string& keyword, int type,
                               const std::string& patternValue) const {
    if (type == kMatchLess)
        return StringFormat::format(localized("Less Than %@"), {Value(patternValue)});
    if (type == kMatchGreater)
        return StringFormat::format(localized("More Than %@"), {Value(patternValue)});
    ZEMAUI* control = first(keyword);
    if (!control)
        return {};
    if (auto selected = control->getSelectedOptionText())
        return localized(*selected);
    return control->value().value_or("");
}

std::string ZEMAMgr::conflictedLines(const ConflictInfo& info) const {
    std::string lines;
    for (const auto& keyword : info.conflictedKeyList)
        lines += StringFormat::format(
            kLine, {Value(nameOf(keyword)),
                    Value(valueText(keyword, info.conflictedTypeOthersDict.at(keyword),
                                    info.conflictedValueOthersDict.at(keyword)))});
    return lines;
}

std::string ZEMAMgr::restoreLines(const ConflictInfo& info) const {
    std::string lines;
    for (const auto& keyword : info.restoreKeyList)
        lines +=
            StringFormat::format(kLine, {Value(nameOf(keyword)),
                                         Value(optionText(keyword, info.restoreDict.at(keyword)))});
    return lines;
}

void ZEMAMgr::setDecision(Decision decision) {
    _decision = std::move(decision);
}

// The question goes to whoever decides; without a decision the first answer is taken.
std::size_t ZEMAMgr::ask(const std::string& message,
                         const std::vector<std::string>& buttons) const {
    std::vector<std::string> titles;
    for (const auto& button : buttons)
        titles.push_back(localized(button));
    return _decision ? _decision(message, titles) : 0;
}

// ---- The change sequence ----

void ZEMAMgr::validateMainKeyword(const Notification& notification) {
    const Value* parameter = notification.userInfo.find("Paramater");
    std::optional<std::string> value;
    if (parameter)
        value = parameter->stringValue();
    validateMainKeyword(notification.name, value);
}

void ZEMAMgr::validateMainKeyword(const std::string& keyword,
                                  const std::optional<std::string>& value) {
    runSequence(keyword, value, true);
}

void ZEMAMgr::validateMainKeywordNoCoop(const std::string& keyword,
                                        const std::optional<std::string>& value) {
    runSequence(keyword, value, false);
}

void ZEMAMgr::runSequence(const std::string& keyword, const std::optional<std::string>& value,
                          bool cooperation) {
    if (_depth == 0)
        _sequences.clear();
    // Nested sequences add entries but never clear them, so this reference stays valid.
    SequenceState& sequence = _sequences[keyword];
    if (sequence.running)
        return; // already running in this chain: a cycle in the data ends here
    if (!value && sequence.completedAt == _generation)
        return; // it ran on exactly this state and changed nothing: running again would not either
    ++_sequencesRun;
    std::uint64_t startGeneration = _generation;
    sequence.running = true;
    ++_depth;
    struct Leave {
        ZEMAMgr& mgr;
        SequenceState& sequence;
        ~Leave() {
            --mgr._depth;
            sequence.running = false;
        }
    } leave{*this, sequence};

    if (value)
        if (const Controls* controls = controlsFor(keyword); controls && !controls->empty()) {
            std::uint64_t before = stateFingerprint(*controls);
            controls->front()->setStringValue(value);
            if (stateFingerprint(*controls) != before)
                noteStateChange();
        }
    Names names;
    if (!validateUnrestorableConflict(keyword, names)) {
        conditionSetting(keyword, names);
        postNames(names);
    } else {
        bool accepted = validateAfterChange(keyword, names);
        conditionSetting(keyword, names);
        if (accepted) {
            applyHide(keyword, names);
            if (cooperation)
                cooperate(keyword, names);
            updateOldValue(keyword);
        }
        postNames(names);
        std::string finished = NotificationNames::changeFinished(keyword);
        if (accepted && NotifyUnit::notyfyInstance().hasObservers(finished))
            NotifyUnit::postNotificationName(
                finished, Dictionary{{"isCollectiveChange", _collectiveChange ? "True" : "False"}});
    }
    if (_generation == startGeneration)
        sequence.completedAt = _generation;
    else
        sequence.completedAt.reset();
    // The person's change may have resolved a reported conflict; broken again, it is told again.
    if (_depth == 1 && !_collectiveChange && !_reportedConflicts.empty())
        forgetResolvedConflicts();
}

bool ZEMAMgr::validateUnrestorableConflict(const std::string& keyword, Names&) {
    ZEMAUI* control = first(keyword);
    if (!control || !control->value())
        return true;
    std::string current = *control->value();
    if (control->getOldValue() && *control->getOldValue() == current)
        return false; // nothing changed
    // A stored set is applied as it was stored: what breaks a rule stands and is reported
    // (reportStandingConflicts), never put back behind the person's back.
    if (_collectiveChange)
        return true;
    auto old = oldValueOrDefault(*control);
    auto info = unrestorableConflictInfo(keyword, current);
    if (!info)
        return true;
    std::string message = unrestorableMessage(keyword, *info);
    if (!info->message)
        message +=
            localized(kGoingBack) +
            StringFormat::format("\r[%@]:[%@]\r", {Value(ownName(keyword)),
                                                   Value(optionText(keyword, old.value_or("")))});
    ask(message, {"OK"});
    if (old)
        setStringValue(keyword, old);
    return false;
}

// The alert's text up to what follows from it: the rule's own title or the common one, the
// options taking part, and the rule's own message where it has one.
std::string ZEMAMgr::unrestorableMessage(const std::string& keyword,
                                         const ConflictInfo& info) const {
    Value self(valueText(keyword, info.conflictedTypeSelf, info.conflictedValueSelf));
    std::string message =
        info.title ? localized(*info.title) +
                         StringFormat::format("\r[%@]:[%@]\r", {Value(ownName(keyword)), self})
                   : StringFormat::format(localized(kCannotBeSetTogether),
                                          {Value(ownName(keyword)), self});
    message += conflictedLines(info) + "\r";
    if (info.message)
        message += localized(*info.message);
    return message;
}

std::vector<ZEMAMgr::StandingConflict> ZEMAMgr::standingConflicts() const {
    std::vector<StandingConflict> standing;
    for (const auto& keyword : _order) {
        ZEMAUI* control = first(keyword);
        // An option the person cannot change here (disabled or hidden by another) is not asked
        // of them.
        if (!control || !control->value() || !control->isEnabled() || control->isHidden())
            continue;
        auto info = unrestorableConflictInfo(keyword, *control->value());
        if (!info)
            continue;
        // A rule written from both sides is one conflict.
        std::vector<std::string> names = info->conflictedKeyList;
        names.push_back(keyword);
        std::sort(names.begin(), names.end());
        std::string options;
        for (const auto& name : names)
            options += name + "\n";
        bool known = std::any_of(standing.begin(), standing.end(),
                                 [&](const StandingConflict& c) { return c.options == options; });
        if (!known)
            standing.push_back({options, unrestorableMessage(keyword, *info)});
    }
    return standing;
}

void ZEMAMgr::reportStandingConflicts() {
    std::set<std::string> standingNow;
    for (const auto& conflict : standingConflicts()) {
        standingNow.insert(conflict.options);
        if (!_reportedConflicts.contains(conflict.options))
            ask(conflict.message, {"OK"});
    }
    _reportedConflicts = std::move(standingNow);
}

void ZEMAMgr::forgetResolvedConflicts() {
    std::set<std::string> standingNow;
    for (const auto& conflict : standingConflicts())
        if (_reportedConflicts.contains(conflict.options))
            standingNow.insert(conflict.options);
    _reportedConflicts = std::move(standingNow);
}

bool ZEMAMgr::validateAfterChange(const std::string& keyword, Names& names) {
    ZEMAUI* control = first(keyword);
    if (!control || !control->value())
        return true;
    std::string current = *control->value();
    if (control->getOldValue() && *control->getOldValue() == current)
        return false;
    auto old = oldValueOrDefault(*control);
    std::optional<ConflictInfo> info;
    std::string message;
    if (!_collectiveChange && (info = conflictInfo(keyword, kAll))) {
        message = StringFormat::format(localized(kInOrderToChange), {Value(ownName(keyword))});
    } else {
        info = conflictInfo(keyword, current);
        if (!info)
            return true;
        message =
            StringFormat::format(
                localized(kCannotBeSetTogether),
                {Value(ownName(keyword)),
                 Value(valueText(keyword, info->conflictedTypeSelf, info->conflictedValueSelf))}) +
            conflictedLines(*info) + localized(kToEnableTheSelection);
    }
    message += restoreLines(*info);
    if (ask(message, {"Yes", "No"}) == kFirstAnswer) {
        applyRestore(*info, names);
        return true;
    }
    if (old)
        setStringValue(keyword, old);
    return false;
}

void ZEMAMgr::applyRestore(const ConflictInfo& info, Names& names) {
    for (const auto& restoreKey : info.restoreKeyList) {
        setStringValue(restoreKey, info.restoreDict.at(restoreKey));
        addName(names, restoreKey);
        cooperate(restoreKey, names);
    }
}

void ZEMAMgr::conditionSetting(const std::string& keyword, Names& names) {
    ZEMAUI* source = first(keyword);
    if (!source)
        return;
    std::string value = source->value().value_or("");
    if (const Dictionary* sums = source->getLogicalSumConditionDictionary().get(value).dictionary())
        for (const auto& [target, enables] : *sums) {
            bool enabled = enables.boolValue();
            forEachControl(target,
                           [&](ZEMAUI& t) { t.setEnabledPositivelyFrom(enabled, keyword); });
            addName(names, target);
        }
    const Dictionary& conditions = source->getConditionDictionary();
    if (conditions.empty())
        return;
    const Dictionary* targets = conditions.get(value).dictionary();
    bool sourceEnabled = source->isEnabled();
    if (targets)
        for (const auto& targetEntry : *targets) {
            const Value& entry = targetEntry.second; // named, so that the lambda can capture it
            forEachControl(targetEntry.first, [&](ZEMAUI& t) {
                if (const Dictionary* choices = entry.dictionary()) {
                    if (sourceEnabled) {
                        t.setEnabledFrom(true, keyword);
                        t.setEnabledByDictionary(*choices);
                    } else {
                        t.setEnabledFrom(false, keyword);
                    }
                    return;
                }
                bool enabled = entry.boolValue() && (source->getSpreadValue() || sourceEnabled);
                t.setEnabledFrom(enabled, keyword);
            });
        }
    if (keyword == "SpTonerGlossEmphasis" && !sourceEnabled &&
        getStringValue("UseSpToner") == std::optional<std::string>("True")) {
        auto mode = getStringValue("SpTonerUseMode");
        if (mode == std::optional<std::string>("All") ||
            mode == std::optional<std::string>("SpFront"))
            forEachControl("SpTonerSpecifyColorFront_SpTonerColorFront",
                           [](ZEMAUI& t) { t.setEnabled(true); });
    }
    if (sourceEnabled && targets)
        for (const auto& [target, entry] : *targets)
            addName(names, target);
}

void ZEMAMgr::applyHide(const std::string& keyword, Names& names) {
    ZEMAUI* control = first(keyword);
    if (!control)
        return;
    const Dictionary* hides =
        control->getHideDictionary().get(control->value().value_or("")).dictionary();
    if (!hides)
        return;
    for (const auto& [target, hidden] : *hides) {
        bool hide = hidden.boolValue();
        forEachControl(target, [&](ZEMAUI& t) { t.setHidden(hide); });
        addName(names, target);
    }
}

void ZEMAMgr::cooperate(const std::string& keyword, Names& names) {
    ZEMAUI* control = first(keyword);
    if (!control)
        return;
    const Dictionary* along =
        control->getCooperationDictionary().get(control->value().value_or("")).dictionary();
    if (!along)
        return;
    for (const auto& [target, value] : *along) {
        setStringValue(target, value.stringValue());
        addName(names, target);
    }
}

void ZEMAMgr::postNames(const Names& names) {
    for (const auto& name : names)
        NotifyUnit::postNotificationName(name);
}

// ---- Asking, silent resolution, stored sets ----

bool ZEMAMgr::validateBeforeChange(const std::string& keyword, const std::string& candidate,
                                   const std::optional<std::string>& displayName) {
    auto info = conflictInfo(keyword, candidate);
    if (!info)
        return true;
    std::string message =
        StringFormat::format(localized(kWhenSettingsAreMade),
                             {Value(localized(displayName.value_or(nameOf(keyword))))}) +
        conflictedLines(*info) + localized(kChangeToTheFollowing) + restoreLines(*info);
    if (ask(message, {"Yes", "No"}) != kFirstAnswer)
        return false;
    Names changed;
    applyRestore(*info, changed);
    postNames(changed);
    return true;
}

std::optional<std::vector<std::string>>
ZEMAMgr::setStringValueWithRestoreConfliction(const std::string& keyword,
                                              const std::string& value) {
    auto info = conflictInfo(keyword, value);
    std::optional<Names> changed;
    if (info) {
        changed.emplace();
        applyRestore(*info, *changed);
    }
    setStringValue(keyword, value);
    return changed;
}

void ZEMAMgr::setSettings(const Dictionary& settings) {
    {
        ScopedValue collective(_collectiveChange, true);
        for (const auto& [keyword, value] : settings)
            setStringValue(keyword, value.isBoolean() ? (value.boolValue() ? "True" : "False")
                                                      : value.stringValue());
        for (const auto& [keyword, value] : settings)
            if (keyword != kNotValidated)
                validateMainKeywordNoCoop(keyword, std::nullopt);
    }
    if (_panesShown())
        reportStandingConflicts();
}

// Two backups within one second get the same time; the later one is told apart by a count
// behind it, so that restoring the first never brings back the second's values.
std::string ZEMAMgr::backupSettings() {
    std::string stamp = localTimeStamp();
    for (int n = 2; _backups.contains(stamp); ++n)
        stamp = localTimeStamp().substr(0, 19) + "#" + std::to_string(n);
    _backups[stamp] = getAllValueDictionary();
    return stamp;
}

void ZEMAMgr::restoreSettings(const std::string& stamp) {
    auto it = _backups.find(stamp);
    if (it == _backups.end())
        return;
    _reportedConflicts.clear(); // what stands after this is told anew
    ScopedValue collective(_collectiveChange, true);
    for (const auto& [keyword, value] : it->second)
        setStringValue(keyword, value.stringValue());
    _backups.erase(stamp);
}

void ZEMAMgr::setDefaults() {
    _reportedConflicts.clear(); // what stands after this is told anew
    ScopedValue collective(_collectiveChange, true);
    std::vector<std::shared_ptr<ZEMAUI>> all;
    for (const auto& keyword : _order)
        for (const auto& control : _registry[keyword])
            all.push_back(control);
    for (const auto& control : all)
        control->setDefault();
}

} // namespace velmora
