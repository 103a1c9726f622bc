#include "webservice/WebServiceClient.h"
#include "webservice/PrintServiceSoap.h"

#include "platform/foundation/Bundle.h"
#include "platform/ui/Application.h"

#include "platform/foundation/RunLoop.h"

#include "support/SoapAnswers.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

namespace velmora {
namespace {

namespace soap = test::soap;
using Rows = WebServiceClient::StringList;

// A server that answers every request with the same SOAP body.
struct Server {
    std::string answer;
    test::TestHttpServer http;
    explicit Server(std::string body, bool ipv6 = false)
        : answer(std::move(body)),
          http(
              [this](const test::HttpRequest&) {
                  return test::HttpResponse{
                      200, {{"Content-Type", "text/xml; charset=utf-8"}}, answer};
              },
              ipv6) {}
    WebServiceClient client(double timeout = 5) const {
        return WebServiceClient(http.port(), timeout);
    }
};

TEST(WebServiceClientTest, RequestCarriesTheExactHeadersAndEnvelope) {
    Server server(soap::response("getStackerInfoListResponse", soap::status("OK")));
    ASSERT_TRUE(server.http.ok());
    auto result = server.client().getStackerInfoList(std::string("127.0.0.1"));
    ASSERT_TRUE(result);
    auto requests = server.http.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/");
    EXPECT_EQ(request.header("User-Agent"), "wsdl2objc");
    EXPECT_TRUE(request.hasHeader("SOAPAction"));
    EXPECT_EQ(request.header("SOAPAction"), "");
    EXPECT_EQ(request.header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(request.header("Host"), "127.0.0.1");
    EXPECT_EQ(request.header("Content-Length"), std::to_string(request.body.size()));
    EXPECT_EQ(request.body,
              PrintServiceOperations::envelope(PrintServiceOperation::getStackerInfoList, {}));
}

TEST(WebServiceClientTest, StackersTakeTypeStringsAndSkipDictionaries) {
    Server server(soap::response(
        "getStackerInfoListResponse",
        soap::list("ary",
                   {soap::record({{"Type", "Stacker1"}, {"Name", "Top"}}),
                    "<item xsi:type=\"PrintService:PropDict\" d=\"0\"><item key=\"Type\"><val "
                    "xsi:type=\"PrintService:PropDict\" d=\"0\"/></item></item>",
                    soap::record({{"Type", "Finisher"}})}) +
            soap::status("OK")));
    EXPECT_EQ(server.client().getStackerInfoList(std::string("127.0.0.1")),
              (Rows{{"Stacker1", "Type"}, {"Finisher", "Type"}}));
}

TEST(WebServiceClientTest, BadStatusesEndTheWalkPerTable) {
    Server feeders(soap::response("getFeederInfoListResponse",
                                  soap::list("ary", {soap::record({{"Number", "1"}})}) +
                                      soap::status("Error")));
    EXPECT_EQ(feeders.client().getFeederInfoList(std::string("127.0.0.1")), Rows{});
    Server fine(
        soap::response("getFeederInfoListResponse",
                       soap::list("ary", {soap::record({{"Number", "1"}, {"Number", "2"}})}) +
                           soap::status("OK")));
    EXPECT_EQ(fine.client().getFeederInfoList(std::string("127.0.0.1")),
              (Rows{{"1", "Number"}, {"2", "Number"}}));
    Server deviceLinks(soap::response("getDeviceLinkFileListResponse",
                                      soap::list("arry", {soap::record({{"Name", "n"}})}) +
                                          soap::status("RscExist")));
    EXPECT_EQ(deviceLinks.client().getDeviceLinkFileList(std::string("127.0.0.1")), Rows{});
}

TEST(WebServiceClientTest, CustomPapersPairIndexAndName) {
    std::string papers =
        "<item key=\"CustomPaperArray\"><val xsi:type=\"PrintService:PropArray\" d=\"0\">" +
        soap::record({{"Index", "3"}, {"Name", "Glossy"}}) +
        soap::record({{"Name", "Matte"}, {"Index", "4"}}) + "</val></item>";
    // A member with the key but no value is passed over for the next one.
    Server server(
        soap::response("getPrePostDeviceResponse", "<dict d=\"0\">" + soap::kv("Stacker", "Top") +
                                                       "<item key=\"CustomPaperArray\"></item>" +
                                                       papers + "</dict>" + soap::status("OK")));
    auto client = server.client();
    EXPECT_EQ(client.getPrePostDeviceList(std::string("127.0.0.1")),
              (Rows{{"3-Glossy", "CustomPaper3"},
                    {"3-Matte", "CustomPaper3"}})); // Name before Index: the previous index
    EXPECT_EQ(client.getDeviceList(std::string("127.0.0.1")), (Rows{{"Top", "Stacker"}}));
}

TEST(WebServiceClientTest, JobFoldersStartWithTheCommonFolder) {
    std::string folders =
        "<item key=\"FolderArray\"><val xsi:type=\"PrintService:PropArray\" d=\"0\">"
        "<item xsi:type=\"xsd:string\">Daily</item>" +
        soap::record({{"Name", "Weekly"}, {"Id", "9"}}) + "</val></item>";
    Server server(soap::response("GetJobFolderListResponse",
                                 "<dict d=\"0\">" + folders + "</dict>" + soap::status("OK")));
    auto rows = server.client().getJobFolderList(std::string("127.0.0.1"));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[0][1], "");
    EXPECT_EQ((*rows)[1], (std::vector<std::string>{"Daily", "Daily"}));
    EXPECT_EQ((*rows)[2], (std::vector<std::string>{"Weekly", "Weekly"}));

    // A folder member without a value still gives the common folder; a later one is not read.
    Server empty(soap::response("GetJobFolderListResponse",
                                "<dict d=\"0\"><item key=\"FolderArray\"></item>" + folders +
                                    "</dict>" + soap::status("OK")));
    auto commonOnly = empty.client().getJobFolderList(std::string("127.0.0.1"));
    ASSERT_TRUE(commonOnly);
    ASSERT_EQ(commonOnly->size(), 1u);
    EXPECT_EQ((*commonOnly)[0][1], "");
}

TEST(WebServiceClientTest, RecordListsSelectKeysInRecordOrder) {
    Server subst(
        soap::response("getColorSubstListDataResponse",
                       soap::list("resInfo", {soap::record({{"ModifyTime", "t"}, {"Name", "n"}}),
                                              soap::record({{"Other", "x"}})}) +
                           soap::status("OK")));
    EXPECT_EQ(subst.client().getColorSubstList(std::string("127.0.0.1")),
              (Rows{{"t", "n"}, {}})); // kept even empty
    Server spots(soap::response(
        "getSpotColorAllInfoListDataResponse",
        soap::list("resInfo", {soap::record({{"Other", "x"}}), soap::record({{"Name", "Gold"}})}) +
            soap::status("OK")));
    EXPECT_EQ(spots.client().getSpotColorAllInfoListData(std::string("127.0.0.1")),
              (Rows{{"Gold"}})); // empty dropped
    Server calib(soap::response(
        "getCalibFileListResponse",
        soap::list("arry",
                   {soap::record({{"TonerTarget", "K"}, {"FileName", "f"}, {"Comment", "c"}})}) +
            soap::status("OK")));
    EXPECT_EQ(calib.client().getCalibFileList(std::string("127.0.0.1")),
              (Rows{{"f", "c", "K"}})); // toner target last
    Server fonts(soap::response(
        "getFontListResponse",
        soap::status("OK", "result") +
            soap::list("stdFontList", {soap::record({{"DisplayName", "A"}, {"FontName", "a"}})}) +
            soap::list("optFontList", {soap::record({{"FontName", "b"}, {"DisplayName", "B"}})})));
    EXPECT_EQ(fonts.client().getFontList(std::string("127.0.0.1")), (Rows{{"A", "a"}, {"b", "B"}}));
}

TEST(WebServiceClientTest, ProfileTypesSelectRecords) {
    Server server(soap::response(
        "getOutputProfileListResponse",
        soap::list("resInfo", {soap::record({{"Name", "m"}, {"Type", "Colorimetry"}}),
                               soap::record({{"Name", "i"}, {"Type", "ICC"}})}) +
            soap::status("OK")));
    auto client = server.client();
    EXPECT_EQ(client.getOutputProfileFileList(std::string("127.0.0.1"), 0), (Rows{{"m"}}));
    EXPECT_EQ(client.getOutputProfileFileList(std::string("127.0.0.1"), 1), (Rows{{"i"}}));
    EXPECT_EQ(client.getOutputProfileFileList(std::string("127.0.0.1"), 2), Rows{});
}

TEST(WebServiceClientTest, JobResourceStatusRule) {
    struct Case {
        std::string tail;
        std::size_t rows;
    };
    std::string records = soap::list("resInfo", {soap::record({{"JobRecListName", "n"}})});
    const Case cases[] = {{soap::status("OK"), 1},
                          {soap::status("Bogus") + "<nDetail>0</nDetail>", 1},
                          {soap::status("Bogus"), 0},
                          {soap::status("OK") + "<nDetail>3</nDetail>", 0},
                          {soap::status("Error"), 0}};
    for (const auto& c : cases) {
        Server server(soap::response("GetJobResourceListResponse", records + c.tail));
        auto rows = server.client().GetJobResourceListWithResourceSet(std::string("127.0.0.1"), 4,
                                                                      "Set <A>");
        ASSERT_TRUE(rows);
        EXPECT_EQ(rows->size(), c.rows) << c.tail;
        EXPECT_NE(
            server.http.requests().at(0).body.find("<type>4</type><select>Set &lt;A&gt;</select>"),
            std::string::npos);
    }
}

TEST(WebServiceClientTest, CookiesOfEachAnswerGoWithTheNextRequest) {
    int answer = 0;
    test::TestHttpServer http([&](const test::HttpRequest&) {
        ++answer;
        test::HttpResponse r{
            200, {}, soap::response("getFontListResponse", soap::status("OK", "result"))};
        if (answer == 1)
            r.headers = {{"Set-Cookie", "session=abc; Path=/"}, {"Set-Cookie", "lang=en"}};
        return r;
    });
    PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(http.port()));
    binding.getFontListUsingParameters();
    EXPECT_EQ(*binding.cookies(), (std::vector<HttpCookie>{{"session", "abc"}, {"lang", "en"}}));
    binding.getFontListUsingParameters();
    EXPECT_TRUE(binding.cookies()->empty()); // an answer without cookies empties the list
    binding.getFontListUsingParameters();
    auto requests = http.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_FALSE(requests[0].hasHeader("Cookie"));
    EXPECT_EQ(requests[1].header("Cookie"), "session=abc; lang=en");
    EXPECT_FALSE(requests[2].hasHeader("Cookie"));
}

TEST(WebServiceClientTest, CookiesAreKeptAsABrowserKeepsThem) {
    test::TestHttpServer http([&](const test::HttpRequest&) {
        test::HttpResponse r{
            200, {}, soap::response("getFontListResponse", soap::status("OK", "result"))};
        r.headers = {{"Set-Cookie", "kept=1; Domain=127.0.0.1; Path=/"},
                     {"Set-Cookie", "later=2; Max-Age=3600"},
                     {"Set-Cookie", "deleted=; Max-Age=0"},
                     {"Set-Cookie", "gone=x; Expires=Thu, 01 Jan 1970 00:00:01 GMT"},
                     {"Set-Cookie", "elsewhere=3; Domain=example.com"},
                     {"Set-Cookie", "admin=4; Path=/admin"},
                     {"Set-Cookie", "later=5"}}; // replaces the earlier "later"
        return r;
    });
    PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(http.port()));
    binding.getFontListUsingParameters();
    EXPECT_EQ(*binding.cookies(), (std::vector<HttpCookie>{{"kept", "1"}, {"later", "5"}}));
    binding.getFontListUsingParameters();
    EXPECT_EQ(http.requests().at(1).header("Cookie"), "kept=1; later=5");

    // A cookie that expires while the binding keeps it is not sent any more.
    auto lines = std::vector<std::string>{"Set-Cookie: short=1; Max-Age=10", "Set-Cookie: s=2"};
    auto cookies = HttpCookie::setByAnswer(lines, "[::1]", 1000);
    EXPECT_EQ(HttpCookie::headerValue(cookies, 1005), "short=1; s=2");
    EXPECT_EQ(HttpCookie::headerValue(cookies, 1010), "s=2");
    EXPECT_TRUE(
        HttpCookie::setByAnswer({"Set-Cookie: a=1; Domain=press.example"}, "rip.press.example", 0)
            .size() == 1); // a host below the cookie's domain
    EXPECT_TRUE(HttpCookie::setByAnswer({"Set-Cookie: a=1; Domain=0.0.1"}, "127.0.0.1", 0)
                    .empty()); // no domain below an address
    EXPECT_EQ(HttpCookie::setByAnswer({"Set-Cookie: a=1; Max-Age=soon"}, "h", 0).size(),
              1u); // a malformed Max-Age is ignored, not taken for 0
}

TEST(WebServiceClientTest, ExchangesOnSeveralThreadsShareTheCookieListSafely) {
    test::TestHttpServer http([&](const test::HttpRequest&) {
        test::HttpResponse r{
            200, {}, soap::response("getFontListResponse", soap::status("OK", "result"))};
        r.headers = {{"Set-Cookie", "session=abc"}};
        return r;
    });
    int answered = 0;
    std::vector<std::string> errors;
    PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(http.port()));
    for (int i = 0; i < 6; ++i)
        binding.getFontListAsyncUsingParameters({}, [&](const PrintServiceSoapResponse& response) {
            ++answered;
            if (response.error)
                errors.push_back(response.error->description);
        });
    // The workers replace the list with each answer's cookies while this thread adds to it.
    for (int i = 0; i < 200; ++i) {
        binding.addCookie(HttpCookie{"extra", std::to_string(i)});
        (void)binding.cookies();
    }
    EXPECT_FALSE(binding.getFontListUsingParameters().error);
    ASSERT_TRUE(RunLoop::current().runUntil([&] { return answered == 6; }, 20));
    EXPECT_EQ(errors, std::vector<std::string>{});
    // Every exchange ended after the last added cookie, so the list is the last answer's.
    const std::vector<HttpCookie> lastAnswers = {HttpCookie{"session", "abc"}};
    EXPECT_EQ(binding.cookies(), lastAnswers);
}

TEST(WebServiceClientTest, EveryQueuedExchangeIsAnsweredOnceWhenTheBindingGoesWhateverTheTiming) {
    test::TestHttpServer http([](const test::HttpRequest&) {
        return test::HttpResponse{
            200, {}, soap::response("getFontListResponse", soap::status("OK", "result"))};
    });
    for (int round = 0; round < 20; ++round) {
        int succeeded = 0, cancelled = 0;
        std::vector<std::string> otherErrors;
        {
            PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(http.port()));
            for (int i = 0; i < 6; ++i)
                binding.getFontListAsyncUsingParameters({}, [&](const PrintServiceSoapResponse& r) {
                    if (!r.error)
                        ++succeeded;
                    else if (r.error->description == "The exchange was cancelled")
                        ++cancelled;
                    else
                        otherErrors.push_back(r.error->description);
                });
        } // started exchanges run to their end; queued ones are cancelled
        RunLoop::current().runPending();
        EXPECT_EQ(succeeded + cancelled, 6) << "round " << round;
        EXPECT_EQ(otherErrors, std::vector<std::string>{}) << "round " << round;
    }
}

TEST(WebServiceClientTest, AsynchronousAnswersArriveOnTheAskingThreadFromFewWorkers) {
    test::TestHttpServer http([](const test::HttpRequest&) {
        return test::HttpResponse{
            200, {}, soap::response("getFontListResponse", soap::status("OK", "result")), 20};
    });
    PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(http.port()));
    std::set<std::thread::id> threads;
    int answers = 0;
    for (int i = 0; i < 12; ++i)
        binding.getFontListAsyncUsingParameters({}, [&](const PrintServiceSoapResponse&) {
            threads.insert(std::this_thread::get_id());
            ++answers;
        });
    EXPECT_TRUE(RunLoop::current().runUntil([&] { return answers == 12; }, 20));
    EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
}

TEST(WebServiceClientTest, QueuedExchangesAreCancelledWhenTheBindingGoes) {
    test::TestHttpServer slow([](const test::HttpRequest&) {
        return test::HttpResponse{
            200, {}, soap::response("getFontListResponse", soap::status("OK", "result")), 200};
    });
    int answered = 0, cancelled = 0;
    {
        PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(slow.port()));
        for (int i = 0; i < 12; ++i)
            binding.getFontListAsyncUsingParameters({}, [&](const PrintServiceSoapResponse& r) {
                bool wasCancelled =
                    r.error && r.error->description.find("cancelled") != std::string::npos;
                ++(wasCancelled ? cancelled : answered);
            });
    } // at most four were under way; the rest never start
    RunLoop::current().runPending();
    EXPECT_EQ(answered + cancelled, 12); // each told once
    EXPECT_GE(cancelled, 8);

    // A thread that asks and ends keeps its run loop alive for the answer: no crash, no call.
    bool calledOnEndedThread = false;
    {
        PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(slow.port()));
        std::thread([&] {
            binding.getFontListAsyncUsingParameters(
                {}, [&](const PrintServiceSoapResponse&) { calledOnEndedThread = true; });
        }).join();
    }
    EXPECT_FALSE(calledOnEndedThread);
}

TEST(WebServiceClientTest, AuthenticationIsAnsweredOnceAndASecondChallengeFails) {
    std::string expected = "Basic dXNlcjpwYXNz"; // user:pass
    auto challenge = [](const test::HttpRequest&) {
        return test::HttpResponse{401, {{"WWW-Authenticate", "Basic realm=\"press\""}}, ""};
    };
    test::TestHttpServer http([&](const test::HttpRequest& request) {
        if (request.header("Authorization") == expected)
            return test::HttpResponse{
                200, {}, soap::response("getFontListResponse", soap::status("OK", "result"))};
        return challenge(request);
    });
    PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(http.port()));
    binding.setAuthUsername(std::string("user"));
    binding.setAuthPassword(std::string("pass"));
    auto answered = binding.getFontListUsingParameters();
    EXPECT_FALSE(answered.error);
    ASSERT_NE(answered.message(), nullptr);

    binding.setAuthPassword(std::string("wrong"));
    auto refused = binding.getFontListUsingParameters();
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->domain, "Connection Authentication");
    EXPECT_EQ(refused.error->code, 0);
    EXPECT_EQ(refused.error->description, "Authentication Error");
    EXPECT_EQ(refused.error->description.find("wrong"), std::string::npos);
}

TEST(WebServiceClientTest, TimeOutFaultMalformedAndEmptyAnswersGiveEmptyLists) {
    test::TestHttpServer slow([](const test::HttpRequest&) {
        return test::HttpResponse{
            200, {}, soap::response("getFontListResponse", soap::status("OK", "result")), 1500};
    });
    PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(slow.port()));
    binding.setDefaultTimeout(0.3);
    auto late = binding.getFontListUsingParameters();
    ASSERT_TRUE(late.error);
    EXPECT_EQ(late.error->code, 28); // timed out
    EXPECT_EQ(WebServiceClient(slow.port(), 0.3).getFontList(std::string("127.0.0.1")), Rows{});

    for (const std::string& body :
         {soap::envelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>x</"
                         "faultstring></soap:Fault>"),
          std::string("<not xml"), std::string("")}) {
        Server server(body);
        EXPECT_EQ(server.client().getFontList(std::string("127.0.0.1")), Rows{}) << body;
    }
    EXPECT_EQ(WebServiceClient(1, 1).getFontList(std::string("127.0.0.1")),
              Rows{}); // nothing listens
}

TEST(WebServiceClientTest, AsynchronousCallsReportOnceEvenWithoutAnswer) {
    Server server(soap::response("getFontListResponse", soap::status("OK", "result")));
    std::atomic<int> answered{0}, failed{0};
    {
        PrintServiceSoap binding("http://127.0.0.1:" + std::to_string(server.http.port()));
        binding.getFontListAsyncUsingParameters({}, [&](const PrintServiceSoapResponse& response) {
            if (response.message() && !response.error)
                ++answered;
        });
        PrintServiceSoap nowhere("http://127.0.0.1:1");
        nowhere.getFontListAsyncUsingParameters({}, [&](const PrintServiceSoapResponse& response) {
            if (response.error)
                ++failed;
        });
        // An exchange still queued when its binding goes is cancelled: wait until the server
        // has the request, so that this one is under way (a loaded machine may start it late).
        for (int i = 0; i < 500 && server.http.requests().empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } // the bindings finish their exchanges; the answers wait on this thread's run loop
    EXPECT_EQ(answered.load() + failed.load(), 0);
    RunLoop::current().runPending();
    EXPECT_EQ(answered.load(), 1);
    EXPECT_EQ(failed.load(), 1);
    RunLoop::current().runPending();
    EXPECT_EQ(answered.load() + failed.load(), 2); // once each
}

TEST(WebServiceClientTest, HostsAndEndpoints) {
    EXPECT_EQ(WebServiceClient::convertUrlAddress("press.local"), "press.local");
    EXPECT_EQ(WebServiceClient::convertUrlAddress("10.0.0.5"), "10.0.0.5");
    EXPECT_EQ(WebServiceClient::convertUrlAddress("::1"), "[::1]");
    EXPECT_EQ(WebServiceClient::convertUrlAddress("fe80::1%en0"), "[fe80::1%25en0]");
    EXPECT_EQ(WebServiceClient::convertUrlAddress("[::1]"), "[::1]");
    EXPECT_EQ(WebServiceClient().endpoint("::1"), "http://[::1]:8888");

    Server server(
        soap::response("getFeederInfoListResponse",
                       soap::list("ary", {soap::record({{"Number", "7"}})}) + soap::status("OK")),
        true);
    if (!server.http.ok())
        GTEST_SKIP() << "no IPv6 loopback here";
    EXPECT_EQ(server.client().getFeederInfoList(std::string("::1")), (Rows{{"7", "Number"}}));
    EXPECT_EQ(server.http.requests().at(0).header("Host"), "[::1]");
    EXPECT_EQ(server.client().getFeederInfoList(std::string("::1%lo")),
              (Rows{{"7", "Number"}})); // with a zone
}

TEST(WebServiceClientTest, NoHostOrARefusedHostApplicationGiveNull) {
    EXPECT_EQ(WebServiceClient().getStackerInfoList(std::nullopt), std::nullopt);
    test::TempDir dir;
    dir.write("Reader.app/Contents/Info.plist",
              "<plist><dict><key>CFBundleName</key><string>Adobe Reader</string></dict></plist>");
    ui::Application::shared().setMainBundle(Bundle::open(dir / "Reader.app"));
    EXPECT_FALSE(WebServiceClient::isCommunicationPossible());
    EXPECT_EQ(WebServiceClient().getStackerInfoList(std::string("127.0.0.1")), std::nullopt);
    ui::Application::shared().setMainBundle(nullptr);
    EXPECT_TRUE(WebServiceClient::isCommunicationPossible());
}

} // namespace
} // namespace velmora
