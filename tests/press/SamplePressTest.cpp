// The sample press checked as a whole: every description, rule, text, icon, choice and list of
// the built bundle and queue PPD must fit together. Whoever edits the press runs into this.
#include "controls/ControlDescription.h"
#include "panes/PanePlugInMgr.h"
#include "panes/PrintOptionConsistency.h"
#include "panes/ServerListCommand.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/JsonReader.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/StringTable.h"
#include "platform/printing/PDEPlugInCallback.h"
#include "platform/printing/PressNames.h"
#include "platform/printing/PrintSession.h"
#include "platform/printing/PrintSettings.h"
#include "platform/printing/Printer.h"
#include "ppd/PpdDataBlock.h"
#include "ppd/PpdFile.h"
#include "ppd/PrintOptionConverter.h"

#include "support/CommandRunner.h"
#include "support/ListGetters.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace velmora {
namespace {

const std::string kBundle = VELMORA_PLUGIN_DIR;
const std::string kResources = kBundle + "/Contents/Resources";

bool isPattern(const std::string& value) {
    return value == "__ALL__" || value.starts_with("__LESS__:") ||
           value.starts_with("__GREATER__:");
}

// What the press is made of, read once for every test.
class SamplePress {
public:
    SamplePress() {
        auto settings = PropertyList::readFile(kResources + "/UISettings.plist");
        if (settings && settings->dictionary())
            _settings = *settings->dictionary();
        for (const char* language : {"en", "ja"}) {
            auto ui = StringTable::readFile(kResources + "/" + language + ".lproj/UI.strings");
            auto local =
                StringTable::readFile(kResources + "/" + language + ".lproj/Localizable.strings");
            _ui[language] = ui ? *ui : StringTable();
            _localizable[language] = local ? *local : StringTable();
        }
        auto tickets =
            PropertyList::readFile(std::string(VELMORA_PRESS_SOURCE) + "/TicketKeys.plist");
        if (tickets && tickets->dictionary())
            _tickets = *tickets->dictionary();
    }

    const Dictionary& settings() const { return _settings; }
    const StringTable& ui(const std::string& language) { return _ui[language]; }
    const StringTable& localizable(const std::string& language) { return _localizable[language]; }
    const Dictionary& tickets() const { return _tickets; }

    // Whether the option exists and, when it offers choices, has the value among them.
    bool offers(const std::string& keyword, const std::string& value) const {
        const Dictionary* description = _settings.get(keyword).dictionary();
        if (!description)
            return false;
        ControlDescription control(*description);
        if (!control.hasChoices() || isPattern(value))
            return true;
        for (const auto& choice : control.choices()) {
            if (choice.choice == value)
                return true;
        }
        return false;
    }

private:
    Dictionary _settings;
    std::map<std::string, StringTable> _ui, _localizable;
    Dictionary _tickets;
};

SamplePress& press() {
    static SamplePress instance;
    return instance;
}

// ---- Descriptions and rules ----

// Collects what a constraint names that the press does not have.
class RuleChecker {
public:
    std::vector<std::string> problems;

    void checkConflict(const std::string& owner, const Dictionary& condition, bool unrestorable) {
        for (const auto& [keyword, patterns] : condition) {
            if (keyword == "title" || keyword == "message") {
                checkText(owner, patterns);
                continue;
            }
            if (!press().settings().contains(keyword)) {
                note(owner, "names the option " + keyword + ", which does not exist");
                continue;
            }
            const Dictionary* byPattern = patterns.dictionary();
            if (!byPattern)
                continue;
            for (const auto& [pattern, entry] : *byPattern) {
                if (!press().offers(keyword, pattern))
                    note(owner, keyword + " has no choice " + pattern);
                const Dictionary* inner = entry.dictionary();
                if (!inner)
                    continue;
                if (inner->contains("restore"))
                    checkRestore(owner, keyword, inner->get("restore"));
                else if (unrestorable && !hasKeyword(*inner))
                    checkTexts(owner, *inner);
                else
                    checkConflict(owner, *inner, unrestorable);
            }
        }
    }

    void checkSettings(const std::string& owner, const Dictionary& byValue, bool valuesAreChoices) {
        for (const auto& [value, targets] : byValue) {
            if (!press().offers(owner, value))
                note(owner, "has no choice " + value + " for its rules");
            const Dictionary* list = targets.dictionary();
            if (!list)
                continue;
            for (const auto& [keyword, setting] : *list) {
                if (!press().settings().contains(keyword))
                    note(owner, "names the option " + keyword + ", which does not exist");
                else if (valuesAreChoices && setting.isString() &&
                         !press().offers(keyword, *setting.string()))
                    note(owner, "sets " + keyword + " to " + *setting.string() +
                                    ", which it does not offer");
            }
        }
    }

    void checkText(const std::string& owner, const Value& key) {
        const std::string* text = key.string();
        if (!text || text->empty())
            return;
        for (const char* language : {"en", "ja"}) {
            if (!press().ui(language).find(*text))
                note(owner, "text \"" + *text + "\" is missing from " + language + ".lproj/UI");
        }
    }

private:
    static bool hasKeyword(const Dictionary& entry) {
        for (const auto& [key, value] : entry) {
            if (key != "title" && key != "message")
                return true;
        }
        return false;
    }
    void checkTexts(const std::string& owner, const Dictionary& leaf) {
        checkText(owner, leaf.get("title"));
        checkText(owner, leaf.get("message"));
    }
    void checkRestore(const std::string& owner, const std::string& keyword, const Value& restore) {
        if (const std::string* value = restore.string()) {
            if (!press().offers(keyword, *value))
                note(owner, "restores " + keyword + " to " + *value + ", which it does not offer");
        } else if (const Dictionary* several = restore.dictionary()) {
            for (const auto& [other, value] : *several) {
                if (!value.isString() || !press().offers(other, *value.string()))
                    note(owner, "restores " + other + " to a value it does not offer");
            }
        }
    }
    void note(const std::string& owner, const std::string& what) {
        problems.push_back(owner + ": " + what);
    }
};

TEST(SamplePressTest, EveryDescriptionRuleAndTextFits) {
    const Dictionary& settings = press().settings();
    ASSERT_GT(settings.size(), 100u);
    RuleChecker checker;
    std::set<std::string> kinds;
    int rules = 0;
    for (const auto& [keyword, entry] : settings) {
        for (const auto& problem : ControlDescription::problems(entry, keyword))
            checker.problems.push_back(problem);
        const Dictionary* d = entry.dictionary();
        if (!d)
            continue;
        ControlDescription description(*d);
        kinds.insert(description.text("control_type"));
        for (const char* conflictKind : {"conflict", "unrestorable_conflict"}) {
            for (const auto& [pattern, condition] : *description.constraint(conflictKind)) {
                ++rules;
                if (!press().offers(keyword, pattern))
                    checker.problems.push_back(keyword + ": has no choice " + pattern);
                if (const Dictionary* c = condition.dictionary())
                    checker.checkConflict(keyword, *c,
                                          std::string(conflictKind) == "unrestorable_conflict");
            }
        }
        for (const char* settingKind : {"condition", "logical_sum_condition", "hide"}) {
            rules += static_cast<int>(description.constraint(settingKind)->size());
            checker.checkSettings(keyword, *description.constraint(settingKind), false);
        }
        rules += static_cast<int>(description.constraint("cooperation")->size());
        checker.checkSettings(keyword, *description.constraint("cooperation"), true);
        for (const auto& child : description.keywords("other_controls")) {
            if (!settings.contains(child))
                checker.problems.push_back(keyword + ": child " + child + " does not exist");
        }
        // Unit texts ("desc_text": "mm", "%") are shown as written.
        for (const char* textKey : {"text", "text_for_message", "head_text", "min_icon_text",
                                    "max_icon_text", "button_text", "groupTitle"})
            checker.checkText(keyword, d->get(textKey));
        for (const auto& choice : description.choices())
            checker.checkText(keyword, Value(choice.text));
    }
    EXPECT_THAT(checker.problems, ::testing::IsEmpty());
    EXPECT_GE(rules, 30);
    EXPECT_THAT(kinds,
                ::testing::IsSupersetOf({"CheckBox", "RadioButton", "HRadioButton", "PopupButton",
                                         "Slider", "TextField_number", "TextField_text",
                                         "SecureTextField_text", "DatePicker"}));
}

TEST(SamplePressTest, MessagesOfTheConsistencyCheckAreInBothLanguages) {
    std::vector<std::string> missing;
    auto keys = PrintOptionConsistency::messageKeys();
    keys.push_back("Alert_ChkMsg");
    for (const auto& key : keys) {
        for (const char* language : {"en", "ja"}) {
            if (!press().localizable(language).find(key))
                missing.push_back(std::string(language) + ": " + key);
        }
    }
    EXPECT_THAT(missing, ::testing::IsEmpty());
}

TEST(SamplePressTest, EveryIconADescriptionNamesExists) {
    auto bundle = Bundle::open(kBundle);
    ASSERT_TRUE(bundle);
    std::vector<std::string> missing;
    int named = 0;
    auto need = [&](const std::string& name) {
        ++named;
        if (!bundle->imageNamed(name))
            missing.push_back(name);
    };
    for (const auto& [keyword, entry] : press().settings()) {
        const Dictionary* d = entry.dictionary();
        if (!d)
            continue;
        ControlDescription description(*d);
        if (description.flag("isGroupMain"))
            need(description.text("groupIcon", "group_icon"));
        if (!description.flag("isEnabledIcon"))
            continue;
        ControlKind kind = ControlDescription::kindOf(description.text("control_type"));
        if (kind == ControlKind::CheckBox) {
            need(keyword + "_True");
            need(keyword + "_False");
        } else if (kind == ControlKind::RadioButton || kind == ControlKind::HRadioButton) {
            need(keyword + "_" + description.text("default"));
        } else if (kind == ControlKind::PopupButton) {
            for (const auto& choice : description.choices())
                if (!choice.text.empty())
                    need(keyword + "_" + choice.choice);
        }
    }
    EXPECT_GE(named, 8);
    EXPECT_THAT(missing, ::testing::IsEmpty());
}

// ---- The queue PPD ----

class QueueOfThePress : public PDEPlugInCallback {
public:
    QueueOfThePress() : _ppd(PpdFile::openFile(VELMORA_QUEUE_PPD)) {
        _session.setCurrentPrinter(std::make_shared<Queue>());
    }
    PrintSession* printSession() override { return &_session; }
    PrintSettings* printSettings() override { return &settings; }
    ppd_file_s* ppdFile() override { return _ppd ? _ppd->handle() : nullptr; }
    PrintSettings settings;
    const PpdFile* ppd() const { return _ppd.get(); }

private:
    struct Queue : Printer {
        std::string name() const override { return "VelmoraPress"; }
        std::optional<std::string> deviceURI() const override { return std::nullopt; }
        int sendCommand(const std::string&, const std::string&, const Dictionary&) override {
            return 0;
        }
    };
    std::unique_ptr<PpdFile> _ppd;
    PrintSession _session;
};

bool isTicket(const std::string& key, const std::string& value) {
    const Dictionary& tickets = press().tickets();
    if (const Array* keys = tickets.get("keys").array()) {
        for (const Value& listed : *keys)
            if (listed.isString() && *listed.string() == key)
                return true;
    }
    const Dictionary* choices = tickets.get("choices").dictionary();
    const Array* values = choices ? choices->get(key).array() : nullptr;
    if (values) {
        for (const Value& listed : *values)
            if (listed.isString() && *listed.string() == value)
                return true;
    }
    return false;
}

TEST(SamplePressTest, EveryChoiceConvertsToAChoiceOfTheQueuePpdOrATicket) {
    QueueOfThePress queue;
    ASSERT_TRUE(queue.ppd());
    // The queue's names where it names options for print clients (an IPP output bin).
    const PressNames names(queue.ppd()->handle());
    PanePlugInMgr manager(Bundle::open(kBundle));
    ASSERT_TRUE(manager.loadPlugIns());
    const Dictionary defaults = manager.values().defaultSettings();
    std::set<std::string> problems;
    int converted = 0;
    for (const auto& [keyword, entry] : press().settings()) {
        const Dictionary* d = entry.dictionary();
        if (!d)
            continue;
        ControlDescription description(*d);
        ControlKind kind = description.kindOf(description.text("control_type"));
        if (kind != ControlKind::PopupButton && kind != ControlKind::CheckBox &&
            kind != ControlKind::RadioButton && kind != ControlKind::HRadioButton)
            continue;
        for (const auto& choice : description.choices()) {
            if (choice.text.empty())
                continue;
            Dictionary options = defaults;
            options.set(keyword, choice.choice);
            PrintOptionConverter::convertToCanonicalPpdKeyword(options, true);
            ++converted;
            for (const auto& [key, value] : options) {
                std::string text =
                    value.isString() ? *value.string() : (value.boolValue() ? "True" : "False");
                auto [queueOption, queueChoice] = names.inPpd(key, text);
                bool inPpd = queue.ppd()->isExists(queueOption, queueChoice);
                if (!inPpd && !isTicket(key, text))
                    problems.insert(key + "=" + text + " (from " + keyword + "=" + choice.choice +
                                    ")");
            }
        }
    }
    EXPECT_GT(converted, 300);
    EXPECT_THAT(problems, ::testing::IsEmpty());
}

TEST(SamplePressTest, EveryListReadsBackThroughTheManager) {
    QueueOfThePress queue;
    ServerListCommand panel(&queue);
    PanePlugInMgr manager(nullptr);
    manager.setPDEObject(&panel);
    std::string lists = std::string(VELMORA_PRESS_SOURCE) + "/lists/";
    auto source = [&](const std::string& name) {
        return PropertyList::readFile(lists + name + ".plist");
    };
    std::set<std::string> read;
    for (const auto& [getter, name] : test::listGetters()) {
        auto list = (manager.serverLists().*getter)();
        ASSERT_TRUE(list) << name;
        EXPECT_EQ(list, source(name)) << name;
        read.insert(name);
    }
    for (int kind : {0, 1}) {
        auto output = manager.serverLists().getOutputProfileFileList(kind);
        auto input = manager.serverLists().getCMYKInputProfileFileList(kind);
        std::string suffix = kind == 0 ? "MEASUREMENT" : "ICC";
        EXPECT_EQ(output, source("OutputProfileFile-" + suffix));
        EXPECT_EQ(input, source("CMYKInputProfileFile-" + suffix));
        read.insert({"OutputProfileFile-" + suffix, "CMYKInputProfileFile-" + suffix});
    }
    for (const auto& file : std::filesystem::directory_iterator(lists)) {
        if (file.path().extension() == ".plist") {
            EXPECT_TRUE(read.count(file.path().stem().string())) << file.path();
        }
    }
    EXPECT_EQ(read.size(), 29u);
}

TEST(SamplePressTest, PanesLoadInEnglishAndJapanese) {
    std::map<std::string, std::vector<std::string>> titles;
    for (const char* language : {"en", "ja"}) {
        test::TempDir dir;
        auto result = test::runVelmora(std::string("panes --lang ") + language, dir / "err");
        ASSERT_EQ(result.status, 0) << test::readFile(dir / "err");
        auto json = JsonReader::parse(result.out);
        ASSERT_TRUE(json && json->dictionary());
        const Dictionary& out = *json->dictionary();
        EXPECT_TRUE(out.get("problems").array()->empty());
        EXPECT_GT(out.get("summary").array()->size(), 20u);
        for (const Value& pane : *out.get("panes").array()) {
            titles[language].push_back(pane.dictionary()->get("title").stringValue());
            EXPECT_FALSE(pane.dictionary()->get("controls").array()->empty());
        }
    }
    ASSERT_GE(titles["en"].size(), 8u);
    ASSERT_EQ(titles["en"].size(), titles["ja"].size());
    for (std::size_t i = 0; i < titles["en"].size(); ++i)
        EXPECT_NE(titles["en"][i], titles["ja"][i]) << "pane " << i << " is not translated";
}

} // namespace
} // namespace velmora
