#include "common/EncryptionBridge.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora {
namespace {

const std::string kCodecFolder = VELMORA_PLUGIN_RESOURCES;
const std::string kIncompleteFolder = std::string(VELMORA_TEST_LIBRARY_DIR) + "/incomplete";

TEST(EncryptionBridgeTest, EncodesAndDecodesPasswords) {
    EncryptionBridge bridge;
    ASSERT_EQ(bridge.load(kCodecFolder), 0);
    for (const char* password : {"1234", "", "pässwörd ☃", "a,b%c'd"}) {
        char encoded[EncryptionBridge::kOutputBufferSize] = {};
        char decoded[EncryptionBridge::kOutputBufferSize] = {};
        ASSERT_EQ(bridge.encode(password, encoded), 0);
        EXPECT_EQ(std::strlen(encoded), 2 * std::strlen(password));
        if (*password) {
            EXPECT_STRNE(encoded, password);
        }
        ASSERT_EQ(bridge.decode(encoded, decoded), 0);
        EXPECT_STREQ(decoded, password);
    }
}

TEST(EncryptionBridgeTest, SecondLoadKeepsTheFirstLibrary) {
    EncryptionBridge bridge;
    ASSERT_EQ(bridge.load(kCodecFolder), 0);
    EXPECT_EQ(bridge.load(kIncompleteFolder), 0); // already loaded: the folder is not opened
    char out[EncryptionBridge::kOutputBufferSize] = {};
    EXPECT_EQ(bridge.encode("x", out), 0);
    EXPECT_TRUE(bridge.isLoaded());
}

// Each successful load is a use; the library stays until the last use ends.
TEST(EncryptionBridgeTest, TheLibraryGoesWithItsLastUser) {
    EncryptionBridge bridge;
    ASSERT_EQ(bridge.load(kCodecFolder), 0);
    ASSERT_EQ(bridge.load(kCodecFolder), 0);
    EXPECT_EQ(bridge.load(std::string(3000, 'x')), -1); // a failed load is no use
    bridge.unload();
    char out[EncryptionBridge::kOutputBufferSize] = {};
    EXPECT_TRUE(bridge.isLoaded());
    EXPECT_EQ(bridge.encode("x", out), 0);
    bridge.unload();
    EXPECT_FALSE(bridge.isLoaded());
}

TEST(EncryptionBridgeTest, UnloadIsHarmlessWhenNothingIsLoaded) {
    EncryptionBridge bridge;
    bridge.unload();
    bridge.unload();
    EXPECT_FALSE(bridge.isLoaded());
    char out[EncryptionBridge::kOutputBufferSize] = {};
    EXPECT_NE(bridge.encode("secret", out), 0);
    EXPECT_STREQ(out, "");
}

TEST(EncryptionBridgeTest, LibraryMissingAnEntryPointLeavesTheBridgeUnloaded) {
    EncryptionBridge bridge;
    EXPECT_EQ(bridge.load(kIncompleteFolder), -1);
    EXPECT_FALSE(bridge.isLoaded());
    char out[EncryptionBridge::kOutputBufferSize] = {};
    EXPECT_NE(bridge.encode("secret", out), 0);
    // Nothing stale is left behind: a good library loads afterwards.
    EXPECT_EQ(bridge.load(kCodecFolder), 0);
    EXPECT_EQ(bridge.encode("secret", out), 0);
}

TEST(EncryptionBridgeTest, MissingLibraryAndOverlongFolderFail) {
    EncryptionBridge bridge;
    test::TempDir empty;
    EXPECT_EQ(bridge.load(empty.path()), -1);
    EXPECT_EQ(bridge.load(std::string(3000, 'x')), -1);
    EXPECT_FALSE(bridge.isLoaded());
}

TEST(EncryptionBridgeTest, NeverWritesPastTheOutputBuffer) {
    EncryptionBridge bridge;
    ASSERT_EQ(bridge.load(kCodecFolder), 0);
    // 512 input bytes encode to 1024 bytes, which leave no room for the terminator.
    std::string longest(511, 'p'), tooLong(512, 'p');
    char out[EncryptionBridge::kOutputBufferSize] = {};
    EXPECT_EQ(bridge.encode(longest.c_str(), out), 0);
    EXPECT_EQ(std::strlen(out), 1022u);
    std::memset(out, 0, sizeof out);
    EXPECT_EQ(bridge.encode(tooLong.c_str(), out), EncryptionBridge::kStatusOutputTooLong);
    EXPECT_STREQ(out, "");
}

TEST(EncryptionBridgeTest, DecodingGarbageIsAnErrorStatus) {
    EncryptionBridge bridge;
    ASSERT_EQ(bridge.load(kCodecFolder), 0);
    char out[EncryptionBridge::kOutputBufferSize] = {};
    EXPECT_NE(bridge.decode("ABC", out), 0);  // odd length
    EXPECT_NE(bridge.decode("ZZZZ", out), 0); // not hexadecimal
    EXPECT_EQ(bridge.encode(nullptr, out), EncryptionBridge::kStatusMissingArgument);
}

TEST(EncryptionBridgeTest, SelfTestReportsEachOutcome) {
    EncryptionBridge bridge;
    std::string message;
    EXPECT_EQ(bridge.check("Secret#1", kCodecFolder, &message), 0);
    EXPECT_EQ(message, kCodecFolder + "/libencryption.so");
    EXPECT_FALSE(bridge.isLoaded()); // unloaded after a completed round trip

    EXPECT_EQ(bridge.check("Secret#1", kIncompleteFolder, nullptr), -1);
    std::string tooLong(600, 'x');
    EXPECT_EQ(bridge.check(tooLong.c_str(), kCodecFolder, nullptr), -2);
    EXPECT_TRUE(bridge.isLoaded()); // stays loaded after an encoding error
}

TEST(EncryptionBridgeTest, FreeFunctionsUseTheSharedBridge) {
    ASSERT_EQ(loadEncDec(kCodecFolder), 0);
    char encoded[1024] = {}, decoded[1024] = {};
    EXPECT_EQ(encode("abc", encoded), 0);
    EXPECT_EQ(decode(encoded, decoded), 0);
    EXPECT_STREQ(decoded, "abc");
    unloadEncDec();
    EXPECT_NE(encode("abc", encoded), 0);
    EXPECT_EQ(checkEncDec("abc", kCodecFolder, nullptr), 0);
}

} // namespace
} // namespace velmora
