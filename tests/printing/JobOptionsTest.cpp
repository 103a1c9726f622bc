#include "platform/printing/JobOptions.h"
#include "platform/printing/CommandFile.h"
#include "platform/printing/PrintSettings.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using ::testing::ElementsAre;

TEST(CommandFileTest, ReportLevelsListsAreReadLineByLine) {
    auto commands = CommandFile::parse("#CUPS-COMMAND\r\n"
                                       "# a comment\n"
                                       "ReportLevels  FeederInfoList\tStackerInfoList\r\n"
                                       "\n"
                                       "Clean all\n"
                                       "ReportLevels Font");
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[1].name, "Clean");
    EXPECT_THAT(CommandFile::reportLevelsLists(commands),
                ElementsAre("FeederInfoList", "StackerInfoList", "Font"));
    EXPECT_TRUE(CommandFile::parse("").empty());
    std::string flood;
    for (int i = 0; i < 5000; ++i)
        flood += "ReportLevels A\n";
    EXPECT_EQ(CommandFile::parse(flood).size(), CommandFile::kMaxCommands);
}

TEST(JobOptionsTest, SettingsBecomeJobOptionsAndBack) {
    ppd_file_t* ppd = ppdOpenFile(VELMORA_QUEUE_PPD);
    ASSERT_NE(ppd, nullptr);
    Dictionary snapshot{
        {"ppd", Value(Dictionary{{"ColorModel", Value("Gray")}})},
        {"ticket",
         Value(Dictionary{{"com.velmora.print.PrintSettingsTicket.JobName", Value("a%x2Cb")}})},
        {"host", Value(Dictionary{{"copies", Value(3)},
                                  {"collate", Value(false)},
                                  {"duplexing", Value(PrintSettings::kDuplexTumble)},
                                  {"KVInputSlot", Value("Tray2")}})}};
    Dictionary options = JobOptions::fromSnapshot(snapshot, ppd);
    EXPECT_EQ(options.get("ColorModel"), Value("Gray"));
    EXPECT_EQ(options.get("com.velmora.print.PrintSettingsTicket.JobName"), Value("a%x2Cb"));
    EXPECT_EQ(options.get("copies"), Value("3"));
    EXPECT_EQ(options.get("collate"), Value("false"));
    EXPECT_EQ(options.get("sides"), Value("two-sided-short-edge"));
    EXPECT_EQ(options.get("InputSlot"), Value("Tray2"));

    Dictionary back = JobOptions::toSnapshot(options, ppd);
    EXPECT_EQ(back.get("ppd").dictionary()->get("ColorModel"), Value("Gray"));
    EXPECT_EQ(back.get("ticket").dictionary()->get("com.velmora.print.PrintSettingsTicket.JobName"),
              Value("a%x2Cb"));
    EXPECT_EQ(back.get("host").dictionary()->get("duplexing"), Value(PrintSettings::kDuplexTumble));
    EXPECT_EQ(back.get("host").dictionary()->get("copies"), Value(3));
    // A choice the queue does not offer is kept as an entry, not as a PPD choice.
    Dictionary odd = JobOptions::toSnapshot(Dictionary{{"ColorModel", Value("Sepia")}}, ppd);
    EXPECT_FALSE(odd.get("ppd").dictionary()->contains("ColorModel"));
    EXPECT_EQ(odd.get("ticket").dictionary()->get("ColorModel"), Value("Sepia"));
    ppdClose(ppd);
}

TEST(JobOptionsTest, SharedOptionsKeepNoSecretsCopiesOrJobName) {
    Dictionary options{{"ColorMode", Value("Gray")},
                       {"copies", Value("2")},
                       {"com.velmora.print.PrintSettingsTicket.SecPrintPassword", Value("x")},
                       {"com.velmora.print.PrintSettingsTicket.RscPassword", Value("x")},
                       {"com.velmora.print.PrintSettingsTicket.JobName", Value("n")},
                       {"com.velmora.print.PrintSettingsTicket.ZRSpecificJobName", Value("Input")},
                       {"com.velmora.print.PrintSettingsTicket.UserName", Value("u")}};
    EXPECT_EQ(
        JobOptions::shareable(options).keys(),
        (std::vector<std::string>{"ColorMode", "com.velmora.print.PrintSettingsTicket.UserName"}));
    for (const auto& [duplexing, sides] : std::vector<std::pair<int, std::string>>{
             {PrintSettings::kDuplexNone, "one-sided"},
             {PrintSettings::kDuplexNoTumble, "two-sided-long-edge"},
             {PrintSettings::kDuplexTumble, "two-sided-short-edge"}}) {
        EXPECT_EQ(JobOptions::sidesOfDuplexing(duplexing), sides);
        EXPECT_EQ(JobOptions::duplexingOfSides(sides), duplexing);
    }
}

// lpoptions keeps the panel's entries under a short key and leaves out what the queue would do
// anyway; read back, both forms give the job's options.
TEST(JobOptionsTest, StoredOptionsAreShorterAndReadBackAsTheJobsOptions) {
    ppd_file_t* ppd = ppdOpenFile(VELMORA_QUEUE_PPD);
    ASSERT_NE(ppd, nullptr);
    const std::string entry = JobOptions::kEntryPrefix;
    Dictionary job{{"ColorModel", Value("RGB")},     // the PPD's default choice
                   {"KVInputSlot", Value("Tray2")},  // not the default
                   {"OutputTray", Value("Nowhere")}, // not a choice of the PPD: kept
                   {entry + "JobName", Value("a%x2Cb")},
                   {entry + "MemoCommentContent", Value("")}};
    // A queue's own line leaves out the PPD's defaults.
    Dictionary stored = JobOptions::toStored(job, ppd, false);
    EXPECT_EQ(stored.keys(),
              (std::vector<std::string>{"KVInputSlot", "OutputTray", "velmora.JobName",
                                        "velmora.MemoCommentContent"}));
    for (const auto& [key, value] : JobOptions::fromStored(stored))
        EXPECT_EQ(job.get(key), value) << key;
    // An instance holds every PPD option, the job's choice or the default: what it left out it
    // would take from its queue's line.
    Dictionary instance = JobOptions::fromStored(JobOptions::toStored(job, ppd, true));
    for (const auto& [key, value] : job)
        EXPECT_EQ(instance.get(key), value) << key;
    int options = 0;
    for (ppd_option_t* option = ppdFirstOption(ppd); option; option = ppdNextOption(ppd), ++options)
        if (!job.contains(option->keyword)) {
            EXPECT_EQ(instance.get(option->keyword), Value(std::string(option->defchoice)))
                << option->keyword;
        }
    EXPECT_GT(options, 100);
    // Lines written before keep the long form; a line holding both (an instance in the long form
    // under a queue line in the short one) takes the long form's value.
    Dictionary old{{entry + "JobName", Value("old")}, {"ColorMode", Value("Gray")}};
    EXPECT_EQ(JobOptions::fromStored(old), old);
    Dictionary both{{"velmora.JobName", Value("queue's")}, {entry + "JobName", Value("own")}};
    EXPECT_EQ(JobOptions::fromStored(both), (Dictionary{{entry + "JobName", Value("own")}}));
    // Copies from lpoptions are taken only as a count a job can have.
    for (const auto& [copies, taken] :
         std::vector<std::pair<std::string, bool>>{{"3", true},
                                                   {"9999", true},
                                                   {"0", false},
                                                   {"10000", false},
                                                   {"3000000000", false},
                                                   {"3x", false},
                                                   {"-1", false}}) {
        Value host = JobOptions::toSnapshot(Dictionary{{"copies", Value(copies)}}, ppd).get("host");
        EXPECT_EQ(host.dictionary()->contains("copies"), taken) << copies;
    }
    Dictionary snapshot = JobOptions::toSnapshot(
        Dictionary{{"velmora.UserName", Value("u")}, {"velmora.", Value("x")}}, ppd);
    EXPECT_EQ(snapshot.get("ticket"),
              Value(Dictionary{{entry + "UserName", Value("u")}, {"velmora.", Value("x")}}));
    ppdClose(ppd);
}

} // namespace
} // namespace velmora
