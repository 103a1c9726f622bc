#include "platform/printing/DestinationPpd.h"

#include "platform/printing/InMemoryPrintDialog.h"
#include "platform/printing/SheetPlanner.h"
#include "support/TempDir.h"

// The choices are marked the way the dialog marks them, through libcups's deprecated PPD calls.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
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

// A file of the queue's PPD with a mark of its own, so that a reading shows which copy it read.
std::string markedCopy(const test::TempDir& dir, const std::string& name, const std::string& mark) {
    std::string text = test::readFile(VELMORA_QUEUE_PPD) + "*VelmoraCopy: \"" + mark + "\"\n";
    std::string staged = dir.write(name + ".new", text), path = dir / name;
    std::filesystem::rename(staged, path); // as a fetch replaces the cached copy
    return path;
}

std::string markOf(const std::shared_ptr<DestinationPpd>& ppd) {
    ppd_attr_t* mark = ppd->get() ? ppdFindAttr(ppd->get(), "VelmoraCopy", nullptr) : nullptr;
    return mark && mark->value ? mark->value : "";
}

TEST(DestinationPpdTest, AReadingAheadIsTakenOnlyForTheSameUnchangedFile) {
    test::TempDir dir;
    std::string path = markedCopy(dir, "queue.ppd", "first");
    DestinationPpd::readAhead(path);
    auto early = DestinationPpd::open(path);
    EXPECT_EQ(markOf(early), "first");
    EXPECT_EQ(early->defaults(), DestinationPpd::open(path)->defaults())
        << "read ahead as it is read on this thread";

    // The scheduler had a newer PPD: the session reads the file that replaced the cached one.
    DestinationPpd::readAhead(path);
    markedCopy(dir, "queue.ppd", "second");
    EXPECT_EQ(markOf(DestinationPpd::open(path)), "second");

    // Another queue's PPD is read anew, and the reading ahead is not kept for later.
    std::string other = markedCopy(dir, "other.ppd", "other");
    DestinationPpd::readAhead(path);
    EXPECT_EQ(markOf(DestinationPpd::open(other)), "other");
    markedCopy(dir, "queue.ppd", "third");
    EXPECT_EQ(markOf(DestinationPpd::open(path)), "third");

    // Nothing is read ahead from what is no file (a FIFO would hold the reading for ever).
    std::string fifo = dir / "fifo.ppd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    DestinationPpd::readAhead(fifo);
    DestinationPpd::readAhead(dir / "missing.ppd");
    EXPECT_EQ(markOf(DestinationPpd::open(path)), "third");
}

} // namespace
} // namespace velmora
