#pragma once

// A test with a CUPS scheduler of its own on the loopback, the sample press as one of its queues
// whose device is a file, and velmora run against it.
#include "support/CommandRunner.h"
#include "support/PrivateCupsd.h"
#include "support/TempDir.h"

#include "platform/foundation/JsonReader.h"
#include "platform/printing/CupsConnection.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>

namespace velmora::test {

inline const std::string kSample = std::string(VELMORA_PRESS_SOURCE) + "/SampleJob.pdf";

// The device file of a queue: what the press was sent.
inline std::string deviceFile(const PrivateCupsd& cupsd, const std::string& queue) {
    return cupsd.root() + "/out/" + queue + ".out";
}

class CupsQueueTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    ScopedEnv cache{"XDG_CACHE_HOME", (dir / "cache").c_str()};
    ScopedEnv language{"LANGUAGE", "en"};
    PrivateCupsd cupsd{dir};
    CupsConnection cups;

    void SetUp() override {
        if (!cupsd.running())
            GTEST_SKIP() << "cupsd did not start here: "
                         << readFile(cupsd.root() + "/log/cupsd.out");
        auto connected = cups.connect();
        ASSERT_TRUE(connected) << connected.error();
    }

    // The sample press's queue PPD with the press's filter where this scheduler runs it, and
    // changes of a test's own.
    std::string queuePpd(const std::string& name, const std::string& extraLines = "",
                         const std::string& removedOption = "") {
        std::string text = readFile(VELMORA_QUEUE_PPD);
        for (auto [name, built] : {std::pair{"velmora-command", VELMORA_COMMAND_FILTER},
                                   std::pair{"velmora-package", VELMORA_PACKAGE_FILTER}}) {
            std::string filter = cupsd.programFolder() + "/" + name;
            if (!std::filesystem::exists(filter)) {
                std::filesystem::copy_file(built, filter);
                ::chmod(filter.c_str(), 0755);
            }
            text = std::regex_replace(text, std::regex(std::string(" 0 ") + name + "\""),
                                      " 0 " + filter + "\"");
        }
        text.insert(text.find("*cupsFilter2"), extraLines);
        if (!removedOption.empty()) {
            auto open = text.find("*OpenUI *" + removedOption + "/");
            auto close = text.find("*CloseUI: *" + removedOption + "\n", open);
            text.erase(open, close + removedOption.size() + 12 - open);
            text = std::regex_replace(
                text, std::regex("\\*UIConstraints:[^\\n]*\\*" + removedOption + "\\b[^\\n]*\\n"),
                "");
        }
        return dir.write(name + ".ppd", text);
    }
    void addQueue(const std::string& name, const std::string& ppd) {
        std::string out =
            cupsd.addQueue(name, ppd, "file://" + cupsd.root() + "/out/" + name + ".out");
        ASSERT_TRUE(cups.hasDestination(name)) << out;
    }
    Dictionary run(const std::string& arguments, int status = 0) {
        auto result = runVelmora(arguments, dir / "err");
        EXPECT_EQ(result.status, status) << arguments << "\n" << readFile(dir / "err");
        auto parsed = JsonReader::parse(result.out);
        return parsed && parsed->dictionary() ? *parsed->dictionary() : Dictionary();
    }
    std::string errors() { return readFile(dir / "err"); }
    // What the scheduler logged about a job.
    std::string jobLog(int job) {
        std::string tag = "[Job " + std::to_string(job) + "]", log = cupsd.errorLog(), lines;
        std::istringstream in(log);
        for (std::string line; std::getline(in, line);)
            if (line.find(tag) != std::string::npos && line.find("envp[") == std::string::npos)
                lines += line + "\n";
        return lines;
    }
};

} // namespace velmora::test
