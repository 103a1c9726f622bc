// The queue's velmora-package filter run as the scheduler runs it: a document from another
// application becomes the press's job package, a package velmora made passes unchanged, and
// anything else ends the job with a clear message instead of reaching the press.
#include "support/TempDir.h"

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
        EXPECT_THAT(run.messages, HasSubstr("INFO: velmora-package: job package with"));
        std::string error;
        auto package = JobPackage::fromBytes(run.output, error);
        ASSERT_TRUE(package) << error;
        const PressTicket& ticket = package->ticket();
        EXPECT_EQ(ticket.jobId, "urn:uuid:4a1f");
        EXPECT_EQ(ticket.jobName, "Proofs");
        EXPECT_EQ(ticket.copies, 2);
        EXPECT_EQ(ticket.options.at("StapleMode"), "TopLeftCorner");
        EXPECT_EQ(ticket.options.at("UserName"), "Anna B");
        EXPECT_EQ(ticket.options.at("JobName"), "Q3");
        EXPECT_EQ(ticket.options.at("ColorMode"), "Color"); // the PPD's default
        EXPECT_EQ(package->documentBytes(0, 100, error), test::readFile(pdf));
    }
    // Nothing of the run is left in the scheduler's temporary folder.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("velmora-package-"))
            << entry.path();
}

TEST(PackageFilterTest, WhatCannotReachThePressEndsTheJobWithAReason) {
    test::TempDir dir;
    std::string pdf = dir.write("in.pdf", "%PDF-1.4\n");
    std::string package = dir / "made.xjmf.zip";
    PressTicket ticket;
    ticket.jobId = "j";
    ticket.options = {{"A", "1"}};
    std::string error;
    ASSERT_TRUE(JobPackage::write(package, ticket, {{pdf, "in.pdf"}}, nullptr, error)) << error;
    std::string broken = dir.write("broken.zip", test::readFile(package).substr(0, 200));
    struct Case {
        const char* what;
        std::string document, options, contentType, message;
    } cases[] = {
        {"a package cut short", broken, "", JobPackage::kMimeType,
         "ERROR: velmora-package: the job is not a press job package"},
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
    // A package velmora made reaches the press byte for byte.
    FilterRun passed = runPackageFilter(dir, package, "", JobPackage::kMimeType, true);
    EXPECT_EQ(passed.status, 0) << passed.messages;
    EXPECT_EQ(passed.output, test::readFile(package));
}

} // namespace
} // namespace velmora
