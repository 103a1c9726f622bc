// Printing through a real CUPS scheduler started by the test on the loopback: the sample press as
// a queue whose device is a file, jobs submitted by velmora print, read back over IPP.
#include "support/CommandRunner.h"
#include "support/CupsQueueTest.h"
#include "support/PeerPrinter.h"
#include "support/PrivateCupsd.h"
#include "support/SoapAnswers.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"
#include "support/Xjdf.h"

#include "panel/LornPDEByCocoa.h"
#include "platform/foundation/JsonReader.h"
#include "platform/printing/CupsConnection.h"
#include "platform/printing/CupsPrinter.h"
#include "platform/printing/JobOptions.h"
#include "ppd/PpdDataBlock.h"
#include "validation/StringEscapeConverter.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace velmora {
namespace {

using test::shellQuote;
using ::testing::HasSubstr;
using ::testing::Not;

using test::deviceFile;
using test::kSample;

class CupsPrintTest : public test::CupsQueueTest {};

TEST_F(CupsPrintTest, TheJobCarriesExactlyTheSettingsThePanelSaved) {
    addQueue("VelmoraPress", queuePpd("press"));
    std::string name = "Q3 \"final\", it's 100% \\ done";
    Dictionary printed = run("print " + kSample +
                             " -d VelmoraPress --set DuplexMode=DuplexTumble --set ColorMode=Gray "
                             "--set OutputTray=Stackertray --set KVInputSlot=Tray2 "
                             "--set StapleMode_StapleMechanism=TopLeftCornerUseStaple "
                             "--set DocumentOrientation=Landscape --set SlipSheets=BetweenSets "
                             "--job-name " +
                             shellQuote(name));
    ASSERT_TRUE(printed.get("job").isNumber());
    int job = static_cast<int>(printed.get("job").integerValue());
    EXPECT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
    Dictionary attributes = cups.jobAttributes(job);
    const Dictionary& options = *printed.get("options").dictionary();
    ASSERT_GT(options.size(), 50u);
    for (const auto& [option, value] : options)
        EXPECT_EQ(attributes.get(option).stringValue(), value.stringValue()) << option;
    EXPECT_EQ(attributes.get("ColorModel"), Value("Gray"));
    EXPECT_EQ(attributes.get("DocumentOrientation"), Value("Landscape")); // a pane's option
    EXPECT_EQ(attributes.get("sides"), Value("two-sided-short-edge"));
    EXPECT_EQ(attributes.get("job-name"), Value(name));
    // The job name arrives as the panel stored it (the job name dialog's escaped form, escaped
    // for the print settings) and reads back unchanged.
    std::string stored = attributes.get(PanelTicketEntries::key("JobName")).stringValue();
    EXPECT_EQ(stored.find_first_of(",'"), std::string::npos);
    EXPECT_EQ(StringEscapeConverter::standardConverter(false).unEscape(
                  PanelTicketEntries::unescape(stored)),
              name);
    EXPECT_GT(std::filesystem::file_size(cupsd.root() + "/out/VelmoraPress.out"), 0u);
}

TEST_F(CupsPrintTest, SavedDefaultsComeBackInTheNextSession) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("print " + kSample +
        " -d VelmoraPress --set ColorMode=Gray --set SecPrint=True "
        "--set SecPrintPassword=2468 --save-defaults");
    Dictionary saved = cups.savedOptions("VelmoraPress");
    EXPECT_EQ(saved.get("ColorModel"), Value("Gray")) << Value(saved).toJson();
    for (const auto& [option, value] : saved)
        EXPECT_THAT(option, ::testing::Not(HasSubstr("Password"))) << "a password was saved";
    // The PIN is never saved: the next job is given one, as a person would type it.
    Dictionary next = run("print " + kSample + " -d VelmoraPress --set SecPrintPassword=1357");
    EXPECT_EQ(next.get("options").dictionary()->get("ColorModel"), Value("Gray"));
    EXPECT_EQ(next.get("options").dictionary()->get("SecPrint"), Value("True"));
}

// Saved defaults keep Secure Print but never its PIN: the next job, with nothing set, is refused
// with the reason instead of reaching the press without a PIN.
TEST_F(CupsPrintTest, SecurePrintFromSavedDefaultsIsNotSentWithoutItsPin) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("print " + kSample +
        " -d VelmoraPress --set SecPrint=True --set SecPrintPassword=2468 --save-defaults");
    run("print " + kSample + " -d VelmoraPress", 1);
    EXPECT_THAT(errors(), HasSubstr("Enter the secure print password"));
    run("print " + kSample + " -d VelmoraPress --set SecPrintPassword=1357");
}

TEST_F(CupsPrintTest, AnOptionTheQueueLacksTravelsAsAnEntryOfThePanel) {
    addQueue("Lean", queuePpd("lean", "", "ColorModel"));
    Dictionary printed = run("print " + kSample + " -d Lean --set ColorMode=Gray");
    const Dictionary& options = *printed.get("options").dictionary();
    EXPECT_FALSE(options.contains("ColorModel"));
    EXPECT_EQ(options.get(PanelTicketEntries::key("ColorMode")), Value("Gray"));
    int job = static_cast<int>(printed.get("job").integerValue());
    EXPECT_EQ(cups.jobAttributes(job).get(PanelTicketEntries::key("ColorMode")), Value("Gray"));
}

TEST_F(CupsPrintTest, FavoritesBecomeInstancesEveryApplicationCanPrintWith) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("panel --set ColorMode=Gray --set SecPrint=True --set SecPrintPassword=2468 "
        "--save-favorite Proofs");
    Dictionary exported = run("favorites export-instance Proofs -d VelmoraPress");
    EXPECT_EQ(exported.get("destination"), Value("VelmoraPress/Proofs"));
    Dictionary instance = cups.savedOptions("VelmoraPress", std::string("Proofs"));
    EXPECT_EQ(instance.get("ColorModel"), Value("Gray"));
    // What the user's lpoptions hold for the instance: no secrets, copies or job name.
    std::string lpoptions = test::readFile(cupsd.root() + "/etc/lpoptions") +
                            test::readFile(cupsd.root() + "/home/.cups/lpoptions");
    ASSERT_NE(lpoptions.find("Dest VelmoraPress/Proofs "), std::string::npos) << lpoptions;
    auto line = lpoptions.substr(lpoptions.find("Dest VelmoraPress/Proofs "));
    line = line.substr(0, line.find('\n'));
    EXPECT_THAT(line, HasSubstr("ColorModel=Gray"));
    for (const char* kept : {"Password", "copies=", "JobName"})
        EXPECT_THAT(line, ::testing::Not(HasSubstr(kept)));

    std::string out = test::PrivateCupsd::run("lp -d VelmoraPress/Proofs " + kSample + " 2>&1");
    ASSERT_THAT(out, HasSubstr("request id is VelmoraPress-"));
    int job = std::stoi(out.substr(out.find('-') + 1));
    EXPECT_EQ(cups.jobAttributes(job).get("ColorModel"), Value("Gray"));

    run("favorites export-instance Proofs -d VelmoraPress --remove");
    EXPECT_TRUE(cups.savedOptions("VelmoraPress", std::string("Proofs")).empty());
}

// Text fields of 100 characters each, with what enables them.
const char* const kLongText = "Field text with spaces, commas; and more words to reach exactly "
                              "one hundred characters of it........";

std::string manyChangedOptions() {
    std::vector<std::pair<std::string, std::string>> sets = {{"PaperTypeCustomName", kLongText},
                                                             {"UserName", kLongText},
                                                             {"ImageUserAdjust", "True"},
                                                             {"ImageUserAdjustName", kLongText},
                                                             {"ImageTonerCurve", "True"},
                                                             {"ImageTonerCurveName", kLongText},
                                                             {"TextUserAdjust", "True"},
                                                             {"TextUserAdjustName", kLongText},
                                                             {"TextTonerCurve", "True"},
                                                             {"TextTonerCurveName", kLongText},
                                                             {"ImageCalibrationType", "File"},
                                                             {"ImageCalibration", kLongText},
                                                             {"TextCalibrationType", "File"},
                                                             {"TextCalibration", kLongText},
                                                             {"MemoComment", "True"},
                                                             {"MemoCommentContent", kLongText},
                                                             {"OptionMemo", "True"},
                                                             {"OptionMemoFile", kLongText},
                                                             {"UserDefineMemo", "True"},
                                                             {"UserDefineMemoFile", kLongText},
                                                             {"ColorPatch", "True"},
                                                             {"ColorPatchFile", kLongText},
                                                             {"TrappingProcessMode", "Template"},
                                                             {"TrappingProcessFile", kLongText},
                                                             {"Collate", "False"},
                                                             {"DuplexMode", "DuplexNoTumble"},
                                                             {"ColorMode", "Auto"},
                                                             {"DocumentOrientation", "Landscape"},
                                                             {"KVInputSlot", "Tray1"},
                                                             {"AutoTraySettingToBypass", "False"},
                                                             {"MediaTypeWeight", "Group1"},
                                                             {"PaperColor", "White"},
                                                             {"MediaTypeCoatingMaterial", "Gloss"},
                                                             {"MediaTypeGlossFine", "True"},
                                                             {"MediaTypePreprinted", "True"},
                                                             {"MediaTypeDrilled", "True"},
                                                             {"ChgPrintPaperSizeType", "A3"},
                                                             {"Covers", "Front"},
                                                             {"InsertBlankBefore", "True"},
                                                             {"InsertBlankAfter", "True"},
                                                             {"SlipSheets", "BetweenSets"},
                                                             {"PagePrintOnCenter", "True"},
                                                             {"PaginationMode", "Auto"},
                                                             {"OffsetMode", "JobOffset"},
                                                             {"Fold", "Bifold"},
                                                             {"CreaseMode", "SaddleFold"},
                                                             {"TopAndTailTrim", "True"},
                                                             {"Trimmer", "True"},
                                                             {"ColorModel", "CMYK2"},
                                                             {"Resolution", "600dpi"},
                                                             {"Screening", "Screen175"},
                                                             {"GraphicsTreatmentEx", "JobImage"},
                                                             {"BlackOverprint", "False"},
                                                             {"HairLineWarning", "True"},
                                                             {"MinimumLineWidth", "True"},
                                                             {"UseSpToner", "True"},
                                                             {"TwoColorPressSimulation", "True"},
                                                             {"ColorSetupProfile", "Profile2"},
                                                             {"RgbColorCorrection", "False"},
                                                             {"CmykColorCorrection", "True"},
                                                             {"CmykAdjustmentSpotColor", "True"},
                                                             {"SpotColorCorrection", "False"},
                                                             {"JobDisposition", "PrintAndHold"},
                                                             {"SamplePrintMode", "SampleSet"},
                                                             {"BannerSheet", "True"},
                                                             {"ZRRIPMode", "APPE"},
                                                             {"PreflightMode", "Check"},
                                                             {"RecordDiv", "Record"},
                                                             {"AuthJob", "True"},
                                                             {"SecPrint", "True"},
                                                             {"SecPrintPassword", "2468"}};
    std::string arguments;
    for (const auto& [option, value] : sets)
        arguments += " --set " + shellQuote(option + "=" + value);
    return arguments;
}

// The lpoptions line of a destination, as the user's file holds it.
std::string lpoptionsLine(const test::PrivateCupsd& cupsd, const std::string& destination) {
    std::string lpoptions = test::readFile(cupsd.root() + "/home/.cups/lpoptions");
    auto at = lpoptions.find("Dest " + destination + " ");
    if (at == std::string::npos)
        return "";
    return lpoptions.substr(at, lpoptions.find('\n', at) - at);
}

TEST_F(CupsPrintTest, AFavoriteWithSixtyChangedOptionsReachesLpAndTheNextJobWhole) {
    addQueue("VelmoraPress", queuePpd("press"));
    Dictionary plain = *run("print " + kSample + " -d VelmoraPress").get("options").dictionary();
    run("panel" + manyChangedOptions() + " --save-favorite Proofs");
    run("favorites export-instance Proofs -d VelmoraPress");
    Dictionary first =
        *run("print " + kSample + " -d VelmoraPress --favorite Proofs --save-defaults")
             .get("options")
             .dictionary();
    std::size_t changed = 0, longTexts = 0;
    for (const auto& [option, value] : first) {
        changed += plain.get(option) != value;
        longTexts += value.stringValue().size() >= 100;
    }
    ASSERT_GE(changed, 60u);
    ASSERT_GE(longTexts, 12u);
    for (const char* destination : {"VelmoraPress", "VelmoraPress/Proofs"}) {
        std::string line = lpoptionsLine(cupsd, destination);
        EXPECT_FALSE(line.empty()) << destination;
        EXPECT_LT(line.size(), CupsConnection::kMaxLpoptionsLineBytes) << destination;
    }

    // The next session starts from the saved defaults: every option the user may keep, whole.
    // (The PIN is never saved, so the next job is given one.)
    Dictionary next = *run("print " + kSample + " -d VelmoraPress --set SecPrintPassword=1357")
                           .get("options")
                           .dictionary();
    Dictionary kept = JobOptions::shareable(first);
    for (const auto& [option, value] : kept)
        EXPECT_EQ(next.get(option), value) << option;

    // Any application printing to the instance sends the favorite's options.
    std::string out = test::PrivateCupsd::run("lp -d VelmoraPress/Proofs " + kSample + " 2>&1");
    ASSERT_THAT(out, HasSubstr("request id is VelmoraPress-"));
    int job = std::stoi(out.substr(out.find('-') + 1));
    // lp sends True and False as IPP booleans, which read back in lower case; the job's own
    // collate and sides travel as the PPD's Collate and Duplex; the favorite an instance came
    // from is no entry of it.
    Dictionary sent = JobOptions::fromStored(cups.jobAttributes(job));
    for (const auto& [option, value] : kept) {
        if (option == "collate" || option == "sides" ||
            option == PanelTicketEntries::key("FavoriteName"))
            continue;
        if (value.stringValue().empty())
            EXPECT_NE(sent.get(option), Value("true")) << option << " came back as true";
        else
            EXPECT_EQ(
                strcasecmp(sent.get(option).stringValue().c_str(), value.stringValue().c_str()), 0)
                << option << ": " << sent.get(option).stringValue() << " for "
                << value.stringValue();
    }
    EXPECT_EQ(sent.get("Collate"), Value("false"));
    EXPECT_EQ(sent.get("Duplex"), Value("DuplexNoTumble"));
}

TEST_F(CupsPrintTest, AnInstanceThatWouldTakeTextFromTheQueuesDefaultsIsRefused) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("print " + kSample +
        " -d VelmoraPress --set MemoComment=True --set MemoCommentContent=Memo --save-defaults");
    run("panel --save-favorite Plain");
    run("favorites export-instance Plain -d VelmoraPress", 1);
    EXPECT_THAT(errors(), HasSubstr("MemoCommentContent"));
    EXPECT_FALSE(cups.hasInstance("VelmoraPress", "Plain"));
    EXPECT_EQ(cups.savedOptions("VelmoraPress").get("velmora.MemoCommentContent"), Value("Memo"));
}

// An instance written in the long form under a queue line already in the short form keeps its
// own values; a PPD choice that spells collate its own way is read as collate; the next save
// writes every line in the short form with the same values.
TEST_F(CupsPrintTest, LinesOfEitherFormReadAsTheirOwnersSavedThem) {
    addQueue("VelmoraPress", queuePpd("press"));
    const std::string entry = PanelTicketEntries::key("UserName");
    std::filesystem::create_directories(cupsd.root() + "/home/.cups");
    std::ofstream(cupsd.root() + "/home/.cups/lpoptions")
        << "Dest VelmoraPress collate=false velmora.UserName=Queue ColorMode=Gray\n"
        << "Dest VelmoraPress/Proofs Collate=True " << entry << "=Own ColorMode=Color\n";
    auto options = [&](const std::string& destination) {
        return *run("print " + kSample + " -d " + destination).get("options").dictionary();
    };
    for (int save = 0; save < 2; ++save) {
        Dictionary queue = options("VelmoraPress"), proofs = options("VelmoraPress/Proofs");
        EXPECT_EQ(queue.get(entry), Value("Queue")) << save;
        EXPECT_EQ(queue.get("collate"), Value("false")) << save;
        EXPECT_EQ(proofs.get(entry), Value("Own")) << save;
        EXPECT_EQ(proofs.get("collate"), Value("true")) << save;
        EXPECT_FALSE(proofs.contains("ColorMode")) << save; // Color is the PPD's default
        EXPECT_FALSE(queue.contains("ColorMode") && queue.get("ColorMode") != Value("Gray"));
        // A save rewrites every line, the instance's too.
        run("print " + kSample + " -d VelmoraPress --set ColorMode=Gray --save-defaults");
    }
    std::string lpoptions = test::readFile(cupsd.root() + "/home/.cups/lpoptions");
    EXPECT_EQ(lpoptions.find(JobOptions::kEntryPrefix), std::string::npos) << lpoptions;
    EXPECT_THAT(lpoptionsLine(cupsd, "VelmoraPress/Proofs"), HasSubstr("velmora.UserName=Own"));
}

// Saving into an instance from a job keeps its choices at the PPD's default, so that it does not
// take the queue's; a save that would be refused is found without writing anything.
TEST_F(CupsPrintTest, AJobSavedIntoAnInstanceKeepsItsDefaultsAndWhatItWouldInheritIsFoundFirst) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("print " + kSample +
        " -d VelmoraPress --set ColorMode=Gray --set UserName=Anna --save-defaults");
    run("panel --set UserName=Bob --save-favorite Proofs");
    run("favorites export-instance Proofs -d VelmoraPress");
    run("print " + kSample + " -d VelmoraPress/Proofs --set ColorMode=Color --save-defaults");
    EXPECT_EQ(cups.savedOptions("VelmoraPress", std::string("Proofs")).get("ColorModel"),
              Value("RGB"));
    Dictionary next =
        *run("print " + kSample + " -d VelmoraPress/Proofs").get("options").dictionary();
    EXPECT_NE(next.get("ColorModel"), Value("Gray"));

    // What an instance would take from its queue is found before anything is written, so that
    // velmora print can say it before the job is sent.
    std::string before = test::readFile(cupsd.root() + "/home/.cups/lpoptions");
    Dictionary emptied = cups.savedOptions("VelmoraPress", std::string("Proofs"));
    emptied.set("velmora.UserName", Value(""));
    auto refused = cups.canSaveOptions("VelmoraPress", std::string("Proofs"), emptied);
    EXPECT_FALSE(refused);
    EXPECT_THAT(refused.error(), HasSubstr("set UserName, which these options leave empty"));
    EXPECT_EQ(test::readFile(cupsd.root() + "/home/.cups/lpoptions"), before);
    emptied.set("velmora.UserName", Value("Carl"));
    auto fits = cups.canSaveOptions("VelmoraPress", std::string("Proofs"), emptied);
    EXPECT_TRUE(fits) << fits.error();
}

// A raw queue and a queue whose PPD is not the press's are named for what they are, and nothing
// is printed to them with the press's settings.
// The panel asks for the device URI with every server list it reads: a session's printer asks
// the scheduler once, not with every list.
TEST_F(CupsPrintTest, TheQueuesDeviceUriIsAskedOfTheSchedulerOncePerSession) {
    addQueue("VelmoraPress", queuePpd("press"));
    CupsPrinter printer(cups, "VelmoraPress");
    auto first = printer.deviceURI();
    ASSERT_EQ(first, "file://" + cupsd.root() + "/out/VelmoraPress.out");
    test::PrivateCupsd::run("/usr/sbin/lpadmin -h " + cupsd.server() +
                            " -p VelmoraPress -v file:///dev/null 2>&1");
    for (int list = 0; list < 30; ++list)
        ASSERT_EQ(printer.deviceURI(), first) << "asked again for list " << list;
    EXPECT_EQ(CupsPrinter(cups, "VelmoraPress").deviceURI(), "file:///dev/null")
        << "the next session asks anew";
    CupsPrinter missing(cups, "NoSuchQueue");
    EXPECT_EQ(missing.deviceURI(), std::nullopt);
    addQueue("NoSuchQueue", queuePpd("late"));
    EXPECT_EQ(missing.deviceURI(), "file://" + cupsd.root() + "/out/NoSuchQueue.out")
        << "a URI the scheduler could not give is asked for again";
}

TEST_F(CupsPrintTest, QueuesThatAreNoVelmoraPressAreSaidToBeSo) {
    std::string generic = dir.write("generic.ppd", "*PPD-Adobe: \"4.3\"\n"
                                                   "*FormatVersion: \"4.3\"\n"
                                                   "*FileVersion: \"1.0\"\n"
                                                   "*LanguageVersion: English\n"
                                                   "*LanguageEncoding: ISOLatin1\n"
                                                   "*PCFileName: \"GENERIC.PPD\"\n"
                                                   "*Manufacturer: \"Generic\"\n"
                                                   "*Product: \"(Generic)\"\n"
                                                   "*ModelName: \"Generic Office Laser\"\n"
                                                   "*ShortNickName: \"Generic Office Laser\"\n"
                                                   "*NickName: \"Generic Office Laser\"\n"
                                                   "*PSVersion: \"(3010.000) 0\"\n"
                                                   "*OpenUI *PageSize: PickOne\n"
                                                   "*DefaultPageSize: A4\n"
                                                   "*PageSize A4/A4: \"\"\n"
                                                   "*CloseUI: *PageSize\n");
    addQueue("Office", generic);
    test::PrivateCupsd::run("/usr/sbin/lpadmin -h " + cupsd.server() +
                            " -p RawQ -E -v file:///dev/null -m raw 2>&1");
    ASSERT_TRUE(cups.hasDestination("RawQ"));
    for (const auto& [queue, why] : std::vector<std::pair<std::string, std::string>>{
             {"RawQ", "it has no PPD (a raw queue)"},
             {"Office",
              "its PPD (Generic Office Laser) lacks the press's tray option KVInputSlot"}}) {
        Dictionary printed = run("print " + kSample + " -d " + queue, 1);
        EXPECT_TRUE(printed.empty());
        EXPECT_THAT(errors(),
                    HasSubstr("the queue \"" + queue + "\" is not a Velmora press: " + why))
            << queue;
    }
    EXPECT_EQ(cups.jobAttributes(1).size(), 0u) << "a job was submitted";
}

// ---- Server lists ----

class FakePrintServer {
public:
    explicit FakePrintServer(std::string feeders, int delayMs = 0)
        : http([this, delayMs](const test::HttpRequest& request) {
              test::HttpResponse response;
              response.delayMs = delayMs;
              response.headers = {{"Content-Type", "text/xml; charset=utf-8"}};
              response.body = request.body.find("getFeederInfoList") != std::string::npos
                                  ? _feeders
                                  : test::soap::response("getStackerInfoListResponse",
                                                         test::soap::list("ary", {}) +
                                                             test::soap::status("OK"));
              return response;
          }),
          _feeders(std::move(feeders)) {}
    test::TestHttpServer http;

private:
    std::string _feeders;
};

std::string feederAnswer(const std::vector<std::string>& numbers) {
    std::vector<std::string> records;
    for (const auto& number : numbers)
        records.push_back(test::soap::record({{"Number", number}}));
    return test::soap::response("getFeederInfoListResponse",
                                test::soap::list("ary", records) + test::soap::status("OK"));
}

std::optional<Value> listInQueue(CupsConnection& cups, const std::string& queue,
                                 const std::string& name) {
    CupsConnection::FetchedPpd ppd;
    if (!cups.fetchPpd(queue, ppd))
        return std::nullopt;
    ppd_file_t* file = ppdOpenFile(ppd.path.c_str());
    auto list = PpdDataBlock::readList(file, name);
    ppdClose(file);
    std::remove(ppd.path.c_str());
    return list;
}

TEST_F(CupsPrintTest, RefreshListsWritesTheServersListsIntoThePpd) {
    FakePrintServer server(feederAnswer({"1", "2", "3", "4"}));
    ASSERT_TRUE(server.http.ok());
    addQueue("VelmoraPress", queuePpd("press", "*VelmoraPrintServer: \"127.0.0.1:" +
                                                   std::to_string(server.http.port()) + "\"\n"));
    auto before = listInQueue(cups, "VelmoraPress", "FeederInfoList");
    run("print " + kSample + " -d VelmoraPress --set KVInputSlot=Tray4", 1); // not there yet
    Dictionary refreshed = run("refresh-lists -d VelmoraPress FeederInfoList --timeout 60");
    EXPECT_EQ(refreshed.get("changed"), Value(Array{Value("FeederInfoList")})) << cupsd.errorLog();
    auto after = listInQueue(cups, "VelmoraPress", "FeederInfoList");
    ASSERT_TRUE(after);
    EXPECT_NE(after, before);
    EXPECT_EQ(after->array()->size(), 4u);
    EXPECT_EQ((*after->array())[3], Value(Array{Value("4"), Value("Number")}));
    // The next session offers the trays the press now reports.
    run("print " + kSample + " -d VelmoraPress --set KVInputSlot=Tray4");
    // A shorter list leaves no stale tail behind.
    FakePrintServer shorter(feederAnswer({"2"}));
    addQueue("VelmoraPress", queuePpd("press2", "*VelmoraPrintServer: \"127.0.0.1:" +
                                                    std::to_string(shorter.http.port()) + "\"\n"));
    run("refresh-lists -d VelmoraPress FeederInfoList");
    EXPECT_EQ(listInQueue(cups, "VelmoraPress", "FeederInfoList"),
              Value(Array{Value(Array{Value("2"), Value("Number")})}));
}

TEST_F(CupsPrintTest, AServerThatFailsLeavesThePpdAsItWas) {
    FakePrintServer garbage("<html>not soap</html>");
    FakePrintServer slow(feederAnswer({"1"}), 5000);
    struct Case {
        const char* label;
        std::string server;
    };
    const Case cases[] = {
        {"down", "127.0.0.1:1"},
        {"garbage", "127.0.0.1:" + std::to_string(garbage.http.port())},
        {"slow", "127.0.0.1:" + std::to_string(slow.http.port())},
    };
    for (const auto& c : cases) {
        addQueue("VelmoraPress", queuePpd(std::string("press-") + c.label,
                                          "*VelmoraPrintServer: \"" + c.server +
                                              "\"\n*VelmoraPrintServerTimeout: \"1\"\n"));
        auto before = listInQueue(cups, "VelmoraPress", "FeederInfoList");
        ASSERT_TRUE(before) << c.label;
        Dictionary result = run("refresh-lists -d VelmoraPress FeederInfoList", 1);
        EXPECT_THAT(errors(),
                    HasSubstr("lists not refreshed: 1 of 1 list failed: FeederInfoList ("))
            << c.label;
        EXPECT_TRUE(result.get("changed").array() && result.get("changed").array()->empty())
            << c.label;
        EXPECT_EQ(listInQueue(cups, "VelmoraPress", "FeederInfoList"), before) << c.label;
    }
}

TEST_F(CupsPrintTest, UnknownQueuesMissingFilesAndAStoppedServerAreClearErrors) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("print " + kSample + " -d NoSuchQueue", 1);
    EXPECT_THAT(errors(), HasSubstr("there is no queue \"NoSuchQueue\""));
    run("print " + (dir / "missing.pdf") + " -d VelmoraPress", 1);
    EXPECT_THAT(errors(), HasSubstr("missing.pdf: no such file"));
    run("refresh-lists -d NoSuchQueue", 1);
    EXPECT_THAT(errors(), HasSubstr("there is no queue"));
    cupsd.stop();
    run("print " + kSample + " -d VelmoraPress", 1);
    EXPECT_THAT(errors(), HasSubstr("cannot reach the CUPS scheduler"));
    run("refresh-lists -d VelmoraPress", 1);
    EXPECT_THAT(errors(), HasSubstr("cannot reach the CUPS scheduler"));
}

TEST_F(CupsPrintTest, WithoutAQueueTheSamplePressKeepsTheJobInAFolder) {
    cupsd.stop(); // no scheduler, no default destination
    std::string folder = dir / "jobs";
    Dictionary printed =
        run("print " + kSample + " --output-dir " + folder + " --set ColorMode=Gray");
    EXPECT_EQ(printed.get("destination"), Value("VelmoraPress (embedded)"));
    EXPECT_THAT(printed.get("note").stringValue(),
                HasSubstr("no CUPS default queue is configured"));
    Dictionary ticket = run("ticket " + printed.get("package").stringValue());
    EXPECT_EQ(ticket.get("options").dictionary()->get("ColorModel"), Value("Gray"));
    EXPECT_EQ(ticket.get("documents").array()->at(0).dictionary()->get("name"),
              Value("SampleJob.pdf"));
}

// ---- What the press receives ----

// Options of every kind the press has, set as a print operator would: a tray, duplex, secure
// print, copies and a dozen of the panes' own; each finishing beside them (the press staples,
// punches and folds into its finisher, never into a stacker).
const char* const kPressJobSettings =
    " --set KVInputSlot=Tray2 --set DuplexMode=DuplexNoTumble --set SecPrint=True"
    " --set SecPrintPassword=1234 --set ColorMode=Gray --set DocumentOrientation=Landscape"
    " --set SlipSheets=BetweenSets --set Resolution=1200dpi --set Screening=Screen200"
    " --set BlackOverprint=False --set BannerSheet=True"
    " --set OffsetMode=JobOffset --set HairLineWarning=True"
    " --set UserName=Proofing --set NumCopies=3";
const char* const kStapleAndPunch =
    " --set StapleMode_StapleMechanism=LeftEdgeUseStaple --set Punch_PunchHoles=LeftHoles2";

TEST_F(CupsPrintTest, ThePressReceivesEveryOptionOfTheJobInItsTicket) {
    addQueue("VelmoraPress", queuePpd("press"));
    const std::string set = "/x:XJDF/x:ResourceSet";
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        std::string finishing;
        Pairs options; // option → value in the ticket
        Pairs xpaths;  // XPath → value in the XJDF
    } cases[] = {
        {kStapleAndPunch,
         {{"StapleMode", "LeftEdge"}, {"Punch", "Left"}, {"PunchHoles", "Holes2"}},
         {{set + "[@Name='StitchingParams']//@StitchType", "Side"},
          {set + "[@Name='StitchingParams']//@NumberOfStitches", "2"},
          {set + "[@Name='HoleMakingParams']//x:HolePattern/@Pattern", "R2-generic"},
          {set + "[@Name='HoleMakingParams']//x:HolePattern/@ReferenceEdge", "Left"}}},
        {" --set Fold=BifoldInside",
         {{"Fold", "BifoldInside"}},
         {{set + "[@Name='FoldingParams']//@FoldCatalog", "F4-1"}}},
        {" --set OutputTray=Stackertray",
         {{"OutputBin", "stacker-1"}},
         {{set + "[@Name='StackingParams']//@OutputBin", "stacker-1"}}},
    };
    test::XjdfSchema schema;
    for (const auto& [finishing, expectedOptions, expectedPaths] : cases) {
        SCOPED_TRACE(finishing);
        Dictionary printed = run("print " + kSample + " -d VelmoraPress --job-name Proofs" +
                                 kPressJobSettings + finishing);
        int job = static_cast<int>(printed.get("job").integerValue());
        ASSERT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
        std::string device = deviceFile(cupsd, "VelmoraPress");
        Dictionary ticket = run("ticket " + device);
        const Dictionary& options = *ticket.get("options").dictionary();
        EXPECT_EQ(ticket.get("job-name"), Value("Proofs"));
        EXPECT_EQ(ticket.get("copies"), Value(3));
        // The document is the sample's one page once: the press makes the three copies.
        const Array& documents = *ticket.get("documents").array();
        ASSERT_EQ(documents.size(), 1u);
        EXPECT_EQ(documents[0].dictionary()->get("pages"), Value(1));
        EXPECT_EQ(documents[0].dictionary()->get("size"),
                  Value(static_cast<std::int64_t>(std::filesystem::file_size(kSample))));
        // Every option the job was given, with the value it was given.
        std::size_t compared = 0;
        for (const auto& [name, value] : *printed.get("options").dictionary()) {
            if (name == "copies" || name == "collate" || name == "sides")
                continue;
            std::string keyword = name.starts_with(JobOptions::kEntryPrefix)
                                      ? name.substr(std::string(JobOptions::kEntryPrefix).size())
                                      : name;
            EXPECT_EQ(options.get(keyword), value) << keyword;
            ++compared;
        }
        EXPECT_GT(compared, 100u);
        Pairs common = {{"KVInputSlot", "Tray2"},         {"InputSlot", "Tray2"},
                        {"Duplex", "DuplexNoTumble"},     {"SecPrint", "True"},
                        {"SecPrintPassword", "********"}, {"Resolution", "1200dpi"},
                        {"UserName", "Proofing"},         {"DocumentOrientation", "Landscape"}};
        for (const auto& pairs : {common, expectedOptions})
            for (const auto& [option, value] : pairs)
                EXPECT_EQ(options.get(option), Value(value)) << option;

        // What a device that reads XJDF finds, and that CIP4's schema accepts it.
        auto xjdf = test::runVelmora("ticket --xjdf " + device, dir / "err");
        ASSERT_EQ(xjdf.status, 0) << errors();
        EXPECT_EQ(schema.problems(xjdf.out), "");
        Pairs paths = {{"/x:XJDF/@DescriptiveName", "Proofs"},
                       {set + "[@Name='Component']//x:PartAmount/@Amount", "3"},
                       {set + "[@Name='Media']//x:Part/@Location", "Tray2"},
                       {set + "[@Name='DigitalPrintingParams']//@Sides", "TwoSided"},
                       {set + "[@Name='ColorantControl']//@ProcessColorModel", "DeviceGray"},
                       {set + "[@Name='RunList']//x:FileSpec/@MimeType", "application/pdf"},
                       // the press alone reads the PIN, in the codec's encoding
                       {"//*[local-name()='Option'][@Name='SecPrintPassword']/@Value", "6BF62ABF"}};
        for (const auto& pairs : {paths, expectedPaths})
            for (const auto& [path, value] : pairs)
                EXPECT_EQ(test::xpath(xjdf.out, path), value) << path;
    }
}

// A queue set up with the press's PPD from before job packages would hand the press a bare
// PDF: velmora says so and sends nothing.
TEST_F(CupsPrintTest, AQueueWithAnOlderPpdIsToldToBeSetUpAgainAndGetsNothing) {
    std::string old = test::readFile(std::string(VELMORA_STORED_CORPUS) + "/ppd/VelmoraPress.ppd");
    addQueue("Older", dir.write("older.ppd", old));
    run("print " + kSample + " -d Older --set SecPrint=True --set SecPrintPassword=1234", 1);
    EXPECT_THAT(errors(), HasSubstr("does not take the press's job packages"));
    EXPECT_FALSE(std::filesystem::exists(deviceFile(cupsd, "Older")));
    EXPECT_THAT(test::PrivateCupsd::run("lpstat -W all -o Older 2>&1"), Not(HasSubstr("Older-")));
}

// lp with the same options gives the press the same ticket: the queue's filter completes them
// from the PPD as velmora does. Copies are made once, by the press: pdftopdf leaves the pages.
TEST_F(CupsPrintTest, AJobFromAnyApplicationReachesThePressWithTheSameTicket) {
    addQueue("VelmoraPress", queuePpd("press"));
    Dictionary printed =
        run("print " + kSample + " -d VelmoraPress --job-name Proofs" + kPressJobSettings);
    int job = static_cast<int>(printed.get("job").integerValue());
    ASSERT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
    Dictionary fromVelmora = run("ticket " + deviceFile(cupsd, "VelmoraPress"));

    addQueue("Other", queuePpd("other"));
    std::string lp = "lp -d Other -t Proofs -n 3";
    for (const auto& [name, value] : *printed.get("options").dictionary()) {
        if (name == "copies")
            continue;
        std::string given = value.stringValue() == "********" ? "6BF62ABF" : value.stringValue();
        lp += " -o " + shellQuote(name + "=" + given);
    }
    std::string out = test::PrivateCupsd::run(lp + " " + kSample + " 2>&1");
    ASSERT_THAT(out, HasSubstr("request id is Other-")) << out;
    int other = std::stoi(out.substr(out.rfind('-') + 1));
    ASSERT_EQ(cups.waitForJob(other, 30), "completed") << jobLog(other);
    Dictionary fromLp = run("ticket " + deviceFile(cupsd, "Other"));

    EXPECT_EQ(fromLp.get("options"), fromVelmora.get("options"));
    EXPECT_EQ(fromLp.get("copies"), Value(3));
    EXPECT_EQ(fromLp.get("job-name"), Value("Proofs"));
    // pdftopdf's one page, not three: copies=3 is three copies' worth, not nine.
    EXPECT_EQ(fromLp.get("documents").array()->at(0).dictionary()->get("pages"), Value(1));
    auto xjdf = test::runVelmora("ticket --xjdf " + deviceFile(cupsd, "Other"), dir / "err");
    EXPECT_EQ(test::XjdfSchema().problems(xjdf.out), "");
}

// Print clients that know only IPP (GTK, Qt, LibreOffice, phones) see the press's finishing,
// trays and colour in the scheduler's attributes, and what they send reaches the press's ticket
// as the press's own options.
TEST_F(CupsPrintTest, IppClientsSeeThePressAndWhatTheySendReachesItsTicket) {
    addQueue("VelmoraPress", queuePpd("press"));
    std::string test = dir.write("attributes.test", R"({
  OPERATION Get-Printer-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR keyword requested-attributes all
  STATUS successful-ok
  DISPLAY finishings-supported
  DISPLAY output-bin-supported
  DISPLAY print-color-mode-supported
  DISPLAY print-color-mode-default
  DISPLAY media-source-supported
  DISPLAY media-type-supported
})");
    std::string shown = test::PrivateCupsd::run("ipptool -t ipp://" + cupsd.server() +
                                                "/printers/VelmoraPress " + test + " 2>&1");
    auto values = [&](const std::string& attribute) {
        std::smatch found;
        std::regex line(attribute + R"( \([^)]*\) = ([^\n]*))");
        return std::regex_search(shown, found, line) ? found[1].str() : std::string();
    };
    for (const char* finishing : {"staple-top-left", "staple-dual-left", "saddle-stitch",
                                  "punch-dual-left", "punch-quad-top", "fold-half", "fold-z"})
        EXPECT_THAT(values("finishings-supported"), HasSubstr(finishing)) << shown;
    EXPECT_THAT(values("output-bin-supported"), HasSubstr("auto,top,stacker-1,stacker-2"));
    EXPECT_THAT(values("output-bin-supported"), HasSubstr("finisher-1"));
    EXPECT_EQ(values("print-color-mode-supported"), "monochrome,color");
    EXPECT_EQ(values("print-color-mode-default"), "color");
    EXPECT_THAT(values("media-source-supported"), HasSubstr("auto,tray-1,tray-2"));
    EXPECT_THAT(values("media-type-supported"), HasSubstr("stationery,stationery-recycled"));

    struct Case {
        std::string ipp;
        std::vector<std::pair<std::string, std::string>> options; // in the ticket
        std::vector<std::pair<std::string, std::string>> xpaths;  // in the XJDF
    } cases[] = {
        {"-o finishings=20 -o output-bin=finisher-1 -o print-color-mode=monochrome",
         {{"StapleMode", "TopLeftCorner"}, {"OutputBin", "finisher-1"}, {"ColorModel", "Gray"}},
         {{"//x:StitchingParams/@StitchType", "Corner"},
          {"//x:StackingParams/@OutputBin", "finisher-1"},
          {"//x:ColorantControl/@ProcessColorModel", "DeviceGray"}}},
        {"-o finishings=4 -o sides=two-sided-long-edge -o media-col={media-source=tray-2}",
         {{"StapleMode", "TopLeftCorner"},
          {"Duplex", "DuplexNoTumble"},
          {"DuplexMode", "DuplexNoTumble"},
          {"InputSlot", "Tray2"},
          {"KVInputSlot", "Tray2"},
          {"ColorModel", "RGB"}},
         {{"//x:DigitalPrintingParams/@Sides", "TwoSided"},
          {"//x:ResourceSet[@Name='Media']//x:Part/@Location", "Tray2"},
          {"//x:ColorantControl/@ProcessColorModel", "DeviceCMYK"}}},
        {"-o finishings=75,93 -o media-col={media-type=stationery-recycled}",
         {{"Punch", "Top"},
          {"PunchHoles", "Holes2"},
          {"Fold", "Bifold"},
          {"MediaType", "Recycled"}},
         {{"//x:HolePattern/@ReferenceEdge", "Top"}, {"//x:FoldingParams/@FoldCatalog", "F4-1"}}},
        // Someone who knows the press's own names still reaches it.
        {"-o OutputTray=Stackertray -o ColorMode=Gray -o ColorModel=CMYK2",
         {{"OutputBin", "stacker-1"}, {"ColorModel", "Gray"}, {"ProcessColorModel", "CMYK2"}},
         {{"//x:StackingParams/@OutputBin", "stacker-1"}}},
    };
    for (const auto& [ipp, options, xpaths] : cases) {
        SCOPED_TRACE(ipp);
        std::string out =
            test::PrivateCupsd::run("lp -d VelmoraPress " + ipp + " " + kSample + " 2>&1");
        ASSERT_THAT(out, HasSubstr("request id is VelmoraPress-")) << out;
        int job = std::stoi(out.substr(out.rfind('-') + 1));
        ASSERT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
        std::string device = deviceFile(cupsd, "VelmoraPress");
        Dictionary ticket = run("ticket " + device);
        const Dictionary& held = *ticket.get("options").dictionary();
        for (const auto& [option, value] : options)
            EXPECT_EQ(held.get(option), Value(value)) << option;
        for (const char* old : {"OutputTray", "ColorMode", "ZRMediaType"})
            EXPECT_FALSE(held.contains(old)) << old;
        auto xjdf = test::runVelmora("ticket --xjdf " + device, dir / "err");
        ASSERT_EQ(xjdf.status, 0) << errors();
        EXPECT_EQ(test::XjdfSchema().problems(xjdf.out), "");
        for (const auto& [path, value] : xpaths)
            EXPECT_EQ(test::xpath(xjdf.out, path), value) << path;
    }
}

// Besides our own filter: a printer we did not write (CUPS's ippeveprinter) receives the press's
// finishing, output bin, two-sided printing and colour as the IPP attributes CUPS makes of the
// queue PPD's choices, whether a client sent IPP's attributes or the PPD's options.
TEST_F(CupsPrintTest, APrinterWeDidNotWriteReceivesThePressesChoicesAsIpp) {
    if (!test::PeerPrinter::installed())
        GTEST_SKIP() << "ippeveprinter or dbus-daemon is not installed here";
    test::PeerPrinter peer{dir};
    ASSERT_TRUE(peer.running()) << "ippeveprinter did not start: " << peer.log();
    // The queue PPD as it is, but handing the printer PDF instead of the press's package: CUPS's
    // IPP backend sends a job's options only with PDF.
    std::string text = test::readFile(VELMORA_QUEUE_PPD);
    text = std::regex_replace(text, std::regex("\\*cupsFilter2: [^\\n]*\\n"), "");
    text.insert(text.find("*cupsManualCopies"),
                "*cupsFilter2: \"application/vnd.cups-pdf application/pdf 0 -\"\n");
    std::string out = cupsd.addQueue("Peer", dir.write("peer.ppd", text), peer.uri());
    ASSERT_TRUE(cups.hasDestination("Peer")) << out;
    struct Case {
        std::string options;
        std::vector<std::string> arrives; // lines of the job's IPP attributes, or parts of them
    } cases[] = {
        {"-o finishings=20 -o output-bin=finisher-1 -o sides=two-sided-long-edge "
         "-o print-color-mode=monochrome",
         {"staple-top-left", "IPP_OUTPUT_BIN=finisher-1\n", "IPP_SIDES=two-sided-long-edge\n",
          "IPP_PRINT_COLOR_MODE=monochrome\n"}},
        {"-o StapleMode=LeftEdge -o Punch=Top -o PunchHoles=Holes2 -o Fold=Bifold "
         "-o OutputBin=stacker-2 -o Duplex=DuplexTumble",
         {"staple-dual-left", "punch-dual-top", "fold-half", "IPP_OUTPUT_BIN=stacker-2\n",
          "IPP_SIDES=two-sided-short-edge\n"}},
    };
    int peerJob = 0;
    for (const auto& [options, arrives] : cases) {
        SCOPED_TRACE(options);
        std::string sent =
            test::PrivateCupsd::run("lp -d Peer " + options + " " + kSample + " 2>&1");
        ASSERT_THAT(sent, HasSubstr("request id is Peer-")) << sent;
        int job = std::stoi(sent.substr(sent.rfind('-') + 1));
        ASSERT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
        std::string attributes = peer.jobAttributes(++peerJob, 30);
        ASSERT_THAT(attributes, HasSubstr("IPP_DOCUMENT_FORMAT_SUPPLIED=application/pdf"));
        std::string finishings;
        std::smatch found;
        if (std::regex_search(attributes, found, std::regex("IPP_FINISHINGS=([^\\n]*)")))
            finishings = found[1].str();
        for (const auto& part : arrives)
            EXPECT_THAT(part.starts_with("IPP_") ? attributes : finishings, HasSubstr(part))
                << attributes;
    }
}

// A document from any application with the press's options and nothing else: the PPD's
// defaults fill in the rest, and CUPS's own page selection is applied to the pages once.
TEST_F(CupsPrintTest, PlainLpGetsThePpdsDefaultsAndCupsPageSelectionOnce) {
    addQueue("VelmoraPress", queuePpd("press"));
    std::string pages = dir / "three.pdf";
    test::PrivateCupsd::run("pdfunite " + kSample + " " + kSample + " " + kSample + " " + pages);
    ASSERT_TRUE(std::filesystem::exists(pages));
    std::string out = test::PrivateCupsd::run("lp -d VelmoraPress -n 2 -o StapleMode=TopLeftCorner "
                                              "-o page-ranges=2-3 " +
                                              pages + " 2>&1");
    ASSERT_THAT(out, HasSubstr("request id is VelmoraPress-")) << out;
    int job = std::stoi(out.substr(out.rfind('-') + 1));
    ASSERT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
    Dictionary ticket = run("ticket " + deviceFile(cupsd, "VelmoraPress"));
    const Dictionary& options = *ticket.get("options").dictionary();
    EXPECT_EQ(options.get("StapleMode"), Value("TopLeftCorner"));
    EXPECT_EQ(options.get("ColorModel"), Value("RGB")); // the PPD's default
    EXPECT_EQ(ticket.get("copies"), Value(2));
    EXPECT_EQ(ticket.get("documents").array()->at(0).dictionary()->get("pages"), Value(2));
}

// The secure-print PIN and the authentication password reach the press in its ticket and no one
// else: not the job's attributes, not the filters' command lines, not the scheduler's log, not
// the user's lpoptions or velmora's output, and the spooled package is closed to other users.
TEST_F(CupsPrintTest, PasswordsReachThePressAndNoOneElse) {
    addQueue("VelmoraPress", queuePpd("press"));
    std::string tmp = dir / "tmp";
    std::filesystem::create_directories(tmp);
    test::ScopedEnv temporary{"TMPDIR", tmp.c_str()};
    std::atomic<bool> printing{true};
    std::string commandLines;
    std::thread sampler([&] {
        while (printing) {
            commandLines += test::PrivateCupsd::run("ps -eo args 2>/dev/null");
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    auto printed = test::runVelmora(
        "print " + kSample +
            " -d VelmoraPress --save-defaults --set SecPrint=True "
            "--set SecPrintPassword=1234 --set AuthJob=True "
            "--set AuthJobUserIdType=ID --set AuthJobUserId=operator --set AuthJobPassword=s3cret",
        dir / "err");
    auto parsed = JsonReader::parse(printed.out);
    ASSERT_TRUE(parsed && parsed->dictionary()) << printed.out << errors();
    int job = static_cast<int>(parsed->dictionary()->get("job").integerValue());
    std::string state = cups.waitForJob(job, 30).value_or("");
    printing = false;
    sampler.join();
    ASSERT_EQ(state, "completed") << jobLog(job);

    auto xjdf = test::runVelmora("ticket --xjdf " + deviceFile(cupsd, "VelmoraPress"), dir / "err");
    std::string pin =
        test::xpath(xjdf.out, "//*[local-name()='Option'][@Name='SecPrintPassword']/@Value");
    std::string password =
        test::xpath(xjdf.out, "//*[local-name()='Option'][@Name='AuthJobPassword']/@Value");
    EXPECT_EQ(pin, "6BF62ABF");
    ASSERT_FALSE(password.empty());
    ASSERT_NE(password, "s3cret");

    // The scheduler hands each filter the job's attributes on its command line, where every
    // local user reads them (argv[0] is the queue's name), and logs them at debug level.
    std::string filterLines;
    std::istringstream sampled(commandLines);
    for (std::string line; std::getline(sampled, line);)
        if (line.starts_with("VelmoraPress "))
            filterLines += line + "\n";
    std::string log = cupsd.errorLog();
    ASSERT_THAT(jobLog(job), HasSubstr("argv[5]=")) << "the filters' arguments were not logged";
    const std::pair<const char*, std::string> places[] = {
        {"the job's attributes", Value(cups.jobAttributes(job)).toJson(0)},
        {"the filters' command lines", filterLines},
        {"the scheduler's log", log},
        {"lpoptions", test::readFile(cupsd.root() + "/home/.cups/lpoptions") +
                          test::readFile(cupsd.root() + "/etc/lpoptions")},
        {"velmora's output", printed.out},
        {"velmora's errors", errors()}};
    for (const auto& [place, text] : places)
        for (const std::string& secret :
             {pin, password, std::string("1234"), std::string("s3cret")})
            EXPECT_THAT(text, Not(HasSubstr(secret))) << secret << " in " << place;
    EXPECT_TRUE(std::filesystem::is_empty(tmp)) << "a package was left in the temporary folder";

    // Nothing of the job is left in the scheduler's temporary folder.
    for (const auto& entry : std::filesystem::directory_iterator(cupsd.root() + "/spool/tmp"))
        EXPECT_FALSE(entry.path().filename().string().starts_with("velmora-")) << entry.path();
    // Another local user: the spooled document is closed to them.
    int spooled = 0;
    for (const auto& entry : std::filesystem::directory_iterator(cupsd.root() + "/spool")) {
        if (!entry.path().filename().string().starts_with("d"))
            continue;
        ++spooled;
        struct stat st {};
        ASSERT_EQ(::stat(entry.path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0007, 0u) << entry.path() << " is open to every user";
        if (::geteuid() != 0)
            continue; // only root can act as another user
        std::string read =
            test::PrivateCupsd::run("setpriv --reuid=nobody --regid=nogroup --clear-groups cat " +
                                    shellQuote(entry.path().string()) + " 2>&1");
        EXPECT_THAT(read, Not(HasSubstr(pin))) << entry.path();
        EXPECT_THAT(read, HasSubstr("Permission denied")) << entry.path();
    }
    EXPECT_GT(spooled, 0) << "the scheduler kept no document of the job to look at";
}

// ---- What a printing user or a print server can do to the queue ----

// The queue's PPD as the scheduler serves it, byte for byte.
std::string ppdText(CupsConnection& cups, const std::string& queue) {
    CupsConnection::FetchedPpd ppd;
    if (!cups.fetchPpd(queue, ppd))
        return "";
    std::string text = test::readFile(ppd.path);
    std::remove(ppd.path.c_str());
    return text;
}

std::string withoutLine(const std::string& text, const std::string& keyword) {
    return std::regex_replace(text, std::regex("\\*" + keyword + ":[^\\n]*\\n"), "");
}

TEST_F(CupsPrintTest, ACommandFileCannotRewriteTheQueuesPpd) {
    addQueue("VelmoraPress", queuePpd("press"));
    std::string before = ppdText(cups, "VelmoraPress");
    ASSERT_FALSE(before.empty());
    const std::string injected =
        "PPD:DefaultColorMode=Gray\vDefaultPageSize=Letter\vVelmoraPrintServer=evil.example:80"
        "\vFoomaticRIPCommandLine=x\vZ=";
    const std::vector<std::string> commandFiles[] = {
        {std::string(2022, 'A') + injected},
        {"ReportLevels " + std::string(2000, 'N') + injected},
        {"Unknown\n" + injected},
    };
    for (const auto& commands : commandFiles) {
        auto submitted = cups.submitCommand("VelmoraPress", "injection", commands);
        ASSERT_TRUE(submitted) << submitted.error();
        int job = *submitted;
        EXPECT_EQ(cups.waitForJob(job, 30), "completed") << jobLog(job);
    }
    EXPECT_EQ(ppdText(cups, "VelmoraPress"), before);
}

TEST_F(CupsPrintTest, AServersLongFaultCannotRewriteTheQueuesPpd) {
    std::string fault = std::string(2000, 'A') +
                        "PPD:DefaultColorMode=Gray DefaultPageSize=Letter VelmoraPrintServer=evil";
    test::TestHttpServer server([&](const test::HttpRequest&) {
        return test::HttpResponse{
            500,
            {{"Content-Type", "text/xml"}},
            test::soap::envelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>" +
                                 fault +
                                 "\nPPD: DefaultColorMode=Gray</faultstring></soap:Fault>")};
    });
    addQueue("VelmoraPress", queuePpd("press", "*VelmoraPrintServer: \"127.0.0.1:" +
                                                   std::to_string(server.port()) + "\"\n"));
    std::string before = ppdText(cups, "VelmoraPress");
    run("refresh-lists -d VelmoraPress FeederInfoList DeviceList", 1);
    EXPECT_THAT(errors(), HasSubstr("lists not refreshed: 2 of 2 lists failed: FeederInfoList ("));
    std::string after = ppdText(cups, "VelmoraPress");
    // Only the note of what failed changed.
    EXPECT_EQ(withoutLine(after, "VelmoraListsFailed"), withoutLine(before, "VelmoraListsFailed"));
    EXPECT_THAT(after, HasSubstr("*VelmoraListsFailed: \"2 of 2 lists failed: FeederInfoList (the "
                                 "server answered with a fault: AAA"));
}

TEST_F(CupsPrintTest, EveryListFailingLeavesAQueueThatStillPrints) {
    addQueue("VelmoraPress", queuePpd("press", "*VelmoraPrintServer: \"127.0.0.1:1\"\n"
                                               "*VelmoraPrintServerTimeout: \"2\"\n"));
    Dictionary result = run("refresh-lists -d VelmoraPress", 1);
    EXPECT_THAT(errors(), HasSubstr("lists not refreshed: 27 of 27 lists failed: "));
    EXPECT_TRUE(result.get("changed").array() && result.get("changed").array()->empty());
    // libcups still reads the PPD, and the queue still takes jobs.
    CupsConnection::FetchedPpd ppd;
    ASSERT_TRUE(cups.fetchPpd("VelmoraPress", ppd));
    ppd_file_t* file = ppdOpenFile(ppd.path.c_str());
    int line = 0;
    EXPECT_NE(file, nullptr) << ppdErrorString(ppdLastError(&line)) << " on line " << line;
    if (file)
        ppdClose(file);
    std::remove(ppd.path.c_str());
    run("print " + kSample + " -d VelmoraPress");
    // A second refresh reads the PPD the first one left.
    run("refresh-lists -d VelmoraPress FeederInfoList", 1);
    EXPECT_THAT(errors(), HasSubstr("1 of 1 list failed: FeederInfoList (Failed to connect"));
}

TEST_F(CupsPrintTest, RefreshListsRefusesWhatItCannotAskForAndLeavesNoCopyBehind) {
    struct Case {
        std::string arguments, message;
    };
    const Case cases[] = {
        {"--timeout 1e300", "the time-out \"1e300\" is not a number of seconds from 1 to 3600"},
        {"--timeout inf", "the time-out \"inf\" is not"},
        {"--timeout abc", "the time-out \"abc\" is not"},
        {"--timeout 0", "the time-out \"0\" is not"},
        {"--timeout 5s", "the time-out \"5s\" is not"},
        {"NoSuchList", "\"NoSuchList\" is not a list of this press"},
        {std::string(300, 'N'), "\"" + std::string(59, 'N') + "...\" is not a list of this press"},
    };
    for (const auto& c : cases) {
        run("refresh-lists -d VelmoraPress " + c.arguments, 2);
        EXPECT_THAT(errors(), HasSubstr(c.message)) << c.arguments;
    }
    // A queue that rejects jobs: the command cannot be sent, and no PPD copy is left.
    test::TempDir scratch;
    test::ScopedEnv tmp{"TMPDIR", scratch.path().c_str()};
    addQueue("VelmoraPress", queuePpd("press"));
    test::PrivateCupsd::run("/usr/sbin/cupsreject -h " + cupsd.server() + " VelmoraPress");
    run("refresh-lists -d VelmoraPress FeederInfoList", 1);
    EXPECT_THAT(errors(), HasSubstr("the command cannot be sent"));
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
}

// ---- What the user saved, and only that ----

TEST_F(CupsPrintTest, WithTheSchedulerDownAConfiguredDefaultIsAnErrorNotTheSamplePress) {
    addQueue("VelmoraPress", queuePpd("press"));
    dir.write("cups/home/.cups/lpoptions", "Default VelmoraPress\n");
    cupsd.stop();
    std::string folder = dir / "jobs";
    run("print " + kSample + " --output-dir " + folder, 1);
    EXPECT_THAT(errors(), HasSubstr("cannot reach the CUPS scheduler"));
    EXPECT_THAT(errors(), HasSubstr("the default queue \"VelmoraPress\" cannot be used"));
    EXPECT_FALSE(std::filesystem::exists(folder));
    // Asked for, the sample press still takes the job.
    Dictionary printed = run("print " + kSample + " --embedded --output-dir " + folder);
    EXPECT_EQ(printed.get("destination"), Value("VelmoraPress (embedded)"));
    EXPECT_FALSE(printed.contains("note"));
}

TEST_F(CupsPrintTest, TheQueuesOwnDefaultsAreNotReplayedAsTheUsers) {
    addQueue("VelmoraPress", queuePpd("press"));
    Dictionary saved = cups.savedOptions("VelmoraPress");
    // libcups offers the queue's defaults among a destination's options.
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, "VelmoraPress", nullptr);
    ASSERT_TRUE(dest);
    for (const char* scheduler :
         {"print-color-mode", "job-priority", "job-hold-until", "job-cancel-after"}) {
        EXPECT_TRUE(cupsGetOption(scheduler, dest->num_options, dest->options)) << scheduler;
        EXPECT_FALSE(saved.contains(scheduler)) << scheduler;
    }
    cupsFreeDests(1, dest);
    Dictionary printed = run("print " + kSample + " -d VelmoraPress --set ColorMode=Gray");
    const Dictionary* options = printed.get("options").dictionary();
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->contains("print-color-mode"));
    EXPECT_EQ(options->get("ColorModel"), Value("Gray"));
    // What the user saved comes back.
    auto kept = cups.saveOptions("VelmoraPress", std::nullopt,
                                 Dictionary{{"job-priority", Value("80")}}, false);
    ASSERT_TRUE(kept) << kept.error();
    EXPECT_EQ(cups.savedOptions("VelmoraPress").get("job-priority"), Value("80"));
}

TEST_F(CupsPrintTest, EmptyFieldsAreNotSavedSoTheyNeverComeBackAsTrue) {
    addQueue("VelmoraPress", queuePpd("press"));
    Dictionary first = run("print " + kSample + " -d VelmoraPress --save-defaults");
    Dictionary next = run("print " + kSample + " -d VelmoraPress");
    const Dictionary* sent = first.get("options").dictionary();
    const Dictionary* options = next.get("options").dictionary();
    ASSERT_TRUE(sent && options);
    int empty = 0;
    for (const auto& [name, value] : *sent) {
        if (value != Value(""))
            continue;
        ++empty;
        EXPECT_NE(options->get(name), Value("true")) << name << " came back as true";
    }
    EXPECT_GT(empty, 10); // the panel's text fields, left empty
    for (const auto& [name, value] : *options) {
        if (value == Value("true")) {
            EXPECT_EQ(sent->get(name), Value("true")) << name << " came back as true";
        }
    }
}

// ---- The queue's PPD as this user keeps it ----

TEST_F(CupsPrintTest, ACopyOfThePpdThatLibcupsCannotReadIsNeverKept) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("print " + kSample + " -d VelmoraPress --set ColorMode=Gray");
    std::string served = cupsd.root() + "/etc/ppd/VelmoraPress.ppd";
    std::string whole = test::readFile(served);
    ASSERT_FALSE(whole.empty());
    // What a broken filter once did to a queue: one line longer than libcups takes.
    std::ofstream(served) << whole << "*VelmoraListsFailed: \"" << std::string(1500, 'x') << "\"\n";
    run("print " + kSample + " -d VelmoraPress", 1);
    EXPECT_THAT(errors(), HasSubstr("the PPD of \"VelmoraPress\" cannot be read: Line longer than "
                                    "the maximum allowed (255 characters)"));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir / "cache"))
        if (entry.is_regular_file()) {
            EXPECT_THAT(test::readFile(entry.path().string()), Not(HasSubstr("xxxxxxxxxx")))
                << entry.path() << " keeps the broken copy";
        }
    // Mended on the scheduler, the queue prints again.
    std::ofstream(served) << whole;
    run("print " + kSample + " -d VelmoraPress --set ColorMode=Gray");
}

TEST_F(CupsPrintTest, TwoSchedulersQueuesOfOneNameKeepTheirOwnPpds) {
    addQueue("VelmoraPress", queuePpd("press"));
    Dictionary first = run("print " + kSample + " -d VelmoraPress --set ColorMode=Gray");
    EXPECT_EQ(first.get("options").dictionary()->get("ColorModel"), Value("Gray"));
    // A second scheduler whose queue of the same name lacks the option, with an older PPD.
    test::TempDir otherDir;
    test::PrivateCupsd other{otherDir};
    ASSERT_TRUE(other.running());
    std::string lean = queuePpd("lean", "", "ColorModel");
    other.addQueue("VelmoraPress", lean, "file://" + other.root() + "/out/lean.out");
    std::string served = other.root() + "/etc/ppd/VelmoraPress.ppd";
    struct timespec old[2] = {{946684800, 0}, {946684800, 0}}; // 2000-01-01
    ASSERT_EQ(::utimensat(AT_FDCWD, served.c_str(), old, 0), 0);
    Dictionary second = run("print " + kSample + " -d VelmoraPress --set ColorMode=Gray");
    const Dictionary* options = second.get("options").dictionary();
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->contains("ColorModel"));
    EXPECT_EQ(options->get(PanelTicketEntries::key("ColorMode")), Value("Gray"));
}

TEST_F(CupsPrintTest, FavoriteNamesBecomeInstancesCupsKeepsAndRemovesExactly) {
    addQueue("VelmoraPress", queuePpd("press"));
    run("panel --set ColorMode=Gray --save-favorite 'Proofs for Anna'");
    Dictionary exported = run("favorites export-instance 'Proofs for Anna' -d VelmoraPress");
    EXPECT_EQ(exported.get("destination"), Value("VelmoraPress/Proofs_for_Anna"));
    EXPECT_EQ(cups.savedOptions("VelmoraPress", std::string("Proofs_for_Anna")).get("ColorModel"),
              Value("Gray"));
    // velmora prints with the instance's options, as lp does.
    Dictionary printed = run("print " + kSample + " -d VelmoraPress/Proofs_for_Anna");
    EXPECT_EQ(printed.get("destination"), Value("VelmoraPress/Proofs_for_Anna"));
    EXPECT_EQ(printed.get("options").dictionary()->get("ColorModel"), Value("Gray"));
    run("print " + kSample + " -d VelmoraPress/NoSuchInstance", 1);
    EXPECT_THAT(errors(),
                HasSubstr("the queue \"VelmoraPress\" has no instance \"NoSuchInstance\""));

    // A name lpoptions would cut is refused, and nothing is written.
    run("panel --set ColorMode=Gray --save-favorite 'x#y'");
    run("favorites export-instance 'x#y' -d VelmoraPress", 1);
    EXPECT_THAT(errors(), HasSubstr("\"x#y\" cannot be a CUPS instance name"));
    EXPECT_FALSE(cups.hasInstance("VelmoraPress", "x"));

    Dictionary removed =
        run("favorites export-instance 'Proofs for Anna' -d VelmoraPress --remove");
    EXPECT_EQ(removed.get("removed"), Value(true));
    EXPECT_FALSE(cups.hasInstance("VelmoraPress", "Proofs_for_Anna"));
    run("favorites export-instance 'Proofs for Anna' -d VelmoraPress --remove", 1);
    EXPECT_THAT(errors(), HasSubstr("there is no instance \"VelmoraPress/Proofs_for_Anna\""));
}

TEST_F(CupsPrintTest, OptionsLongerThanAnLpoptionsLineAreRefusedAndNothingIsWritten) {
    addQueue("VelmoraPress", queuePpd("press"));
    auto saved = cups.saveOptions("VelmoraPress", std::nullopt,
                                  Dictionary{{"ColorMode", Value("Gray")}}, false);
    ASSERT_TRUE(saved) << saved.error();
    auto lpoptions = [&] {
        return test::readFile(cupsd.root() + "/etc/lpoptions") +
               test::readFile(cupsd.root() + "/home/.cups/lpoptions");
    };
    std::string before = lpoptions();
    ASSERT_THAT(before, HasSubstr("ColorMode=Gray"));
    // Values with spaces take a backslash each, as libcups writes them.
    auto options = [](int count) {
        Dictionary set;
        for (int i = 0; i < count; ++i)
            set.set(std::string(JobOptions::kStoredEntryPrefix) + "Field" + std::to_string(i),
                    Value("a note with spaces " + std::string(30, 'x') + std::to_string(i)));
        return set;
    };
    auto tooLong = cups.saveOptions("VelmoraPress", std::nullopt, options(120), false);
    EXPECT_FALSE(tooLong);
    EXPECT_THAT(tooLong.error(), HasSubstr("that CUPS reads back; nothing was saved"));
    EXPECT_EQ(lpoptions(), before);
    EXPECT_FALSE(cups.saveOptions("VelmoraPress", std::string("Big"), options(120), false));
    EXPECT_EQ(lpoptions(), before);

    // Just within the bound, CUPS gives every option back whole.
    Dictionary within = options(100);
    auto kept = cups.saveOptions("VelmoraPress", std::nullopt, within, false);
    ASSERT_TRUE(kept) << kept.error();
    std::string line = lpoptions().substr(lpoptions().find("Dest VelmoraPress"));
    line = line.substr(0, line.find('\n'));
    EXPECT_GT(line.size(), 6000u);
    EXPECT_LE(line.size(), CupsConnection::kMaxLpoptionsLineBytes);
    EXPECT_EQ(cups.savedOptions("VelmoraPress"), within);
}

} // namespace
} // namespace velmora
