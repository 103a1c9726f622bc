#include "platform/foundation/TextEncoding.h"
#include "platform/foundation/UnicodeText.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct EncodingCase {
    TextEncoding encoding;
    const char* text;        // UTF-8
    std::string knownPrefix; // the encoded bytes of the text's first character(s)
};

TEST(TextEncodingTest, EveryLegacyEncodingRoundTripsItsOwnScript) {
    const EncodingCase cases[] = {
        {TextEncoding::MacRoman, "é café ñ ü ß ™ π", "\x8E"},
        {TextEncoding::ShiftJIS, "日本語テキスト ｶﾀｶﾅ ① ～", "\x93\xFA"},
        {TextEncoding::EUCJP, "日本語テキスト", "\xC6\xFC"},
        {TextEncoding::CP1252, "é café € œ —", "\xE9"},
        {TextEncoding::CP936, "简体中文", "\xBC\xF2"},
        {TextEncoding::CP850, "é café ñ ü ß ░", "\x82"},
        {TextEncoding::CP949, "한국어", "\xC7\xD1"},
        {TextEncoding::CP950, "繁體中文", "\xC1\x63"},
        {TextEncoding::UTF8, "mixed 日本 é", "m"},
    };
    for (const auto& c : cases) {
        auto encoded = TextEncodings::fromUtf8(c.text, c.encoding);
        ASSERT_TRUE(encoded) << TextEncodings::icuName(c.encoding);
        EXPECT_EQ(encoded->substr(0, c.knownPrefix.size()), c.knownPrefix)
            << TextEncodings::icuName(c.encoding);
        auto decoded = TextEncodings::toUtf8(*encoded, c.encoding);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, c.text) << TextEncodings::icuName(c.encoding);
    }
}

TEST(TextEncodingTest, UnrepresentableTextIsRefusedNotReplaced) {
    EXPECT_FALSE(TextEncodings::fromUtf8("日本", TextEncoding::CP1252));
    EXPECT_FALSE(TextEncodings::fromUtf8("€", TextEncoding::CP850));
    EXPECT_FALSE(TextEncodings::fromUtf8("한국어", TextEncoding::ShiftJIS));
    EXPECT_FALSE(TextEncodings::canEncode("😀", TextEncoding::MacRoman));
    EXPECT_TRUE(TextEncodings::canEncode("plain ASCII", TextEncoding::CP949));
    EXPECT_FALSE(TextEncodings::fromUtf8("\xC3(", TextEncoding::CP1252)); // invalid UTF-8
}

TEST(TextEncodingTest, InvalidLegacyBytesAreRefused) {
    EXPECT_FALSE(TextEncodings::toUtf8("\x81", TextEncoding::ShiftJIS)); // lone lead byte
    EXPECT_FALSE(TextEncodings::toUtf8("\x8E", TextEncoding::EUCJP));
    EXPECT_FALSE(TextEncodings::isValidUtf8("\xFF\xFE"));
    EXPECT_TRUE(TextEncodings::isValidUtf8("ok é"));
    EXPECT_EQ(*TextEncodings::toUtf8("", TextEncoding::CP950), "");
}

TEST(UnicodeTextTest, NormalizesToComposedForm) {
    EXPECT_EQ(UnicodeText::normalizeNFC("e\xCC\x81"), "é");
    EXPECT_EQ(UnicodeText::normalizeNFC("\xE3\x82\xAB\xE3\x82\x99"),
              "ガ"); // カ + combining dakuten
    EXPECT_EQ(UnicodeText::normalizeNFC("already é"), "already é");
}

TEST(UnicodeTextTest, ComparesIgnoringCaseAcrossScripts) {
    EXPECT_TRUE(UnicodeText::equalIgnoringCase("True", "tRUE"));
    EXPECT_TRUE(UnicodeText::equalIgnoringCase("ÉCOLE", "école"));
    EXPECT_TRUE(UnicodeText::equalIgnoringCase("STRASSE", "straße")); // full case folding
    EXPECT_FALSE(UnicodeText::equalIgnoringCase("True", "Yes"));
    EXPECT_LT(UnicodeText::compareIgnoringCase("apple", "Banana"), 0);
    EXPECT_EQ(UnicodeText::utf16Length("a😀é"), 4u);
}

} // namespace
} // namespace velmora
