#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Font.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"

#include <gtest/gtest.h>

namespace velmora::ui {
namespace {

std::shared_ptr<PopUpButton> popUpWith(std::vector<std::string> titles) {
    auto popUp = std::make_shared<PopUpButton>();
    popUp->addItemsWithTitles(titles);
    return popUp;
}

TEST(PopUpButtonTest, SelectionFollowsItemsAsTheyAreRemoved) {
    auto popUp = popUpWith({"A4", "A3", "Letter", "Legal"});
    EXPECT_EQ(popUp->indexOfSelectedItem(), 0); // the first item is selected on its own

    popUp->selectItemAtIndex(2);
    popUp->removeItemAtIndex(0); // an item before the selection: the same item stays selected
    EXPECT_EQ(popUp->titleOfSelectedItem(), "Letter");
    EXPECT_EQ(popUp->indexOfSelectedItem(), 1);

    popUp->removeItemWithTitle("Letter"); // the selected item itself: the first is selected
    EXPECT_EQ(popUp->titleOfSelectedItem(), "A3");

    popUp->selectItemAtIndex(-1); // cleared on purpose
    EXPECT_EQ(popUp->indexOfSelectedItem(), -1);
    EXPECT_EQ(popUp->selectedItem(), nullptr);

    popUp->removeAllItems();
    EXPECT_EQ(popUp->indexOfSelectedItem(), -1);
    EXPECT_EQ(popUp->titleOfSelectedItem(), "");
}

TEST(PopUpButtonTest, AddingAnExistingTitleMovesIt) {
    auto popUp = popUpWith({"Tray1", "Tray2", "Tray3"});
    popUp->addItemWithTitle("Tray1");
    EXPECT_EQ(popUp->itemTitles(), (std::vector<std::string>{"Tray2", "Tray3", "Tray1"}));
    popUp->insertItemWithTitle("Bypass", 0);
    EXPECT_EQ(popUp->itemAtIndex(0)->title(), "Bypass");
    popUp->itemAtIndex(1)->setRepresentedObject(Value("Tray3"));
    EXPECT_TRUE(popUp->selectItemWithRepresentedObject(Value("Tray3")));
    EXPECT_EQ(popUp->indexOfSelectedItem(), 1);
    EXPECT_FALSE(popUp->selectItemWithRepresentedObject(Value("Tray9")));
    EXPECT_EQ(popUp->indexOfSelectedItem(), -1);
    popUp->selectItemWithTitle("Nope");
    EXPECT_EQ(popUp->indexOfSelectedItem(), -1);
}

TEST(PopUpButtonTest, UserSelectionRespectsSeparatorsAndItemEnabling) {
    auto popUp = popUpWith({"Plain", "Coated"});
    popUp->insertItem(MenuItem::separatorItem(), 1);
    popUp->itemAtIndex(2)->setRepresentedObject(Value("coated"));
    popUp->itemAtIndex(2)->setEnabled(false);
    int actions = 0;
    popUp->setAction("popupButtonAction:");
    popUp->setTarget([&](Control& sender) {
        ++actions;
        EXPECT_EQ(sender.action(), "popupButtonAction:");
    });

    EXPECT_FALSE(popUp->selectItemByUser(1)); // separator
    EXPECT_TRUE(popUp->selectItemByUser(2));  // automatic enabling ignores the item flag
    EXPECT_EQ(popUp->indexOfItemWithRepresentedObject(Value("coated")), 2);

    popUp->setAutoenablesItems(false);
    popUp->selectItemAtIndex(0);
    EXPECT_FALSE(popUp->selectItemByUser(2)); // now the disabled item cannot be chosen
    EXPECT_EQ(popUp->indexOfSelectedItem(), 0);
    popUp->setEnabled(false);
    EXPECT_FALSE(popUp->selectItemByUser(0));
    EXPECT_EQ(actions, 1);
}

TEST(MatrixTest, RadioSelectionByRowTurnsTheOthersOff) {
    Matrix matrix(Rect::make(0, 0, 200, 72), 3, 1);
    for (int r = 0; r < 3; ++r)
        matrix.cellAt(r, 0)->setTitle("Choice " + std::to_string(r));
    matrix.selectCellAt(1, 0);
    EXPECT_EQ(matrix.selectedRow(), 1);
    EXPECT_EQ(matrix.cellAt(1, 0)->state(), kOnState);

    int actions = 0;
    matrix.setTarget([&](Control&) { ++actions; });
    EXPECT_TRUE(matrix.clickCellAt(2, 0));
    EXPECT_EQ(matrix.selectedRow(), 2);
    EXPECT_EQ(matrix.cellAt(1, 0)->state(), kOffState);

    matrix.cellAt(0, 0)->setEnabled(false);
    EXPECT_FALSE(matrix.clickCellAt(0, 0)); // a disabled cell cannot be clicked
    EXPECT_FALSE(matrix.clickCellAt(5, 0));
    EXPECT_EQ(matrix.selectedRow(), 2);
    EXPECT_EQ(actions, 1);

    matrix.renewRows(2, 1); // the selected row is gone
    EXPECT_EQ(matrix.selectedRow(), -1);
    EXPECT_EQ(matrix.cellAt(0, 0)->title(), "Choice 0");
    matrix.selectCellAt(-1, -1);
    EXPECT_EQ(matrix.selectedCell(), nullptr);
}

TEST(ButtonTest, CheckBoxStatesAndClicks) {
    auto box = Button::checkBox(Rect::make(0, 0, 100, 30), "Staple");
    std::vector<int> seen;
    box->setTarget([&](Control& c) { seen.push_back(static_cast<Button&>(c).state()); });
    box->performClick();
    box->performClick();
    box->setAllowsMixedState(true);
    box->setState(kOnState);
    box->performClick();
    EXPECT_EQ(seen, (std::vector<int>{kOnState, kOffState, kMixedState}));
    box->setEnabled(false);
    EXPECT_FALSE(box->performClick());
    box->setAllowsMixedState(false);
    box->setState(kMixedState); // not allowed: on
    EXPECT_EQ(box->state(), kOnState);
}

TEST(SliderTest, TickMarkRestrictionAndRange) {
    Slider slider;
    slider.setMinValue(0);
    slider.setMaxValue(4);
    slider.setNumberOfTickMarks(5);
    slider.setAllowsTickMarkValuesOnly(true);
    slider.slideTo(2.6);
    EXPECT_DOUBLE_EQ(slider.value(), 3);
    slider.setStringValue("9");
    EXPECT_DOUBLE_EQ(slider.value(), 4);
    EXPECT_EQ(slider.stringValue(), "4");
    EXPECT_DOUBLE_EQ(slider.tickMarkValueAtIndex(1), 1);

    Stepper stepper;
    stepper.setMinValue(0);
    stepper.setMaxValue(1);
    stepper.setIncrement(0.25);
    stepper.setDoubleValue(0.9);
    stepper.clickUp();
    EXPECT_DOUBLE_EQ(stepper.value(), 1);
    stepper.clickDown();
    EXPECT_DOUBLE_EQ(stepper.value(), 0.75);
}

TEST(DatePickerTest, ShowsUtcDatesWithinItsBounds) {
    DatePicker day(Rect{}, DatePicker::Style::TextField, DatePicker::kYearMonthDay);
    DatePicker time(Rect{}, DatePicker::Style::TextField, DatePicker::kHourMinuteSecond);
    day.setDateValue(86400);
    time.setDateValue(86400 + 3661);
    EXPECT_EQ(day.text(), "1970/01/02");
    EXPECT_EQ(time.text(), "01:01:01");
    day.setMinDate(100000);
    EXPECT_DOUBLE_EQ(day.dateValue(), 100000);
    day.setMaxDate(200000);
    day.pickDate(1e9);
    EXPECT_DOUBLE_EQ(day.dateValue(), 200000);
}

TEST(FontTest, MetricsAreDeterministic) {
    Font bold{"Helvetica Neue Bold", 15};
    EXPECT_DOUBLE_EQ(bold.widthOfString("Min"), 3 * 9.0);
    EXPECT_DOUBLE_EQ(Font::systemFont(10).widthOfString("日本"), 20);
    Size two = Font::systemFont(10).sizeOfString("one\rlonger");
    EXPECT_DOUBLE_EQ(two.height, 24);
    EXPECT_DOUBLE_EQ(two.width, 6 * 5.5);
}

} // namespace
} // namespace velmora::ui
