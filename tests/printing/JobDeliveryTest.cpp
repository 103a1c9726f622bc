// The queue PPDs kept in the user's cache and the embedded press's job folders: where they go,
// what their names become, and who may read them.
#include "support/TempDir.h"

#include "platform/foundation/JsonReader.h"
#include "platform/printing/EmbeddedJobStore.h"
#include "platform/printing/JobDelivery.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/JobPackage.h"
#include "platform/printing/PpdCache.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace velmora {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Never a shared folder: a relative or empty setting is passed over for the next one.
TEST(PpdCacheTest, TheCacheIsTheUsersOwnFolder) {
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    struct Case {
        const char *cache, *home;
        std::string folder;
    } cases[] = {{"/x/cache", "/x/home", "/x/cache"},
                 {"relative", "/x/home", "/x/home/.cache"},
                 {"", "/x/home", "/x/home/.cache"},
                 {nullptr, nullptr, std::string(user->pw_dir) + "/.cache"},
                 {nullptr, "home", std::string(user->pw_dir) + "/.cache"}};
    for (const auto& [cache, home, folder] : cases) {
        test::ScopedEnv cacheHome{"XDG_CACHE_HOME", cache};
        test::ScopedEnv homeFolder{"HOME", home};
        EXPECT_EQ(PpdCache::userCacheFolder(), std::optional<std::string>(folder))
            << (cache ? cache : "(unset)") << " " << (home ? home : "(unset)");
    }
}

// One copy per scheduler and queue, under names that stay one plain file name.
TEST(PpdCacheTest, EachSchedulerAndQueueHasItsOwnCopyInAClosedFolder) {
    const std::pair<std::string, std::string> names[] = {
        {"VelmoraPress", "VelmoraPress"}, {"127.0.0.1:631", "127.0.0.1%3A631"},
        {"../up", "%2E.%2Fup"},           {".hidden", "%2Ehidden"},
        {"a b/c", "a%20b%2Fc"},
    };
    for (const auto& [name, file] : names)
        EXPECT_EQ(PpdCache::fileNamePart(name), file) << name;

    test::TempDir dir;
    test::ScopedEnv cacheHome{"XDG_CACHE_HOME", dir.path().c_str()};
    test::ScopedEnv server{"CUPS_SERVER", "127.0.0.1:6310"};
    CupsConnection cups;
    auto entry = PpdCache::entry(cups, "Press/Q");
    ASSERT_TRUE(entry) << entry.error();
    fs::path folder = fs::path(entry->path).parent_path();
    EXPECT_EQ(folder.parent_path(), fs::path(dir / "velmora/ppd"));
    EXPECT_EQ(fs::path(entry->path).filename(), "Press%2FQ.ppd");
    EXPECT_EQ(modeOf(folder.string()), 0700u);
    EXPECT_EQ(entry->modified, 0); // nothing cached yet: the scheduler is asked for all of it
}

// Each job in a folder of its own that only the user may read, holding the job package with
// every document of the job; a job that cannot be stored leaves no folder behind.
TEST(EmbeddedJobStoreTest, JobsAreNumberedPrivatePackagesOfEveryDocument) {
    test::TempDir dir;
    std::string a = dir.write("a/same.pdf", "%PDF-1.4 first"),
                b = dir.write("b/same.pdf", "%PDF-1.4 second");
    PressTicket ticket;
    ticket.jobId = "j1";
    ticket.options = {{"ColorMode", "Gray"}};
    auto first =
        EmbeddedJobStore::store(dir / "jobs", ticket, {{a, "same.pdf"}, {b, "same.pdf"}}, nullptr);
    ASSERT_TRUE(first) << first.error();
    EXPECT_EQ(first->id, 1);
    const std::string& where = first->folder;
    EXPECT_EQ(where, dir / "jobs/job-1");
    EXPECT_EQ(modeOf(where), 0700u);
    std::string package = where + "/" + EmbeddedJobStore::kPackageName;
    EXPECT_EQ(modeOf(package), 0600u);
    auto stored = JobPackage::open(package);
    ASSERT_TRUE(stored) << stored.error();
    ASSERT_EQ(stored->ticket().documents.size(), 2u);
    auto firstBytes = stored->documentBytes(0, 100), secondBytes = stored->documentBytes(1, 100);
    ASSERT_TRUE(firstBytes && secondBytes) << firstBytes.error() << secondBytes.error();
    EXPECT_EQ(*firstBytes, "%PDF-1.4 first");
    EXPECT_EQ(*secondBytes, "%PDF-1.4 second");
    EXPECT_EQ(stored->ticket().options, ticket.options);

    auto second = EmbeddedJobStore::store(dir / "jobs", ticket, {{a, "a"}}, nullptr);
    ASSERT_TRUE(second) << second.error();
    EXPECT_EQ(second->id, 2);
    for (const std::string& bad : {dir / "missing.pdf", dir.write("notes.txt", "plain text")}) {
        auto refused = EmbeddedJobStore::store(dir / "jobs", ticket, {{bad, "x"}}, nullptr);
        ASSERT_FALSE(refused) << bad;
        EXPECT_NE(refused.error().find(bad), std::string::npos) << refused.error();
        EXPECT_FALSE(fs::exists(dir / "jobs/job-3")) << "a half-stored job was left behind";
    }
}

// A job for the embedded press goes into its own folder as the package a queue would receive,
// with the options its snapshot gives, and the result says where; passwords are shown as stars.
TEST(JobDeliveryTest, TheEmbeddedPressKeepsThePackageOfTheSnapshotsOptions) {
    test::TempDir dir;
    auto destination = JobDelivery::embedded(VELMORA_PLUGIN_DIR, VELMORA_QUEUE_PPD);
    EXPECT_EQ(destination.displayName(), JobDelivery::kEmbeddedDestinationName);
    const std::string userName = JobOptions::kEntryPrefix + std::string("UserName");
    const std::string pin = JobOptions::kEntryPrefix + std::string("SecPrintPassword");
    Dictionary snapshot{
        {"ppd", Value(Dictionary{{"ColorModel", Value("Gray")}})},
        {"ticket", Value(Dictionary{{userName, Value("Anna")}, {pin, Value("6BF62ABF")}})},
        {"host", Value(Dictionary{{"copies", Value(std::int64_t{3})}})}};
    std::string document = dir.write("doc.pdf", "%PDF-1.4");
    JobDelivery::Request request{{document}, "Proofs", dir / "jobs", false};
    CupsConnection cups;
    auto result = JobDelivery::deliver(cups, destination, snapshot, request);
    ASSERT_TRUE(result) << result.error();
    EXPECT_EQ(result->get("job"), Value(1));
    EXPECT_EQ(result->get("folder"), Value(dir / "jobs/job-1"));
    const Dictionary& options = *result->get("options").dictionary();
    EXPECT_EQ(options.get("ColorModel"), Value("Gray"));
    EXPECT_EQ(options.get("copies"), Value("3"));
    EXPECT_EQ(options.get(userName), Value("Anna"));
    EXPECT_EQ(options.get(pin), Value("********"));

    auto package = JobPackage::open(result->get("package").stringValue());
    ASSERT_TRUE(package) << package.error();
    const PressTicket& ticket = package->ticket();
    EXPECT_EQ(ticket.jobName, "Proofs");
    EXPECT_EQ(ticket.copies, 3);
    EXPECT_EQ(ticket.options.at("ColorModel"), "Gray");
    EXPECT_EQ(ticket.options.at("UserName"), "Anna");
    EXPECT_EQ(ticket.options.at("SecPrintPassword"), "6BF62ABF"); // for the press alone
    EXPECT_EQ(ticket.options.at("StapleMode"), "None");           // the PPD's default

    request.files = {dir / "missing.pdf"};
    auto refused = JobDelivery::deliver(cups, destination, snapshot, request);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("cannot be read"), std::string::npos) << refused.error();
    EXPECT_FALSE(fs::exists(dir / "jobs/job-2"));
}

} // namespace
} // namespace velmora
