#include "platform/foundation/FileSystem.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/SystemLog.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

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

// The limit holds exactly, for files whose size is known up front and for pipes, whose size is
// not and which arrive in pieces.
TEST(FileUtilTest, ReadFileHoldsTheLimitForFilesAndPipes) {
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

        std::string fifo = dir / "fifo";
        ::unlink(fifo.c_str());
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::thread writer([&] {
            // The reader stops at the limit; the writer then gets EPIPE instead of a SIGPIPE.
            sigset_t pipeSignal;
            sigemptyset(&pipeSignal);
            sigaddset(&pipeSignal, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
            int fd = ::open(fifo.c_str(), O_WRONLY);
            for (std::size_t at = 0; fd >= 0 && at < content.size();) {
                ssize_t n = ::write(fd, content.data() + at,
                                    std::min<std::size_t>(4096, content.size() - at));
                if (n <= 0)
                    break;
                at += static_cast<std::size_t>(n);
            }
            if (fd >= 0)
                ::close(fd);
        });
        auto piped = FileUtil::readFile(fifo, c.limit, &error);
        writer.join();
        EXPECT_EQ(piped.has_value(), c.fits) << c.bytes << " of " << c.limit << " through a pipe";
        if (c.fits && piped) {
            EXPECT_EQ(*piped, content);
        }
    }
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
