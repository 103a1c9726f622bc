// What people have saved keeps working: files written by earlier versions (favorites, settings
// files, lpoptions lines, queue PPDs with server lists, a UI-settings file), each read through
// the command a person would use and compared whole with what was read when it was written.
// The files under tests/fixtures/stored never change; a new stored form adds files beside them.
#include "support/CommandRunner.h"
#include "support/PrivateCupsd.h"
#include "support/TempDir.h"

#include "platform/foundation/JsonReader.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/JobPackage.h"
#include "platform/printing/PressNames.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::shellQuote;

const std::string kCorpus = VELMORA_STORED_CORPUS;
const std::string kSample = std::string(VELMORA_PRESS_SOURCE) + "/SampleJob.pdf";

std::string loginName() {
    const passwd* pw = ::getpwuid(::getuid());
    return pw ? pw->pw_name : "";
}

void replaceAll(std::string& text, const std::string& placeholder, const std::string& value) {
    for (auto at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

// What was read when the corpus was written. A user id derived from the login was recorded as
// @LOGIN@ and stands for whoever runs the test; the folder of an installed favorite as
// @FAVORITES@.
Value recorded(const std::string& path, const std::string& favoritesFolder = "") {
    std::string text = test::readFile(path);
    replaceAll(text, "\"@LOGIN@\"", "\"" + loginName() + "\"");
    if (!favoritesFolder.empty())
        replaceAll(text, "\"@FAVORITES@/", "\"" + favoritesFolder + "/");
    std::string error;
    auto value = JsonReader::parse(text, &error);
    EXPECT_TRUE(value) << path << ": " << error;
    return value ? *value : Value();
}

// A deferred print time may be read as it was stored, or as now once the stored time has passed
// (the date picker takes no earlier time): the readings were recorded as @DEFERRED@, and a
// reading stands for it when it lies between the day the corpus was written and 31 days on from
// now.
void settleDeferredTimes(Value& value) {
    if (Array* array = value.array())
        for (Value& item : *array)
            settleDeferredTimes(item);
    Dictionary* dictionary = value.dictionary();
    if (!dictionary)
        return;
    Dictionary settled;
    for (const auto& [key, item] : *dictionary) {
        Value copy = item;
        settleDeferredTimes(copy);
        if (key.ends_with("DeferredPrintTime") && item.isString()) {
            long long seconds = std::atoll(item.stringValue().c_str());
            long long now = static_cast<long long>(std::time(nullptr));
            constexpr long long kCorpusWritten = 1796680000; // 2026-12-07
            if (seconds >= kCorpusWritten && seconds <= now + 31LL * 24 * 3600)
                copy = Value("@DEFERRED@");
        }
        settled.set(key, std::move(copy));
    }
    value = Value(std::move(settled));
}

// The first differences between two values, as paths, so a failure says what was read otherwise.
void collectDifferences(const Value& expected, const Value& actual, const std::string& path,
                        std::vector<std::string>& out) {
    if (out.size() >= 12 || expected == actual)
        return;
    if (expected.isDictionary() && actual.isDictionary()) {
        for (const auto& [key, value] : *expected.dictionary())
            collectDifferences(value, actual.dictionary()->get(key), path + "/" + key, out);
        for (const auto& [key, value] : *actual.dictionary())
            if (!expected.dictionary()->contains(key))
                out.push_back(path + "/" + key + ": not recorded, now " + value.toJson());
        return;
    }
    if (expected.isArray() && actual.isArray() &&
        expected.array()->size() == actual.array()->size()) {
        for (std::size_t i = 0; i < expected.array()->size(); ++i)
            collectDifferences((*expected.array())[i], (*actual.array())[i],
                               path + "/" + std::to_string(i), out);
        return;
    }
    out.push_back(path + ": recorded " + expected.toJson() + ", now " + actual.toJson());
}

std::string differences(const Value& expected, const Value& actual) {
    std::vector<std::string> found;
    collectDifferences(expected, actual, "", found);
    std::string text;
    for (const auto& line : found)
        text += "\n  " + line;
    return text;
}

// A session's reading recorded before the queue's PPD named the output tray, colour and media
// type for print clients: the same settings, with the PPD's choices under today's names.
Value inTodaysQueueNames(const Value& recording) {
    static ppd_file_t* queue = ppdOpenFile(VELMORA_QUEUE_PPD);
    const Dictionary* all = recording.dictionary();
    const Dictionary* settings = all ? all->get("printSettings").dictionary() : nullptr;
    const Dictionary* ppd = settings ? settings->get("ppd").dictionary() : nullptr;
    if (!ppd)
        return recording;
    Dictionary renamed = *settings;
    renamed.set("ppd", Value(PressNames(queue).inPpdNames(*ppd)));
    Dictionary result = *all;
    result.set("printSettings", Value(std::move(renamed)));
    return Value(std::move(result));
}

// What of a panel session stands for the settings it read.
Value sessionSettings(const Value& output) {
    Dictionary kept;
    if (const Dictionary* all = output.dictionary())
        for (const char* key : {"favorite", "jobName", "summary", "printSettings"})
            kept.set(key, all->get(key));
    return Value(std::move(kept));
}

Value job(const Value& output) {
    return output.dictionary() ? output.dictionary()->get("options") : Value();
}

struct StoredFile {
    std::string file;     // below the corpus folder
    std::string recorded; // what was read from it, below the corpus folder
    // The velmora arguments that read it; {file} is the file's path, {name} its stem.
    std::string arguments;
    std::function<Value(const Value&)> part = [](const Value& output) { return output; };
    bool installAsFavorite = false;
};

void PrintTo(const StoredFile& stored, std::ostream* out) {
    *out << stored.file << " read by velmora " << stored.arguments;
}

// Test names in ASCII: a stored name in another script is written by its bytes.
std::string nameOf(const StoredFile& stored) {
    static const char* hex = "0123456789abcdef";
    std::string name;
    for (unsigned char c : stored.recorded)
        if (std::isalnum(c))
            name += static_cast<char>(c);
        else if (c < 0x80)
            name += '_';
        else
            name += std::string(1, hex[c >> 4]) + hex[c & 15];
    return name;
}

// Every stored file of the corpus, with how a person reads it.
std::vector<StoredFile> corpus() {
    std::vector<StoredFile> files;
    std::vector<fs::path> favorites, settings, lists;
    // A missing folder gives no cases (and the count check below fails), not an exception while
    // the tests are registered.
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(kCorpus + "/favorites", code))
        if (entry.path().extension() == ".pfj")
            favorites.push_back(entry.path());
    for (const auto& entry : fs::directory_iterator(kCorpus + "/settings", code))
        if (!entry.path().string().ends_with(".session.json"))
            settings.push_back(entry.path());
    for (const auto& entry : fs::directory_iterator(kCorpus + "/ppd", code))
        if (entry.path().string().ends_with(".list.json"))
            lists.push_back(entry.path());
    std::sort(favorites.begin(), favorites.end());
    std::sort(settings.begin(), settings.end());
    std::sort(lists.begin(), lists.end());
    for (const auto& path : favorites) {
        std::string stem = "favorites/" + path.stem().string();
        files.push_back({stem + ".pfj", stem + ".show.json", "favorite show {file}"});
        files.push_back({stem + ".pfj", stem + ".session.json", "panel --lang en --favorite {name}",
                         sessionSettings, true});
    }
    for (const auto& path : settings) {
        std::string stem = "settings/" + path.stem().string();
        files.push_back({stem + ".json", stem + ".session.json",
                         "panel --lang en --settings {file}", sessionSettings});
    }
    files.push_back({"ppd/VelmoraPress.ppd", "ppd/VelmoraPress.ppd.json", "ppd {file}"});
    for (const auto& path : lists) {
        std::string list = path.filename().string();
        list.resize(list.size() - std::string(".list.json").size());
        files.push_back(
            {"ppd/VelmoraPress.ppd", "ppd/" + list + ".list.json", "ppd-list {file} " + list});
    }
    files.push_back({"ui/UISettings.plist", "ui/UISettings.plist.json", "ui {file}"});
    return files;
}

class StoredDataTest : public ::testing::TestWithParam<StoredFile> {
protected:
    test::TempDir dir;
    test::ScopedEnv home{"HOME", (dir / "home").c_str()};
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv language{"LANGUAGE", "en"};

    Value velmora(const std::string& arguments) {
        auto result = test::runVelmora(arguments, dir / "err");
        EXPECT_EQ(result.status, 0) << arguments << "\n" << test::readFile(dir / "err");
        std::string error;
        auto parsed = JsonReader::parse(result.out, &error);
        EXPECT_TRUE(parsed) << arguments << ": " << error;
        return parsed ? *parsed : Value();
    }

    // The user's favorites folder, as velmora makes it.
    std::string favoritesFolder() {
        dir.write("probe.json", R"({"ColorMode":"Gray"})");
        Value saved = velmora("favorites save Probe < " + shellQuote(dir / "probe.json"));
        std::string path = saved.dictionary() ? saved.dictionary()->get("path").stringValue() : "";
        fs::remove(path);
        return fs::path(path).parent_path().string();
    }
};

TEST_P(StoredDataTest, ReadsAsWhenItWasWritten) {
    const StoredFile& stored = GetParam();
    std::string path = kCorpus + "/" + stored.file;
    std::string name = fs::path(path).stem().string();
    std::string folder;
    if (stored.installAsFavorite) {
        folder = favoritesFolder();
        ASSERT_FALSE(folder.empty());
        fs::copy_file(path, folder + "/" + fs::path(path).filename().string());
    }
    std::string arguments = stored.arguments;
    for (auto [field, value] : {std::pair<std::string, std::string>{"{file}", shellQuote(path)},
                                {"{name}", shellQuote(name)}})
        if (auto at = arguments.find(field); at != std::string::npos)
            arguments.replace(at, field.size(), value);
    // A session's settings are compared as its settings file keeps them: the report it prints
    // shows the passwords as stars.
    bool session = arguments.starts_with("panel ");
    std::string written = dir / "written.json";
    if (session)
        arguments += " --output " + shellQuote(written);
    Value expected = recorded(kCorpus + "/" + stored.recorded, folder);
    if (session)
        expected = inTodaysQueueNames(expected);
    Value output = velmora(arguments);
    Value actual = stored.part(output);
    if (session) {
        auto file = JsonReader::parse(test::readFile(written));
        ASSERT_TRUE(file && file->dictionary() && output.dictionary()) << arguments;
        const Value& printed = output.dictionary()->get("printSettings");
        ASSERT_TRUE(printed.dictionary() && printed.dictionary()->get("ticket").dictionary());
        const Dictionary& shown = *printed.dictionary()->get("ticket").dictionary();
        for (const auto& [key, value] : *file->dictionary()->get("ticket").dictionary())
            EXPECT_EQ(shown.get(key), JobOptions::isSecret(key) && !value.stringValue().empty()
                                          ? Value("********")
                                          : value)
                << key;
        Dictionary kept = *actual.dictionary();
        kept.set("printSettings", *file);
        actual = Value(std::move(kept));
    }
    settleDeferredTimes(actual);
    EXPECT_TRUE(expected == actual)
        << "velmora " << arguments << " reads " << stored.file << " otherwise than "
        << stored.recorded << ":" << differences(expected, actual);
}

TEST(StoredCorpusTest, EveryKindOfStoredFileIsThere) {
    auto files = corpus();
    auto count = [&](const std::string& folder) {
        return std::count_if(files.begin(), files.end(), [&](const StoredFile& stored) {
            return stored.file.starts_with(folder + "/");
        });
    };
    EXPECT_EQ(count("favorites"), 10);
    EXPECT_EQ(count("settings"), 3);
    EXPECT_EQ(count("ppd"), 30);
    EXPECT_EQ(count("ui"), 1);
}

INSTANTIATE_TEST_SUITE_P(Corpus, StoredDataTest, ::testing::ValuesIn(corpus()),
                         [](const auto& info) { return nameOf(info.param); });

// Saved defaults and a favorite's instance in lpoptions start the next job with the same options,
// in each form lpoptions was written in.
class StoredLpoptionsTest : public ::testing::TestWithParam<std::string> {};

TEST_P(StoredLpoptionsTest, TheNextJobCarriesTheOptionsRecordedForEachDestination) {
    const std::string folder = kCorpus + "/" + GetParam();
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv cache{"XDG_CACHE_HOME", (dir / "cache").c_str()};
    test::ScopedEnv language{"LANGUAGE", "en"};
    test::PrivateCupsd cupsd{dir};
    if (!cupsd.running())
        GTEST_SKIP() << "cupsd did not start here";
    std::string ppd = test::readFile(kCorpus + "/ppd/VelmoraPress.ppd");
    auto filter = ppd.find(" 0 velmora-command\"");
    ASSERT_NE(filter, std::string::npos);
    ppd.replace(filter, 19, " 0 /bin/cat\"");
    // The queue as this velmora sets it up takes the press's job packages.
    ppd.insert(ppd.find("*cupsFilter2"), std::string("*cupsFilter2: \"") + JobPackage::kMimeType +
                                             " " + JobPackage::kMimeType + " 0 /bin/cat\"\n");
    std::string out = cupsd.addQueue("VelmoraPress", dir.write("queue.ppd", ppd),
                                     "file://" + cupsd.root() + "/out/VelmoraPress.out");
    CupsConnection cups;
    auto connected = cups.connect();
    ASSERT_TRUE(connected) << connected.error();
    ASSERT_TRUE(cups.hasDestination("VelmoraPress")) << out;
    // libcups reads the user's own lpoptions after the machine's.
    std::string home = std::getenv("HOME");
    fs::create_directories(home + "/.cups");
    fs::copy_file(folder + "/lpoptions", home + "/.cups/lpoptions");

    for (std::string destination : {"VelmoraPress", "VelmoraPress/Proofs"}) {
        // The recorded options hold Secure Print, whose PIN is never saved: the job is given
        // one, and passwords are compared apart (they are printed as stars).
        auto result = test::runVelmora("print " + shellQuote(kSample) + " --no-gui -d " +
                                           destination + " --set SecPrintPassword=1357",
                                       dir / "err");
        ASSERT_EQ(result.status, 0) << test::readFile(dir / "err");
        auto printed = JsonReader::parse(result.out);
        ASSERT_TRUE(printed) << result.out;
        std::string file = destination;
        std::replace(file.begin(), file.end(), '/', '-');
        Value expected = recorded(folder + "/" + file + ".options.json");
        Value actual = job(*printed);
        for (Value* options : {&expected, &actual})
            if (const Dictionary* all = options->dictionary())
                *options = Value(JobOptions::withoutSecrets(*all));
        ASSERT_TRUE(job(*printed).dictionary()) << result.out;
        EXPECT_EQ(job(*printed).dictionary()->get(JobOptions::kEntryPrefix +
                                                  std::string("SecPrintPassword")),
                  Value("********"));
        settleDeferredTimes(actual);
        EXPECT_TRUE(expected == actual)
            << destination << " starts otherwise than recorded:" << differences(expected, actual);
    }
}

// The first form, with the panel's entries under their long keys; the second, with short keys
// and the queue's own line without the PPD's defaults.
INSTANTIATE_TEST_SUITE_P(Corpus, StoredLpoptionsTest, ::testing::Values("lpoptions", "lpoptions-2"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace velmora
