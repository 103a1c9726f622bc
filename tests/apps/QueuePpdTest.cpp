// The queue PPD's groups, group texts and rules come from the press's bundle, so that every print
// client meets the press's rules in the panel's order and language.
#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include "platform/printing/PressNames.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>

namespace velmora {
namespace {

const std::string kSourcePpd = std::string(VELMORA_PRESS_SOURCE) + "/VelmoraPress.ppd";

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};
using Ppd = std::unique_ptr<ppd_file_t, PpdCloser>;

// The options any rule of a PPD names: a pair of choices of other options cannot conflict.
std::set<std::string> optionsWithRules(ppd_file_t* ppd) {
    std::set<std::string> named;
    for (int i = 0; i < ppd->num_consts; ++i) {
        named.insert(ppd->consts[i].option1);
        named.insert(ppd->consts[i].option2);
    }
    for (ppd_attr_t* attr = ppdFindAttr(ppd, "cupsUIConstraints", nullptr); attr;
         attr = ppdFindNextAttr(ppd, "cupsUIConstraints", nullptr)) {
        std::istringstream words(attr->value ? attr->value : "");
        for (std::string word; words >> word;)
            if (word.starts_with("*"))
                named.insert(word.substr(1));
    }
    return named;
}

// Whether libcups finds a conflict with these choices marked over the PPD's defaults.
bool conflicts(ppd_file_t* ppd, const std::vector<PressNames::Choice>& choices) {
    ppdMarkDefaults(ppd);
    for (const auto& [option, choice] : choices)
        ppdMarkOption(ppd, option.c_str(), choice.c_str());
    return ppdConflicts(ppd) > 0;
}

TEST(QueuePpdTest, TheQueuePpdIsWhatTheBundleMakesOfIt) {
    test::TempDir dir;
    auto result = test::runVelmora("queue-ppd " + test::shellQuote(kSourcePpd), dir / "err");
    ASSERT_EQ(result.status, 0) << test::readFile(dir / "err");
    EXPECT_TRUE(result.out == test::readFile(kSourcePpd))
        << "resources/press/VelmoraPress.ppd is not what its bundle makes of it: run "
           "scripts/generate-queue-ppd.sh";
    EXPECT_THAT(test::readFile(dir / "err"), ::testing::HasSubstr("rules"));
}

// Every conflict the hand-written rules of the queue PPD before showed a print client is still
// there, under today's names; the rules made from the bundle add those the panel always had.
TEST(QueuePpdTest, NoConflictTheHandWrittenRulesShowedIsLost) {
    Ppd before(ppdOpenFile((std::string(VELMORA_STORED_CORPUS) + "/ppd/VelmoraPress.ppd").c_str()));
    Ppd after(ppdOpenFile(kSourcePpd.c_str()));
    ASSERT_TRUE(before && after);
    const PressNames names(after.get());
    std::set<std::string> ruled = optionsWithRules(before.get());
    for (const auto& option : optionsWithRules(after.get()))
        ruled.insert(names.optionOfPress(option).empty() ? option : names.optionOfPress(option));
    std::vector<PressNames::Choice> choices;
    for (ppd_option_t* option = ppdFirstOption(before.get()); option;
         option = ppdNextOption(before.get()))
        if (ruled.contains(option->keyword))
            for (int i = 0; i < option->num_choices; ++i)
                choices.emplace_back(option->keyword, option->choices[i].choice);
    int pairs = 0, kept = 0, added = 0;
    for (std::size_t a = 0; a < choices.size(); ++a)
        for (std::size_t b = a + 1; b < choices.size(); ++b) {
            if (choices[a].first == choices[b].first)
                continue;
            ++pairs;
            auto first = names.inPpd(choices[a].first, choices[a].second);
            auto second = names.inPpd(choices[b].first, choices[b].second);
            bool was = conflicts(before.get(), {choices[a], choices[b]});
            bool is = conflicts(after.get(), {first, second});
            if (was) {
                EXPECT_TRUE(is) << choices[a].first << "=" << choices[a].second << " with "
                                << choices[b].first << "=" << choices[b].second;
                ++kept;
            } else {
                added += is;
            }
        }
    EXPECT_GT(pairs, 5000);
    EXPECT_EQ(kept, 24); // PaperType × (Duplex, Punch Left, Punch Top), six paper types
    EXPECT_GT(added, kept);
    RecordProperty("pairs", pairs);
    RecordProperty("added", added);
}

// What a print client meets, rule by rule, written from what each rule means for the press.
TEST(QueuePpdTest, PrintClientsMeetThePressesRules) {
    Ppd ppd(ppdOpenFile(kSourcePpd.c_str()));
    ASSERT_TRUE(ppd);
    using Choices = std::vector<PressNames::Choice>;
    struct Row {
        const char* rule;
        Choices choices;
        bool conflict;
        Choices resolved; // what libcups turns to, taking the last choice as the person's
    } rows[] = {
        {"two-sided transparencies, from IPP's sides",
         {{"PaperType", "Transparency"}, {"Duplex", "DuplexNoTumble"}},
         true,
         {{"PaperType", "Uncoated"}}},
        {"two-sided transparencies, from the press's duplex",
         {{"PaperType", "Transparency"}, {"DuplexMode", "DuplexTumble"}},
         true,
         {}},
        {"punching film on the right, which the hand-written rules missed",
         {{"PaperType", "Film"}, {"Punch", "Right"}, {"PunchHoles", "Holes2"}},
         true,
         {}},
        {"tab stock punched",
         {{"PaperType", "TabPaper"},
          {"MediaTypeTabbed", "True"},
          {"Punch", "Left"},
          {"PunchHoles", "Holes2"}},
         true,
         {}},
        {"heavy paper for a folded job",
         {{"Fold", "Bifold"}, {"MediaTypeWeight", "Group5"}},
         true,
         {{"Fold", "None"}}},
        {"secure print stored", {{"JobDisposition", "Store"}, {"SecPrint", "True"}}, true, {}},
        {"sample print with secure print",
         {{"SecPrint", "True"}, {"SamplePrintMode", "SampleSet"}},
         true,
         {}},
        {"plain paper two-sided",
         {{"PaperType", "Uncoated"}, {"Duplex", "DuplexNoTumble"}},
         false,
         {}},
        {"film one-sided", {{"PaperType", "Film"}, {"Duplex", "None"}}, false, {}},
        {"staple on plain paper", {{"StapleMode", "TopLeftCorner"}}, false, {}},
    };
    for (const auto& [rule, choices, conflict, resolved] : rows) {
        EXPECT_EQ(conflicts(ppd.get(), choices), conflict) << rule;
        if (resolved.empty())
            continue;
        // The choices but the last are marked; the last is the person's: libcups resolves the
        // rest around it.
        ppdMarkDefaults(ppd.get());
        for (std::size_t i = 0; i + 1 < choices.size(); ++i)
            ppdMarkOption(ppd.get(), choices[i].first.c_str(), choices[i].second.c_str());
        int count = 0;
        cups_option_t* options = nullptr;
        ASSERT_TRUE(cupsResolveConflicts(ppd.get(), choices.back().first.c_str(),
                                         choices.back().second.c_str(), &count, &options))
            << rule;
        for (const auto& [option, choice] : resolved)
            EXPECT_STREQ(cupsGetOption(option.c_str(), count, options), choice.c_str()) << rule;
        cupsFreeOptions(count, options);
    }
}

} // namespace
} // namespace velmora
