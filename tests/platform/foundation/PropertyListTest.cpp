#include "platform/foundation/PropertyList.h"

#include "support/BinaryPlistBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace velmora {
namespace {

Value sampleTree() {
    Dictionary inner{{"zeta", std::int64_t{-1}},
                     {"alpha", std::numeric_limits<std::int64_t>::max()},
                     {"min", std::numeric_limits<std::int64_t>::min()}};
    Array list{Value(1.5),
               Value(-0.0625),
               Value(true),
               Value(false),
               Value("日本語 Ünïcödé €"),
               Value(Date{1700000000}),
               Value(Data{0, 1, 2, 0xFE, 0xFF}),
               Value(inner),
               Value(Array{Value(Array{})})};
    return Value(Dictionary{{"last", "first key"}, {"list", list}, {"empty", Dictionary{}}});
}

// The binary form of a value, written by libplist directly from its XML form.
std::string toBinary(const Value& value) {
    auto xml = PropertyList::toXml(value);
    plist_t node = nullptr;
    plist_from_xml(xml->data(), static_cast<uint32_t>(xml->size()), &node);
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bin, &length);
    std::string out(bin, length);
    plist_to_bin_free(bin);
    plist_free(node);
    return out;
}

TEST(PropertyListTest, XmlRoundTripKeepsEverythingAndKeyOrder) {
    test::TempDir dir;
    Value tree = sampleTree();
    std::string path = dir / "tree.plist";
    ASSERT_TRUE(PropertyList::writeXmlFile(path, tree));
    auto back = PropertyList::readFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, tree);
    EXPECT_EQ(back->dictionary()->keys(), (std::vector<std::string>{"last", "list", "empty"}));
    const Dictionary* inner = back->dictionary()->get("list").array()->at(7).dictionary();
    EXPECT_EQ(inner->keys(), (std::vector<std::string>{"zeta", "alpha", "min"}));
}

// Arrays are made when they close, from the items of every open array kept in one place: each
// must get its own items, however arrays and dictionaries nest and whether empty or not.
TEST(PropertyListTest, NestedArraysEachKeepTheirOwnItems) {
    auto read = PropertyList::parse(
        "<plist><array><array><integer>1</integer><array><integer>2</integer><integer>3</integer>"
        "</array><integer>4</integer></array><dict><key>a</key><array><string>5</string></array>"
        "<key>b</key><array/></dict><array/><string>6</string><array><array><array/></array>"
        "</array></array></plist>");
    ASSERT_TRUE(read);
    Value expected(Array{Value(Array{Value(1), Value(Array{Value(2), Value(3)}), Value(4)}),
                         Value(Dictionary{{"a", Value(Array{Value("5")})}, {"b", Value(Array{})}}),
                         Value(Array{}), Value("6"), Value(Array{Value(Array{Value(Array{})})})});
    EXPECT_EQ(*read, expected) << *read;
    EXPECT_EQ(read->array()->size(), 5u);
    EXPECT_EQ(read->array()->at(0).array()->at(1).array()->size(), 2u);
    // A copy is a tree of its own.
    Value copy = *read;
    copy.array()->at(0).array()->at(1).array()->push_back(Value(9));
    EXPECT_EQ(read->array()->at(0).array()->at(1).array()->size(), 2u);
    EXPECT_NE(copy, *read);
}

TEST(PropertyListTest, BinaryFormReadsTheSameAsXml) {
    Value tree = sampleTree();
    auto back = PropertyList::parse(toBinary(tree));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, tree);
}

TEST(PropertyListTest, ReadsHandWrittenXmlWithEntities) {
    auto value = PropertyList::parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>a &amp; b</key><string>&lt;x&gt;</string>
  <key>n</key><integer>-9223372036854775808</integer>
  <key>r</key><real>6.02e23</real>
  <key>d</key><date>2024-02-29T12:00:00Z</date>
  <key>e</key><data>
    SGVs
    bG8=
  </data>
</dict></plist>)");
    ASSERT_TRUE(value);
    const Dictionary& d = *value->dictionary();
    EXPECT_EQ(d.get("a & b"), Value("<x>"));
    EXPECT_EQ(d.get("n"), Value(std::numeric_limits<std::int64_t>::min()));
    EXPECT_DOUBLE_EQ(d.get("r").doubleValue(), 6.02e23);
    EXPECT_EQ(d.get("d").toJson(), R"({"date": "2024-02-29T12:00:00Z"})");
    EXPECT_EQ(d.get("e"), Value(Data{'H', 'e', 'l', 'l', 'o'}));
}

TEST(PropertyListTest, MalformedInputIsAnErrorNotACrash) {
    std::string binary = toBinary(sampleTree());
    const std::string cases[] = {
        "",
        "not a plist at all",
        "<?xml version=\"1.0\"?><plist><dict><key>a</key>",
        "<plist><dict><key>a</key><string>x</string></array></plist>",
        "bplist00",
        binary.substr(0, binary.size() / 2),
        std::string("bplist00\xFF\xFF\xFF\xFF", 12) + std::string(40, '\xFF'),
        std::string(100000, '<'),
    };
    for (const auto& bytes : cases) {
        std::string error;
        EXPECT_FALSE(PropertyList::parse(bytes, &error)) << bytes.substr(0, 40);
        EXPECT_FALSE(error.empty());
    }
}

// A binary file whose string object `from` is overwritten in place by `to` (same length).
std::string binaryWithPatchedString(const std::string& from, const std::string& to) {
    std::string binary = toBinary(Value(Dictionary{{"keyKEY", "valueVALUE"}, {"u", "éZZ"}}));
    std::size_t at = binary.find(from);
    EXPECT_NE(at, std::string::npos) << "fixture lost " << from;
    if (at != std::string::npos)
        binary.replace(at, to.size(), to);
    return binary;
}

TEST(PropertyListTest, BinaryStringsHoldingNulAreRefused) {
    using namespace std::string_literals;
    struct Case {
        std::string from, to;
    };
    const Case cases[] = {
        {"keyKEY", "key\0EY"s},         // a dictionary key: libplist would abort on it
        {"valueVALUE", "value\0ALUE"s}, // a string value: libplist would cut it short
        {"\0Z\0Z"s, "\0Z\0\0"s},        // a UTF-16 string value
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(PropertyList::parse(binaryWithPatchedString(c.from, c.to), &error)) << c.from;
        EXPECT_NE(error.find("NUL"), std::string::npos) << error;
    }
    auto untouched = PropertyList::parse(binaryWithPatchedString("keyKEY", "keyKEY"));
    ASSERT_TRUE(untouched);
    EXPECT_EQ(untouched->dictionary()->get("u"), Value("éZZ"));
}

TEST(PropertyListTest, DeepNestingIsRefused) {
    std::string deep = "<plist>";
    for (int i = 0; i < 100000; ++i)
        deep += "<array>";
    std::string error;
    EXPECT_FALSE(PropertyList::parse(deep, &error));
    EXPECT_NE(error.find("nested"), std::string::npos);

    std::string fine = "<plist>";
    for (int i = 0; i < 50; ++i)
        fine += "<array>";
    for (int i = 0; i < 50; ++i)
        fine += "</array>";
    fine += "</plist>";
    EXPECT_TRUE(PropertyList::parse(fine));
}

TEST(PropertyListTest, EntityDefinitionsAreNeitherExpandedNorFetched) {
    std::string error;
    EXPECT_FALSE(PropertyList::parse(R"(<?xml version="1.0"?>
<!DOCTYPE plist [
 <!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">
 <!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
 <!ENTITY ext SYSTEM "file:///etc/passwd">
]>
<plist><dict><key>x</key><string>&b;</string><key>y</key><string>&ext;</string></dict></plist>)",
                                     &error));
    EXPECT_FALSE(error.empty());
}

TEST(PropertyListTest, MissingFileNamesThePath) {
    std::string error;
    EXPECT_FALSE(PropertyList::readFile("/nonexistent/x.plist", &error));
    EXPECT_NE(error.find("/nonexistent/x.plist"), std::string::npos);
}

TEST(PropertyListTest, NullCannotBeWrittenAndLeavesTheOldFile) {
    test::TempDir dir;
    std::string path = dir.write("keep.plist", "old");
    std::string error;
    EXPECT_FALSE(PropertyList::writeXmlFile(path, Value(Dictionary{{"a", Value()}}), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::readFile(path), "old");
}

using test::BinaryPlistBuilder;

// Levels of arrays, each referring `fanOut` times to the next; the last holds one string.
std::string sharedReferenceBomb(int levels, int fanOut) {
    BinaryPlistBuilder b;
    for (int level = 0; level < levels; ++level)
        b.add(BinaryPlistBuilder::array(std::vector<std::uint64_t>(fanOut, level + 1)));
    b.add(BinaryPlistBuilder::ascii("boom"));
    return b.build();
}

std::string binaryNestedArrays(int depth) {
    BinaryPlistBuilder b;
    for (int level = 0; level < depth; ++level)
        b.add(BinaryPlistBuilder::array({static_cast<std::uint64_t>(level + 1)}));
    b.add(BinaryPlistBuilder::array({}));
    return b.build();
}

// A one-entry dictionary whose key is the given object.
std::string binaryDictionaryWithKey(const std::string& keyObject) {
    BinaryPlistBuilder b;
    b.add(BinaryPlistBuilder::marker(0xD, 1) + BinaryPlistBuilder::bigEndian(1, 4) +
          BinaryPlistBuilder::bigEndian(2, 4));
    b.add(keyObject);
    b.add(BinaryPlistBuilder::ascii("v"));
    return b.build();
}

std::string binaryScalar(const std::string& object) {
    BinaryPlistBuilder b;
    b.add(BinaryPlistBuilder::array({1}));
    b.add(object);
    return b.build();
}

std::string realBits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return BinaryPlistBuilder::bigEndian(bits, 8);
}

TEST(PropertyListHostileTest, HostileShapesAreRefusedWithTheirReason) {
    using namespace std::string_literals;
    std::string commentedDepth = "<plist><!--";
    for (int i = 0; i < 20000; ++i)
        commentedDepth += "</array>";
    commentedDepth += "-->";
    for (int i = 0; i < 20000; ++i)
        commentedDepth += "<array>";
    const std::string utf16NulKeyLongForm = BinaryPlistBuilder::marker(0x6, 2, true) + "\0k\0\0"s;
    struct Case {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"40 levels of two shared references", sharedReferenceBomb(40, 2), "expands"},
        {"12 levels of 14 shared references", sharedReferenceBomb(12, 14), "expands"},
        {"100,000 nested binary arrays", binaryNestedArrays(100000), "nested"},
        {"XML depth hidden behind a comment", commentedDepth, "nested"},
        {"UTF-16 key with NUL, 8-byte length", binaryDictionaryWithKey(utf16NulKeyLongForm), "NUL"},
        {"ASCII key with NUL, long length",
         binaryDictionaryWithKey(BinaryPlistBuilder::marker(0x5, 3, true) + "a\0b"s), "NUL"},
        {"NaN date", binaryScalar("\x33"s + realBits(std::nan(""))), "date"},
        {"infinite date", binaryScalar("\x33"s + realBits(HUGE_VAL)), "date"},
        {"date a million years away", binaryScalar("\x33"s + realBits(3.2e13)), "date"},
        {"128-bit integer",
         binaryScalar("\x14"s + BinaryPlistBuilder::bigEndian(1, 8) +
                      BinaryPlistBuilder::bigEndian(0, 8)),
         "64 bits"},
        {"unsigned 2^64-1",
         binaryScalar("\x14"s + BinaryPlistBuilder::bigEndian(0, 8) + std::string(8, '\xFF')),
         "64 bits"},
        {"lone UTF-16 surrogate", binaryScalar(BinaryPlistBuilder::marker(0x6, 1) + "\xD8\x00"s),
         "UTF-16"},
        {"reference past the objects", binaryScalar(BinaryPlistBuilder::array({7})), "reference"},
        {"length past the end", binaryScalar(BinaryPlistBuilder::marker(0x5, 1u << 30, true)),
         "past"},
        {"XML integer beyond 64 bits", "<plist><integer>18446744073709551615</integer></plist>",
         "integer out of the 64-bit range at line 1"},
        {"XML hexadecimal integer beyond 64 signed bits",
         "<plist>\n<integer>0x8000000000000000</integer></plist>",
         "integer out of the 64-bit range at line 2"},
        {"XML integer with two signs", "<plist><integer>+-5</integer></plist>",
         "integer that is no number at line 1"},
        {"XML hexadecimal integer without digits", "<plist><integer>0x</integer></plist>",
         "integer that is no number"},
        {"XML real with two signs", "<plist><real>--5</real></plist>", "real that is no number"},
        {"XML date that is no date", "<plist>\n<array>\n<date>2024-13-45</date></array></plist>",
         "date that is not an ISO 8601 date at line 3"},
        {"XML data that is not base64", "<plist><data>@@@@</data></plist>",
         "data that is not base64 at line 1"},
        {"a byte beyond ASCII in an ASCII string",
         // The bytes of printf 'bplist00\x54caf\xe9\x08\0…' as the report gave them.
         "bplist00\x54"
         "caf\xe9\x08\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x0d"s,
         "beyond ASCII"},
        {"a byte beyond ASCII in an ASCII key",
         binaryDictionaryWithKey(BinaryPlistBuilder::ascii("caf\xE9")), "beyond ASCII"},
        {"the null object", binaryScalar("\x00"s), "unsupported object type"},
        {"the fill object", binaryScalar("\x0F"s), "unsupported object type"},
        {"UTF-16 XML with a lone surrogate",
         "\xFF\xFE<\0p\0l\0i\0s\0t\0>\0\x00\xD8<\0/\0p\0l\0i\0s\0t\0>\0"s, "invalid UTF-16"},
        {"undefined entity behind a DTD",
         "<!DOCTYPE plist SYSTEM \"x.dtd\"><plist><string>&x;</string></plist>", "malformed"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(PropertyList::parse(c.bytes, &error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
}

TEST(PropertyListHostileTest, LargeButHonestShapesStillRead) {
    // Many references to one shared string: each is a value of its own, read in linear time.
    BinaryPlistBuilder shared;
    shared.add(BinaryPlistBuilder::array(std::vector<std::uint64_t>(200000, 1)));
    shared.add(BinaryPlistBuilder::ascii("same"));
    auto many = PropertyList::parse(shared.build());
    ASSERT_TRUE(many);
    ASSERT_EQ(many->array()->size(), 200000u);
    EXPECT_EQ(many->array()->back(), Value("same"));

    // A negative number in the 16-byte form fits in 64 bits and is kept exactly.
    auto negative = PropertyList::parse(binaryScalar(
        "\x14" + std::string(8, '\xFF') + BinaryPlistBuilder::bigEndian(~std::uint64_t{4}, 8)));
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->array()->at(0), Value(std::int64_t{-5}));

    // Escapes and character references unescape in one pass.
    std::string escaped = "<plist><string>";
    for (int i = 0; i < 100000; ++i)
        escaped += i % 2 ? "&lt;" : "&#65;";
    escaped += "</string></plist>";
    auto text = PropertyList::parse(escaped);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string()->size(), 100000u);
    EXPECT_EQ(text->string()->substr(0, 4), "A<A<");

    // Reals past what a double holds are infinite or zero, never another number.
    auto reals = PropertyList::parse(
        "<plist><array><real>1e400</real><real>-1e400</real><real>1e-400</real></array></plist>");
    ASSERT_TRUE(reals);
    EXPECT_EQ(reals->array()->at(0).doubleValue(), HUGE_VAL);
    EXPECT_EQ(reals->array()->at(1).doubleValue(), -HUGE_VAL);
    EXPECT_EQ(reals->array()->at(2).doubleValue(), 0.0);

    // A carriage return in a text stays one (a two-line title), also in a file with CRLF lines.
    auto titles = PropertyList::parse(
        "<?xml version=\"1.0\"?>\r\n<plist>\r\n<array>\r\n<string>One\rTwo</string>\r\n"
        "<dict/></array>\r\n</plist>\r\n");
    ASSERT_TRUE(titles);
    EXPECT_EQ(*titles, Value(Array{Value("One\rTwo"), Value(Dictionary{})}));
    auto mixed = PropertyList::parse(
        "<?xml version=\"1.0\"?>\r\n<!-- a > b\r\n -->\r\n<plist version=\"1>0\">\r\n<array>"
        "<string><![CDATA[x > y\rz]]></string><!-- c\r --><string>p\rq</string></array></plist>");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(*mixed, Value(Array{Value("x > y\rz"), Value("p\rq")}));
}

// Forms other readers of property lists (Python's plistlib, libplist) read, read the same here.
TEST(PropertyListTest, WhatOtherReadersTakeIsReadTheSame) {
    std::u16string utf16 =
        u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<plist><string>A\rB</string>"
        u"</plist>\r\n";
    std::string littleEndian(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
    std::string bigEndian;
    for (char16_t unit : utf16.substr(1)) // and without its mark
        bigEndian += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
    const struct {
        const char* what;
        std::string bytes;
        Value expected;
    } cases[] = {
        {"a hexadecimal integer", "<plist><integer>0x1F</integer></plist>", Value(31)},
        {"the largest hexadecimal integer", "<plist><integer>0X7fffffffffffffff</integer></plist>",
         Value(std::numeric_limits<std::int64_t>::max())},
        {"a date alone, in UTC", "<plist><date>2024-01-02Z</date></plist>",
         Value(Date{1704153600})},
        {"a date alone", "<plist><date>2024-01-02</date></plist>", Value(Date{1704153600})},
        // A carriage return is a line break of a title in UTF-16 as in UTF-8.
        {"UTF-16 with a carriage return", littleEndian, Value("A\rB")},
        {"UTF-16, big-endian, unmarked", bigEndian, Value("A\rB")},
    };
    for (const auto& c : cases) {
        std::string error;
        auto value = PropertyList::parse(c.bytes, &error);
        ASSERT_TRUE(value) << c.what << ": " << error;
        EXPECT_EQ(*value, c.expected) << c.what;
    }
}

} // namespace
} // namespace velmora
