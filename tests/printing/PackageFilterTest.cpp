// The queue's velmora-package filter run as the scheduler runs it: a document from another
// application becomes the press's job package, a package velmora made passes unchanged, and
// anything else ends the job with a clear message instead of reaching the press.
#include "support/TempDir.h"
#include "support/Xjdf.h"
#include "support/ZipMaker.h"

#include "platform/printing/JobPackage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace velmora {
namespace {

using ::testing::HasSubstr;

struct FilterRun {
    int status = -1;
    std::string output;   // what the press would receive
    std::string messages; // standard error
};

// The filter with the scheduler's arguments; the document on standard input, or as argument 6.
FilterRun runPackageFilter(const test::TempDir& dir, const std::string& document,
                           const std::string& options, const std::string& contentType,
                           bool asArgument = false, const std::string& copies = "2") {
    std::string out = dir / "filter.out", errors = dir / "filter.err";
    pid_t pid = ::fork();
    if (pid == 0) {
        int in = ::open(document.c_str(), O_RDONLY);
        int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(fd, 1);
        ::dup2(err, 2);
        ::setenv("PPD", VELMORA_QUEUE_PPD, 1);
        ::setenv("TMPDIR", dir.path().c_str(), 1);
        ::setenv("CONTENT_TYPE", contentType.c_str(), 1);
        ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        if (asArgument)
            ::execl(VELMORA_PACKAGE_FILTER, "Press", "7", "anna", "Proofs", copies.c_str(),
                    options.c_str(), document.c_str(), nullptr);
        else
            ::execl(VELMORA_PACKAGE_FILTER, "Press", "7", "anna", "Proofs", copies.c_str(),
                    options.c_str(), nullptr);
        ::_exit(127);
    }
    FilterRun run;
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = test::readFile(out);
    run.messages = test::readFile(errors);
    return run;
}

TEST(PackageFilterTest, ADocumentBecomesAPackageWithTheJobsOptions) {
    test::TempDir dir;
    std::string pdf = dir.write("in.pdf", "%PDF-1.4\nthe document\n");
    for (bool asArgument : {false, true}) {
        FilterRun run = runPackageFilter(
            dir, pdf,
            "StapleMode=TopLeftCorner job-uuid=urn:uuid:4a1f velmora.UserName='Anna B' "
            "com.velmora.print.PrintSettingsTicket.JobName=Q3",
            "application/vnd.cups-pdf", asArgument);
        ASSERT_EQ(run.status, 0) << run.messages;
        EXPECT_THAT(run.messages, HasSubstr("INFO: velmora-package: job package ready"));
        auto package = JobPackage::fromBytes(run.output);
        ASSERT_TRUE(package) << package.error();
        const PressTicket& ticket = package->ticket();
        EXPECT_EQ(ticket.jobId, "urn:uuid:4a1f");
        EXPECT_EQ(ticket.jobName, "Proofs");
        EXPECT_EQ(ticket.copies, 2);
        EXPECT_EQ(ticket.options.at("StapleMode"), "TopLeftCorner");
        EXPECT_EQ(ticket.options.at("UserName"), "Anna B");
        EXPECT_EQ(ticket.options.at("JobName"), "Q3");
        EXPECT_EQ(ticket.options.at("ColorModel"), "RGB"); // the PPD's default
        EXPECT_EQ(package->documentBytes(0, 100).value(), test::readFile(pdf));
    }
    // A job that names only the press's own options gets what the panel's host derives from
    // them, as velmora print does: two-sided printing, the paper source and the copies.
    FilterRun own = runPackageFilter(
        dir, pdf, "DuplexMode=DuplexNoTumble KVInputSlot=Tray2 velmora.NumCopies=3",
        "application/vnd.cups-pdf", false, "1");
    ASSERT_EQ(own.status, 0) << own.messages;
    auto package = JobPackage::fromBytes(own.output);
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().options.at("Duplex"), "DuplexNoTumble");
    EXPECT_EQ(package->ticket().options.at("InputSlot"), "Tray2");
    EXPECT_EQ(package->ticket().copies, 3);
    // Nothing of the run is left in the scheduler's temporary folder.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("velmora-package-"))
            << entry.path();
}

// A package an older velmora made names the output tray and colour as the queue's PPD did then:
// the press receives them under today's names, grey still grey.
TEST(PackageFilterTest, APackageWithThePressesOldNamesReachesThePressUnderTodays) {
    test::TempDir dir;
    std::string pdf = dir.write("in.pdf", "%PDF-1.4\n");
    std::string package = dir / "older.xjmf.zip";
    PressTicket ticket;
    ticket.jobId = "j";
    ticket.options = {{"ColorMode", "Gray"},
                      {"ColorModel", "CMYK2"},
                      {"OutputTray", "Stackertray"},
                      {"UserName", "Anna"}};
    auto made = JobPackage::write(package, ticket, {{pdf, "in.pdf"}}, nullptr);
    ASSERT_TRUE(made) << made.error();
    FilterRun run = runPackageFilter(dir, package, "", "application/vnd.cip4-xjmf+zip");
    ASSERT_EQ(run.status, 0) << run.messages;
    auto passed = JobPackage::fromBytes(run.output);
    ASSERT_TRUE(passed) << passed.error();
    const auto& options = passed->ticket().options;
    EXPECT_EQ(options.at("ColorModel"), "Gray");
    EXPECT_EQ(options.at("ProcessColorModel"), "CMYK2");
    EXPECT_EQ(options.at("OutputBin"), "stacker-1");
    EXPECT_EQ(options.at("UserName"), "Anna");
    for (const char* old : {"ColorMode", "OutputTray"})
        EXPECT_FALSE(options.contains(old)) << old;
    EXPECT_EQ(test::xpath(passed->ticketXml(), "//x:ColorantControl/@ProcessColorModel"),
              "DeviceGray");
    EXPECT_EQ(test::xpath(passed->ticketXml(), "//x:StackingParams/@OutputBin"), "stacker-1");
}

TEST(PackageFilterTest, WhatCannotReachThePressEndsTheJobWithAReason) {
    test::TempDir dir;
    std::string pdf = dir.write("in.pdf", "%PDF-1.4\n");
    std::string package = dir / "made.xjmf.zip";
    PressTicket ticket;
    ticket.jobId = "j";
    ticket.options = {{"A", "1"}};
    auto made = JobPackage::write(package, ticket, {{pdf, "in.pdf"}}, nullptr);
    ASSERT_TRUE(made) << made.error();
    std::string broken = dir.write("broken.zip", test::readFile(package).substr(0, 200));
    // Packages anyone who may print could hand in.
    const std::string root =
        "<XJMF xmlns=\"http://www.CIP4.org/JDFSchema_2_0\"><Header "
        "DeviceID=\"d\" Time=\"2026-01-01T00:00:00Z\"/><CommandSubmitQueueEntry>"
        "<QueueSubmissionParams URL=\"ticket.xjdf\"/></CommandSubmitQueueEntry>"
        "</XJMF>";
    auto ticketNaming = [](const std::string& documents) {
        return "<XJDF xmlns=\"http://www.CIP4.org/JDFSchema_2_0\" "
               "xmlns:vf=\"urn:velmora:xjdf:press:1\" "
               "JobID=\"j\" Types=\"DigitalPrinting\"><ResourceSet Name=\"Component\" "
               "Usage=\"Output\"><Resource><AmountPool><PartAmount Amount=\"1\"/></AmountPool>"
               "</Resource></ResourceSet>" +
               documents +
               "<ResourceSet Name=\"vf:PressOptions\"><Resource><vf:PressOptions><vf:Option "
               "Name=\"A\" Value=\"1\"/></vf:PressOptions></Resource></ResourceSet></XJDF>";
    };
    const std::string runList = "<ResourceSet Name=\"RunList\"><Resource><RunList><FileSpec "
                                "URL=\"documents/1.pdf\"/></RunList></Resource></ResourceSet>";
    std::string notPdf =
        dir.write("not-pdf.zip", test::zipOf({{"root.xjmf", root},
                                              {"ticket.xjdf", ticketNaming(runList)},
                                              {"documents/1.pdf", "#!/bin/sh"}}));
    std::string empty = dir.write(
        "empty.zip", test::zipOf({{"root.xjmf", root}, {"ticket.xjdf", ticketNaming("")}}));
    struct Case {
        const char* what;
        std::string document, options, contentType, message;
    } cases[] = {
        {"a package cut short", broken, "", JobPackage::kMimeType,
         "ERROR: velmora-package: the job is not a press job package"},
        {"a package whose document is not PDF", notPdf, "", JobPackage::kMimeType,
         "is not a PDF document"},
        {"a package with no document", empty, "", JobPackage::kMimeType, "holds no document"},
        {"a document that is not PDF", dir.write("in.txt", "plain"), "", "application/vnd.cups-pdf",
         "is not a PDF document"},
        {"a value XML cannot carry", pdf, "velmora.UserName=bell\a", "application/vnd.cups-pdf",
         "holds a character a job ticket cannot carry"},
    };
    for (const auto& [what, document, options, contentType, message] : cases) {
        FilterRun run = runPackageFilter(dir, document, options, contentType);
        EXPECT_EQ(run.status, 1) << what;
        EXPECT_THAT(run.messages, HasSubstr(message)) << what;
        EXPECT_EQ(run.output, "") << what << ": something reached the press";
        for (char c : run.messages)
            EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << what << ": " << run.messages;
    }
    // A package is made anew: its ticket and the PDF documents it names reach the press, and
    // nothing else it held.
    std::string extra =
        dir.write("extra.zip", test::zipOf({{"root.xjmf", root},
                                            {"ticket.xjdf", ticketNaming(runList)},
                                            {"documents/1.pdf", "%PDF-1.4 the job"},
                                            {"payload.sh", "#!/bin/sh\nrm -rf /\n"}}));
    for (const std::string& given : {package, extra}) {
        FilterRun passed = runPackageFilter(dir, given, "", JobPackage::kMimeType, true);
        ASSERT_EQ(passed.status, 0) << passed.messages;
        auto sent = JobPackage::fromBytes(passed.output);
        auto original = JobPackage::open(given);
        ASSERT_TRUE(sent && original) << sent.error() << original.error();
        EXPECT_EQ(sent->ticket().options, original->ticket().options);
        EXPECT_EQ(sent->ticket().copies, original->ticket().copies);
        ASSERT_EQ(sent->ticket().documents.size(), 1u);
        EXPECT_EQ(sent->documentBytes(0, 1000).value(), original->documentBytes(0, 1000).value());
        EXPECT_EQ(passed.output.find("payload.sh"), std::string::npos);
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("velmora-package-"))
            << entry.path();
}

} // namespace
} // namespace velmora
