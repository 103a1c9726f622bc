// The press's job package: what the press's device reads from it (checked against CIP4's XJDF
// schema and by XPath), that it reads back whole, and that a package from anyone else is refused
// with a reason rather than read past its bounds.
#include "support/TempDir.h"
#include "support/Xjdf.h"
#include "support/ZipMaker.h"

#include "platform/printing/JobPackage.h"
#include "platform/printing/PressTicket.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>
#include <zip.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <regex>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// The bytes with every occurrence of a name replaced by another of its length: the ZIP names
// entries in two places, and libzip itself refuses to name two entries alike.
std::string named(const std::string& from, const std::string& to, std::string bytes) {
    for (auto at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + 1))
        bytes.replace(at, from.size(), to);
    return bytes;
}

const std::string kRoot =
    "<XJMF xmlns=\"http://www.CIP4.org/JDFSchema_2_0\"><Header DeviceID=\"d\" "
    "Time=\"2026-01-01T00:00:00Z\"/><CommandSubmitQueueEntry>"
    "<QueueSubmissionParams URL=\"ticket.xjdf\"/></CommandSubmitQueueEntry>"
    "</XJMF>";

std::string ticketXml(const std::string& resources, const std::string& options) {
    return "<XJDF xmlns=\"http://www.CIP4.org/JDFSchema_2_0\" "
           "xmlns:vf=\"urn:velmora:xjdf:press:1\" "
           "JobID=\"j\" Types=\"DigitalPrinting\"><ResourceSet Name=\"Component\" "
           "Usage=\"Output\"><Resource><AmountPool><PartAmount Amount=\"2\"/></AmountPool>"
           "</Resource></ResourceSet>" +
           resources + "<ResourceSet Name=\"vf:PressOptions\"><Resource><vf:PressOptions>" +
           options + "</vf:PressOptions></Resource></ResourceSet></XJDF>";
}

class JobPackageTest : public ::testing::Test {
protected:
    test::TempDir dir;
    ppd_file_t* ppd = ppdOpenFile(VELMORA_QUEUE_PPD);
    std::string pdf = dir.write("doc one.pdf", "%PDF-1.4\n% a document\n");

    ~JobPackageTest() override { ppdClose(ppd); }

    PressTicket ticketWith(const Dictionary& jobOptions) const {
        PressTicket ticket;
        ticket.jobId = PressTicket::newJobId();
        ticket.jobName = "Proofs";
        ticket.copies = 3;
        ticket.options = PressTicket::optionsOfJob(ppd, jobOptions);
        return ticket;
    }
    Result<JobPackage> written(const PressTicket& ticket, const std::string& name) {
        std::string path = dir / name;
        auto made = JobPackage::write(path, ticket, {{pdf, "doc one.pdf"}}, ppd);
        EXPECT_TRUE(made) << made.error();
        auto package = JobPackage::open(path);
        EXPECT_TRUE(package) << package.error();
        return package;
    }
};

// Every option comes back with its value, whatever characters it holds, beside the documents
// and copies; the package is its owner's alone, and CIP4's schema accepts its XJDF and XJMF.
TEST_F(JobPackageTest, WhatIsWrittenReadsBackWholeAndValidates) {
    ASSERT_NE(ppd, nullptr);
    PressTicket ticket = ticketWith(Dictionary{});
    ticket.options["UserName"] = "Anna \"A&B\" <x> 'y' 校正刷り";
    ticket.options["SecPrintPassword"] = "6BF62ABF";
    ticket.options["JobName"] = "";
    ticket.jobName = "Q3 <final> & \"more\"";
    std::string path = dir / "p.xjmf.zip";
    std::string second = dir.write("two.pdf", "%PDF-1.7 two");
    auto made = JobPackage::write(path, ticket, {{pdf, "doc one.pdf"}, {second, "two.pdf"}}, ppd);
    ASSERT_TRUE(made) << made.error();
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    auto package = JobPackage::open(path);
    ASSERT_TRUE(package) << package.error();
    EXPECT_EQ(package->ticket().options, ticket.options);
    EXPECT_EQ(package->ticket().jobName, ticket.jobName);
    EXPECT_EQ(package->ticket().jobId, ticket.jobId);
    EXPECT_EQ(package->ticket().copies, 3);
    ASSERT_EQ(package->ticket().documents.size(), 2u);
    EXPECT_EQ(package->ticket().documents[0].name, "doc one.pdf");
    EXPECT_EQ(package->ticket().documents[0].mimeType, "application/pdf");
    EXPECT_EQ(package->ticket().documents[1].size, 12u);
    auto first = package->documentBytes(0, 1000), other = package->documentBytes(1, 1000);
    ASSERT_TRUE(first && other) << first.error() << other.error();
    EXPECT_EQ(*first, test::readFile(pdf));
    EXPECT_EQ(*other, "%PDF-1.7 two");
    auto bounded = package->documentBytes(1, 5);
    EXPECT_FALSE(bounded);
    EXPECT_THAT(bounded.error(), HasSubstr("larger than"));

    test::XjdfSchema schema;
    ASSERT_TRUE(schema.loaded());
    EXPECT_EQ(schema.problems(package->ticketXml()), "");
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, nullptr);
    zip_stat_t root;
    ASSERT_EQ(zip_stat(zip, JobPackage::kRootName, 0, &root), 0);
    EXPECT_EQ(zip_name_locate(zip, JobPackage::kRootName, 0), 0) << "root.xjmf comes first";
    std::string rootXml(root.size, '\0');
    zip_file_t* file = zip_fopen(zip, JobPackage::kRootName, 0);
    zip_fread(file, rootXml.data(), root.size);
    zip_fclose(file);
    zip_discard(zip);
    EXPECT_EQ(schema.problems(rootXml), "");
    EXPECT_EQ(
        test::xpath(rootXml, "/x:XJMF/x:CommandSubmitQueueEntry/x:QueueSubmissionParams/@URL"),
        JobPackage::kTicketName);
}

// What a device that knows XJDF but not this press reads: the standard resources, from the
// job's options as the queue's PPD marks them (its defaults where the job names none).
TEST_F(JobPackageTest, TheStandardResourcesSayWhatTheOptionsSay) {
    test::XjdfSchema schema;
    ASSERT_TRUE(schema.loaded());
    struct Case {
        Dictionary options;
        std::vector<std::pair<std::string, std::string>> expected; // XPath → value
    };
    const std::string set = "/x:XJDF/x:ResourceSet";
    const Case cases[] = {
        {{},
         {{"/x:XJDF/@Types", "DigitalPrinting"},
          {"/x:XJDF/@DescriptiveName", "Proofs"},
          {set + "[@Name='Component'][@Usage='Output']//x:PartAmount/@Amount", "3"},
          {set + "[@Name='Media']//x:Media/@MediaType", "Paper"},
          {set + "[@Name='Media']//x:Media/@Dimension", "595 842"},
          {"count(" + set + "[@Name='Media']//x:Part)", "0"},
          {set + "[@Name='DigitalPrintingParams']//@Sides", "OneSidedFront"},
          {"count(" + set + "[@Name='StitchingParams'])", "0"}}},
        {{{"StapleMode", Value("TopLeftCorner")}, {"sides", Value("two-sided-short-edge")}},
         {{"/x:XJDF/@Types", "DigitalPrinting Stitching"},
          {set + "[@Name='StitchingParams']//@StitchType", "Corner"},
          {set + "[@Name='StitchingParams']//@NumberOfStitches", "1"},
          {set + "[@Name='DigitalPrintingParams']//@Sides", "TwoSided"}}},
        {{{"StapleMode", Value("LeftEdge4")}},
         {{set + "[@Name='StitchingParams']//@NumberOfStitches", "4"}}},
        {{{"StapleMode", Value("SaddleInside")}},
         {{set + "[@Name='StitchingParams']//@StitchType", "Saddle"}}},
        {{{"Punch", Value("Left")}, {"PunchHoles", Value("Holes3")}},
         {{"/x:XJDF/@Types", "DigitalPrinting HoleMaking"},
          {set + "[@Name='HoleMakingParams']//x:HolePattern/@Pattern", "R3-generic"},
          {set + "[@Name='HoleMakingParams']//x:HolePattern/@ReferenceEdge", "Left"}}},
        {{{"Fold", Value("BifoldInside")}},
         {{set + "[@Name='FoldingParams']//@FoldCatalog", "F4-1"},
          {set + "[@Name='FoldingParams']//@FoldingDetails", "BifoldInside"}}},
        {{{"Fold", Value("Z_TrifoldInside")}},
         {{"count(" + set + "[@Name='FoldingParams']//@FoldCatalog)", "0"},
          {set + "[@Name='FoldingParams']//@FoldingDetails", "Z_TrifoldInside"}}},
        {{{"OutputTray", Value("Stackertray")}},
         {{"/x:XJDF/@Types", "DigitalPrinting Stacking"},
          {set + "[@Name='StackingParams']//@OutputBin", "stacker-1"}}},
        {{{"KVInputSlot", Value("Tray2")},
          {"PaperType", Value("MatteCoated")},
          {"PageSize", Value("A3")}},
         {{set + "[@Name='Media']//x:Part/@Location", "Tray2"},
          {set + "[@Name='Media']//x:Media/@Coating", "Matte"},
          {set + "[@Name='Media']//x:Media/@MediaTypeDetails", "MatteCoated"},
          {set + "[@Name='Media']//x:Media/@Dimension", "842 1191"}}},
        {{{"KVInputSlot", Value("Manual")}, {"PaperType", Value("Transparency")}},
         {{set + "[@Name='DigitalPrintingParams']//@ManualFeed", "true"},
          {set + "[@Name='Media']//x:Media/@MediaType", "Transparency"}}},
        {{{"ColorModel", Value("Gray")}, {"Collate", Value("False")}},
         {{set + "[@Name='ColorantControl']//@ProcessColorModel", "DeviceGray"},
          {set + "[@Name='DigitalPrintingParams']//@Collate", "None"}}},
    };
    int n = 0;
    for (const auto& [options, expected] : cases) {
        auto package = written(ticketWith(options), "case" + std::to_string(++n) + ".zip");
        ASSERT_TRUE(package);
        const std::string& xml = package->ticketXml();
        EXPECT_EQ(schema.problems(xml), "") << Value(options).toJson(0);
        for (const auto& [path, value] : expected)
            EXPECT_EQ(test::xpath(xml, path), value) << path << " for " << Value(options).toJson(0);
        // The press's own resource names every option, the standard ones too.
        for (const auto& [option, value] : package->ticket().options)
            EXPECT_EQ(test::xpath(xml, "//*[local-name()='Option'][@Name='" + option + "']/@Value"),
                      value)
                << option;
    }
}

// The options of a job complete the PPD: every PPD option once, at the job's choice or the
// default, the panel's entries by keyword in either stored form, and nothing of CUPS's own.
TEST_F(JobPackageTest, AJobsOptionsAreThePpdsOptionsAtTheJobsChoicesAndThePanelsEntries) {
    ASSERT_NE(ppd, nullptr);
    auto options = PressTicket::optionsOfJob(
        ppd, Dictionary{{"ColorMode", Value("Gray")},
                        {"PageSize", Value("A3")},
                        {"sides", Value("two-sided-long-edge")},
                        {"copies", Value("3")},
                        {"job-uuid", Value("urn:uuid:1")},
                        {"com.velmora.print.PrintSettingsTicket.UserName", Value("Anna")},
                        {"velmora.JobName", Value("Short form")}});
    // The press's name of an option the PPD names for print clients is taken under the PPD's.
    EXPECT_EQ(options.at("ColorModel"), "Gray");
    EXPECT_FALSE(options.contains("ColorMode"));
    EXPECT_EQ(options.at("ProcessColorModel"), "CMYK1");
    EXPECT_EQ(options.at("PageSize"), "A3");
    EXPECT_EQ(options.at("Duplex"), "DuplexNoTumble");
    EXPECT_EQ(options.at("UserName"), "Anna");
    EXPECT_EQ(options.at("JobName"), "Short form");
    EXPECT_EQ(options.at("StapleMode"), "None");
    for (const char* absent : {"copies", "job-uuid", "sides"})
        EXPECT_FALSE(options.contains(absent)) << absent;
    // PageRegion is PageSize's twin, which libcups unmarks when the size is marked.
    int total = 0;
    for (ppd_option_t* option = ppdFirstOption(ppd); option; option = ppdNextOption(ppd), ++total)
        EXPECT_TRUE(options.contains(option->keyword) ||
                    option->keyword == std::string("PageRegion"))
            << option->keyword;
    EXPECT_GT(total, 100);
}

// A value that XML cannot carry as it is, or a document that is not PDF, is refused, and nothing
// is left where the package was to be.
TEST_F(JobPackageTest, WhatATicketCannotCarryIsRefusedAndNothingIsLeft) {
    struct Case {
        std::string option, value, document, reason;
    } cases[] = {
        {"UserName", "line\nbreak", "", "control character"},
        {"UserName", "bell\x07", "", "control character"},
        {"UserName", "caf\xe9", "", "not UTF-8"},
        {"Name\x01", "x", "", "control character"},
        {"UserName", "fine", "plain text", "is not a PDF document"},
    };
    for (const auto& [option, value, document, reason] : cases) {
        PressTicket ticket = ticketWith(Dictionary{});
        ticket.options[option] = value;
        std::string doc = document.empty() ? pdf : dir.write("text.txt", document);
        std::string path = dir / "refused.zip";
        auto made = JobPackage::write(path, ticket, {{doc, "d"}}, ppd);
        EXPECT_FALSE(made) << option;
        EXPECT_THAT(made.error(), HasSubstr(reason));
        EXPECT_FALSE(fs::exists(path)) << option;
    }
}

// Packages from anyone else: each is refused with its reason, none read past its bounds.
TEST_F(JobPackageTest, APackageThatIsNotOneOfOursIsRefusedWithItsReason) {
    const std::string pdfEntry = "documents/1.pdf";
    const std::string runList =
        "<ResourceSet Name=\"RunList\"><Resource><RunList><FileSpec URL=\"" + pdfEntry +
        "\" FileSize=\"8\"/></RunList></Resource></ResourceSet>";
    const std::string option = "<vf:Option Name=\"A\" Value=\"1\"/>";
    test::ZipOptions deflated, linked, encrypted;
    deflated.storeDocuments = false;
    linked.linkEntry = "documents";
    encrypted.encryptWith = "secret";
    std::string manyAttributes, manyOptions;
    for (int i = 0; i < 65; ++i)
        manyAttributes += " a" + std::to_string(i) + "='x'";
    for (int i = 0; i < 20001; ++i)
        manyOptions += "<vf:Option Name=\"O" + std::to_string(i) + "\" Value=\"1\"/>";
    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 0; i < 1001; ++i)
        many.push_back({"f" + std::to_string(i), "x"});
    struct Case {
        const char* what;
        std::string bytes;
        std::string reason;
    } cases[] = {
        {"not a ZIP", "%PDF-1.4 not a package", "not a job package"},
        {"an empty file", "", "has no root.xjmf"},
        {"no root message", test::zipOf({{"ticket.xjdf", ticketXml("", option)}}),
         "has no root.xjmf"},
        {"a root that is not XJMF", test::zipOf({{"root.xjmf", "<XJDF/>"}}), "not an XJMF message"},
        {"a root submitting nothing",
         test::zipOf({{"root.xjmf", "<XJMF xmlns=\"http://www.CIP4.org/JDFSchema_2_0\"/>"}}),
         "submits no ticket"},
        {"a root pointing outside",
         test::zipOf({{"root.xjmf", std::regex_replace(kRoot, std::regex("ticket.xjdf"), "../t")}}),
         "not named by a path inside"},
        {"no ticket", test::zipOf({{"root.xjmf", kRoot}}), "has no ticket.xjdf"},
        {"a ticket that is not XML", test::zipOf({{"root.xjmf", kRoot}, {"ticket.xjdf", "<XJDF"}}),
         "not well-formed"},
        {"a ticket with entities",
         test::zipOf(
             {{"root.xjmf", kRoot},
              {"ticket.xjdf", "<!DOCTYPE XJDF [<!ENTITY a \"aaaa\">]>" + ticketXml("", option)}}),
         "document type declaration"},
        {"a ticket that is not XJDF",
         test::zipOf({{"root.xjmf", kRoot}, {"ticket.xjdf", "<JDF/>"}}), "not an XJDF document"},
        {"no press options",
         test::zipOf({{"root.xjmf", kRoot},
                      {"ticket.xjdf",
                       std::regex_replace(ticketXml("", ""), std::regex("vf:Press"), "vf:Other")}}),
         "holds no press options"},
        {"an option named twice",
         test::zipOf({{"root.xjmf", kRoot}, {"ticket.xjdf", ticketXml("", option + option)}}),
         "twice"},
        {"an option without a value",
         test::zipOf(
             {{"root.xjmf", kRoot}, {"ticket.xjdf", ticketXml("", "<vf:Option Name=\"A\"/>")}}),
         "no name or no value"},
        {"copies out of range",
         test::zipOf({{"root.xjmf", kRoot},
                      {"ticket.xjdf", std::regex_replace(ticketXml("", option), std::regex("\"2\""),
                                                         "\"10000\"")}}),
         "copies"},
        {"a missing document",
         test::zipOf({{"root.xjmf", kRoot}, {"ticket.xjdf", ticketXml(runList, option)}}),
         "lacks the ticket's document"},
        {"a document of another size",
         test::zipOf({{"root.xjmf", kRoot},
                      {"ticket.xjdf", ticketXml(runList, option)},
                      {pdfEntry, "%PDF-1.4 and more"}}),
         "not the size"},
        {"a document outside",
         test::zipOf({{"root.xjmf", kRoot},
                      {"ticket.xjdf", ticketXml(std::regex_replace(runList, std::regex(pdfEntry),
                                                                   "%2E%2E/etc/passwd"),
                                                option)}}),
         "not named by a path inside"},
        {"a compressed document",
         test::zipOf({{"root.xjmf", kRoot},
                      {"ticket.xjdf", ticketXml(runList, option)},
                      {pdfEntry, "%PDF-1.4" + std::string(1000, ' ')}},
                     deflated),
         "is compressed"},
        {"a document named twice",
         test::zipOf({{"root.xjmf", kRoot},
                      {"ticket.xjdf", ticketXml(runList + runList, option)},
                      {pdfEntry, "%PDF-1.4"}}),
         "as a document twice"},
        {"the ticket as its own document",
         test::zipOf(
             {{"root.xjmf", kRoot},
              {"ticket.xjdf",
               ticketXml(std::regex_replace(runList, std::regex(pdfEntry + "\" FileSize=\"8"),
                                            "ticket.xjdf\" FileSize=\"0"),
                         option)}}),
         "one of its parts"},
        {"a link entry", test::zipOf({{"root.xjmf", kRoot}, {"documents", "/"}}, linked),
         "is a link"},
        {"an element with too many attributes",
         test::zipOf({{"root.xjmf", kRoot}, {"ticket.xjdf", "<XJDF " + manyAttributes + "/>"}}),
         "more than 64 attributes"},
        {"too many elements",
         test::zipOf({{"root.xjmf", kRoot}, {"ticket.xjdf", ticketXml("", manyOptions)}}),
         "more than 20000 elements"},
        {"an entry outside", test::zipOf({{"root.xjmf", kRoot}, {"../evil", "x"}}),
         "not a plain path"},
        {"an absolute entry", test::zipOf({{"root.xjmf", kRoot}, {"/etc/evil", "x"}}),
         "not a plain path"},
        {"an entry named twice",
         named("root.xjmX", "root.xjmf", test::zipOf({{"root.xjmf", kRoot}, {"root.xjmX", kRoot}})),
         "not a job package"},
        {"an encrypted entry", test::zipOf({{"root.xjmf", kRoot}}, encrypted), "encrypted"},
        {"too many entries", test::zipOf(many), "more than 1000 entries"},
        {"a ticket that grows past its bound",
         test::zipOf({{"root.xjmf", kRoot},
                      {"ticket.xjdf", std::string(JobPackage::kMaxTicketBytes + 1, ' ')}}),
         "larger than"},
    };
    for (const auto& [what, bytes, reason] : cases) {
        auto package = JobPackage::fromBytes(bytes);
        EXPECT_FALSE(package) << what;
        EXPECT_THAT(package.error(), HasSubstr(reason)) << what;
    }
    // The same bytes as a file are read the same way.
    auto broken = JobPackage::open(dir.write("bad.zip", "PK\x03\x04 broken"));
    EXPECT_FALSE(broken);
    EXPECT_THAT(broken.error(), HasSubstr("is not a job package"));
    auto minimal = JobPackage::fromBytes(
        test::zipOf({{"root.xjmf", kRoot}, {"ticket.xjdf", ticketXml("", option)}}));
    ASSERT_TRUE(minimal) << minimal.error();
    EXPECT_EQ(minimal->ticket().copies, 2);
    EXPECT_EQ(minimal->ticket().options.at("A"), "1");
}

} // namespace
} // namespace velmora
