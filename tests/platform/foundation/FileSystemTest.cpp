#include "platform/foundation/FileSystem.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/SystemLog.h"
#include "platform/foundation/TemporaryFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

TEST(FileSystemTest, SettingsFoldersHonourOverridesInOrder) {
    test::ScopedEnv user("VELMORA_USER_LIBRARY", nullptr);
    test::ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    test::ScopedEnv home("HOME", "/home/op");
    test::ScopedEnv system("VELMORA_SYSTEM_LIBRARY", nullptr);
    EXPECT_EQ(FileSystem::userLibraryFolder(), "/home/op/.config");
    EXPECT_EQ(FileSystem::systemLibraryFolder(), "/var/lib/velmora");
    {
        test::ScopedEnv x("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(FileSystem::userLibraryFolder(), "/xdg");
        test::ScopedEnv v("VELMORA_USER_LIBRARY", "/tmp/lib");
        EXPECT_EQ(FileSystem::userLibraryFolder(), "/tmp/lib");
    }
    test::ScopedEnv s("VELMORA_SYSTEM_LIBRARY", "/srv/velmora");
    EXPECT_EQ(FileSystem::systemLibraryFolder(), "/srv/velmora");
}

TEST(FileSystemTest, CreateFolderMakesParentsWithExactPermissions) {
    test::TempDir dir;
    mode_t old = ::umask(022);
    std::string deep = dir / "a/b/c";
    EXPECT_TRUE(FileSystem::createFolder(deep, 0775));
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(deep.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0775u);
    EXPECT_TRUE(FileSystem::createFolder(deep, 0775)); // already there
    std::string file = dir.write("plain", "x");
    EXPECT_FALSE(FileSystem::createFolder(file + "/sub", 0775));
}

TEST(FileSystemTest, TrashKeepsTheItemAndRecordsWhereItCameFrom) {
    test::TempDir dir;
    test::ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
    std::string first = dir.write("docs/Fine Art.pfj", "one");
    ASSERT_TRUE(FileSystem::moveToTrash(first));
    EXPECT_FALSE(FileSystem::exists(first));
    std::string trash = FileSystem::trashFolder();
    EXPECT_EQ(test::readFile(trash + "/files/Fine Art.pfj"), "one");
    std::string info = test::readFile(trash + "/info/Fine Art.pfj.trashinfo");
    EXPECT_NE(info.find("[Trash Info]\nPath=" + dir.path() + "/docs/Fine%20Art.pfj\n"),
              std::string::npos);
    EXPECT_NE(info.find("DeletionDate="), std::string::npos);

    std::string second = dir.write("docs/Fine Art.pfj", "two"); // same name again
    ASSERT_TRUE(FileSystem::moveToTrash(second));
    EXPECT_EQ(test::readFile(trash + "/files/Fine Art.pfj.1"), "two");
    EXPECT_FALSE(FileSystem::moveToTrash(dir / "absent"));
}

TEST(FileSystemTest, InvisibleFlagLivesInFinderInfo) {
    test::TempDir dir;
    std::string file = dir.write("hidden.pfj", "x");
    if (::setxattr(file.c_str(), "user.probe", "1", 1, 0) != 0)
        GTEST_SKIP() << "this file system has no user extended attributes";
    EXPECT_FALSE(FileSystem::isInvisible(file));
    ASSERT_TRUE(FileSystem::setInvisible(file, true));
    EXPECT_TRUE(FileSystem::isInvisible(file));
    unsigned char info[32] = {};
    ASSERT_EQ(::getxattr(file.c_str(), "user.com.apple.FinderInfo", info, sizeof info), 32);
    EXPECT_EQ(info[8], 0x40);
    EXPECT_EQ(info[9], 0x00);
    info[9] = 0x01; // another Finder flag must survive clearing the invisible one
    ::setxattr(file.c_str(), "user.com.apple.FinderInfo", info, sizeof info, 0);
    ASSERT_TRUE(FileSystem::setInvisible(file, false));
    EXPECT_FALSE(FileSystem::isInvisible(file));
    ::getxattr(file.c_str(), "user.com.apple.FinderInfo", info, sizeof info);
    EXPECT_EQ(info[9], 0x01);
}

// The limit holds exactly.
TEST(FileUtilTest, ReadFileHoldsTheLimit) {
    test::TempDir dir;
    struct Case {
        std::size_t bytes, limit;
        bool fits;
    } cases[] = {{0, 10, true},          {10, 10, true},          {11, 10, false},
                 {200000, 200000, true}, {200001, 200000, false}, {70000, 1 << 20, true}};
    for (const Case& c : cases) {
        std::string content(c.bytes, 'x');
        for (std::size_t i = 0; i < content.size(); i += 997)
            content[i] = static_cast<char>('a' + i % 26);
        std::string path = dir / "file";
        ASSERT_TRUE(FileUtil::writeFileAtomically(path, content));
        std::string error;
        auto read = FileUtil::readFile(path, c.limit, &error);
        EXPECT_EQ(read.has_value(), c.fits) << c.bytes << " of " << c.limit;
        if (c.fits && read) {
            EXPECT_EQ(*read, content);
        } else if (!c.fits) {
            EXPECT_EQ(error, "file too large");
        }
    }
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// One writer for every file: it replaces only regular files, writes through links, keeps the
// permissions a file had (taking group and others' away for private files) and leaves nothing
// behind when it fails.
TEST(FileUtilTest, WritesReplaceOnlyFilesAndKeepTheirPermissions) {
    test::TempDir dir;
    mode_t oldMask = ::umask(022);
    std::string fifo = dir / "fifo", folder = dir / "folder", file = dir.write("file", "old");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder);
    using FileUtil::Readers;
    struct Refused {
        std::string path, error;
    } refused[] = {{fifo, "is not a regular file, so it is not replaced"},
                   {folder, "is a folder"},
                   {dir / "missing/file", "No such file or directory"}};
    for (const auto& [path, reason] : refused) {
        std::string error;
        EXPECT_FALSE(FileUtil::writeFileAtomically(path, "new", &error)) << path;
        EXPECT_EQ(error, reason) << path;
    }
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    struct Kept {
        mode_t before; // 0: no file before
        Readers readers;
        mode_t after;
    } kept[] = {{0, Readers::AsUsual, 0644},    {0, Readers::OwnerOnly, 0600},
                {0444, Readers::AsUsual, 0444}, {0600, Readers::AsUsual, 0600},
                {0664, Readers::AsUsual, 0664}, {0644, Readers::OwnerOnly, 0600}};
    for (const auto& [before, readers, after] : kept) {
        std::string path = dir / "kept";
        std::filesystem::remove(path);
        if (before) {
            dir.write("kept", "old");
            ::chmod(path.c_str(), before);
        }
        ASSERT_TRUE(FileUtil::writeFileAtomically(path, "new", nullptr, readers));
        EXPECT_EQ(modeOf(path), after) << std::oct << before;
        EXPECT_EQ(test::readFile(path), "new");
    }

    // A link is written through and stays a link, also a relative one.
    std::string link = dir / "link";
    ASSERT_EQ(::symlink("file", link.c_str()), 0);
    ASSERT_TRUE(FileUtil::writeFileAtomically(link, "through"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::readFile(file), "through");
    ::umask(oldMask);
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{"fifo", "file", "folder", "kept", "link"}));
}

// A write that is stopped by a signal leaves no temporary file: the process is ended as the
// signal says, and the file it was writing is as it was.
TEST(FileUtilTest, AWriteEndedBySigtermLeavesNothingBehind) {
    test::TempDir dir;
    std::string target = dir / "large";
    bool stoppedMidWay = false;
    for (std::size_t megabytes = 64; megabytes <= 1024 && !stoppedMidWay; megabytes *= 2) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::string content(megabytes << 20, 'x');
            std::thread writer([&] { FileUtil::writeFileAtomically(target, content); });
            // Stop the process as soon as the temporary file is there.
            for (int i = 0; i < 100000; ++i) {
                for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
                    if (entry.path().filename().string().starts_with("large."))
                        ::raise(SIGTERM);
                if (std::filesystem::exists(target))
                    break;
            }
            writer.join();
            ::_exit(0); // the write was quicker than the look: try a larger one
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        stoppedMidWay = WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
        if (stoppedMidWay) {
            EXPECT_TRUE(namesIn(dir.path()).empty()) << "a temporary file was left behind";
        } else {
            std::filesystem::remove(target);
        }
    }
    EXPECT_TRUE(stoppedMidWay) << "no write was slow enough to be stopped";
}

// A temporary folder of files on their way elsewhere goes with the process that a signal ends,
// with what it holds; one whose owner finished is removed by the owner, and a signal afterwards
// touches nothing.
TEST(TemporaryFolderTest, ASignalThatEndsTheProcessRemovesTheFolderAndItsFiles) {
    test::TempDir dir;
    test::ScopedEnv temporary{"TMPDIR", dir.path().c_str()};
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TemporaryFolder folder("velmora-test");
            std::ofstream(folder.path() + "/package") << "a secret";
            std::ofstream(folder.path() + "/input") << "a document";
            { TemporaryFolder done("velmora-done"); }
            ::raise(signal);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_TRUE(namesIn(dir.path()).empty()) << signal << ": the folder was left behind";
    }
}

// What is not stored whole in a file is refused at once: a FIFO without a writer would hold the
// reading for ever, a device may never end. A link to a file is read through.
TEST(FileUtilTest, OnlyRegularFilesAreReadAndNothingWaits) {
    test::TempDir dir;
    std::string fifo = dir / "fifo", link = dir / "link", file = dir.write("file", "whole");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
    struct Case {
        std::string path, error;
    } cases[] = {{fifo, "is not a regular file"},
                 {"/dev/zero", "is not a regular file"},
                 {dir.path(), "is a folder"},
                 {dir / "missing", "No such file or directory"}};
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(FileUtil::readFile(c.path, 1 << 20, &error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        EXPECT_FALSE(FileSystem::isRegularFile(c.path)) << c.path;
    }
    EXPECT_EQ(FileUtil::readFile(link, 100), std::optional<std::string>("whole"));
    EXPECT_TRUE(FileSystem::isRegularFile(link));
}

TEST(PreferredLanguagesTest, EnvironmentOrderAndLocaleNames) {
    test::ScopedEnv language("LANGUAGE", nullptr);
    test::ScopedEnv all("LC_ALL", nullptr);
    test::ScopedEnv messages("LC_MESSAGES", "de_CH.UTF-8");
    test::ScopedEnv lang("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(PreferredLanguages::first(), "de-CH");
    {
        test::ScopedEnv a("LC_ALL", "ja_JP.eucJP");
        EXPECT_EQ(PreferredLanguages::first(), "ja-JP");
        test::ScopedEnv l("LANGUAGE", "es:it_IT");
        EXPECT_EQ(PreferredLanguages::current(), (std::vector<std::string>{"es", "it-IT"}));
    }
    test::ScopedEnv c("LC_MESSAGES", "C");
    EXPECT_EQ(PreferredLanguages::first(), "en");
    EXPECT_EQ(PreferredLanguages::codeFromLocale("sr_RS@latin"), "sr-RS");
}

TEST(SystemLogTest, LinesGoToTheInstalledSink) {
    std::vector<std::string> lines;
    auto previous = SystemLog::setSink([&](std::string_view line) { lines.emplace_back(line); });
    SystemLog::write("###Error:UISetting Plist file not found!");
    SystemLog::format("###loadEncDec: error %d", -1);
    SystemLog::setSink(previous);
    EXPECT_EQ(lines, (std::vector<std::string>{"###Error:UISetting Plist file not found!",
                                               "###loadEncDec: error -1"}));
}

} // namespace
} // namespace velmora
