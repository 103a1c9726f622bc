#include "ppd/PpdDataBlockWriter.h"

#include "ppd/PpdDataBlock.h"
#include "ppd/PpdFile.h"
#include "platform/foundation/PropertyList.h"

#include "support/BinaryPlistBuilder.h"
#include "support/CommandRunner.h"
#include "support/PpdWriter.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// A list of n feeder entries, large enough to span many attributes.
Value feederList(int n) {
    Array list;
    for (int i = 1; i <= n; ++i)
        list.push_back(Value(Array{Value("Tray" + std::to_string(i)), Value("A4 Coated 128")}));
    return Value(std::move(list));
}

std::optional<Value> readBack(const std::string& ppdPath, const std::string& name) {
    auto ppd = PpdFile::openFile(ppdPath);
    return ppd ? PpdDataBlock::readList(ppd->handle(), name) : std::nullopt;
}

std::size_t longestLine(const std::string& text) {
    std::size_t longest = 0, start = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', start)) {
        longest = std::max(longest, at - start);
        start = at + 1;
    }
    return longest;
}

class PpdDataBlockWriterTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string ppd;
    void SetUp() override {
        ppd = test::writePpd(dir, "queue.ppd", "UTF-8", "English", "Press",
                             test::pickOne("MediaType", "Media", "Plain", {{"Plain", "Plain"}}));
    }
    std::string list(const std::string& name, const Value& value) {
        return dir.write(name, *PropertyList::toXml(value));
    }
};

TEST_F(PpdDataBlockWriterTest, WrittenListsReadBackAndKeepEveryOtherLine) {
    std::string before = test::readFile(ppd);
    std::string error;
    std::string longName(36, 'L');
    ASSERT_TRUE(PpdDataBlockWriter::writeFile(ppd, "FeederInfoList", list("f.plist", feederList(300)),
                                              &error))
        << error;
    test::BinaryPlistBuilder binary;
    binary.add(test::BinaryPlistBuilder::ascii("Helvetica"));
    ASSERT_TRUE(PpdDataBlockWriter::writeFile(ppd, longName,
                                              dir.write("b.plist", binary.build()), &error))
        << error;
    std::string after = test::readFile(ppd);
    EXPECT_EQ(after.substr(0, before.size()), before);
    EXPECT_LE(longestLine(after), 255u);
    EXPECT_NE(after.find("*FeederInfoList0001: "), std::string::npos) << "spans attributes";
    EXPECT_EQ(readBack(ppd, "FeederInfoList"), feederList(300));
    EXPECT_EQ(readBack(ppd, longName), Value("Helvetica"));
}

TEST_F(PpdDataBlockWriterTest, ReplacingTakesTheOldPlaceAndLeavesNoStaleParts) {
    std::string error;
    ASSERT_TRUE(PpdDataBlockWriter::writeFile(ppd, "JobResourceSet", list("a", feederList(5000)),
                                              &error));
    ASSERT_NE(test::readFile(ppd).find("*JobResourceSet0009"), std::string::npos);
    ASSERT_TRUE(PpdDataBlockWriter::writeFile(ppd, "JobResourceSetLinkage",
                                              list("b", Value("linkage")), &error));
    ASSERT_TRUE(PpdDataBlockWriter::writeFile(ppd, "JobResourceSet", list("c", Value("small")),
                                              &error));
    std::string text = test::readFile(ppd);
    EXPECT_EQ(text.find("*JobResourceSet0009"), std::string::npos);
    EXPECT_LT(text.find("*JobResourceSet0000"), text.find("*JobResourceSetLinkage0000"));
    EXPECT_EQ(readBack(ppd, "JobResourceSet"), Value("small"));
    EXPECT_EQ(readBack(ppd, "JobResourceSetLinkage"), Value("linkage"));

    ASSERT_TRUE(PpdDataBlockWriter::writeFile(ppd, "JobResourceSet", std::nullopt, &error));
    EXPECT_FALSE(readBack(ppd, "JobResourceSet"));
    EXPECT_EQ(readBack(ppd, "JobResourceSetLinkage"), Value("linkage"));
}

TEST_F(PpdDataBlockWriterTest, RefusalsLeaveThePpdUnchanged) {
    std::string before = test::readFile(ppd);
    std::string good = list("good", Value("x"));
    const struct {
        std::string ppd, name;
        std::optional<std::string> list;
        const char* reason;
    } cases[] = {
        {ppd, "", good, "no list name"},
        {ppd, std::string(37, 'N'), good, "no list name"},
        {ppd, "Bad Name", good, "no list name"},
        {ppd, "Bad:Name", good, "no list name"},
        {ppd, "Font", dir.write("bad.plist", "<plist><array>"), "bad.plist"},
        {ppd, "Font", dir / "missing.plist", "missing.plist"},
        {dir.write("notppd", "hello"), "Font", good, "not a PPD file"},
        {dir / "missing.ppd", "Font", good, "missing.ppd"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(PpdDataBlockWriter::writeFile(c.ppd, c.name, c.list, &error)) << c.name;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_EQ(test::readFile(ppd), before);
}

TEST_F(PpdDataBlockWriterTest, CommandWritesAndRemovesBlocks) {
    std::string file = list("fonts.plist", Value(Array{Value("Helvetica"), Value("Times")}));
    EXPECT_EQ(test::runVelmora("ppd-list-write '" + ppd + "' Font '" + file + "'").status, 0);
    auto shown = test::runVelmora("ppd-list '" + ppd + "' Font");
    EXPECT_EQ(shown.status, 0);
    EXPECT_NE(shown.out.find("Times"), std::string::npos);
    EXPECT_EQ(test::runVelmora("ppd-list-write '" + ppd + "' Font --remove").status, 0);
    EXPECT_EQ(test::runVelmora("ppd-list '" + ppd + "' Font").status, 1);
    EXPECT_EQ(test::runVelmora("ppd-list-write '" + ppd + "' Font").status, 2);
    EXPECT_EQ(test::runVelmora("ppd-list-write '" + ppd + "' 'A B' '" + file + "'").status, 1);
}

} // namespace
} // namespace velmora
