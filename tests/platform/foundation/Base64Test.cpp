#include "platform/foundation/Base64.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

std::optional<std::string> decoded(std::string_view text) {
    auto bytes = Base64::decode(text);
    return bytes ? std::optional<std::string>(std::string(bytes->begin(), bytes->end()))
                 : std::nullopt;
}

TEST(Base64Test, DecodesWhatIsWellFormedAndRefusesTheRest) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"QUJD", "ABC"},
        {"QUI=", "AB"},
        {"QUI", "AB"},
        {"QQ==", "A"},
        {"Q===", ""},
        {" QU\nJD\t", "ABC"},
        {"", ""},
        {"QUJDRA", "ABCD"},
        {"QUJDR", std::nullopt},
        {"QQ==QQ==", std::nullopt},
        {"QQ=", std::nullopt},
        {"QU*D", std::nullopt},
        {"QUJD\x80", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(decoded(text), expected) << text;
    std::string out = "kept";
    EXPECT_FALSE(Base64::decodeAppend("QU*D", out));
    EXPECT_EQ(out, "kept") << "a refused text leaves the output as it was";
}

TEST(Base64Test, AgreesWithLibcupsOnWellFormedText) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes(random() % 200);
        for (auto& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        std::string text = Base64::encode(bytes);
        if (round % 3 == 1) // also without padding
            text.erase(text.find_last_not_of('=') + 1);
        std::string cups(text.size() + 4, '\0');
        int length = static_cast<int>(cups.size());
        httpDecode64_2(cups.data(), &length, text.c_str());
        cups.resize(static_cast<std::size_t>(length));
        ASSERT_EQ(decoded(text), cups) << text;
        ASSERT_EQ(cups, std::string(bytes.begin(), bytes.end()));
    }
}

// Long blocks decode in whole groups at a time; white space, padding and wrong characters may
// fall anywhere in a group and must be read the same.
TEST(Base64Test, ALongTextDecodesTheSameHoweverItIsWrapped) {
    std::mt19937 random(11);
    std::vector<std::uint8_t> bytes(3000);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    const std::string original(bytes.begin(), bytes.end()), clean = Base64::encode(bytes);
    for (std::size_t width : {1, 2, 3, 5, 7, 64, 76}) {
        std::string wrapped;
        for (std::size_t i = 0; i < clean.size(); ++i) {
            if (i > 0 && i % width == 0)
                wrapped += width % 2 ? "\r\n" : " ";
            wrapped += clean[i];
        }
        EXPECT_EQ(decoded(wrapped), original) << "wrapped every " << width;
    }
    for (std::size_t at : {0, 1, 2, 3, 4, 5, 1000, 1001, 1002, 1003, 3999}) {
        std::string wrong = clean;
        wrong[at] = '*';
        EXPECT_EQ(decoded(wrong), std::nullopt) << "a wrong character at " << at;
    }
    EXPECT_EQ(decoded("QUI=" + clean), std::nullopt) << "groups after the padding";
    EXPECT_EQ(decoded(clean + "Q"), std::nullopt) << "a lone character after the last group";
    EXPECT_EQ(decoded(clean + "QUI"), original + "AB");
}

} // namespace
} // namespace velmora
