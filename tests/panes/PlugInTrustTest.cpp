// Opening a shared object runs its code: a plug-in or codec that another local user could have
// written must be refused before it is opened, with the path and the reason.
#include "support/PaneBundles.h"
#include "support/TempDir.h"

#include "common/EncryptionBridge.h"
#include "panes/PanePlugInInterface.h"
#include "platform/foundation/CodeTrust.h"
#include "platform/foundation/PlugInBundleLoader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace velmora {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

struct Tampering {
    const char* label;
    const char* path; // below the bundle; "" for the bundle folder itself
    std::function<int(const std::string&)> change;
    const char* reason;
};

int addMode(const std::string& path, mode_t bits) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return ::chmod(path.c_str(), (status.st_mode & 07777) | bits);
}

const Tampering kTamperings[] = {
    {"object writable by its group", "Contents/Linux/BasicPaneProbe.so",
     [](const std::string& p) { return addMode(p, S_IWGRP); }, "is writable by its group"},
    {"object writable by everyone", "Contents/Linux/BasicPaneProbe.so",
     [](const std::string& p) { return addMode(p, S_IWOTH); }, "is writable by every user"},
    {"Linux folder writable by everyone", "Contents/Linux",
     [](const std::string& p) { return addMode(p, S_IWOTH | S_ISVTX); },
     "is writable by every user"},
    {"Contents writable by its group", "Contents",
     [](const std::string& p) { return addMode(p, S_IWGRP); }, "is writable by its group"},
    {"bundle writable by everyone", "", [](const std::string& p) { return addMode(p, S_IWOTH); },
     "is writable by every user"},
    {"object of another user", "Contents/Linux/BasicPaneProbe.so",
     [](const std::string& p) { return ::chown(p.c_str(), kNobody, static_cast<gid_t>(-1)); },
     "belongs to another user"},
    {"bundle of another user", "",
     [](const std::string& p) { return ::chown(p.c_str(), kNobody, static_cast<gid_t>(-1)); },
     "belongs to another user"},
};

class PlugInTrustTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string probe = dir / "constructor-ran";
    test::ScopedEnv probeFile{"VELMORA_PROBE_FILE", probe.c_str()};

    // A pane bundle of the probe object at its own path (an object opened once stays opened).
    std::string probeBundle(const std::string& name) {
        test::PluginBundleBuilder builder(dir, name + ".plugin");
        builder.pane("Probe", "BasicPaneProbe", "BasicPane");
        std::string bundle = builder.path() + "/Contents/PlugIns/Probe.bundle";
        for (const auto& entry : fs::recursive_directory_iterator(builder.path()))
            ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
        return bundle;
    }
};

TEST_F(PlugInTrustTest, APlugInOthersCouldWriteIsRefusedBeforeItsCodeRuns) {
    int index = 0;
    for (const auto& c : kTamperings) {
        std::string bundle = probeBundle("case" + std::to_string(index++));
        std::string target = *c.path ? bundle + "/" + c.path : bundle;
        if (c.change(target) != 0) {
            // Only root can give a file away; other users test the modes alone.
            bool givingAway = std::string(c.reason) == "belongs to another user";
            if (::geteuid() == 0 || !givingAway)
                ADD_FAILURE() << c.label << ": the test cannot make the change here";
            continue;
        }
        auto result = PlugInBundleLoader::open(bundle, kPanePlugInAbiVersion, "pane");
        EXPECT_EQ(result.factory, nullptr) << c.label;
        EXPECT_THAT(result.error, HasSubstr("not safe to load")) << c.label;
        EXPECT_THAT(result.error,
                    HasSubstr(fs::path(target).lexically_normal().string() + " " + c.reason))
            << c.label;
        EXPECT_FALSE(fs::exists(probe)) << c.label << ": the object's constructor ran";
    }
}

TEST_F(PlugInTrustTest, ALinkCannotLeadTheLoaderToAnObjectOthersCouldWrite) {
    std::string bundle = probeBundle("linked");
    // The object others may write lies outside the bundle; the bundle's own name links to it.
    std::string planted = dir / "planted.so";
    fs::copy_file(bundle + "/Contents/Linux/BasicPaneProbe.so", planted);
    ::chmod(planted.c_str(), 0666);
    fs::remove(bundle + "/Contents/Linux/BasicPaneProbe.so");
    fs::create_symlink(planted, bundle + "/Contents/Linux/BasicPaneProbe.so");
    auto result = PlugInBundleLoader::open(bundle, kPanePlugInAbiVersion, "pane");
    EXPECT_EQ(result.factory, nullptr);
    EXPECT_THAT(result.error, HasSubstr(planted + " is writable by every user"));
    EXPECT_FALSE(fs::exists(probe));
}

TEST_F(PlugInTrustTest, APlugInOfThisUserLoadsAndFoldersAboveTheBundleAreNotJudged) {
    std::string bundle = probeBundle("mine");
    // The temporary folder around it may be shared, as /tmp is.
    addMode(dir.path(), S_IWOTH | S_ISVTX);
    auto result = PlugInBundleLoader::open(bundle, kPanePlugInAbiVersion, "pane");
    EXPECT_EQ(result.error, "");
    EXPECT_NE(result.factory, nullptr);
    EXPECT_TRUE(fs::exists(probe));
}

TEST_F(PlugInTrustTest, ThePasswordCodecOthersCouldWriteIsNotLoaded) {
    test::PluginBundleBuilder builder(dir, "Codec.plugin");
    builder.info("").encryptionLibrary();
    for (const auto& entry : fs::recursive_directory_iterator(builder.path()))
        ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
    addMode(builder.resources(), S_IWOTH);
    EncryptionBridge bridge;
    EXPECT_EQ(bridge.load(builder.resources()), -1);
    EXPECT_FALSE(bridge.isLoaded());
    ::chmod(builder.resources().c_str(), 0755);
    EXPECT_EQ(bridge.load(builder.resources()), 0);
}

TEST(CodeTrustTest, ThePathsJudgedRunFromTheBundleToTheObject) {
    EXPECT_EQ(CodeTrust::plugInPaths("/a/P.plugin/", "/a/P.plugin/Contents/Linux/p.so"),
              (std::vector<std::string>{"/a/P.plugin", "/a/P.plugin/Contents",
                                        "/a/P.plugin/Contents/Linux",
                                        "/a/P.plugin/Contents/Linux/p.so"}));
    // An object outside its bundle is judged with its own folder.
    EXPECT_EQ(CodeTrust::plugInPaths("/a/P.plugin", "/b/p.so"),
              (std::vector<std::string>{"/b", "/b/p.so"}));
}

} // namespace
} // namespace velmora
