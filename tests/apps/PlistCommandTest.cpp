#include "platform/foundation/PropertyList.h"

#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

namespace velmora {
namespace {

TEST(PlistCommandTest, PrintsXmlAndBinaryListsAsTheSameJson) {
    test::TempDir dir;
    Value tree(Dictionary{{"KVPOD", "UISettings"},
                          {"list", Array{Value(1), Value(2.5), Value(true)}},
                          {"when", Date{0}},
                          {"raw", Data{'h', 'i'}},
                          {"nested", Dictionary{{"z", "last"}, {"a", "first"}}}});
    std::string xmlPath = dir / "info.plist";
    ASSERT_TRUE(PropertyList::writeXmlFile(xmlPath, tree));

    plist_t node = nullptr;
    std::string xml = test::readFile(xmlPath);
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &node);
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bin, &length);
    std::string binPath = dir.write("info.bplist", std::string(bin, length));
    plist_to_bin_free(bin);
    plist_free(node);

    const std::string expected = R"({
  "KVPOD": "UISettings",
  "list": [
    1,
    2.5,
    true
  ],
  "when": {"date": "1970-01-01T00:00:00Z"},
  "raw": {"data": "aGk="},
  "nested": {
    "z": "last",
    "a": "first"
  }
}
)";
    for (const auto& path : {xmlPath, binPath}) {
        auto result = test::runVelmora("plist '" + path + "'");
        EXPECT_EQ(result.status, 0) << path;
        EXPECT_EQ(result.out, expected) << path;
    }
}

TEST(PlistCommandTest, UnreadableFileIsAOneLineErrorAndStatusOne) {
    test::TempDir dir;
    std::string bad = dir.write("bad.plist", "<plist><dict><key>x</key>");
    for (const auto& path : {bad, dir / "missing.plist"}) {
        std::string errFile = dir / "err.txt";
        auto result = test::runVelmora("plist '" + path + "'", errFile);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        std::string err = test::readFile(errFile);
        EXPECT_NE(err.find(path), std::string::npos);
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

} // namespace
} // namespace velmora
