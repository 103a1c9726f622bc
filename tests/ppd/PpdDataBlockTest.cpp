#include "ppd/PpdDataBlock.h"
#include "ppd/PpdFile.h"

#include "platform/foundation/PropertyList.h"

#include "support/BinaryPlistBuilder.h"
#include "support/DataBlockWriter.h"
#include "support/PpdWriter.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const Value kStackers(Array{Value(Array{Value("Stacker 1"), Value("Stacker1")}),
                            Value(Array{Value("Top tray"), Value("TopTray")})});

std::string compressedList(const Value& list) {
    return test::zlibCompress(*PropertyList::toXml(list));
}

std::unique_ptr<PpdFileExt> ppdWith(const test::TempDir& dir, const std::string& lines) {
    return PpdFileExt::openFile(test::writePpd(dir, "blocks.ppd", "UTF-8", "English", "Press",
                                               test::boolean("Collate", "True") + lines));
}

TEST(PpdDataBlockTest, ListSplitOverSeveralAttributesReadsAsOne) {
    test::TempDir dir;
    std::string stream = compressedList(kStackers);
    std::size_t third = stream.size() / 3 + 1;
    auto ppd = ppdWith(dir, test::dataBlockLines("StackerInfoList", stream, third));
    ASSERT_NE(ppd, nullptr);
    auto list = PpdDataBlock::readList(ppd->handle(), "StackerInfoList");
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, kStackers);
    EXPECT_FALSE(PpdDataBlock::readList(ppd->handle(), "FeederInfoList")); // no such block
}

TEST(PpdDataBlockTest, AGapEndsTheRead) {
    test::TempDir dir;
    std::string stream = compressedList(kStackers);
    std::string lines = test::dataBlockLines("DeviceList", stream, stream.size() / 3 + 1);
    std::size_t second = lines.find("*DeviceList0001");
    std::size_t third = lines.find("*DeviceList0002");
    lines.erase(second, third - second); // 0000 and 0002 without 0001
    auto ppd = ppdWith(dir, lines);
    auto bytes = PpdDataBlock::read(ppd->handle(), "DeviceList");
    ASSERT_TRUE(bytes);
    EXPECT_LT(bytes->size(),
              PropertyList::toXml(kStackers)->size()); // only the first part inflated
    EXPECT_FALSE(PpdDataBlock::readList(ppd->handle(), "DeviceList"));
}

TEST(PpdDataBlockTest, ThirtySixCharacterNamesStillForm40CharacterAttributes) {
    test::TempDir dir;
    std::string name(36, 'N');
    auto ppd = ppdWith(dir, test::dataBlockLines(name, compressedList(kStackers)));
    auto list = PpdDataBlock::readList(ppd->handle(), name);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, kStackers);
    EXPECT_EQ(PpdDataBlock::attributeName(name, 0x2A).size(), 40u);
    EXPECT_FALSE(PpdDataBlock::read(ppd->handle(), std::string(37, 'N')));
}

TEST(PpdDataBlockTest, CorruptBase64OrZlibGivesNull) {
    test::TempDir dir;
    std::string stream = compressedList(kStackers);
    std::string corruptZlib = stream;
    corruptZlib[0] = 'X';
    std::string wrongChecksum = stream;
    wrongChecksum.back() = static_cast<char>(wrongChecksum.back() ^ 0x01);
    for (const auto& lines :
         {std::string("*JobFolder0000: \"!!!not base64!!!\"\n"),
          test::dataBlockLines("JobFolder", corruptZlib),
          test::dataBlockLines("JobFolder", wrongChecksum),
          test::dataBlockLines("JobFolder", test::zlibCompress("not a property list"))}) {
        auto ppd = ppdWith(dir, lines);
        ASSERT_NE(ppd, nullptr);
        EXPECT_FALSE(PpdDataBlock::readList(ppd->handle(), "JobFolder")) << lines.substr(0, 60);
    }
    EXPECT_FALSE(PpdDataBlock::readList(nullptr, "JobFolder"));
}

TEST(PpdDataBlockTest, HostileListsFromTheServerGiveNoList) {
    using test::BinaryPlistBuilder;
    BinaryPlistBuilder bomb; // 30 levels of two shared references: a billion values
    for (std::uint64_t level = 0; level < 30; ++level)
        bomb.add(BinaryPlistBuilder::array({level + 1, level + 1}));
    bomb.add(BinaryPlistBuilder::ascii("x"));
    BinaryPlistBuilder deep;
    for (std::uint64_t level = 0; level < 150000; ++level)
        deep.add(BinaryPlistBuilder::array({level + 1}));
    deep.add(BinaryPlistBuilder::array({}));
    std::string hiddenDepth = "<plist><!--" + std::string(3000, ' ');
    for (int i = 0; i < 3000; ++i)
        hiddenDepth += "<array>";
    hiddenDepth.replace(11, 8, "</array>");
    hiddenDepth.insert(11 + 3000, "-->");
    test::TempDir dir;
    for (const auto& list : {bomb.build(), deep.build(), hiddenDepth}) {
        auto ppd = ppdWith(dir, test::dataBlockLines("FeederInfoList", test::zlibCompress(list)));
        ASSERT_NE(ppd, nullptr);
        EXPECT_FALSE(PpdDataBlock::readList(ppd->handle(), "FeederInfoList"));
    }
}

TEST(PpdDataBlockTest, InflatingPastTheCeilingStopsThere) {
    test::TempDir dir;
    std::string huge(PpdDataBlock::kCeiling + (4u << 20), 'A'); // 20 MiB of one letter
    auto ppd = ppdWith(dir, test::dataBlockLines("Font", test::zlibCompress(huge)));
    ASSERT_NE(ppd, nullptr);
    auto bytes = PpdDataBlock::read(ppd->handle(), "Font");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), PpdDataBlock::kCeiling);
    EXPECT_FALSE(PpdDataBlock::readList(ppd->handle(), "Font"));
}

} // namespace
} // namespace velmora
