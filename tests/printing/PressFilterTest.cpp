// The press's filter runs inside the scheduler for every command job, and the scheduler acts on
// what it writes to standard error. Whatever a printing user puts in a command file and whatever
// a print server answers, each line must stay one bounded, printable message of a known kind.
#include "support/SoapAnswers.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include "platform/printing/CommandFile.h"
#include "platform/printing/FilterMessage.h"
#include "webservice/ListRefreshRequest.h"
#include "webservice/ServerListSource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <streambuf>

namespace velmora {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Why a line the filter wrote could be misread by the scheduler; empty when it is sound.
std::string unsoundLine(const std::string& line) {
    if (line.size() + 1 >= FilterMessage::kMaxLineBytes) // with its newline
        return "longer than the bound";
    for (char c : line)
        if (c < 0x20 || c > 0x7e)
            return "holds a control or non-ASCII byte";
    for (const char* prefix : {"DEBUG: ", "INFO: ", "WARNING: ", "ERROR: ", "PPD: "})
        if (line.starts_with(prefix))
            return "";
    return "has no known prefix";
}

void expectSoundMessages(const std::string& output, const std::string& label) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("=="))
            continue; // the sanitizers' own report, if any, fails elsewhere
        EXPECT_EQ(unsoundLine(line), "") << label << ": " << line.substr(0, 200);
    }
    EXPECT_TRUE(output.empty() || output.back() == '\n') << label;
}

// ---- The message writer ----

TEST(FilterMessageTest, NoTextCanStartASecondMessageOrBreakTheBound) {
    const std::string hostile[] = {
        std::string(2022, 'A') + "PPD:DefaultColorMode=Gray\vDefaultPageSize=Letter",
        "name\nPPD: DefaultColorMode=Gray",
        "name\rPPD: X=Y",
        std::string("\x7f\x01\x1b[2J\xe3\x81\x82", 9),
        std::string(100000, '\v'),
        "",
    };
    for (const auto& text : hostile) {
        for (auto level : {FilterMessage::Level::Debug, FilterMessage::Level::Error}) {
            std::string line = FilterMessage::line(level, text);
            ASSERT_FALSE(line.empty());
            EXPECT_EQ(line.back(), '\n');
            EXPECT_EQ(line.find('\n'), line.size() - 1);
            EXPECT_EQ(unsoundLine(line.substr(0, line.size() - 1)), "") << line.substr(0, 80);
        }
        std::string quoted = FilterMessage::quoted(text, 80);
        EXPECT_LE(quoted.size(), 80u + 5);
        EXPECT_EQ(unsoundLine("DEBUG: " + quoted), "");
    }
    EXPECT_EQ(FilterMessage::line(FilterMessage::Level::Info, "3 of 4"), "INFO: 3 of 4\n");
    EXPECT_EQ(FilterMessage::quoted("a\"b\\c\vd"), "\"a\\x22b\\x5Cc\\x0Bd\"");
    EXPECT_EQ(FilterMessage::quoted(std::string(100, 'N'), 20),
              "\"" + std::string(19, 'N') + "...\"");
}

TEST(FilterMessageTest, PpdKeywordsAreWrittenOnlyWhenTheirLineIsAPlainPpdLine) {
    std::size_t room = FilterMessage::maxPpdValueBytes("VelmoraListsFailed");
    EXPECT_EQ(1 + 18 + 2 + 2 + room, FilterMessage::kMaxPpdLineBytes);
    struct Case {
        std::string keyword, value;
        bool written;
    };
    const Case cases[] = {
        {"VelmoraListsFailed", "", true},
        {"VelmoraListsFailed", std::string(room, 'x'), true},
        {"VelmoraListsFailed", std::string(room + 1, 'x'), false},
        {"Font0000", "eJzT0yMAAGTvBe8=", true},
        {"VelmoraListsFailed", "it's", false},
        {"VelmoraListsFailed", "say \"x\"", false},
        {"VelmoraListsFailed", "back\\slash", false},
        {"VelmoraListsFailed", "a\vDefaultColorMode=Gray", false},
        {"VelmoraListsFailed", "a\nPPD: X=Y", false},
        {"Default ColorMode", "Gray", false},
        {"X=Y Z", "Gray", false},
        {"cupsFilter2", "x", false},
        {"CUPSFilter2", "x", false},
        {"", "x", false},
        {std::string(41, 'K'), "x", false},
    };
    for (const auto& c : cases) {
        auto message = FilterMessage::ppdKeyword(c.keyword, c.value);
        EXPECT_EQ(message.has_value(), c.written) << c.keyword << " " << c.value.substr(0, 40);
        if (message) {
            EXPECT_EQ(*message, "PPD: " + c.keyword + "='\"" + c.value + "\"'\n");
        }
    }
}

// ---- What a command file asks for ----

TEST(ListRefreshRequestTest, OnlyThePresssListsAreTakenEachOnceAndTheRestToldInFewLines) {
    std::string file = "#CUPS-COMMAND\n" + std::string(2022, 'A') +
                       "PPD:DefaultColorMode=Gray\vDefaultPageSize=Letter\n"
                       "ReportLevels Font DeviceList Font NoSuchList " +
                       std::string(300, 'N') + "\nReportLevels DeviceList FeederInfoList\n";
    for (int i = 0; i < 20; ++i)
        file += "Other" + std::to_string(i) + "\n";
    auto request = ListRefreshRequest::parse(file);
    EXPECT_EQ(request.lists, (std::vector<std::string>{"Font", "DeviceList", "FeederInfoList"}));
    ASSERT_EQ(request.skipped.size(), ListRefreshRequest::kMaxSkippedLines + 1);
    for (const auto& line : request.skipped) {
        EXPECT_EQ(unsoundLine(line.substr(0, line.size() - 1)), "");
        EXPECT_LT(line.size(), 200u);
    }
    EXPECT_THAT(request.skipped[0], HasSubstr("AAA...\" is not a command of this press"));
    EXPECT_THAT(request.skipped[1], HasSubstr("\"NoSuchList\" is not a list of this press"));
    EXPECT_THAT(request.skipped.back(), HasSubstr("13 more commands or names skipped"));
}

TEST(ListRefreshRequestTest, TheFailureSummaryFitsOnePpdLineAndSaysHowManyFailed) {
    std::size_t room = FilterMessage::maxPpdValueBytes("VelmoraListsFailed");
    std::vector<ListRefreshRequest::Failure> failures;
    for (const auto& name : ServerListSource::listNames())
        failures.push_back({name, "Failed to connect to 127.0.0.1 port 1: Connection refused, "
                                  "the server's \"answer\"\v" +
                                      std::string(2000, 'x')});
    std::string summary = ListRefreshRequest::failureSummary(failures, failures.size(), room);
    EXPECT_LE(summary.size(), room);
    std::string all = std::to_string(failures.size());
    EXPECT_TRUE(
        summary.starts_with(all + " of " + all + " lists failed: CMYKInputProfileFile-ICC (Failed"))
        << summary;
    EXPECT_TRUE(summary.ends_with("; ...")) << summary;
    EXPECT_TRUE(FilterMessage::ppdKeyword("VelmoraListsFailed", summary)) << summary;

    EXPECT_EQ(ListRefreshRequest::failureSummary({{"Font", "timed out"}}, 3, room),
              "1 of 3 lists failed: Font (timed out)");
    EXPECT_EQ(ListRefreshRequest::failureSummary({}, 3, room), "");
}

// ---- Reading the command file ----

// A stream of endless bytes that counts what was taken from it.
class EndlessBuffer : public std::streambuf {
public:
    std::size_t taken = 0;

protected:
    int_type underflow() override {
        setg(_chunk, _chunk, _chunk + sizeof _chunk);
        taken += sizeof _chunk;
        return traits_type::to_int_type(_chunk[0]);
    }

private:
    char _chunk[4096] = {'R'};
};

TEST(CommandFileTest, AFileOverTheLimitIsRefusedAfterReadingJustPastIt) {
    for (std::size_t size : {std::size_t(0), CommandFile::kMaxBytes - 1, CommandFile::kMaxBytes}) {
        std::istringstream in(std::string(size, 'x'));
        auto text = CommandFile::read(in);
        ASSERT_TRUE(text) << size << text.error();
        EXPECT_EQ(text->size(), size);
    }
    std::istringstream over(std::string(CommandFile::kMaxBytes + 1, 'x'));
    auto refused = CommandFile::read(over);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error(), "the command file is larger than 64 KiB");

    EndlessBuffer endless;
    std::istream in(&endless);
    EXPECT_FALSE(CommandFile::read(in));
    EXPECT_LE(endless.taken, CommandFile::kMaxBytes + 8192);
}

// ---- The filter as the scheduler runs it ----

struct FilterRun {
    int status = -1;
    std::string messages; // standard error
    double seconds = 0;
    long peakKiB = 0;
};

// Runs the filter with the scheduler's arguments, the command file as argument 6 and PPD set.
FilterRun runFilter(const std::string& commandFile, const std::string& ppd,
                    const test::TempDir& dir) {
    std::string errors = dir / "filter.err";
    auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        ::setenv("PPD", ppd.c_str(), 1);
        ::unsetenv("DEVICE_URI");
        ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        ::execl(VELMORA_COMMAND_FILTER, "velmora-command", "1", "user", "title", "1", "",
                commandFile.c_str(), nullptr);
        ::_exit(127);
    }
    FilterRun run;
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    run.messages = test::readFile(errors);
    return run;
}

class PressFilterTest : public ::testing::Test {
protected:
    test::TempDir dir;

    std::string queuePpd(const std::string& server, int timeoutSeconds) {
        std::string text = test::readFile(VELMORA_QUEUE_PPD);
        text.insert(text.find("*cupsFilter2"), "*VelmoraPrintServer: \"" + server +
                                                   "\"\n*VelmoraPrintServerTimeout: \"" +
                                                   std::to_string(timeoutSeconds) + "\"\n");
        return dir.write("queue.ppd", text);
    }
};

TEST_F(PressFilterTest, ACommandFileOverTheLimitEndsWithAClearErrorInBoundedMemory) {
    std::string ppd = queuePpd("127.0.0.1:1", 1);
    struct Case {
        const char* label;
        off_t size;
    };
    // What the filter takes for a file just over the limit is its bound: a file 1,400 times
    // larger may not take more than a few MiB beyond it (the sanitizers' own memory is the same
    // for both).
    long smallestPeakKiB = 0;
    for (const Case& c : {Case{"70 KB", 70 * 1000}, Case{"100 MB", 100 * 1000 * 1000}}) {
        std::string file = dir / "commands";
        int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(::ftruncate(fd, c.size), 0);
        ::close(fd);
        FilterRun run = runFilter(file, ppd, dir);
        EXPECT_EQ(run.status, 1) << c.label;
        EXPECT_THAT(run.messages,
                    HasSubstr("ERROR: velmora-command: the command file is larger than 64 KiB"))
            << c.label;
        EXPECT_THAT(run.messages, Not(HasSubstr("PPD:"))) << c.label;
        if (!smallestPeakKiB)
            smallestPeakKiB = run.peakKiB;
        EXPECT_LT(run.peakKiB, smallestPeakKiB + 8 * 1024) << c.label;
        EXPECT_LT(run.peakKiB, 200 * 1024) << c.label;
        EXPECT_LT(run.seconds, 10) << c.label;
        expectSoundMessages(run.messages, c.label);
    }
}

TEST_F(PressFilterTest, ThousandsOfRepeatedNamesFinishWithinTheQueuesOneBudget) {
    test::TestHttpServer silent([](const test::HttpRequest&) {
        return test::HttpResponse{200, {}, "", 4000};
    });
    std::string ppd = queuePpd("127.0.0.1:" + std::to_string(silent.port()), 1);
    std::string file = "#CUPS-COMMAND\n";
    std::string line = "ReportLevels";
    for (std::size_t i = 0; i < CommandFile::kMaxArguments; ++i)
        line += " Font";
    std::size_t names = 0;
    while (file.size() + line.size() + 1 < CommandFile::kMaxBytes - 1000)
        file += line + "\n", names += CommandFile::kMaxArguments;
    for (const auto& name : ServerListSource::listNames())
        file += "ReportLevels " + name + "\n";
    ASSERT_GE(names, 12000u);
    FilterRun run = runFilter(dir.write("commands", file), ppd, dir);
    EXPECT_EQ(run.status, 0) << run.messages;
    // One budget of one second for all the lists, not a time-out for each of 12,000 names.
    EXPECT_LT(run.seconds, 4) << run.messages;
    std::string all = std::to_string(ServerListSource::listNames().size());
    EXPECT_THAT(run.messages,
                HasSubstr("PPD: VelmoraListsFailed='\"" + all + " of " + all + " lists failed: "));
    EXPECT_THAT(run.messages, HasSubstr("INFO: velmora-command: 0 of " + all + " lists refreshed"));
    expectSoundMessages(run.messages, "repeated names");
}

TEST_F(PressFilterTest, AServersLongFaultOrHugeListWritesNoKeywordOfItsOwn) {
    std::string fault = std::string(2000, 'A') +
                        "PPD:DefaultColorMode=Gray DefaultPageSize=Letter VelmoraPrintServer=evil";
    std::string record = test::soap::record({{"Number", std::string(100 * 1000, '7')}});
    std::string huge;
    for (int i = 0; i < 200; ++i)
        huge += record;
    test::TestHttpServer server([&](const test::HttpRequest& request) {
        test::HttpResponse response{200, {{"Content-Type", "text/xml; charset=utf-8"}}, ""};
        if (request.body.find("getFeederInfoList") != std::string::npos) {
            response.body =
                test::soap::response("getFeederInfoListResponse",
                                     "<ary d=\"0\">" + huge + "</ary>" + test::soap::status("OK"));
        } else {
            response.status = 500;
            response.body =
                test::soap::envelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>" +
                                     fault + "</faultstring></soap:Fault>");
        }
        return response;
    });
    std::string ppd = queuePpd("127.0.0.1:" + std::to_string(server.port()), 60);
    FilterRun run = runFilter(
        dir.write("commands", "#CUPS-COMMAND\nReportLevels FeederInfoList Font\n"), ppd, dir);
    EXPECT_EQ(run.status, 0) << run.messages.substr(0, 2000);
    expectSoundMessages(run.messages, "fault and huge list");
    std::istringstream lines(run.messages);
    std::vector<std::string> keywords;
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("PPD: "))
            keywords.push_back(line.substr(5, line.find('=') - 5));
    // Neither list is written: only the note of what failed.
    EXPECT_EQ(keywords, std::vector<std::string>{"VelmoraListsFailed"}) << run.messages;
    EXPECT_THAT(run.messages, HasSubstr("FeederInfoList (the list is larger than the 16 MiB"));
    EXPECT_THAT(run.messages, Not(HasSubstr("\n\n")));
    EXPECT_THAT(run.messages, HasSubstr("DEBUG: velmora-command: Font not refreshed: \""));
}

TEST_F(PressFilterTest, OneJobAddsABoundedAmountToTheQueuesPpd) {
    // Two lists of text that does not compress: each fits on its own, not both together.
    auto records = [](unsigned seed, const std::string& key) {
        std::string out;
        for (int r = 0; r < 50; ++r) {
            std::string number(100 * 1000, ' ');
            for (char& c : number) {
                seed = seed * 1103515245u + 12345u;
                c = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"[(seed >> 16) %
                                                                                     62];
            }
            out += test::soap::record({{key, number}});
        }
        return out;
    };
    std::string feeders = records(1, "Number"), stackers = records(2, "Type");
    test::TestHttpServer server([&](const test::HttpRequest& request) {
        bool feeder = request.body.find("getFeederInfoList") != std::string::npos;
        std::string element = feeder ? "getFeederInfoListResponse" : "getStackerInfoListResponse";
        return test::HttpResponse{
            200,
            {{"Content-Type", "text/xml; charset=utf-8"}},
            test::soap::response(element, "<ary d=\"0\">" + (feeder ? feeders : stackers) +
                                              "</ary>" + test::soap::status("OK"))};
    });
    std::string ppd = queuePpd("127.0.0.1:" + std::to_string(server.port()), 120);
    FilterRun run = runFilter(
        dir.write("commands", "#CUPS-COMMAND\nReportLevels FeederInfoList StackerInfoList\n"), ppd,
        dir);
    EXPECT_EQ(run.status, 0);
    expectSoundMessages(run.messages, "two large lists");
    std::size_t ppdBytes = 0;
    std::istringstream lines(run.messages);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("PPD: "))
            ppdBytes += line.size() + 1;
    EXPECT_GT(ppdBytes, 4u << 20); // the first list is written whole
    EXPECT_LE(ppdBytes, 8u << 20); // the second would pass the job's bound
    EXPECT_THAT(run.messages, HasSubstr("PPD: FeederInfoList0000="));
    EXPECT_THAT(run.messages, Not(HasSubstr("PPD: StackerInfoList0000=")));
    EXPECT_THAT(run.messages,
                HasSubstr("StackerInfoList (the lists of this job would make the queue"));
}

} // namespace
} // namespace velmora
