// Jobs from any application held on the press's queue, set up with velmora and released: through
// a real scheduler, with the job's attributes read back over IPP and the press's device file.
#include "support/CupsQueueTest.h"
#include "support/Xjdf.h"

#include "platform/printing/HeldJobUpdate.h"
#include "platform/printing/HeldJobs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

namespace velmora {
namespace {

using test::deviceFile;
using test::kSample;
using test::shellQuote;
using ::testing::HasSubstr;
using ::testing::Not;

class HeldJobsTest : public test::CupsQueueTest {
protected:
    void SetUp() override {
        CupsQueueTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addQueue("VelmoraPress", queuePpd("press"));
    }

    // A job submitted with plain lp, as any application's print dialog does; its id.
    int lp(const std::string& options, const std::string& user = "") {
        std::string command = "lp -d VelmoraPress " + options;
        if (!user.empty())
            command += " -U " + user;
        std::string out = test::PrivateCupsd::run(command + " " + kSample + " 2>&1");
        std::smatch id;
        EXPECT_TRUE(std::regex_search(out, id, std::regex("request id is VelmoraPress-(\\d+)")))
            << out;
        return id.empty() ? 0 : std::stoi(id[1]);
    }
    Value runValue(const std::string& arguments, int status = 0) {
        auto result = test::runVelmora(arguments, dir / "err");
        EXPECT_EQ(result.status, status) << arguments << "\n" << errors();
        auto parsed = JsonReader::parse(result.out);
        return parsed ? *parsed : Value();
    }
    // The job's attribute as the scheduler keeps it now.
    std::string attribute(int job, const std::string& name) {
        return cups.jobAttributes(job).get(name).stringValue();
    }
    std::string ticketOption(const std::string& xjdf, const std::string& name) {
        return test::xpath(xjdf, "//*[local-name()='Option'][@Name='" + name + "']/@Value");
    }
};

TEST_F(HeldJobsTest, AJobFromLpWaitsIsListedAndReachesThePressAsTheOperatorSetItUp) {
    EXPECT_EQ(run("hold -d VelmoraPress on").get("hold"), Value(true));
    int job = lp("-t 'Quarterly report' -o finishings=4 -o output-bin=stacker-1");
    ASSERT_GT(job, 0);
    ASSERT_EQ(cups.jobState(job), "pending-held");

    Value listed = runValue("jobs");
    ASSERT_TRUE(listed.array() && listed.array()->size() == 1) << listed.toJson(2);
    const Dictionary& entry = *listed.array()->at(0).dictionary();
    EXPECT_EQ(entry.get("id"), Value(job));
    EXPECT_EQ(entry.get("queue"), Value("VelmoraPress"));
    EXPECT_EQ(entry.get("title"), Value("Quarterly report"));
    EXPECT_EQ(entry.get("state"), Value("pending-held"));
    EXPECT_FALSE(entry.get("user").stringValue().empty());
    // IPP's staple and output bin, as the press's options they stand for.
    const Dictionary& options = *entry.get("options").dictionary();
    EXPECT_EQ(options.get("StapleMode"), Value("TopLeftCorner"));
    EXPECT_EQ(options.get("OutputBin"), Value("stacker-1"));

    Dictionary done = run("print --job " + std::to_string(job) +
                          " --no-gui --set StapleMode_StapleMechanism=LeftEdgeUseStaple"
                          " --set ColorMode=Gray");
    EXPECT_EQ(done.get("released"), Value(true));
    EXPECT_EQ(done.get("title"), Value("Quarterly report"));
    // Written to the job, read back over IPP; IPP's finishings say the same staple now.
    EXPECT_EQ(attribute(job, "StapleMode"), "LeftEdge");
    EXPECT_EQ(attribute(job, "ColorModel"), "Gray");
    EXPECT_EQ(attribute(job, "finishings"), "staple-dual-left");
    ASSERT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);

    auto xjdf = test::runVelmora("ticket --xjdf " + deviceFile(cupsd, "VelmoraPress"), dir / "err");
    EXPECT_EQ(ticketOption(xjdf.out, "StapleMode"), "LeftEdge");
    EXPECT_EQ(ticketOption(xjdf.out, "ColorModel"), "Gray");
    EXPECT_EQ(test::xpath(xjdf.out, "/*/@DescriptiveName"), "Quarterly report");
    EXPECT_EQ(test::XjdfSchema().problems(xjdf.out), "");

    // velmora's own jobs were set up before they were sent: they do not wait.
    Dictionary own = run("print " + kSample + " -d VelmoraPress");
    int ownJob = static_cast<int>(own.get("job").integerValue());
    EXPECT_EQ(cups.waitForJob(ownJob, 30), "completed") << jobLog(ownJob);
    EXPECT_EQ(run("hold -d VelmoraPress off").get("hold"), Value(false));
    int later = lp("");
    EXPECT_NE(cups.waitForJob(later, 30), "pending-held");
}

TEST_F(HeldJobsTest, KeptHeldTheJobHasTheNewSettingsAndKeepsWhatItHeldBesides) {
    run("hold -d VelmoraPress on");
    int job = lp("-o page-ranges=1 -o job-priority=70 -o velmora.UserName=Anna");
    ASSERT_GT(job, 0);
    Dictionary done = run("print --job " + std::to_string(job) +
                          " --no-gui --keep-held --set ColorMode=Gray --job-name Proofs");
    EXPECT_EQ(done.get("released"), Value(false));
    EXPECT_EQ(cups.jobState(job), "pending-held");
    EXPECT_EQ(attribute(job, "ColorModel"), "Gray");
    EXPECT_EQ(attribute(job, "job-name"), "Proofs");
    // What the panel did not change stays as the job had it.
    EXPECT_EQ(attribute(job, "page-ranges"), "1-1");
    EXPECT_EQ(attribute(job, "job-priority"), "70");
    EXPECT_EQ(attribute(job, "velmora.UserName"), "Anna");
    const Dictionary* written = done.get("written").dictionary();
    ASSERT_TRUE(written);
    EXPECT_FALSE(written->contains("com.velmora.print.PrintSettingsTicket.UserName"))
        << "the job's user name was written again although the panel kept it";

    // Opened again and printed as it is: nothing to write, and it is released.
    Dictionary again = run("print --job " + std::to_string(job) + " --no-gui");
    EXPECT_EQ(again.get("written"), Value(Dictionary()));
    EXPECT_EQ(again.get("title"), Value("Proofs"));
    EXPECT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
}

TEST_F(HeldJobsTest, AJobNoLongerHeldIsLeftAsItIsWithAMessage) {
    run("hold -d VelmoraPress on");
    const struct {
        const char* what;
        const char* how;
        const char* said;
    } cases[] = {
        // The queue is stopped, so the released job waits to print.
        {"released", "cupsdisable VelmoraPress; lp -i %d -H resume", "is no longer held"},
        {"cancelled", "cancel %d", "has ended (canceled)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int job = lp("-o ColorModel=RGB");
        ASSERT_GT(job, 0);
        char command[128];
        std::snprintf(command, sizeof command, c.how, job);
        test::PrivateCupsd::run(std::string(command) + " 2>&1");
        run("print --job " + std::to_string(job) + " --no-gui --set ColorMode=Gray", 1);
        EXPECT_THAT(errors(), HasSubstr(c.said));
        EXPECT_THAT(errors(), HasSubstr("nothing was written"));
        EXPECT_EQ(attribute(job, "ColorModel"), "RGB");
    }
}

// What the scheduler would refuse is not sent, and what it refuses is said per option: a job is
// written whole or not at all.
TEST_F(HeldJobsTest, SettingsTheSchedulerRefusesAreNamedAndNothingIsWritten) {
    run("hold -d VelmoraPress on");
    const struct {
        const char* what;
        std::string option, value, reason;
    } cases[] = {
        {"a value longer than IPP's names", "StapleMode", std::string(300, 'x'), "bad length"},
        {"an attribute of the scheduler's own", "job-printer-uri", "ipp://localhost/printers/x",
         "the scheduler keeps it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int job = lp("");
        ASSERT_GT(job, 0);
        Dictionary refused;
        Dictionary options{{"ColorModel", Value("Gray")}, {c.option, Value(c.value)}};
        EXPECT_FALSE(HeldJobs(cups).write(job, options, refused));
        EXPECT_THAT(refused.get(c.option).stringValue(), HasSubstr(c.reason))
            << Value(refused).toJson(2);
        EXPECT_FALSE(refused.contains("ColorModel"));
        EXPECT_EQ(attribute(job, "ColorModel"), "") << "a part of the settings was written";
    }
}

TEST_F(HeldJobsTest, APinForAHeldJobTravelsInsideItAndTheHeldJobIsReplaced) {
    run("hold -d VelmoraPress on");
    int job = lp("-t Payslips");
    ASSERT_GT(job, 0);
    Dictionary done = run("print --job " + std::to_string(job) +
                          " --no-gui --set SecPrint=True --set SecPrintPassword=1234");
    int replacement = static_cast<int>(done.get("job").integerValue());
    EXPECT_EQ(done.get("replaces"), Value(job));
    ASSERT_NE(replacement, job);
    EXPECT_EQ(cups.jobState(job), "canceled");
    ASSERT_EQ(cups.waitForJob(replacement, 30), "completed") << jobLog(replacement);
    std::string attributes = Value(cups.jobAttributes(replacement)).toJson(0);
    EXPECT_THAT(attributes, Not(HasSubstr("6BF62ABF")));
    EXPECT_THAT(attributes, Not(HasSubstr("1234")));
    EXPECT_THAT(done.get("written").toJson(0), Not(HasSubstr("1234")));

    auto xjdf = test::runVelmora("ticket --xjdf " + deviceFile(cupsd, "VelmoraPress"), dir / "err");
    EXPECT_EQ(ticketOption(xjdf.out, "SecPrintPassword"), "6BF62ABF");
    EXPECT_EQ(test::xpath(xjdf.out, "/*/@DescriptiveName"), "Payslips");
}

// A job velmora sent carries its settings inside its package, where the press's filter takes
// them from: set up while held, it is sent again with the new settings (and the PIN typed again).
TEST_F(HeldJobsTest, AJobVelmoraSentIsSentAgainWithItsNewSettings) {
    run("hold -d VelmoraPress on");
    int job = lp("-t Payslips");
    ASSERT_GT(job, 0);
    Dictionary first = run("print --job " + std::to_string(job) +
                           " --no-gui --keep-held --set SecPrint=True --set SecPrintPassword=1234");
    int package = static_cast<int>(first.get("job").integerValue());
    ASSERT_EQ(cups.jobState(package), "pending-held");
    Dictionary second = run("print --job " + std::to_string(package) +
                            " --no-gui --set ColorMode=Gray --set SecPrintPassword=5678"
                            " --job-name 'Payslips, grey'");
    int printed = static_cast<int>(second.get("job").integerValue());
    EXPECT_EQ(second.get("replaces"), Value(package));
    EXPECT_EQ(cups.jobState(package), "canceled");
    ASSERT_EQ(cups.waitForJob(printed, 30), "completed") << jobLog(printed);
    auto xjdf = test::runVelmora("ticket --xjdf " + deviceFile(cupsd, "VelmoraPress"), dir / "err");
    EXPECT_EQ(ticketOption(xjdf.out, "ColorModel"), "Gray");
    EXPECT_EQ(ticketOption(xjdf.out, "SecPrint"), "True");
    std::string pin = ticketOption(xjdf.out, "SecPrintPassword");
    EXPECT_FALSE(pin.empty());
    EXPECT_NE(pin, "6BF62ABF") << "the PIN typed first, not the one typed last";
    EXPECT_EQ(test::xpath(xjdf.out, "/*/@DescriptiveName"), "Payslips, grey");
    EXPECT_EQ(test::xpath(xjdf.out, "count(//*[local-name()='FileSpec'])"), "1");
}

// What the job's owner changed while the operator had it open, and the operator left alone,
// stays as the owner set it.
TEST_F(HeldJobsTest, AChangeMadeWhileThePanelWasOpenIsKept) {
    run("hold -d VelmoraPress on");
    int job = lp("");
    ASSERT_GT(job, 0);
    auto opened = HeldJobs(cups).find(job);
    ASSERT_TRUE(opened) << opened.error();
    auto destination = HeldJobUpdate::destination(cups, *opened, VELMORA_PLUGIN_DIR);
    ASSERT_TRUE(destination) << destination.error();
    test::PrivateCupsd::run("lp -i " + std::to_string(job) + " -o ColorModel=Gray 2>&1");
    ASSERT_EQ(attribute(job, "ColorModel"), "Gray");
    // The operator staples; the panel's settings name only what differs from the defaults.
    Dictionary snapshot{{"ppd", Value(Dictionary{{"StapleMode", Value("LeftEdge")}})},
                        {"ticket", Value(Dictionary())},
                        {"host", Value(Dictionary())}};
    Dictionary refused;
    auto done = HeldJobUpdate::apply(cups, *destination, snapshot, {*opened, opened->title, false},
                                     refused);
    ASSERT_TRUE(done) << done.error();
    EXPECT_EQ(attribute(job, "StapleMode"), "LeftEdge");
    EXPECT_EQ(attribute(job, "ColorModel"), "Gray");
}

TEST_F(HeldJobsTest, CommandsToTheQueueDoNotWaitForAnOperator) {
    run("hold -d VelmoraPress on");
    auto command = cups.submitCommand("VelmoraPress", "ReportLevels FeederInfoList",
                                      {"ReportLevels FeederInfoList"});
    ASSERT_TRUE(command) << command.error();
    EXPECT_NE(cups.waitForJob(*command, 10), "pending-held");
}

// The operators' policy, with two local accounts: nobody prints, daemon (in the group that
// stands for the print operators here) sets the job up, bin may not.
TEST_F(HeldJobsTest, OperatorsSetUpEveryonesJobsAndOthersAreRefusedByTheScheduler) {
    std::string policy = test::readFile(VELMORA_OPERATORS_POLICY);
    ASSERT_THAT(policy, HasSubstr("@print-operators"));
    policy = std::regex_replace(policy, std::regex("@print-operators"), "@daemon");
    ASSERT_TRUE(cupsd.addConfiguration(policy)) << test::readFile(cupsd.root() + "/log/cupsd.out");
    auto connected = cups.connect();
    ASSERT_TRUE(connected) << connected.error();
    test::PrivateCupsd::run("lpadmin -h " + cupsd.server() +
                            " -p VelmoraPress -o printer-op-policy=velmora-operators 2>&1");
    run("hold -d VelmoraPress on");
    int job = lp("-t 'Pay slips'", "nobody");
    ASSERT_GT(job, 0);
    const std::string setUp =
        "print --job " + std::to_string(job) + " --no-gui --set ColorMode=Gray";

    {
        test::ScopedEnv user{"CUPS_USER", "bin"};
        run(setUp, 1);
        EXPECT_THAT(errors(), HasSubstr("did not let the settings of job"));
        EXPECT_EQ(attribute(job, "ColorModel"), "");
        EXPECT_EQ(cups.jobState(job), "pending-held");
        // A PIN sends the job again; this test's scheduler hands anyone the documents (its
        // default policy allows all), but the held job is not bin's to cancel: the copy is
        // withdrawn, and the job is there once, as it was.
        run(setUp + " --set SecPrint=True --set SecPrintPassword=1234", 1);
        EXPECT_THAT(errors(), HasSubstr("did not let the held job go"));
        EXPECT_THAT(errors(), HasSubstr("the copy was withdrawn and nothing was changed"));
        EXPECT_EQ(cups.jobState(job), "pending-held");
        EXPECT_EQ(cups.jobState(job + 1), "canceled");
    }
    {
        test::ScopedEnv user{"CUPS_USER", "daemon"};
        Value listed = runValue("jobs -d VelmoraPress");
        ASSERT_TRUE(listed.array() && !listed.array()->empty());
        EXPECT_EQ(listed.array()->at(0).dictionary()->get("title"), Value("Pay slips"));
        EXPECT_EQ(listed.array()->at(0).dictionary()->get("user"), Value("nobody"));
        Dictionary done = run(setUp);
        EXPECT_EQ(done.get("released"), Value(true));
    }
    EXPECT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
    auto xjdf = test::runVelmora("ticket --xjdf " + deviceFile(cupsd, "VelmoraPress"), dir / "err");
    EXPECT_EQ(ticketOption(xjdf.out, "ColorModel"), "Gray");
}

TEST_F(HeldJobsTest, CommandsThatCannotWorkSaySo) {
    const struct {
        const char* arguments;
        int status;
        const char* said;
    } cases[] = {
        {"print --job 999 --no-gui", 1, "there is no job 999"},
        {"print --job 0 --no-gui", 2, "usage"},
        {"print --job 12x --no-gui", 2, "usage"},
        {"print --job 1 --keep-held -d VelmoraPress --no-gui", 2, "usage"},
        {"print --keep-held --no-gui", 2, "usage"},
        {"hold -d VelmoraPress sometimes", 2, "usage"},
        {"hold -d NoSuchQueue on", 1, "NoSuchQueue"},
        {"jobs -d NoSuchQueue", 1, "NoSuchQueue"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        auto result = test::runVelmora(c.arguments, dir / "err");
        EXPECT_EQ(result.status, c.status);
        EXPECT_THAT(errors(), HasSubstr(c.said));
    }
}

} // namespace
} // namespace velmora
