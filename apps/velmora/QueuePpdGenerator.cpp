#include "QueuePpdGenerator.h"

#include "controls/ControlDescription.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/StringTable.h"
#include "platform/foundation/TemporaryFolder.h"
#include "platform/printing/PressNames.h"
#include "ppd/PpdFile.h"
#include "ppd/PrintOptionConverter.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

namespace velmora::app {
namespace {

using Choice = PressNames::Choice;
using Conditions = std::vector<Choice>;

// The printing system's options that follow the press's own (the dialog's two-sided setting, the
// tray the paper comes from): what IPP clients set, so the press's rules hold for them too.
const std::vector<std::pair<std::string, std::string>> kFollowers = {{"DuplexMode", "Duplex"},
                                                                     {"KVInputSlot", "InputSlot"}};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The lines between a section's markers, and where the section starts and ends.
struct Section {
    std::size_t begin = 0, end = 0; // indexes of the marker lines
};

std::optional<Section> findSection(const std::vector<std::string>& lines, const char* begin,
                                   const char* end, std::string& error) {
    auto first = std::find(lines.begin(), lines.end(), begin);
    auto last = first == lines.end() ? lines.end() : std::find(first, lines.end(), end);
    if (first == lines.end() || last == lines.end()) {
        error = std::string("the PPD has no section \"") + begin + "\" … \"" + end + "\"";
        return std::nullopt;
    }
    return Section{static_cast<std::size_t>(first - lines.begin()),
                   static_cast<std::size_t>(last - lines.begin())};
}

// The option keyword of an "*OpenUI *Keyword/Text: PickOne" line.
std::string openedOption(const std::string& line) {
    const std::string prefix = "*OpenUI *";
    if (!line.starts_with(prefix))
        return "";
    std::string rest = line.substr(prefix.size());
    return rest.substr(0, rest.find_first_of("/:"));
}

// ---- Groups ----

struct Group {
    std::string keyword;
    std::map<std::string, std::string> titles; // language → title
    std::vector<std::string> options;          // the PPD's options the pane shows
};

void collectKeywords(const Value& items, std::vector<std::string>& keywords) {
    const Array* list = items.array();
    if (!list)
        return;
    for (const Value& item : *list) {
        if (const std::string* keyword = item.string())
            keywords.push_back(*keyword);
        else if (const Dictionary* entry = item.dictionary())
            if (const Array* tabs = entry->get("tabs").array())
                for (const Value& tab : *tabs)
                    if (const Dictionary* tabEntry = tab.dictionary())
                        collectKeywords(tabEntry->get("items"), keywords);
    }
}

// The PPD's options behind one of the panel's keywords: a joined keyword stands for its parts.
std::vector<std::string> ppdOptionsOf(const std::string& keyword, ppd_file_t* ppd,
                                      const PressNames& names) {
    std::vector<std::string> parts;
    std::istringstream in(keyword);
    for (std::string part; std::getline(in, part, '_');)
        parts.push_back(part);
    if (parts.size() > 1)
        parts.insert(parts.begin(), keyword);
    std::vector<std::string> options;
    for (const auto& part : parts) {
        std::string option = names.optionInPpd(part);
        if (!option.empty() && ppdFindOption(ppd, option.c_str()))
            options.push_back(option);
    }
    return options;
}

std::optional<std::vector<Group>> groupsOfPanes(const Bundle& bundle, ppd_file_t* ppd,
                                                const PressNames& names,
                                                const std::vector<std::string>& languages,
                                                std::string& error) {
    auto tree = PropertyList::readFile(bundle.resourcePath() + "/PanesTree.plist", &error);
    const Array* items =
        tree ? tree->dictionary() ? tree->dictionary()->get("items").array() : nullptr : nullptr;
    if (!items) {
        error = "the bundle's panes tree cannot be read: " + error;
        return std::nullopt;
    }
    std::vector<Group> groups;
    for (const Value& item : *items) {
        const Dictionary* entry = item.dictionary();
        const std::string* name = entry ? entry->get("bundleName").string() : nullptr;
        if (!name)
            continue;
        std::string base = name->substr(0, name->find('+'));
        auto existing = std::find_if(groups.begin(), groups.end(),
                                     [&](const Group& group) { return group.keyword == base; });
        std::string resources = bundle.plugInsPath() + "/" + base + ".bundle/Contents/Resources";
        auto layout = PropertyList::readFile(resources + "/PaneLayout.plist", &error);
        if (!layout || !layout->dictionary()) {
            error = "the layout of the pane " + base + " cannot be read: " + error;
            return std::nullopt;
        }
        if (existing == groups.end()) {
            Group group{base, {}, {}};
            const std::string* titleKey = layout->dictionary()->get("title").string();
            std::vector<std::string> all{"en"};
            all.insert(all.end(), languages.begin(), languages.end());
            for (const auto& language : all) {
                auto table = StringTable::readFile(
                    resources + "/" + language + ".lproj/Localizable.strings", &error);
                const std::string* title = table && titleKey ? table->find(*titleKey) : nullptr;
                if (!title) {
                    error = "the pane " + base + " has no title in " + language;
                    return std::nullopt;
                }
                group.titles[language] = *title;
            }
            groups.push_back(std::move(group));
            existing = groups.end() - 1;
        }
        std::vector<std::string> keywords;
        collectKeywords(layout->dictionary()->get("items"), keywords);
        for (const auto& keyword : keywords)
            for (const auto& option : ppdOptionsOf(keyword, ppd, names))
                existing->options.push_back(option);
    }
    return groups;
}

// The option blocks of the section, regrouped: each option in the group of the first pane that
// shows it, an option no pane shows beside the option before it.
std::optional<std::vector<std::string>> groupedOptions(const std::vector<std::string>& lines,
                                                       const Section& section,
                                                       const std::vector<Group>& groups,
                                                       std::string& error) {
    struct Block {
        std::string option;
        std::vector<std::string> lines;
    };
    std::vector<Block> blocks;
    for (std::size_t i = section.begin + 1; i < section.end; ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line.starts_with("*OpenGroup:") || line.starts_with("*CloseGroup:"))
            continue;
        std::string option = openedOption(line);
        if (option.empty()) {
            error = "a line of the options by pane is outside any option: " + line;
            return std::nullopt;
        }
        Block block{option, {}};
        for (; i < section.end; ++i) {
            block.lines.push_back(lines[i]);
            if (lines[i].starts_with("*CloseUI:"))
                break;
        }
        blocks.push_back(std::move(block));
    }
    if (groups.empty()) {
        error = "the bundle's panes tree names no pane";
        return std::nullopt;
    }
    std::map<std::string, std::size_t> groupOf;
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (const auto& option : groups[g].options)
            groupOf.emplace(option, g);
    std::vector<std::vector<const Block*>> members(groups.size());
    std::size_t current = 0;
    for (const auto& block : blocks) {
        if (auto found = groupOf.find(block.option); found != groupOf.end())
            current = found->second;
        members[current].push_back(&block);
    }
    std::vector<std::string> out;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (members[g].empty())
            continue;
        out.push_back("*OpenGroup: " + groups[g].keyword + "/" + groups[g].titles.at("en"));
        out.push_back("");
        for (const Block* block : members[g]) {
            out.insert(out.end(), block->lines.begin(), block->lines.end());
            out.push_back("");
        }
        out.push_back("*CloseGroup: " + groups[g].keyword);
        out.push_back("");
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

// ---- Rules ----

// The PPD's choices behind one of the panel's keyword and value: a joined keyword stands for
// its parts, as the panel converts it; null when the PPD has no such choice.
std::optional<Conditions> ppdChoicesOf(const std::string& keyword, const std::string& value,
                                       ppd_file_t* ppd, const PressNames& names) {
    if (value.empty() || value.starts_with("__"))
        return std::nullopt; // "__ALL__", "__LESS__:…", "__GREATER__:…" are no choices
    Dictionary options{{keyword, Value(value)}};
    PrintOptionConverter::convertToCanonicalPpdKeyword(options, false);
    Conditions choices;
    auto add = [&](const std::string& option, const Value& choice) {
        std::string text =
            choice.isBoolean() ? (choice.boolValue() ? "True" : "False") : choice.stringValue();
        Choice named = names.inPpd(option, text);
        if (named.first.empty() ||
            !ppdFindChoice(ppdFindOption(ppd, named.first.c_str()), named.second.c_str()))
            return false;
        choices.push_back(named);
        return true;
    };
    if (const Value* same = options.find(keyword)) {
        if (!add(keyword, *same))
            return std::nullopt;
        return choices;
    }
    // The parts of a joined keyword; not what the conversion writes whatever it is given.
    static const Dictionary kAlwaysWritten = [] {
        Dictionary none;
        PrintOptionConverter::convertToCanonicalPpdKeyword(none, false);
        return none;
    }();
    for (const auto& [option, choice] : options)
        if (!kAlwaysWritten.contains(option) && !add(option, choice))
            return std::nullopt;
    return choices.empty() ? std::nullopt : std::optional<Conditions>(choices);
}

struct Rule {
    Conditions
        conditions; // the option whose rule it is first (ownChoices of them), then the others
    std::size_t ownChoices = 0;
    std::optional<Conditions> resolution;
};

// One keyword of a rule at one value, and the PPD's choices it stands for.
struct Part {
    std::string keyword, value;
    Conditions choices;
};

std::vector<Choice> sortedUnique(Conditions choices) {
    std::sort(choices.begin(), choices.end());
    choices.erase(std::unique(choices.begin(), choices.end()), choices.end());
    return choices;
}

// A rule the person cannot resolve takes back the change, as the panel does: the option whose
// rule it is goes back to its default (print clients know no earlier value). Null when that is
// the choice of the rule itself.
std::optional<Conditions> ownDefaultsOf(const Rule& rule, ppd_file_t* ppd) {
    Conditions resolution;
    for (std::size_t i = 0; i < rule.ownChoices; ++i) {
        ppd_option_t* option = ppdFindOption(ppd, rule.conditions[i].first.c_str());
        if (!option || rule.conditions[i].second == option->defchoice)
            return std::nullopt;
        resolution.emplace_back(rule.conditions[i].first, option->defchoice);
    }
    return resolution;
}

bool isTextKey(const std::string& key) {
    return key == "title" || key == "message";
}

class RuleCollector {
public:
    RuleCollector(ppd_file_t* ppd, const PressNames& names) : _ppd(ppd), _names(names) {}

    void collect(const Dictionary& settings) {
        for (const auto& [keyword, description] : settings) {
            const Dictionary* entry = description.dictionary();
            if (!entry)
                continue;
            for (auto [name, restorable] :
                 {std::pair{"conflict", true}, std::pair{"unrestorable_conflict", false}}) {
                const Dictionary* byValue = entry->get(name).dictionary();
                if (!byValue)
                    continue;
                for (const auto& [value, condition] : *byValue) {
                    if (isTextKey(value) || !condition.dictionary())
                        continue;
                    _ownKeyword = keyword;
                    _ownValue = value;
                    auto own = ppdChoicesOf(keyword, value, _ppd, _names);
                    walk(own, *condition.dictionary(), {}, restorable);
                }
            }
        }
    }

    std::vector<Rule> rules;
    int skipped = 0;

    // A joined keyword's value stands for all its parts, but a print client sets the parts one by
    // one: a part every value of the control at the rest of the parts shares a rule with (the
    // tab flag of a paper type, the holes of a punch position the rule names at every count)
    // is left out, so that the rule holds for what a client sets. Then the rules are made.
    void finish(const Dictionary& settings) {
        for (auto& collected : _collected) {
            // Each part as it is or, where the rules allow, without one of its choices; every
            // combination is a rule.
            std::vector<std::vector<Conditions>> forms;
            for (std::size_t p = 0; p < collected.parts.size(); ++p)
                forms.push_back(shortened(collected, p, settings));
            std::vector<std::size_t> at(forms.size(), 0);
            while (true) {
                Rule rule{{}, forms[0][at[0]].size(), collected.resolution};
                for (std::size_t p = 0; p < forms.size(); ++p)
                    rule.conditions.insert(rule.conditions.end(), forms[p][at[p]].begin(),
                                           forms[p][at[p]].end());
                if (holdsForEveryValue(collected, forms, at, settings))
                    remember(rule);
                for (const auto& [press, follower] : kFollowers)
                    if (auto followed = following(rule, press, follower))
                        remember(*followed);
                std::size_t p = 0;
                while (p < forms.size() && ++at[p] == forms[p].size())
                    at[p++] = 0;
                if (p == forms.size())
                    break;
            }
        }
    }

private:
    struct Collected {
        std::vector<Part> parts; // the rule's own first
        std::vector<Conditions> original;
        std::optional<Conditions> resolution;
    };
    ppd_file_t* _ppd;
    const PressNames& _names;
    std::set<std::vector<Choice>> _seen;
    std::vector<Collected> _collected;
    std::set<std::vector<Choice>> _paths; // every rule as collected, its choices sorted

    std::string _ownKeyword, _ownValue;

    std::map<std::string, std::vector<Conditions>> _values;

    const std::vector<Conditions>& valuesOf(const std::string& keyword,
                                            const Dictionary& settings) {
        if (auto known = _values.find(keyword); known != _values.end())
            return known->second;
        std::vector<Conditions>& values = _values[keyword];
        if (const Dictionary* description = settings.get(keyword).dictionary())
            for (const auto& choice : ControlDescription(*description).choices())
                if (auto choices = ppdChoicesOf(keyword, choice.choice, _ppd, _names))
                    values.push_back(*choices);
        return values;
    }

    // Whether a rule of shortened parts holds for every combination of the controls' values that
    // agree with it: each such combination must be a rule as collected.
    bool holdsForEveryValue(const Collected& collected,
                            const std::vector<std::vector<Conditions>>& forms,
                            const std::vector<std::size_t>& at, const Dictionary& settings) {
        std::vector<std::vector<Conditions>> candidates;
        for (std::size_t p = 0; p < forms.size(); ++p) {
            const Conditions& form = forms[p][at[p]];
            if (form == collected.original[p]) {
                candidates.push_back({form});
                continue;
            }
            std::vector<Conditions> matching;
            for (const auto& value : valuesOf(collected.parts[p].keyword, settings))
                if (std::all_of(form.begin(), form.end(), [&](const Choice& choice) {
                        return std::find(value.begin(), value.end(), choice) != value.end();
                    }))
                    matching.push_back(value);
            candidates.push_back(std::move(matching));
        }
        std::vector<std::size_t> pick(candidates.size(), 0);
        for (const auto& list : candidates)
            if (list.empty())
                return false;
        while (true) {
            Conditions whole;
            for (std::size_t p = 0; p < candidates.size(); ++p)
                whole.insert(whole.end(), candidates[p][pick[p]].begin(),
                             candidates[p][pick[p]].end());
            if (!_paths.contains(sortedUnique(whole)))
                return false;
            std::size_t p = 0;
            while (p < candidates.size() && ++pick[p] == candidates[p].size())
                pick[p++] = 0;
            if (p == candidates.size())
                return true;
        }
    }

    std::vector<Conditions> shortened(const Collected& collected, std::size_t p,
                                      const Dictionary& settings) {
        const Part& part = collected.parts[p];
        std::vector<Conditions> forms;
        if (part.choices.size() < 2)
            return {part.choices};
        auto values = valuesOf(part.keyword, settings);
        // Only a value the control offers can be shortened by what its other values share.
        if (std::find(values.begin(), values.end(), part.choices) == values.end())
            return {part.choices};
        for (std::size_t x = 0; x < part.choices.size(); ++x) {
            Conditions rest = part.choices;
            rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(x));
            bool everyValueShares = true;
            for (const auto& value : values) {
                bool matches = std::all_of(rest.begin(), rest.end(), [&](const Choice& choice) {
                    return std::find(value.begin(), value.end(), choice) != value.end();
                });
                if (!matches)
                    continue;
                Conditions whole;
                for (std::size_t q = 0; q < collected.parts.size(); ++q) {
                    const Conditions& those = q == p ? value : collected.original[q];
                    whole.insert(whole.end(), those.begin(), those.end());
                }
                if (!_paths.contains(sortedUnique(whole))) {
                    everyValueShares = false;
                    break;
                }
            }
            if (everyValueShares)
                forms.push_back(rest);
        }
        if (forms.empty())
            forms.push_back(part.choices);
        return forms;
    }

    // Every path of the nesting down to a leaf is one rule: all its choices at once conflict.
    void walk(const std::optional<Conditions>& own, const Dictionary& condition,
              const std::vector<std::pair<std::string, std::string>>& path, bool restorable) {
        for (const auto& [keyword, patterns] : condition) {
            const Dictionary* byPattern = patterns.dictionary();
            if (isTextKey(keyword) || !byPattern)
                continue;
            for (const auto& [pattern, entry] : *byPattern) {
                const Dictionary* next = entry.dictionary();
                if (isTextKey(pattern) || !next)
                    continue;
                auto longer = path;
                longer.emplace_back(keyword, pattern);
                bool leaf =
                    next->contains("restore") ||
                    (!restorable && std::all_of(next->begin(), next->end(), [](const auto& item) {
                        return isTextKey(item.first);
                    }));
                if (leaf)
                    add(own, longer, restorable ? &next->get("restore") : nullptr);
                else
                    walk(own, *next, longer, restorable);
            }
        }
    }

    void add(const std::optional<Conditions>& own,
             const std::vector<std::pair<std::string, std::string>>& path, const Value* restore) {
        if (!own) {
            ++skipped;
            return;
        }
        Rule rule{*own, own->size(), std::nullopt};
        Collected collected;
        collected.parts.push_back(Part{_ownKeyword, _ownValue, *own});
        for (const auto& [keyword, pattern] : path) {
            auto choices = ppdChoicesOf(keyword, pattern, _ppd, _names);
            if (!choices) {
                ++skipped;
                return;
            }
            rule.conditions.insert(rule.conditions.end(), choices->begin(), choices->end());
            collected.parts.push_back(Part{keyword, pattern, *choices});
        }
        // One option at two choices at once can never be marked.
        std::map<std::string, std::string> chosen;
        for (const auto& [option, choice] : rule.conditions)
            if (auto [at, added] = chosen.emplace(option, choice); !added && at->second != choice)
                return;
        if (restore)
            collected.resolution = resolutionOf(*restore, path.back().first);
        else if (rule.conditions.size() > 2)
            collected.resolution = ownDefaults(rule);
        for (const auto& part : collected.parts)
            collected.original.push_back(part.choices);
        _paths.insert(sortedUnique(rule.conditions));
        _collected.push_back(std::move(collected));
    }

    std::optional<Conditions> resolutionOf(const Value& restore, const std::string& keyword) {
        Conditions resolution;
        auto take = [&](const std::string& option, const Value& value) {
            auto choices = ppdChoicesOf(option, value.stringValue(), _ppd, _names);
            if (!choices)
                return false;
            resolution.insert(resolution.end(), choices->begin(), choices->end());
            return true;
        };
        if (const Dictionary* several = restore.dictionary()) {
            for (const auto& [option, value] : *several)
                if (!take(option, value))
                    return std::nullopt;
        } else if (!take(keyword, restore)) {
            return std::nullopt;
        }
        return resolution;
    }

    std::optional<Conditions> ownDefaults(const Rule& rule) { return ownDefaultsOf(rule, _ppd); }

    std::optional<Rule> following(const Rule& rule, const std::string& press,
                                  const std::string& follower) {
        ppd_option_t* option = ppdFindOption(_ppd, follower.c_str());
        if (!option)
            return std::nullopt;
        auto swap = [&](Conditions& choices) {
            bool swapped = false;
            for (auto& [name, choice] : choices)
                if (name == press && ppdFindChoice(option, choice.c_str())) {
                    name = follower;
                    swapped = true;
                }
            return swapped;
        };
        Rule followed = rule;
        if (!swap(followed.conditions))
            return std::nullopt;
        if (followed.resolution)
            swap(*followed.resolution);
        return followed;
    }

    void remember(const Rule& rule) {
        auto key = rule.conditions;
        std::sort(key.begin(), key.end());
        key.erase(std::unique(key.begin(), key.end()), key.end());
        if (_seen.insert(key).second)
            rules.push_back(rule);
    }
};

std::string choicesText(const Conditions& choices) {
    std::string text;
    for (const auto& [option, choice] : choices)
        text += (text.empty() ? "*" : " *") + option + " " + choice;
    return text;
}

// A conflict of two plain choices is a pair of *UIConstraints; any other, and any the panel
// resolves, is a *cupsUIConstraints with its *cupsUIResolver.
bool isPlainPair(const Rule& rule) {
    return !rule.resolution && rule.conditions.size() == 2;
}

std::vector<std::string> ruleLines(const std::vector<Rule>& rules) {
    std::vector<std::string> lines;
    int named = 0;
    for (const auto& rule : rules) {
        if (isPlainPair(rule)) {
            lines.push_back("*UIConstraints: " + choicesText(rule.conditions));
            lines.push_back("*UIConstraints: " +
                            choicesText({rule.conditions[1], rule.conditions[0]}));
            continue;
        }
        std::string name = "Rule" + std::to_string(++named);
        lines.push_back("*cupsUIConstraints " + name + ": \"" + choicesText(rule.conditions) +
                        "\"");
        if (rule.resolution)
            lines.push_back("*cupsUIResolver " + name + ": \"" + choicesText(*rule.resolution) +
                            "\"");
    }
    return lines;
}

// The rules whose resolution libcups cannot reach from their conflict (the resolution conflicts
// in turn, round and round), tried as every print client will: the PPD at its defaults with
// the rule's choices marked.
std::vector<std::size_t> loopingRules(const std::vector<std::string>& lines,
                                      const std::vector<Rule>& rules, std::string& error) {
    TemporaryFolder folder("velmora-queue-ppd");
    std::string path = folder.path() + "/test.ppd";
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    std::vector<std::size_t> looping;
    if (folder.path().empty()) {
        error = "no temporary folder for trying the rules";
        return looping;
    }
    if (!FileUtil::writeFileAtomically(path, text, &error))
        return looping;
    std::string reason;
    auto opened = PpdFile::openFile(path, &reason);
    if (!opened) {
        error = "libcups cannot read the PPD with the rules: " + reason;
        return looping;
    }
    ppd_file_t* ppd = opened->handle();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (isPlainPair(rules[i]))
            continue;
        ppdMarkDefaults(ppd);
        cups_option_t* options = nullptr;
        int count = 0;
        for (const auto& [option, choice] : rules[i].conditions)
            count = cupsAddOption(option.c_str(), choice.c_str(), count, &options);
        if (!cupsResolveConflicts(ppd, nullptr, nullptr, &count, &options))
            looping.push_back(i);
        cupsFreeOptions(count, options);
    }
    return looping;
}

// A resolution that loops gives way to taking the change back; a rule neither settles is left to
// the panel alone (counted with the rules no PPD choice can state).
bool settleResolvers(const std::vector<std::string>& lines, const Section& section,
                     std::vector<Rule>& rules, ppd_file_t* ppd, int& unstated, std::string& error) {
    for (int round = 0; round < 4; ++round) {
        std::vector<std::string> trial(
            lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(section.begin) + 1);
        auto rendered = ruleLines(rules);
        trial.insert(trial.end(), rendered.begin(), rendered.end());
        trial.insert(trial.end(), lines.begin() + static_cast<std::ptrdiff_t>(section.end),
                     lines.end());
        error.clear();
        auto looping = loopingRules(trial, rules, error);
        if (!error.empty())
            return false;
        if (looping.empty())
            return true;
        std::vector<bool> drop(rules.size(), false);
        for (std::size_t i : looping) {
            auto takeBack = ownDefaultsOf(rules[i], ppd);
            if (takeBack && rules[i].resolution != takeBack)
                rules[i].resolution = takeBack;
            else
                drop[i] = true;
        }
        std::vector<Rule> settled;
        for (std::size_t i = 0; i < rules.size(); ++i)
            if (drop[i])
                ++unstated;
            else
                settled.push_back(rules[i]);
        rules = std::move(settled);
    }
    error = "the rules' resolutions do not settle";
    return false;
}

} // namespace

std::optional<QueuePpdGenerator::Result> QueuePpdGenerator::generate(const std::string& ppdPath,
                                                                     const std::string& bundlePath,
                                                                     std::string& error) {
    auto text = FileUtil::readFile(ppdPath, PropertyList::kMaxFileSize, &error);
    if (!text)
        return std::nullopt;
    std::string reason;
    auto opened = PpdFile::openFile(ppdPath, &reason);
    if (!opened) {
        error = "libcups cannot read the PPD " + ppdPath + ": " + reason;
        return std::nullopt;
    }
    ppd_file_t* ppd = opened->handle();
    auto bundle = Bundle::open(bundlePath);
    const std::string* pod = bundle ? bundle->infoDictionary().get("KVPOD").string() : nullptr;
    auto settings =
        pod ? PropertyList::readFile(bundle->resourcePath() + "/" + *pod + ".plist", &error)
            : std::nullopt;
    if (!settings || !settings->dictionary()) {
        error = "the bundle's UI settings cannot be read: " + error;
        return std::nullopt;
    }
    PressNames names(ppd);
    std::vector<std::string> languages;
    if (ppd_attr_t* declared = ppdFindAttr(ppd, "cupsLanguages", nullptr);
        declared && declared->value) {
        std::istringstream in(declared->value);
        for (std::string language; in >> language;)
            if (language != "en")
                languages.push_back(language);
    }
    auto groups = groupsOfPanes(*bundle, ppd, names, languages, error);
    if (!groups)
        return std::nullopt;

    std::vector<std::string> lines = linesOf(*text);
    auto options = findSection(lines, kGroupsBegin, kGroupsEnd, error);
    auto rulesSection = options ? findSection(lines, kRulesBegin, kRulesEnd, error) : std::nullopt;
    auto texts = rulesSection ? findSection(lines, kTextsBegin, kTextsEnd, error) : std::nullopt;
    if (!texts)
        return std::nullopt;
    auto grouped = groupedOptions(lines, *options, *groups, error);
    if (!grouped)
        return std::nullopt;

    Result result;
    RuleCollector collector(ppd, names);
    collector.collect(*settings->dictionary());
    collector.finish(*settings->dictionary());
    result.skippedRules = collector.skipped;
    std::vector<Rule> kept = collector.rules;
    if (!settleResolvers(lines, *rulesSection, kept, ppd, result.skippedRules, error))
        return std::nullopt;
    std::vector<std::string> rules = ruleLines(kept);
    for (const auto& rule : kept) {
        ++result.constraints;
        result.resolvers += rule.resolution ? 1 : 0;
    }

    std::vector<std::string> groupTexts;
    for (const auto& language : languages)
        for (const auto& group : *groups)
            groupTexts.push_back("*" + language + ".Translation " + group.keyword + "/" +
                                 group.titles.at(language) + ": \"\"");

    // The sections from the last to the first, so that the earlier indexes stay right.
    std::vector<std::pair<Section, std::vector<std::string>*>> parts = {
        {*options, &*grouped}, {*rulesSection, &rules}, {*texts, &groupTexts}};
    std::sort(parts.begin(), parts.end(),
              [](const auto& a, const auto& b) { return a.first.begin > b.first.begin; });
    for (const auto& [section, replacement] : parts) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(section.begin) + 1,
                    lines.begin() + static_cast<std::ptrdiff_t>(section.end));
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(section.begin) + 1,
                     replacement->begin(), replacement->end());
    }
    for (const auto& line : lines)
        result.ppd += line + "\n";
    return result;
}

} // namespace velmora::app
