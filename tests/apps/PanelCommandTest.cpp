#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include "platform/foundation/JsonReader.h"
#include "platform/printing/JobPackage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

namespace velmora {
namespace {

using ::testing::HasSubstr;

class PanelCommandTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    test::ScopedEnv language{"LANGUAGE", "en"};

    Dictionary run(const std::string& arguments) {
        auto result = test::runVelmora("panel " + arguments, dir / "err");
        EXPECT_EQ(result.status, 0) << test::readFile(dir / "err");
        auto parsed = JsonReader::parse(result.out);
        return parsed && parsed->dictionary() ? *parsed->dictionary() : Dictionary();
    }
    static std::map<std::string, Value> controls(const Dictionary& report) {
        std::map<std::string, Value> values;
        if (const Array* list = report.get("controls").array())
            for (const Value& control : *list)
                values[control.dictionary()->get("mainKeyword").stringValue()] =
                    control.dictionary()->get("value");
        return values;
    }
};

TEST_F(PanelCommandTest, SettingsWrittenByOutputComeBackThroughSettings) {
    std::string file = dir / "settings.json";
    Dictionary first = run("--set DuplexMode=DuplexTumble --set ColorMode=Gray "
                           "--set OutputTray=Stackertray --set DocumentOrientation=Landscape "
                           "--job-name \"Q3, 'final' 100%\" --output " +
                           file);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.get("jobName"), Value("Q3, 'final' 100%"));
    const Dictionary* ppd = first.get("printSettings").dictionary()->get("ppd").dictionary();
    EXPECT_EQ(ppd->get("ColorModel"), Value("Gray"));
    EXPECT_EQ(ppd->get("OutputBin"), Value("stacker-1")); // as print clients name the tray
    EXPECT_EQ(ppd->get("DocumentOrientation"), Value("Landscape"));
    EXPECT_EQ(first.get("printSettings").dictionary()->get("host").dictionary()->get("duplexing"),
              Value(3));

    Dictionary second = run("--settings " + file);
    EXPECT_EQ(controls(second), controls(first));
    EXPECT_EQ(second.get("jobName"), Value("Q3, 'final' 100%"));
    EXPECT_EQ(second.get("printSettings"), first.get("printSettings"));
}

// A settings file written before the queue's PPD named the output tray and colour for print
// clients holds the press's names: it comes back as the same settings, under the new names.
TEST_F(PanelCommandTest, SettingsFilesWithThePressesOldNamesComeBackWhole) {
    std::string file = std::string(VELMORA_STORED_CORPUS) + "/settings/many-options.json";
    Dictionary read = run("--settings " + file);
    ASSERT_FALSE(read.empty());
    auto values = controls(read);
    EXPECT_EQ(values["OutputTray"], Value("Stackertray"));
    EXPECT_EQ(values["ColorMode"], Value("Gray"));
    const Dictionary* ppd = read.get("printSettings").dictionary()->get("ppd").dictionary();
    EXPECT_EQ(ppd->get("OutputBin"), Value("stacker-1"));
    EXPECT_EQ(ppd->get("ColorModel"), Value("Gray"));
    for (const char* old : {"OutputTray", "ColorMode"})
        EXPECT_FALSE(ppd->contains(old)) << old;
}

TEST_F(PanelCommandTest, FavoritesAreSavedChosenAndShownAsChanged) {
    Dictionary saved = run("--set ColorMode=Gray --save-favorite Grey --comment \"for proofs\"");
    EXPECT_EQ(saved.get("favorite"), Value("Grey"));
    Dictionary chosen = run("--favorite Grey");
    EXPECT_EQ(controls(chosen)["ColorMode"], Value("Gray"));
    Dictionary changed = run("--favorite Grey --set ColorMode=Color");
    EXPECT_THAT(changed.get("favorite").stringValue(), HasSubstr("Grey"));
    EXPECT_NE(changed.get("favorite"), Value("Grey"));
}

TEST_F(PanelCommandTest, RefusalsAndBadInputAreClearErrors) {
    struct Case {
        std::string arguments;
        int status;
        std::string message;
    };
    dir.write("garbage.json", "{\"ppd\": [");
    const Case cases[] = {
        {"--set SecPrint=True", 1, "Enter the secure print password"},
        {"--favorite Nowhere", 1, "no favorite named \"Nowhere\""},
        {"--set ColorMode=Sepia", 1, "ColorMode: cannot take \"Sepia\""},
        {"--set NoSuchOption=1", 1, "NoSuchOption: no option of that name"},
        {"--settings " + (dir / "garbage.json"), 1, "holds no print settings"},
        {"--ppd " + (dir / "missing.ppd"), 1, "does not exist"},
        {"--ppd " + (dir / "garbage.json"), 1, "cannot be read"},
        {"--bundle " + dir.path(), 1, "is not loaded"},
        {"--answer maybe", 2, "usage: velmora panel"},
        {"--comment alone", 2, "usage: velmora panel"},
    };
    for (const auto& c : cases) {
        auto result = test::runVelmora("panel " + c.arguments, dir / "err");
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_THAT(test::readFile(dir / "err"), HasSubstr(c.message)) << c.arguments;
        EXPECT_TRUE(result.out.empty()) << c.arguments;
    }
}

TEST_F(PanelCommandTest, BareVelmoraPrintsTheSampleJobToTheEmbeddedPress) {
    test::ScopedEnv noScheduler{"CUPS_SERVER", "127.0.0.1:1"};
    ASSERT_EQ(::chdir(dir.path().c_str()), 0); // the job folder goes where velmora runs
    auto result = test::runVelmora("", dir / "err");
    ASSERT_EQ(result.status, 0) << test::readFile(dir / "err");
    auto parsed = JsonReader::parse(result.out);
    ASSERT_TRUE(parsed && parsed->dictionary());
    const Dictionary& printed = *parsed->dictionary();
    EXPECT_EQ(printed.get("destination"), Value("VelmoraPress (embedded)"));
    EXPECT_EQ(printed.get("folder"), Value(dir / "velmora-jobs/job-1"));
    EXPECT_FALSE(printed.get("summary").array()->empty());
    EXPECT_GT(printed.get("options").dictionary()->size(), 50u);
    auto package = JobPackage::open(dir / "velmora-jobs/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->documentBytes(0, 1 << 20).value().substr(0, 5), "%PDF-");
}

// The press's rules that the engine cannot resolve reach the person in a panel session, and the
// choice that breaks one is not printed; the rules it can resolve are asked about.
TEST_F(PanelCommandTest, ThePressRulesReachThePersonInThePanel) {
    struct Case {
        std::string sets;
        std::string alert;                                         // a part of the alert's text
        std::vector<std::pair<std::string, std::string>> settings; // PPD option → choice, "" absent
    } cases[] = {
        {"--set SecPrint=True --set SecPrintPassword=1234 --set JobDisposition=Store",
         "A secure print job cannot be stored in a job folder",
         {{"SecPrint", "True"}, {"JobDisposition", ""}}},
        {"--set MediaTypeWeight=Group6 --set Fold=Bifold",
         "[Paper Weight]:[301-400 gsm (Heavy 4)]\r[Fold]:[Half Fold]",
         {{"MediaTypeWeight", "Group6"}, {"Fold", ""}}},
    };
    for (const auto& [sets, alert, settings] : cases) {
        auto result = test::runVelmora("panel " + sets, dir / "err");
        ASSERT_EQ(result.status, 0) << sets << "\n" << test::readFile(dir / "err");
        auto parsed = JsonReader::parse(result.out);
        ASSERT_TRUE(parsed && parsed->dictionary()) << sets;
        const Array& alerts = *parsed->dictionary()->get("alerts").array();
        ASSERT_FALSE(alerts.empty()) << sets;
        EXPECT_THAT(alerts.back().dictionary()->get("message").stringValue(), HasSubstr(alert))
            << sets;
        const Dictionary& ppd =
            *parsed->dictionary()->get("printSettings").dictionary()->get("ppd").dictionary();
        for (const auto& [option, choice] : settings)
            EXPECT_EQ(ppd.get(option).stringValue(), choice) << sets << ": " << option;
    }
}

// Stored settings that break such a rule keep their values: the session is told once and cannot
// print them until one of the two options is changed, whichever the person chooses.
TEST_F(PanelCommandTest, StoredSettingsThatBreakARuleAreKeptReportedAndNotPrintedUnchanged) {
    std::string file =
        dir.write("heavy.json", R"({"ppd": {"Fold": "Bifold", "MediaTypeWeight": "Group6"}})");
    auto refused = test::runVelmora("panel --settings " + file, dir / "err");
    EXPECT_NE(refused.status, 0);
    EXPECT_THAT(
        test::readFile(dir / "err"),
        HasSubstr("the settings cannot be printed as they are: The sheets cannot be folded"));

    struct Case {
        std::string change;
        std::string fold, weight; // as printed; "" where the option is at its default
    } cases[] = {
        {"--set Fold=None", "", "Group6"},
        {"--set MediaTypeWeight=Group2", "Bifold", "Group2"},
    };
    for (const auto& [change, fold, weight] : cases) {
        Dictionary report = run("--settings " + file + " " + change);
        const Array* alerts = report.get("alerts").array();
        ASSERT_TRUE(alerts) << change;
        ASSERT_EQ(alerts->size(), 1u) << change << Value(report).toJson();
        EXPECT_THAT(alerts->front().dictionary()->get("message").stringValue(),
                    HasSubstr("[Fold]:[Half Fold]"))
            << change;
        const Dictionary& ppd = *report.get("printSettings").dictionary()->get("ppd").dictionary();
        EXPECT_EQ(ppd.get("Fold").stringValue(), fold) << change;
        EXPECT_EQ(ppd.get("MediaTypeWeight").stringValue(), weight) << change;
    }
}

// The pop-up says "Changed" exactly when the settings differ from the chosen item's: going back
// to every default value (or to the favorite's) shows the item itself again.
TEST_F(PanelCommandTest, SettingsBackAtTheirValuesShowTheItemUnchanged) {
    auto favoriteAfter = [&](const std::string& arguments) {
        auto result = test::runVelmora("panel " + arguments, dir / "err");
        EXPECT_EQ(result.status, 0) << arguments << "\n" << test::readFile(dir / "err");
        auto parsed = JsonReader::parse(result.out);
        return parsed && parsed->dictionary() ? parsed->dictionary()->get("favorite").stringValue()
                                              : std::string();
    };
    ASSERT_EQ(favoriteAfter("--set ColorMode=Gray --save-favorite P"), "P");
    struct Case {
        std::string arguments, favorite;
    } cases[] = {
        {"", "Default Settings"},
        {"--set ColorMode=Gray", "Changed: Default Settings"},
        {"--set ColorMode=Gray --set ColorMode=Color", "Default Settings"},
        {"--set CreaseMode=SaddleFold --set CreaseMode=None", "Default Settings"},
        {"--favorite P", "P"},
        {"--favorite P --set ColorMode=Color", "Changed: P"},
        {"--favorite P --set ColorMode=Color --set ColorMode=Gray", "P"},
    };
    for (const auto& [arguments, favorite] : cases)
        EXPECT_EQ(favoriteAfter(arguments), favorite) << arguments;
}

// Going back to the default item forgets the favorite: the settings file no longer names it and
// the next session starts from the defaults, not from the favorite.
TEST_F(PanelCommandTest, ChoosingTheDefaultItemForgetsTheFavorite) {
    auto run = [&](const std::string& arguments) {
        auto result = test::runVelmora(arguments, dir / "err");
        EXPECT_EQ(result.status, 0) << arguments << "\n" << test::readFile(dir / "err");
        auto parsed = JsonReader::parse(result.out);
        return parsed && parsed->dictionary() ? *parsed->dictionary() : Dictionary();
    };
    run("panel --set ColorMode=Gray --save-favorite P");
    std::string first = dir / "s1.json", second = dir / "s2.json";
    run("panel --favorite P --output " + first);
    EXPECT_NE(test::readFile(first).find("FavoriteName"), std::string::npos);
    run("panel --settings " + first + " --favorite 'Default Settings' --output " + second);
    EXPECT_EQ(test::readFile(second).find("FavoriteName"), std::string::npos);
    EXPECT_EQ(run("panel --settings " + second).get("favorite"), Value("Default Settings"));
}

// Help that is asked for is no error: every command prints its usage on standard output.
TEST_F(PanelCommandTest, HelpForEveryCommandGoesToStandardOutput) {
    for (const char* command : {"panel", "print", "gui", "ticket", "favorites", "refresh-lists",
                                "plist", "convert", "server", "ppd"}) {
        for (const char* flag : {"--help", "-h"}) {
            auto result = test::runVelmora(std::string(command) + " " + flag, dir / "err");
            EXPECT_EQ(result.status, 0) << command << " " << flag;
            EXPECT_EQ(result.out.rfind(std::string("usage: velmora ") + command, 0), 0u)
                << command << " " << flag << ": " << result.out;
            EXPECT_EQ(test::readFile(dir / "err"), "") << command << " " << flag;
        }
    }
}

} // namespace
} // namespace velmora
