#include "platform/foundation/Result.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace velmora {
namespace {

Result<int> parsed(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return Failure{"\"" + text + "\" is no number"};
    return std::stoi(text);
}

// A result is its value or its reason, never both; a failure without words still says it failed,
// and asking a failure for its value is refused rather than answered with a default.
TEST(ResultTest, AResultIsItsValueOrItsReasonNeverBoth) {
    struct Case {
        std::string text;
        bool ok;
        int value;
        std::string reason;
    } cases[] = {{"42", true, 42, ""},
                 {"4x", false, 0, "\"4x\" is no number"},
                 {"", false, 0, "\"\" is no number"}};
    for (const auto& c : cases) {
        auto result = parsed(c.text);
        EXPECT_EQ(result.ok(), c.ok) << c.text;
        EXPECT_EQ(static_cast<bool>(result), c.ok) << c.text;
        EXPECT_EQ(result.error(), c.reason) << c.text;
        if (c.ok)
            EXPECT_EQ(*result, c.value);
        else
            EXPECT_THROW(static_cast<void>(result.value()), std::logic_error) << c.text;
    }
    Result<std::string> unexplained = Failure{""};
    EXPECT_FALSE(unexplained);
    EXPECT_EQ(unexplained.error(), "an unknown failure");
}

TEST(ResultTest, AStatusIsDoneOrItsReason) {
    Status done;
    EXPECT_TRUE(done);
    EXPECT_EQ(done.error(), "");
    Status refused = Failure{"the scheduler refused"};
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error(), "the scheduler refused");
    Status unexplained = Failure{};
    EXPECT_EQ(unexplained.error(), "an unknown failure");
}

} // namespace
} // namespace velmora
