#include "validation/FormatterAttachment.h"
#include "validation/MaxBytesFormatter.h"
#include "validation/MaxLengthFormatter.h"
#include "validation/StringEscapeConverter.h"
#include "validation/StringUtilities.h"

#include "platform/ui/Application.h"
#include "platform/ui/FieldEditor.h"
#include "platform/ui/Window.h"

#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// A field in a visible window, with a formatter attached, typed into as a user types.
class TypingTest : public ::testing::Test {
protected:
    ui::Window window{ui::Rect::make(0, 0, 300, 100), "Favorites"};
    std::shared_ptr<ui::TextField> field =
        std::make_shared<ui::TextField>(ui::Rect::make(0, 0, 200, 24));
    std::shared_ptr<ui::TextField> other =
        std::make_shared<ui::TextField>(ui::Rect::make(0, 40, 200, 24));
    test::ScriptedUi ui;

    void SetUp() override {
        window.contentView()->addSubview(field);
        window.contentView()->addSubview(other);
        window.makeKeyAndOrderFront();
    }
    ui::FieldEditor& edit() {
        window.makeFirstResponder(field.get());
        return *field->currentEditor();
    }
};

TEST_F(TypingTest, ByteLimitCountsTwoBytesPerJapaneseCharacter) {
    MaxBytesFormatter::attachTo(*field, 0, 10);
    int beeps = ui::Application::shared().beepCount();
    auto& editor = edit();
    editor.typeText("日本語日本");
    EXPECT_EQ(editor.string(), "日本語日本"); // five two-byte characters: 10 bytes
    editor.typeText("語");
    EXPECT_EQ(editor.string(), "日本語日本");
    EXPECT_EQ(editor.selectedRange(), (ui::Range{5, 0})); // the caret goes back
    EXPECT_EQ(ui::Application::shared().beepCount(), beeps + 1);
}

TEST_F(TypingTest, APasteOverTheLimitIsRefusedWhole) {
    MaxLengthFormatter::attachTo(*field, 0, 8);
    auto& editor = edit();
    editor.typeText("abc");
    editor.paste("defghij"); // would make 10 characters
    EXPECT_EQ(editor.string(), "abc");
    editor.paste("defgh");
    EXPECT_EQ(editor.string(), "abcdefgh");
}

TEST_F(TypingTest, ControlCharactersAndCharacterSets) {
    auto formatter = MaxLengthFormatter::attachTo(*field, 0, 50);
    auto& editor = edit();
    editor.paste("a\tb");
    EXPECT_EQ(editor.string(), "");
    editor.paste("line\nbreak");
    EXPECT_EQ(editor.string(), "");
    formatter->setControlCharactersEnabled(true);
    editor.paste("a\tb");
    EXPECT_EQ(editor.string(), "a\tb");

    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet digits(icu::UnicodeString("[0-9]"), status);
    auto limited = std::make_shared<MaxBytesFormatterWithCharacterSet>(0, 5, digits);
    LimitFormatter::attach(*other, limited);
    window.makeFirstResponder(other.get());
    other->currentEditor()->typeText("12a3");
    EXPECT_EQ(other->currentEditor()->string(), "123");
}

TEST_F(TypingTest, MinimumIsAskedWhenLeaving) {
    field->cell().setRepresentedObject(Value(Dictionary{{"title", "Job name"}}));
    MaxLengthFormatter::attachTo(*field, 4, 20);
    auto& editor = edit();
    editor.typeText("ab");
    EXPECT_FALSE(window.makeFirstResponder(other.get()));
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message, "Please specify at least 4 characters for Job name.");
    EXPECT_TRUE(ui.alerts[0].asSheet);
    editor.selectAll();
    editor.deleteBackward();
    EXPECT_TRUE(window.makeFirstResponder(other.get())); // an empty text may leave
}

TEST(EscapeTest, StandardRulesForJapaneseAndOtherUsers) {
    auto other = StringEscapeConverter::standardConverter(false);
    auto japanese = StringEscapeConverter::standardConverter(true);
    EXPECT_EQ(other.escape("a\"b"), "a\\\"b");
    EXPECT_EQ(other.escape("C:\\x\xC2\xA5y"), "C:\\\\x\\\\y");
    EXPECT_EQ(other.escape("one\ntwo\xE2\x80\xA8three"), "one\\ntwo\\nthree");
    EXPECT_EQ(other.unEscape("C:\\\\x"), "C:\\x");
    EXPECT_EQ(japanese.unEscape("C:\\\\x"), "C:\xC2\xA5x");
    EXPECT_EQ(other.unEscape("a\\nb\\\"c\\q"), "a\nb\"c\\q"); // a lone backslash stays
    StringEscapeConverter empty = StringEscapeConverter::emptyConverter();
    empty.replace("", "x"); // never matches
    EXPECT_EQ(empty.escape("abc"), "abc");
}

TEST_F(TypingTest, EscapeFormattersStoreEscapedAndShowUnescaped) {
    auto formatter = attachMaxLengthFormatterWithEscape(
        field.get(), 6, std::string("At most %d characters"), std::nullopt);
    ASSERT_TRUE(formatter);
    EXPECT_EQ(field->placeholderString(), "At most 6 characters");
    EXPECT_EQ(field->toolTip(), "At most 6 characters");
    auto& editor = edit();
    editor.typeText("a\"b\"cd");
    window.makeFirstResponder(other.get());
    EXPECT_EQ(field->objectValue(), Value("a\\\"b\\\"cd"));
    EXPECT_EQ(field->stringValue(), "a\"b\"cd");
    EXPECT_FALSE(attachMaxBytesFormatter(nullptr, 5, std::nullopt, std::nullopt));
}

TEST(StringUtilitiesTest, BytesAndBooleans) {
    EXPECT_EQ(lengthByBytes("abc"), 3u);
    EXPECT_EQ(lengthByBytes("日本"), 4u);
    EXPECT_EQ(lengthByBytes("😀"), 2u); // counted as its two-byte substitute
    const std::pair<Value, bool> cases[] = {{Value("True"), true}, {Value("tRuE"), true},
                                            {Value("yes"), false}, {Value("1"), false},
                                            {Value(1), true},      {Value(false), false}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(boolValueIfString(value), expected) << value;
}

} // namespace
} // namespace velmora
