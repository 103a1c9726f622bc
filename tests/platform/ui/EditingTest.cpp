#include "platform/ui/FieldEditor.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include "platform/foundation/UnicodeText.h"

#include <gtest/gtest.h>

namespace velmora::ui {
namespace {

// A field that refuses any change containing a digit.
class NoDigitsField : public TextField {
public:
    using TextField::TextField;
    bool textShouldChange(FieldEditor&, Range, const std::string& replacement) override {
        return replacement.find_first_of("0123456789") == std::string::npos;
    }
};

struct Recorder : TextFieldDelegate {
    std::vector<std::string> events;
    bool allowEnd = true;
    void controlTextDidBeginEditing(TextField&, FieldEditor&) override {
        events.push_back("begin");
    }
    void controlTextDidChange(TextField&, FieldEditor& e) override {
        events.push_back("change:" + e.string());
    }
    bool controlTextShouldEndEditing(TextField&, FieldEditor&) override {
        events.push_back("shouldEnd");
        return allowEnd;
    }
    void controlTextDidEndEditing(TextField& f) override {
        events.push_back("end:" + f.stringValue());
    }
};

// An editor that will not give up the focus while it is empty.
class StubbornEditor : public FieldEditor {
public:
    bool resignFirstResponder() override { return !string().empty(); }
};

struct OwnEditorDelegate : WindowDelegate {
    FieldEditor* editor = nullptr;
    View* forObject = nullptr;
    FieldEditor* windowWillReturnFieldEditor(Window&, View* object) override {
        return object == forObject ? editor : nullptr;
    }
};

class EditingTest : public ::testing::Test {
protected:
    Window window{Rect::make(0, 0, 300, 200), "Job"};
    std::shared_ptr<NoDigitsField> field =
        std::make_shared<NoDigitsField>(Rect::make(10, 10, 100, 24));
    std::shared_ptr<TextField> other = std::make_shared<TextField>(Rect::make(10, 50, 100, 24));
    Recorder recorder;

    void SetUp() override {
        window.contentView()->addSubview(field);
        window.contentView()->addSubview(other);
        field->setDelegate(&recorder);
        field->setStringValue("abc");
    }
};

TEST_F(EditingTest, RefusedChangeKeepsTextAndSelection) {
    ASSERT_TRUE(window.makeFirstResponder(field.get()));
    FieldEditor* editor = field->currentEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(window.editingField(), field.get());
    EXPECT_EQ(editor->selectedRange(), (Range{0, 3})); // everything is selected on entry
    editor->setSelectedRange(Range{1, 1});
    EXPECT_FALSE(editor->insertText("9"));
    EXPECT_EQ(editor->string(), "abc");
    EXPECT_EQ(editor->selectedRange(), (Range{1, 1}));
    EXPECT_TRUE(recorder.events.empty()); // a refused change does not even begin editing
}

TEST_F(EditingTest, TypingChecksEachKeystrokeAndEndsWithTheDelegate) {
    window.makeFirstResponder(field.get());
    FieldEditor* editor = field->currentEditor();
    editor->setSelectedRange(Range{3, 0});
    EXPECT_FALSE(editor->typeText("d5e")); // the refused keystroke is dropped
    EXPECT_EQ(editor->string(), "abcde");
    EXPECT_EQ(field->stringValue(), "abcde"); // the field reads its editor while editing
    EXPECT_TRUE(editor->deleteBackward());
    ASSERT_TRUE(window.makeFirstResponder(other.get()));
    EXPECT_EQ(field->currentEditor(), nullptr);
    EXPECT_EQ(field->stringValue(), "abcd");
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"begin", "change:abcd", "change:abcde",
                                                         "change:abcd", "shouldEnd", "end:abcd"}));
}

TEST_F(EditingTest, DelegateRefusingTheEndKeepsTheFocus) {
    recorder.allowEnd = false;
    window.makeFirstResponder(field.get());
    EXPECT_FALSE(window.makeFirstResponder(other.get()));
    EXPECT_EQ(window.editingField(), field.get());
    window.endEditingFor(nullptr); // forced: nobody is asked
    EXPECT_EQ(window.editingField(), nullptr);
    EXPECT_EQ(recorder.events.back(), "end:abc");
}

TEST_F(EditingTest, WindowDelegateSuppliesAFieldEditorOfItsOwn) {
    StubbornEditor stubborn;
    OwnEditorDelegate delegate;
    delegate.editor = &stubborn;
    delegate.forObject = other.get();
    window.setDelegate(&delegate);

    window.makeFirstResponder(other.get());
    EXPECT_EQ(other->currentEditor(), &stubborn);
    stubborn.selectAll();
    stubborn.insertText("");
    EXPECT_FALSE(window.makeFirstResponder(field.get())); // empty: the editor keeps the focus
    stubborn.insertText("x");
    EXPECT_TRUE(window.makeFirstResponder(field.get()));
    EXPECT_NE(field->currentEditor(), &stubborn); // other fields use the shared editor
    EXPECT_EQ(other->stringValue(), "x");
}

TEST_F(EditingTest, DisabledHiddenAndLabelFieldsTakeNoFocus) {
    auto label = TextField::label(Rect::make(0, 0, 50, 20), "Copies:");
    window.contentView()->addSubview(label);
    EXPECT_FALSE(window.makeFirstResponder(label.get()));
    other->setEnabled(false);
    EXPECT_FALSE(window.makeFirstResponder(other.get()));
    field->setHidden(true);
    EXPECT_FALSE(window.makeFirstResponder(field.get()));
}

// Accepts at most three characters and shows values in brackets.
class ShortFormatter : public Formatter {
public:
    bool isPartialStringValid(const std::string& partial, std::string*, std::string*) override {
        return partial.size() <= 3;
    }
    std::string stringForObjectValue(const Value& v) override {
        return "[" + v.stringValue() + "]";
    }
};

TEST(FormatterTest, FormatterChecksPartialTextAndShowsTheValue) {
    Window window(Rect::make(0, 0, 200, 100));
    auto field = std::make_shared<TextField>(Rect::make(0, 0, 100, 24));
    field->setFormatter(std::make_shared<ShortFormatter>());
    window.contentView()->addSubview(field);
    window.makeFirstResponder(field.get());
    EXPECT_FALSE(field->currentEditor()->typeText("abcd"));
    EXPECT_FALSE(field->currentEditor()->paste("xyz")); // would make "abcxyz"
    window.makeFirstResponder(nullptr);
    EXPECT_EQ(field->objectValue(), Value("abc"));
    EXPECT_EQ(field->stringValue(), "[abc]");
}

TEST(SecureTextFieldTest, EditsLikeATextFieldButIsSecure) {
    Window window(Rect::make(0, 0, 200, 100));
    auto secure = std::make_shared<SecureTextField>(Rect::make(0, 0, 100, 24));
    window.contentView()->addSubview(secure);
    EXPECT_TRUE(secure->isSecure());
    EXPECT_EQ(secure->className(), "NSSecureTextField");
    window.makeFirstResponder(secure.get());
    secure->currentEditor()->typeText("s3cret");
    window.makeFirstResponder(nullptr);
    EXPECT_EQ(secure->stringValue(), "s3cret");
}

TEST(FieldEditorTest, SelectionCountsUtf16Units) {
    FieldEditor editor;
    editor.setString("a😀b");
    EXPECT_EQ(editor.length(), 4u);
    editor.setSelectedRange(Range{3, 9});
    EXPECT_EQ(editor.selectedRange(), (Range{3, 1}));
    editor.setSelectedRange(Range{3, 0});
    editor.deleteBackward(); // removes the whole emoji
    EXPECT_EQ(editor.string(), "ab");
}

TEST(FieldEditorTest, EditsInPlaceAtUtf16PositionsOfMixedText) {
    FieldEditor editor;
    std::string typed;
    for (int i = 0; i < 5000; ++i)
        typed += i % 3 == 0 ? "é" : i % 3 == 1 ? "😀" : "x";
    editor.typeText(typed);
    EXPECT_EQ(editor.string(), typed);
    EXPECT_EQ(editor.length(), 1667u + 2 * 1667u + 1666u); // an emoji takes two units
    struct Case {
        Range range;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {{1, 2}, "-", "é-x"},        // the emoji as a whole
        {{0, 0}, "日本", "日本é😀x"}, // in front
        {{4, 9}, "!", "é😀x!"},       // a range past the end is held to it
    };
    // Offsets inside a surrogate pair take the whole character; text that is not UTF-8 counts
    // one unit per ill-formed byte, as it is shown.
    editor.setString("😀");
    editor.setSelectedRange(Range{0, 1});
    editor.insertText("");
    EXPECT_EQ(editor.string(), "");
    EXPECT_EQ(editor.length(), 0u);
    editor.setString("\xE9"
                     "ab");
    EXPECT_EQ(editor.length(), 3u);
    editor.setSelectedRange(Range{1, 0});
    editor.insertText("-");
    EXPECT_EQ(editor.string(), "\xE9"
                               "-ab");
    editor.setSelectedRange(Range{4, 0});
    editor.deleteBackward();
    EXPECT_EQ(editor.string(), "\xE9"
                               "-a");
    EXPECT_EQ(editor.length(), 3u);
    for (const auto& c : cases) {
        editor.setString("é😀x");
        editor.setSelectedRange(c.range);
        editor.insertText(c.replacement);
        EXPECT_EQ(editor.string(), c.expected) << c.replacement;
        EXPECT_EQ(editor.length(), UnicodeText::utf16Length(c.expected));
        EXPECT_EQ(editor.stringByReplacing(Range{0, 0}, ">"), std::string(">") + c.expected);
    }
}

} // namespace
} // namespace velmora::ui
