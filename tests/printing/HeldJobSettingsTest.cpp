// A held job's attributes read as the press's filter reads them, and what setting it up writes
// back: against the press's queue PPD, without a scheduler.
#include "platform/printing/HeldJobSettings.h"
#include "platform/printing/HeldJobs.h"

#include <cups/ipp.h>

#include <gtest/gtest.h>

namespace velmora {
namespace {

const std::string kPpd = VELMORA_QUEUE_PPD;

std::string choiceOf(const Dictionary& jobOptions, const std::string& option) {
    return HeldJobSettings::optionsOfJob(jobOptions, kPpd).get(option).stringValue();
}

// Other clients' IPP attributes become the press's choices; the job's own choices decide over
// them, except finishings, which the scheduler applies after the job's own.
TEST(HeldJobSettingsTest, TheJobIsReadAsTheSchedulerAndTheFilterWillPrintIt) {
    const struct {
        const char* what;
        Dictionary job;
        const char* option;
        const char* expected;
    } cases[] = {
        {"IPP staple", {{"finishings", Value("4")}}, "StapleMode", "TopLeftCorner"},
        {"IPP punch and fold", {{"finishings", Value("75,93")}}, "Punch", "Top"},
        {"IPP fold beside a punch", {{"finishings", Value("75,93")}}, "Fold", "Bifold"},
        {"finishings over the job's own staple",
         {{"finishings", Value("28")}, {"StapleMode", Value("TopLeftCorner")}},
         "StapleMode",
         "LeftEdge"},
        {"IPP output bin", {{"output-bin", Value("stacker-1")}}, "OutputBin", "stacker-1"},
        {"the job's own bin over IPP's",
         {{"output-bin", Value("stacker-1")}, {"OutputBin", Value("stacker-2")}},
         "OutputBin",
         "stacker-2"},
        {"the press's old name for the bin",
         {{"OutputTray", Value("Stackertray")}},
         "OutputBin",
         "stacker-1"},
        {"IPP monochrome", {{"print-color-mode", Value("monochrome")}}, "ColorModel", "Gray"},
        {"media-col's type",
         {{"media", Value("iso_a4_210x297mm,stationery-recycled")}},
         "MediaType",
         "Recycled"},
        {"IPP two-sided", {{"sides", Value("two-sided-short-edge")}}, "Duplex", "DuplexTumble"},
        {"two-sided as the panel's host",
         {{"sides", Value("two-sided-short-edge")}},
         "sides",
         "two-sided-short-edge"},
        {"nothing asked: the PPD's default", {}, "StapleMode", "None"},
        {"an entry in lpoptions' form",
         {{"velmora.UserName", Value("Anna")}},
         "com.velmora.print.PrintSettingsTicket.UserName",
         "Anna"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(choiceOf(c.job, c.option), c.expected) << c.what;
}

TEST(HeldJobSettingsTest, OnlyWhatChangedIsWrittenAndIppFinishingsFollowTheNewChoices) {
    const Dictionary stapled{{"finishings", Value("4")}, {"page-ranges", Value("1-2")}};
    const Dictionary current = HeldJobSettings::optionsOfJob(stapled, kPpd);
    const struct {
        const char* what;
        Dictionary wanted;
        Dictionary written;
    } cases[] = {
        {"as it was", {{"StapleMode", Value("TopLeftCorner")}}, {}},
        {"another staple: finishings follow",
         {{"StapleMode", Value("LeftEdge")}},
         {{"StapleMode", Value("LeftEdge")}, {"finishings", Value("28")}}},
        {"no staple: no finishings",
         {{"StapleMode", Value("None")}},
         {{"StapleMode", Value("None")}, {"finishings", Value("3")}}},
        // Settings name only the choices that differ from the PPD's defaults.
        {"a default left out of the settings is the default",
         {},
         {{"StapleMode", Value("None")}, {"finishings", Value("3")}}},
        {"an empty field the job does not carry",
         {{"StapleMode", Value("TopLeftCorner")},
          {"com.velmora.print.PrintSettingsTicket.JobName", Value("")}},
         {}},
    };
    for (const auto& c : cases) {
        Dictionary changes = HeldJobSettings::changes(current, c.wanted, stapled, kPpd);
        EXPECT_EQ(changes, c.written) << c.what << ": " << Value(changes).toJson(2);
    }
}

// IPP carries "True" and "False" as Booleans, which come back as "true" and "false": no change.
TEST(HeldJobSettingsTest, ABooleanBackFromIppInSmallLettersIsNoChange) {
    // Without a PPD every option is one of the panel's entries, as on a queue that lacks it.
    const std::string entry = "com.velmora.print.PrintSettingsTicket.PagePrintOnCenter";
    const Dictionary job{{entry, Value("true")}};
    const Dictionary current = HeldJobSettings::optionsOfJob(job, "");
    EXPECT_EQ(HeldJobSettings::changes(current, {{entry, Value("True")}}, job, ""), Dictionary());
    EXPECT_EQ(HeldJobSettings::changes(current, {{entry, Value("False")}}, job, ""),
              Dictionary({{entry, Value("False")}}));
}

// Opened again after it was written, the job needs nothing more written: no option goes back
// and forth (PageSize and PageRegion are one for libcups).
TEST(HeldJobSettingsTest, WhatWasWrittenReadsBackAsTheSameSettings) {
    Dictionary job{{"finishings", Value("4")}, {"print-color-mode", Value("monochrome")}};
    Dictionary wanted{
        {"StapleMode", Value("LeftEdge")}, {"ColorModel", Value("RGB")}, {"PageSize", Value("A3")}};
    Dictionary written =
        HeldJobSettings::changes(HeldJobSettings::optionsOfJob(job, kPpd), wanted, job, kPpd);
    for (const auto& [name, value] : written)
        job.set(name, value);
    EXPECT_EQ(HeldJobSettings::changes(HeldJobSettings::optionsOfJob(job, kPpd), wanted, job, kPpd),
              Dictionary());
}

// The scheduler's answer: each job's own attributes, values in the notation the filters get.
TEST(HeldJobSettingsTest, TheSchedulersAnswerIsReadJobByJob) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    ipp_t* response = ippNewResponse(request);
    ippDelete(request);
    for (int id : {7, 8, 9}) {
        if (id != 7)
            ippAddSeparator(response);
        ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", id);
        ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", id == 8 ? 3 : 4);
        ippAddString(response, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-state-reasons", nullptr,
                     id == 9 ? "job-incoming" : "job-hold-until-specified");
        ippAddString(response, IPP_TAG_JOB, IPP_TAG_URI, "job-printer-uri", nullptr,
                     "ipp://localhost/printers/VelmoraPress");
        ippAddString(response, IPP_TAG_JOB, IPP_TAG_NAME, "job-name", nullptr, "Report");
        int finishings[] = {4, 74};
        ippAddIntegers(response, IPP_TAG_JOB, IPP_TAG_ENUM, "finishings", 2, finishings);
        ippAddBoolean(response, IPP_TAG_JOB, "PagePrintOnCenter", 1);
        ippAddRange(response, IPP_TAG_JOB, "page-ranges", 1, 2);
        ipp_t* media = ippNew();
        ippAddString(media, IPP_TAG_ZERO, IPP_TAG_KEYWORD, "media-source", nullptr, "tray-2");
        ippAddString(media, IPP_TAG_ZERO, IPP_TAG_KEYWORD, "media-type", nullptr,
                     "stationery-recycled");
        ippAddCollection(response, IPP_TAG_JOB, "media-col", media);
        ippDelete(media);
    }
    auto jobs = HeldJobs::jobsOf(response);
    ippDelete(response);
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(HeldJobs::whyNotHeld(jobs[2]), "job 9 is still being received");
    EXPECT_EQ(jobs[0].id, 7);
    EXPECT_TRUE(jobs[0].held());
    EXPECT_EQ(jobs[1].state, "pending");
    EXPECT_FALSE(HeldJobs::whyNotHeld(jobs[0]));
    EXPECT_EQ(HeldJobs::whyNotHeld(jobs[1]),
              "job 8 is no longer held: it was released and waits to print");
    const Dictionary& options = jobs[0].options;
    EXPECT_EQ(jobs[0].queue, "VelmoraPress");
    EXPECT_EQ(jobs[0].title, "Report");
    EXPECT_EQ(options.get("finishings"), Value("4,74"));
    EXPECT_EQ(options.get("PagePrintOnCenter"), Value("true"));
    EXPECT_EQ(options.get("page-ranges"), Value("1-2"));
    EXPECT_EQ(options.get("media"), Value("tray-2,stationery-recycled"));
    EXPECT_FALSE(options.contains("job-state")) << "the scheduler's own attributes are no options";
    EXPECT_EQ(choiceOf(options, "InputSlot"), "Tray2");
    EXPECT_EQ(choiceOf(options, "KVInputSlot"), "Tray2");
    EXPECT_EQ(choiceOf(options, "MediaType"), "Recycled");
}

} // namespace
} // namespace velmora
