#include "support/CommandRunner.h"
#include "support/SoapAnswers.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora {
namespace {

namespace soap = test::soap;

TEST(ServerCommandTest, PrintsListsAsJsonArrays) {
    test::TestHttpServer http([](const test::HttpRequest& request) {
        if (request.body.find("GetJobResourceList") != std::string::npos)
            return test::HttpResponse{
                200,
                {},
                soap::response(
                    "GetJobResourceListResponse",
                    soap::list("resInfo", {soap::record({{"JobRecListName", "Booklet A4"},
                                                         {"JobRecListComment", "c"}})}) +
                        soap::status("OK"))};
        return test::HttpResponse{
            200,
            {},
            soap::response("getStackerInfoListResponse",
                           soap::list("ary", {soap::record({{"Type", "Stacker1"}})}) +
                               soap::status("OK"))};
    });
    std::string port = " --port " + std::to_string(http.port());
    auto stackers = test::runVelmora("server 127.0.0.1 getStackerInfoList" + port);
    EXPECT_EQ(stackers.status, 0);
    EXPECT_EQ(stackers.out, "[\n  [\n    \"Stacker1\",\n    \"Type\"\n  ]\n]\n");
    auto resources =
        test::runVelmora("server 127.0.0.1 GetJobResourceListWithResourceSet 3 MySet" + port);
    EXPECT_NE(resources.out.find("\"Booklet A4\""), std::string::npos);
    EXPECT_NE(http.requests().back().body.find("<type>3</type><select>MySet</select>"),
              std::string::npos);
    EXPECT_EQ(test::runVelmora("server 127.0.0.1 getNothing" + port).status, 2);
    EXPECT_EQ(test::runVelmora("server 127.0.0.1 GetJobResourceList" + port).status,
              2); // TYPE missing
    auto unreachable = test::runVelmora("server 127.0.0.1 getFontList --port 1 --timeout 1");
    EXPECT_EQ(unreachable.out, "[]\n");
    EXPECT_EQ(unreachable.status, 1); // an empty list, but the failure is said
}

TEST(ServerCommandTest, FailuresExitWithTheirReason) {
    test::TestHttpServer http([](const test::HttpRequest& request) {
        if (request.body.find("getCalibFileList") != std::string::npos)
            return test::HttpResponse{200, {}, "<not xml"};
        if (request.body.find("getPrePostDeviceList") != std::string::npos)
            return test::HttpResponse{404, {}, "<html>Not Found</html>"};
        if (request.body.find("getFontList") != std::string::npos)
            return test::HttpResponse{500, {}, "<html>Internal error</html>"};
        if (request.body.find("getJobFolderList") != std::string::npos)
            return test::HttpResponse{
                200, {}, soap::response("GetJobFolderListResponse", soap::status("FileLockError"))};
        return test::HttpResponse{401, {{"WWW-Authenticate", "Basic realm=\"x\""}}, ""};
    });
    std::string port = " --port " + std::to_string(http.port());
    test::TempDir dir;
    struct Case {
        std::string arguments, reason;
    } cases[] = {
        {"server 127.0.0.1 getCalibFileList" + port, "PrintServiceResponseXML"},
        {"server 127.0.0.1 getDeviceList" + port, "HTTP status 404"},
        {"server 127.0.0.1 getFontList" + port, "HTTP status 500"},
        {"server 127.0.0.1 getJobFolderList" + port, "status"},
        {"server 127.0.0.1 getStackerInfoList" + port, "Authentication"},
        {"server 127.0.0.1 getFontList --timeout 0" + port, "time-out"},
        {"server 127.0.0.1 getFontList --timeout -5" + port, "time-out"},
        {"server 127.0.0.1 getFontList --timeout nan" + port, "time-out"},
        {"server 127.0.0.1 getFontList --timeout 1e9" + port, "time-out"},
        {"server 127.0.0.1 getFontList --port 70000", "port"},
        {"server 127.0.0.1/x getFontList" + port, "not a host"},
        {"server '127.0.0.1?a' getFontList" + port, "not a host"},
        {"server '127.0.0.1#a' getFontList" + port, "not a host"},
        {"server 127.0.0.1 getFontList --port 1", "Couldn't connect to server"},
    };
    for (const auto& c : cases) {
        auto run = test::runVelmora(c.arguments, dir / "err");
        EXPECT_EQ(run.status, 1) << c.arguments;
        std::string err = test::readFile(dir / "err");
        EXPECT_NE(err.find(c.reason), std::string::npos) << c.arguments << ": " << err;
        // One line that says what failed: no diagnostic lines, no libcurl code called HTTP's.
        EXPECT_EQ(err.find("###"), std::string::npos) << c.arguments << ": " << err;
        EXPECT_EQ(err.find("(HTTP"), std::string::npos) << c.arguments << ": " << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.arguments << ": " << err;
    }
}

} // namespace
} // namespace velmora
