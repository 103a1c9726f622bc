#include "controls/ZEMATextField.h"

#include "common/NotifyUnit.h"

#include "platform/ui/FieldEditor.h"
#include "platform/ui/Window.h"

#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace velmora {
namespace {

// A number or text field in a window, typed into the way a user types.
class FieldTest : public ::testing::Test {
protected:
    ui::Window window{ui::Rect::make(0, 0, 300, 100), "Options"};
    std::shared_ptr<ui::TextField> other = std::make_shared<ui::TextField>();
    test::ScriptedUi ui;

    template <typename Field = ZEMATextField>
    std::shared_ptr<Field> numberField(std::uint32_t unit, double min, double max) {
        auto field = std::make_shared<Field>(ui::Rect::make(0, 0, 80, 24));
        field->setNum(true);
        field->setUnit(unit);
        field->setMin(min);
        field->setMax(max);
        field->setStringValue("");
        add(field);
        return field;
    }
    void add(const std::shared_ptr<ui::View>& view) {
        window.contentView()->addSubview(view);
        if (!other->superview())
            window.contentView()->addSubview(other);
    }
    // Focuses the field, clears it, types the text and returns what the field shows.
    std::string type(ZEMATextField& field, const std::string& text) {
        window.makeFirstResponder(&field);
        ui::FieldEditor* editor = field.currentEditor();
        editor->selectAll();
        editor->deleteBackward();
        editor->typeText(text);
        return editor->string();
    }
    void leave() { window.makeFirstResponder(other.get()); }
};

TEST_F(FieldTest, TwoDecimalUnitStopsAtTheSecondDecimal) {
    auto field = numberField(kUnitTwoDecimalsAlt, 0, 100);
    EXPECT_EQ(field->digit(), 6u); // "100.00"
    EXPECT_EQ(type(*field, "12.345"), "12.34");
    EXPECT_EQ(type(*field, "-5"), "5"); // no minus with a minimum of 0
    EXPECT_EQ(type(*field, "1.2.3"), "1.23");
    EXPECT_EQ(type(*field, "7x"), "7");
}

TEST_F(FieldTest, MinimumOneRefusesALeadingZero) {
    auto field = numberField(kUnitTwoDecimalsAlt, 1, 100);
    EXPECT_EQ(type(*field, "05"), "5");
    auto negative = numberField(kUnitInteger, -10, 10);
    EXPECT_EQ(type(*negative, "-7"), "-7"); // a negative minimum allows the minus sign
}

TEST_F(FieldTest, IntegerMaximumLimitsTheLength) {
    auto field = numberField(kUnitInteger, 0, 100);
    EXPECT_EQ(field->digit(), 3u);
    EXPECT_EQ(type(*field, "1000"), "100");
    EXPECT_EQ(type(*field, "101"), "10"); // above the maximum
    EXPECT_EQ(type(*field, "2.5"), "25"); // no point in an integer unit
}

TEST_F(FieldTest, OutOfRangeEndOfEditingAlertsAndClamps) {
    auto field = numberField(kUnitInteger, 10, 100);
    field->setKeyword("Copies");
    NotificationCenter center;
    NotifyUnit::setCenter(&center);
    int posts = 0;
    int observer;
    center.addObserver(&observer, "Copies", nullptr, [&](const Notification&) { ++posts; });
    type(*field, "5");
    leave();
    NotifyUnit::setCenter(nullptr);
    EXPECT_EQ(field->stringValue(), "10");
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_NE(ui.alerts[0].informative.find("10"), std::string::npos);
    EXPECT_NE(ui.alerts[0].informative.find("100"), std::string::npos);
    EXPECT_EQ(posts, 1);

    type(*field, "50");
    leave();
    EXPECT_EQ(ui.alerts.size(), 1u); // in range: no alert
    EXPECT_EQ(field->stringValue(), "50");
}

TEST_F(FieldTest, DecimalCommaUnderAFrenchFirstLanguage) {
    test::ScopedEnv language("LANGUAGE", "fr");
    auto field = numberField(kUnitOneDecimal, 0, 10);
    EXPECT_EQ(type(*field, "1,5"), "1,5");
    EXPECT_EQ(type(*field, "1.5"), "1"); // the point is refused, and 15 is above the maximum
    EXPECT_EQ(type(*field, "2,25"), "2,2");
    type(*field, "1,5");
    leave();
    EXPECT_EQ(field->stringValue(), "1,5"); // once "1.0"
    EXPECT_DOUBLE_EQ(field->doubleValueInRange(), 1.5);
    field->setDoubleValueforNumber(3.25);
    EXPECT_EQ(field->stringValue(), "3,2");
    // Validation reads the text as the stored value does: "1,5" is 1.5, not 1.
    type(*field, "1,5");
    field->validateTextField();
    EXPECT_DOUBLE_EQ(field->doubleValueInRange(), 1.5);
    EXPECT_EQ(field->stringValue(), "1,5"); // once "1.0"
}

TEST_F(FieldTest, IntegerValueStaysWithinWhatAnIntHolds) {
    const std::tuple<double, double, const char*, int> cases[] = {
        {0, 10, "7", 7},
        {-1e12, 1e12, "5000000000", std::numeric_limits<int>::max()},
        {-1e12, 1e12, "-5000000000", std::numeric_limits<int>::min()},
    };
    for (const auto& [min, max, text, expected] : cases) {
        auto field = numberField(kUnitInteger, min, max);
        field->setStringValue(text);
        EXPECT_EQ(field->intValueInRange(), expected) << text;
    }
}

TEST_F(FieldTest, SecureFieldChecksFormOnlyAndHasNoDecimalComma) {
    test::ScopedEnv language("LANGUAGE", "de");
    auto field = numberField<ZEMASecureTextField>(kUnitOneDecimal, 0, 10);
    EXPECT_EQ(type(*field, "12,5"), "125"); // no comma; the maximum is not checked while typing
    EXPECT_EQ(type(*field, "1.5"), "1.5");
    auto text = std::make_shared<ZEMASecureTextField>(ui::Rect::make(0, 0, 80, 24));
    text->setNum(false);
    text->setUnit(kUnitPageList);
    text->setDigit(2);
    add(text);
    EXPECT_EQ(type(*text, "0--xyz"), "0--xyz"); // every text edit is taken
}

TEST_F(FieldTest, PageListsAreCheckedWhileTyping) {
    auto field = std::make_shared<ZEMATextField>(ui::Rect::make(0, 0, 80, 24));
    field->setNum(false);
    field->setUnit(kUnitPageList);
    field->setDigit(20);
    add(field);
    const std::pair<const char*, const char*> cases[] = {
        {"1-3,5", "1-3,5"}, {"0", ""}, {"1--", "1-"}, {"2,,", "2,"}, {"-5", "-5"}, {"3a", "3"}};
    for (const auto& [typed, shown] : cases)
        EXPECT_EQ(type(*field, typed), shown) << typed;
    EXPECT_FALSE(field->isTextFormatForPageNum("1-2--"));
    EXPECT_TRUE(field->isTextFormatForPageNum(""));
    field->setDigit(3);
    EXPECT_EQ(type(*field, "1-100"), "1-1");
}

TEST_F(FieldTest, NumberFormatRulesAsATable) {
    auto field = numberField(kUnitThreeDecimals, 0.5, 99);
    const std::pair<const char*, bool> cases[] = {
        {"", true},   {"1.234", true}, {"1.2345", false}, {"0.5", false}, {"-1", false},
        {"12", true}, {".5", true},    {"1é", false},     {"1.", true},   {"99.000", true},
    };
    for (const auto& [text, ok] : cases)
        EXPECT_EQ(field->isNumFormat(text), ok) << text;
}

TEST_F(FieldTest, ValidateRequestOnlyForEnabledNumberFieldsFromInterfaceFiles) {
    auto field = ZEMATextField::fromInterfaceFile(ui::Rect::make(0, 0, 80, 24));
    EXPECT_EQ(field->unit(), static_cast<std::uint32_t>(kUnitInteger));
    EXPECT_EQ(field->digit(), 4u);
    field->setMin(1);
    field->setMax(9);
    field->setStringValue("12");
    NotificationCenter& center = NotifyUnit::notyfyInstance();
    int cancels = 0, observer;
    center.addObserver(&observer, "TEXTFIELD_VALIDATE_CANCEL", nullptr,
                       [&](const Notification&) { ++cancels; });
    center.post("VALIDATE");
    EXPECT_EQ(field->stringValue(), "9");
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(ui.alerts.size(), 1u);
    field->setEnabled(false);
    field->setStringValue("0");
    center.post("VALIDATE");
    EXPECT_EQ(field->stringValue(), "0"); // disabled: left alone
    center.removeObserver(&observer);
}

} // namespace
} // namespace velmora
