// The files a person hands velmora, and the ones it writes for them: what is not a file is
// refused at once, nothing is replaced that should not be, and what may hold a password is
// the user's alone.
#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include "platform/printing/JobPackage.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::shellQuote;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

class UserFilesTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv home{"HOME", (dir / "home").c_str()};
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    test::ScopedEnv language{"LANGUAGE", "en"};

    test::CommandResult velmora(const std::string& arguments) {
        return test::runVelmora(arguments, dir / "err");
    }
    std::string errors() { return test::readFile(dir / "err"); }
    std::string favoritePath(const std::string& name) {
        return dir / ("library/Preferences/TORVALEN/VelmoraFlow/Press/favorite/" + name + ".pfj");
    }
};

// A FIFO without a writer would keep velmora waiting for ever; it is refused at once, whatever
// option names it.
TEST_F(UserFilesTest, AFifoIsRefusedWhereverAFileIsRead) {
    std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& arguments :
         {"panel --settings " + fifo, "panel --ppd " + fifo, "ppd " + fifo,
          "ppd-list " + fifo + " FeederInfoList", "plist " + fifo, "favorite show " + fifo,
          "favorites import " + fifo}) {
        auto result = velmora(arguments);
        EXPECT_NE(result.status, 0) << arguments;
        EXPECT_NE(errors().find("regular file"), std::string::npos)
            << arguments << ": " << errors();
    }
}

// Settings that are not UTF-8 are refused, so that nothing velmora prints or writes is either.
TEST_F(UserFilesTest, SettingsThatAreNotUtf8AreRefused) {
    std::string settings = dir.write("bad.json", "{\"ticket\": {\"x\": \"\xff\xfe\"}}");
    auto result = velmora("panel --settings " + settings + " --output " + (dir / "out.json"));
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.empty());
    EXPECT_NE(errors().find("not valid UTF-8"), std::string::npos) << errors();
    EXPECT_FALSE(fs::exists(dir / "out.json"));
}

// A job has 1 to 9,999 copies: a settings file that says otherwise is refused with the count,
// never wrapped round.
TEST_F(UserFilesTest, CopiesOutsideOneTo9999AreRefusedFromASettingsFile) {
    struct Case {
        std::string copies;
        bool taken;
    } cases[] = {{"1", true},           {"9999", true}, {"0", false},   {"10000", false},
                 {"3000000000", false}, {"-2", false},  {"2.5", false}, {"\"3\"", false}};
    for (const auto& [copies, taken] : cases) {
        std::string settings = dir.write("copies.json", "{\"host\": {\"copies\": " + copies + "}}");
        auto result = velmora("panel --settings " + settings);
        EXPECT_EQ(result.status, taken ? 0 : 1) << copies;
        if (taken)
            EXPECT_NE(result.out.find("\"copies\": " + copies + ","), std::string::npos) << copies;
        else
            EXPECT_NE(errors().find("copies must be a whole number from 1 to 9999"),
                      std::string::npos)
                << copies << ": " << errors();
    }
}

// What can be checked before a job goes is checked first; two documents of one name are both
// kept, and neither may take the options' name.
TEST_F(UserFilesTest, TheEmbeddedPressKeepsEveryDocumentAndNothingIsSentThatWillFail) {
    std::string sample = std::string(VELMORA_PRESS_SOURCE) + "/SampleJob.pdf";
    std::string first = dir / "a/same.pdf", second = dir / "b/same.pdf";
    for (const auto& copy : {first, second}) {
        fs::create_directories(fs::path(copy).parent_path());
        fs::copy_file(sample, copy);
    }
    std::string jobs = dir / "jobs";
    auto refused = velmora("print --embedded --no-gui --output-dir " + jobs + " --output " +
                           (dir / "no/such/dir/out.json") + " " + first);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(errors().find("cannot write"), std::string::npos) << errors();
    EXPECT_FALSE(fs::exists(jobs + "/job-1")) << "the job went although the command failed";
    // A document the press cannot print stops the job before anything is kept.
    std::string text = dir.write("notes.txt", "plain text");
    EXPECT_EQ(
        velmora("print --embedded --no-gui --output-dir " + jobs + " " + first + " " + text).status,
        1);
    EXPECT_NE(errors().find("is not a PDF document"), std::string::npos) << errors();
    EXPECT_FALSE(fs::exists(jobs + "/job-1"));

    auto printed =
        velmora("print --embedded --no-gui --output-dir " + jobs + " " + first + " " + second);
    ASSERT_EQ(printed.status, 0) << errors();
    auto package = JobPackage::open(jobs + "/job-1/job.xjmf.zip");
    ASSERT_TRUE(package) << package.error();
    ASSERT_EQ(package->ticket().documents.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(package->ticket().documents[i].name, "same.pdf");
        EXPECT_EQ(package->documentBytes(i, 1 << 20).value(), test::readFile(sample));
    }
}

// From the command line a value a field would shorten or change is an error and nothing is
// saved; an existing favorite is replaced only when asked for.
TEST_F(UserFilesTest, ValuesAFieldWouldChangeAreRefusedAndNothingIsReplacedUnasked) {
    std::string options = dir.write("o.json", R"({"PF_TRAY": 103})");
    struct Case {
        std::string arguments, error;
    } refused[] = {
        {"panel --save-favorite 'Quarterly report 2024 - draft A'", "the field keeps"},
        {"panel --job-name " + std::string(300, 'j'), "the field keeps"},
        {"panel --save-favorite Proof", "a favorite named \"Proof\" exists; add --replace"},
        {"favorites save Proof < " + options, "a favorite named \"Proof\" exists; add --replace"},
        {"favorites comment Proof " + shellQuote("line 1\nline 2"), "the field keeps"},
    };
    ASSERT_EQ(velmora("panel --set ColorMode=Gray --save-favorite Proof --comment kept").status, 0)
        << errors();
    std::string before = test::readFile(favoritePath("Proof"));
    for (const auto& [arguments, error] : refused) {
        EXPECT_EQ(velmora(arguments).status, 1) << arguments;
        EXPECT_NE(errors().find(error), std::string::npos) << arguments << ": " << errors();
    }
    EXPECT_EQ(test::readFile(favoritePath("Proof")), before);
    std::vector<std::string> favorites;
    for (const auto& entry : fs::directory_iterator(fs::path(favoritePath("Proof")).parent_path()))
        favorites.push_back(entry.path().filename().string());
    std::sort(favorites.begin(), favorites.end());
    EXPECT_EQ(favorites, (std::vector<std::string>{".velmora-favorites.lock", "Proof.pfj"}));

    EXPECT_EQ(velmora("panel --set ColorMode=Color --save-favorite Proof --replace").status, 0)
        << errors();
    EXPECT_NE(test::readFile(favoritePath("Proof")), before);
    EXPECT_EQ(velmora("favorites save Proof --replace < " + options).status, 0) << errors();
}

// velmora print and velmora gui read their options with one parser: each takes what it can
// act on and refuses the rest with its usage.
TEST_F(UserFilesTest, PrintAndTheDialogShareOneParserAndRefuseWhatTheyCannotActOn) {
    std::string settings = dir.write("s.json", "{}"),
                sample = std::string(VELMORA_PRESS_SOURCE) + "/SampleJob.pdf";
    struct Case {
        std::string arguments;
        int status;
        std::string error;
    } cases[] = {
        {"gui --set ColorMode=Gray", 2, "usage: velmora gui"},
        {"gui --output x.json", 2, "usage: velmora gui"},
        {"gui --bogus", 2, "usage: velmora gui"},
        {"gui --embedded -d Q", 2, "usage: velmora gui"},
        {"gui --settings " + settings + " --lang ja --embedded --output-dir " + (dir / "jobs"), 1,
         "no display"},
        {"print --screenshot " + (dir / "shots") + " " + sample, 2, "usage: velmora print"},
        {"print --embedded", 2, "usage: velmora print"},
        {"print --comment alone " + sample, 2, "usage: velmora print"},
    };
    // A print that answers the panel's questions for a person stays headless at a display.
    {
        auto atADisplay = [&](const std::string& arguments) {
            return test::runVelmora(arguments, dir / "err", test::kOffscreenDisplay);
        };
        auto answered = atADisplay("print --embedded --answer yes --output-dir " + (dir / "jobs") +
                                   " " + sample);
        EXPECT_EQ(answered.status, 0) << errors();
        EXPECT_NE(answered.out.find("\"folder\""), std::string::npos) << answered.out;
        // Without the panel's options, and without a document, it is the dialog's to open.
        auto dialog = atADisplay("print --embedded --open-and-close");
        EXPECT_EQ(dialog.status, 0) << errors();
        // Qt's offscreen platform alone is no display: the session stays headless, and returns.
        auto offscreen = test::runVelmora(
            "print --embedded --output-dir " + (dir / "jobs") + " " + sample, dir / "err",
            "-u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen");
        EXPECT_EQ(offscreen.status, 0) << errors();
        EXPECT_NE(offscreen.out.find("\"folder\""), std::string::npos) << offscreen.out;
    }
    for (const auto& [arguments, status, error] : cases) {
        EXPECT_EQ(velmora(arguments).status, status) << arguments;
        EXPECT_NE(errors().find(error), std::string::npos) << arguments << ": " << errors();
    }
}

// Settings files, favorites and the embedded press's jobs may hold scrambled passwords: nobody
// else may read them. A link to a settings file is written through and stays.
TEST_F(UserFilesTest, WhatMayHoldAPasswordIsTheUsersAlone) {
    std::string settings = dir.write("settings/kept.json", "{}");
    ::chmod(settings.c_str(), 0644);
    std::string link = dir / "link.json";
    ASSERT_EQ(::symlink(settings.c_str(), link.c_str()), 0);
    auto panel = velmora("panel --set SecPrint=True --set SecPrintPassword=1234 --output " + link +
                         " --save-favorite Locked");
    ASSERT_EQ(panel.status, 0) << errors();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(test::readFile(settings).find("SecPrintPassword"), std::string::npos);
    EXPECT_EQ(modeOf(settings), 0600u);
    EXPECT_EQ(modeOf(favoritePath("Locked")), 0600u);

    auto printed = velmora("print --embedded --no-gui --output-dir " + (dir / "jobs") + " " +
                           shellQuote(std::string(VELMORA_PRESS_SOURCE) + "/SampleJob.pdf"));
    ASSERT_EQ(printed.status, 0) << errors();
    EXPECT_EQ(modeOf(dir / "jobs/job-1"), 0700u);
    EXPECT_EQ(modeOf(dir / "jobs/job-1/job.xjmf.zip"), 0600u);

    std::string folder = dir / "folder";
    fs::create_directory(folder);
    EXPECT_EQ(velmora("panel --output " + folder).status, 1);
    EXPECT_NE(errors().find("is a folder"), std::string::npos) << errors();
}

// An export that cannot be written says why and exits 1; an existing file is replaced only when
// asked for.
TEST_F(UserFilesTest, ExportsThatFailSaySoAndNothingIsReplacedUnasked) {
    ASSERT_EQ(velmora("panel --set ColorMode=Gray --save-favorite Proof").status, 0) << errors();
    std::string existing = dir.write("out/Proof.pfj", "someone else's");
    struct Case {
        std::string arguments, error;
        int status;
    } cases[] = {
        {"favorites export Proof " + (dir / "no/such/dir/Proof.pfj"), "No such file", 1},
        {"favorites export Proof " + (dir / "out"), "exists; add --force", 1},
        {"favorites export Proof " + (dir / "out") + " --force", "is a folder", 1},
        {"favorites export Proof " + existing, "exists; add --force", 1},
    };
    for (const auto& [arguments, error, status] : cases) {
        EXPECT_EQ(velmora(arguments).status, status) << arguments;
        EXPECT_NE(errors().find(error), std::string::npos) << arguments << ": " << errors();
    }
    EXPECT_EQ(test::readFile(existing), "someone else's");
    EXPECT_EQ(velmora("favorites export Proof " + existing + " --force").status, 0) << errors();
    EXPECT_EQ(test::readFile(existing), test::readFile(favoritePath("Proof")));
    EXPECT_EQ(modeOf(existing), 0600u);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir / "out"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"Proof.pfj"});
}

} // namespace
} // namespace velmora
