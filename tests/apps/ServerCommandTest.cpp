#include "support/CommandRunner.h"
#include "support/SoapAnswers.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

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
}

} // namespace
} // namespace velmora
