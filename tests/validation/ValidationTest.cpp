#include "validation/ValidatingTextFields.h"
#include "validation/ValidationFormatter.h"

#include "platform/ui/Window.h"

#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

icu::UnicodeSet anything() {
    icu::UnicodeSet set(0, 0x10FFFF);
    return set;
}

TEST(MailAddressTest, AnyNonSeparatorRunIsAnAddress) {
    MailAddressFormatter mail(0, 128, anything(), std::string("bad"));
    const std::pair<const char*, bool> cases[] = {
        {", ;x", true}, {"a@b.c; d@e.f", true}, {" ;,\t", false}, {"", false}, {"x", true}};
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(mail.isValid(text), valid) << text;
}

TEST(PageRangeTest, RangesFromTheExamples) {
    const std::pair<const char*, bool> cases[] = {
        {"3", true},      {"1-5", true},         {"-5", true},
        {"5-", true},     {"1,3,7-9", true},     {"2 - 4", true},
        {"", true},       {"0", false},          {"5-2", false},
        {"1-3-5", false}, {"a", false},          {"-", false},
        {",,", false},    {"2147483648", false}, {"2147483647", true},
        {"1\n4", true},   {"1,,2", true},        {"99999999999999999999999", false}};
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(PageRangeFormatter::isValidPageRange(text, 1, 2147483647u), valid) << text;
    EXPECT_FALSE(PageRangeFormatter::isValidPageRange("한", 1, 10)); // not in the C-string encoding
}

struct OwnEditors : ui::WindowDelegate {
    NoEmptyTextField* noEmpty = nullptr;
    ui::FieldEditor* windowWillReturnFieldEditor(ui::Window&, ui::View* object) override {
        return object == noEmpty ? noEmpty->fieldEditor() : nullptr;
    }
};

TEST(ValidatingFieldTest, EmptyFieldKeepsTheFocusWhileItsWindowIsShown) {
    test::ScriptedUi ui;
    ui::Window window(ui::Rect::make(0, 0, 300, 100), "Detailed Settings");
    auto copies = std::make_shared<NoEmptyTextField>(ui::Rect::make(0, 0, 100, 24));
    copies->cell().setRepresentedObject(Value(Dictionary{{"title", "Copies"}}));
    auto other = std::make_shared<ui::TextField>(ui::Rect::make(0, 40, 100, 24));
    window.contentView()->addSubview(copies);
    window.contentView()->addSubview(other);
    OwnEditors editors;
    editors.noEmpty = copies.get();
    window.setDelegate(&editors);
    window.makeKeyAndOrderFront();

    ASSERT_TRUE(window.makeFirstResponder(copies.get()));
    EXPECT_EQ(copies->currentEditor(), copies->fieldEditor());
    EXPECT_FALSE(window.makeFirstResponder(other.get()));
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message, "Enter the Copies.");
    window.orderOut(); // a hidden window lets it go
    EXPECT_TRUE(window.makeFirstResponder(other.get()));
}

TEST(ValidatingFieldTest, ValidationFormatterShowsItsMessageWhenLeaving) {
    test::ScriptedUi ui;
    ui::Window window(ui::Rect::make(0, 0, 300, 100));
    auto pages = std::make_shared<ui::TextField>(ui::Rect::make(0, 0, 100, 24));
    auto other = std::make_shared<ui::TextField>(ui::Rect::make(0, 40, 100, 24));
    window.contentView()->addSubview(pages);
    window.contentView()->addSubview(other);
    window.makeKeyAndOrderFront();
    ValidationFormatter::setValidationFormatter<PageRangeFormatter>(*pages, 64, anything(),
                                                                    std::string("Pages 1-5"));
    window.makeFirstResponder(pages.get());
    pages->currentEditor()->typeText("5-2");
    EXPECT_FALSE(window.makeFirstResponder(other.get()));
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message, "Pages 1-5");
    pages->currentEditor()->selectAll();
    pages->currentEditor()->typeText("2-5");
    EXPECT_TRUE(window.makeFirstResponder(other.get()));
}

} // namespace
} // namespace velmora
