#include "platform/printing/DestinationPpd.h"

#include "platform/printing/InMemoryPrintDialog.h"
#include "platform/printing/SheetPlanner.h"
#include "support/TempDir.h"

// The choices are marked the way the dialog marks them, through libcups's deprecated PPD calls.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string_view>

namespace velmora {
namespace {

// The first option whose default is one of its choices and that has another choice to mark.
ppd_option_t* optionWithAnotherChoice(ppd_file_t* ppd, ppd_choice_t*& other) {
    for (ppd_option_t* option = ppdFirstOption(ppd); option; option = ppdNextOption(ppd)) {
        if (std::string_view(option->keyword) == "PageRegion" ||
            !ppdFindChoice(option, option->defchoice))
            continue;
        for (int c = 0; c < option->num_choices; ++c)
            if (std::string_view(option->choices[c].choice) != option->defchoice) {
                other = &option->choices[c];
                return option;
            }
    }
    return nullptr;
}

TEST(DestinationPpdTest, ItsDefaultsStayThePpdsWhateverTheDialogMarksLater) {
    auto shared = DestinationPpd::open(VELMORA_QUEUE_PPD);
    ASSERT_NE(shared->get(), nullptr);
    ppd_choice_t* other = nullptr;
    ppd_option_t* option = optionWithAnotherChoice(shared->get(), other);
    ASSERT_NE(option, nullptr);
    std::string keyword = option->keyword, byDefault = option->defchoice;
    ASSERT_EQ(shared->defaults().count(keyword), 1u);
    EXPECT_EQ(shared->defaults().at(keyword), byDefault);

    // The person picks another choice in the dialog; the preview still starts from the default.
    ppdMarkOption(shared->get(), keyword.c_str(), other->choice);
    ASSERT_NE(ppdFindMarkedChoice(shared->get(), keyword.c_str()), nullptr);
    SheetPlanner planner(shared);
    EXPECT_EQ(planner.ppd(), shared->get()) << "the preview reads the dialog's copy";
    EXPECT_EQ(shared->defaults().at(keyword), byDefault);
    EXPECT_STREQ(ppdFindMarkedChoice(shared->get(), keyword.c_str())->choice, other->choice)
        << "making the preview's planner leaves the dialog's marks alone";
}

TEST(DestinationPpdTest, TheDialogUsesTheCopyItIsGivenAndKeepsItOpen) {
    auto shared = DestinationPpd::open(VELMORA_QUEUE_PPD);
    ppd_file_t* ppd = shared->get();
    {
        InMemoryPrintDialog::Options options;
        options.plugInPath = VELMORA_PLUGIN_DIR;
        options.ppdPath = VELMORA_QUEUE_PPD;
        options.ppd = shared;
        InMemoryPrintDialog dialog(options);
        EXPECT_EQ(dialog.ppdFile(), ppd);
    }
    // The dialog has gone; the preview's holder can still read the PPD.
    EXPECT_EQ(shared->get(), ppd);
    EXPECT_NE(ppdFindOption(shared->get(), "KVInputSlot"), nullptr);
}

TEST(DestinationPpdTest, WhatIsNoReadablePpdGivesNone) {
    test::TempDir dir;
    std::string fifo = dir / "fifo.ppd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string paths[] = {"", dir / "missing.ppd", dir.path(), fifo,
                                 dir.write("text.ppd", "not a PPD\n")};
    for (const auto& path : paths) {
        auto none = DestinationPpd::open(path); // a FIFO would hold the reading for ever
        EXPECT_EQ(none->get(), nullptr) << path;
        EXPECT_TRUE(none->defaults().empty()) << path;
        EXPECT_EQ(SheetPlanner(none).ppd(), nullptr) << path;
    }
}

} // namespace
} // namespace velmora
