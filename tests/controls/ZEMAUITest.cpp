#include "controls/ZEMAUI.h"

#include "common/NotifyUnit.h"
#include "controls/ZEMATextField.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/SystemLog.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Window.h"

#include "support/Descriptions.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <unistd.h>

namespace velmora {
namespace {

using test::buildControl;
using test::choices;

// Records the notifications that controls post, on a centre of the test's own.
class Posts {
public:
    Posts() { NotifyUnit::setCenter(&_center); }
    ~Posts() { NotifyUnit::setCenter(nullptr); }
    void watch(const std::string& name) {
        _center.addObserver(this, name, nullptr, [this](const Notification& n) {
            std::string entry = n.name;
            for (const auto& [key, value] : n.userInfo)
                entry += " " + key + "=" + value.stringValue();
            seen.push_back(entry);
        });
    }
    std::vector<std::string> seen;

private:
    NotificationCenter _center;
};

TEST(ZEMAUIHeightTest, EveryKindReportsItsHeight) {
    struct Case {
        std::string entries;
        double height;
    };
    const std::string titled = "<key>text</key><string>Title</string>";
    const std::string groupLine =
        "<key>isGroupMain</key><false/><key>groupTitle</key><string>G</string>";
    const Case cases[] = {
        {"<key>control_type</key><string>CheckBox</string><key>text</key><string>One\rTwo</"
         "string>" +
             choices("True", "On", "False", "Off"),
         48},
        {"<key>control_type</key><string>CheckBox</string>" + titled + groupLine, 48},
        {"<key>control_type</key><string>TextField_text</string>" + titled, 48},
        {"<key>control_type</key><string>TextField_text</string>", 24},
        {"<key>control_type</key><string>SecureTextField_text</string>" + groupLine, 48},
        {"<key>control_type</key><string>TextField_number</string>" + titled +
             "<key>min</key><string>1</string><key>max</key><string>9</string>",
         48},
        {"<key>control_type</key><string>PopupButton</string>" + titled, 48},
        {"<key>control_type</key><string>PopupButton</string>", 24},
        {"<key>control_type</key><string>Slider</string>", 24},
        {"<key>control_type</key><string>RadioButton</string>" + titled +
             choices("a", "A", "b", "B", "c", "C"),
         84},
        {"<key>control_type</key><string>RadioButton</string>" + choices("a", "A"), 20},
        {"<key>control_type</key><string>DatePicker</string>", 179},
        {"<key>control_type</key><string>DatePicker</string>" + titled, 203},
        {"<key>control_type</key><string>HRadioButton</string>" + titled + choices("a", "A"), 0},
        {titled, 0},
        {"<key>control_type</key><string>PopupButton</string>" + titled +
             "<key>blank_line_count</key><string>2</string>",
         96},
        {"<key>control_type</key><string>HRadioButton</string><key>blank_line_count</"
         "key><integer>2</integer>",
         0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(buildControl("<key>mainKeyword</key><string>K</string>" + c.entries)
                      ->getControlHeight(),
                  c.height)
            << c.entries;
}

TEST(ZEMAUICreationTest, TwoLineCheckBoxIsSixtyHigh) {
    auto control = buildControl("<key>mainKeyword</key><string>Collate</string>"
                                "<key>control_type</key><string>CheckBox</string>"
                                "<key>text</key><string>Collate\rcopies</string>" +
                                choices("True", "On", "False", "Off"));
    EXPECT_EQ(control->lineCount(), 2);
    EXPECT_EQ(control->checkBox()->frame().height(), 60);
    EXPECT_EQ(control->getControlHeight(), 48);
}

TEST(ZEMAUICreationTest, MissingKindOrDescriptionBuildsLabelsOrNothing) {
    auto labels = buildControl(
        "<key>mainKeyword</key><string>Info</string><key>text</key><string>Note</string>");
    EXPECT_EQ(labels->getControlHeight(), 0);
    ASSERT_NE(labels->titleLabel(), nullptr);
    EXPECT_EQ(labels->titleLabel()->stringValue(), "Note");
    EXPECT_EQ(labels->titleLabel()->frame(), ui::Rect::make(24, 48, 376, 20));

    auto nothing = std::make_shared<ZEMAUI>(ui::Rect::make(0, 0, 400, 72));
    nothing->createControls();
    EXPECT_TRUE(nothing->subviews().empty());
    EXPECT_EQ(nothing->getControlHeight(), 0);
    EXPECT_EQ(nothing->mainKeyword(), "");
}

TEST(ZEMAUICreationTest, TextFieldLimitsAndTypes) {
    for (const char* maxDigit : {"", "<key>max_digit</key><string>0</string>"}) {
        auto control =
            buildControl(std::string("<key>mainKeyword</key><string>JobName</string>"
                                     "<key>control_type</key><string>TextField_text</string>") +
                         maxDigit);
        EXPECT_EQ(control->textField()->digit(), 256u);
        EXPECT_EQ(control->textField()->unit(), static_cast<std::uint32_t>(kUnitPlainText));
    }
    auto pages = buildControl(
        "<key>mainKeyword</key><string>Pages</string>"
        "<key>control_type</key><string>TextField_text</string>"
        "<key>text_type</key><string>NUMOFPAGE</string><key>max_digit</key><integer>12</integer>"
        "<key>isEnabledButton</key><true/><key>button_text</key><string>Set</string>"
        "<key>isTargetOnlyHidden</key><true/>");
    EXPECT_EQ(pages->textField()->unit(), static_cast<std::uint32_t>(kUnitPageList));
    EXPECT_EQ(pages->textField()->digit(), 12u);
    ASSERT_NE(pages->pushButton(), nullptr);
    EXPECT_EQ(pages->pushButton()->title(), "Set");
    EXPECT_TRUE(pages->textField()->isHidden());
    EXPECT_FALSE(pages->pushButton()->isHidden());

    auto secret = buildControl("<key>mainKeyword</key><string>SecPrintPassword</string>"
                               "<key>control_type</key><string>SecureTextField_text</string>");
    EXPECT_TRUE(secret->textField()->isSecure());
}

TEST(ZEMAUICreationTest, NumberFieldTakesUnitStepAndRangeFromMinAndMax) {
    struct Case {
        const char* min;
        const char* max;
        std::uint32_t unit;
        double increment;
        double width;
    };
    const Case cases[] = {
        {"1", "9999", kUnitInteger, 1, 42},
        {"0.5", "10.0", kUnitOneDecimal, 0.1, 42},
        {"0.25", "1.5", kUnitTwoDecimalsAlt, 0.01, 42},
        {"0", "1.5", kUnitThreeDecimals, 0.001, 35},
        {"0.125", "2.5", kUnitThreeDecimals, 0.001, 49},
    };
    for (const auto& c : cases) {
        auto control =
            buildControl(std::string("<key>mainKeyword</key><string>Gap</string>"
                                     "<key>control_type</key><string>TextField_number</string>"
                                     "<key>min</key><string>") +
                         c.min + "</string><key>max</key><string>" + c.max + "</string>");
        EXPECT_EQ(control->textField()->unit(), c.unit) << c.min << " " << c.max;
        EXPECT_DOUBLE_EQ(control->stepper()->increment(), c.increment) << c.min << " " << c.max;
        EXPECT_DOUBLE_EQ(control->textField()->frame().width(), c.width) << c.min << " " << c.max;
    }
}

TEST(ZEMAUIValueTest, RebuildingTheFieldBeingEditedLeavesNoDanglingFocus) {
    auto control = buildControl("<key>mainKeyword</key><string>Gap</string>"
                                "<key>control_type</key><string>TextField_number</string>"
                                "<key>min</key><string>0</string><key>max</key><string>99</string>");
    ui::Window window(ui::Rect::make(0, 0, 600, 400));
    window.contentView()->addSubview(control);
    std::weak_ptr<ZEMATextField> edited = control->textField();
    ASSERT_TRUE(window.makeFirstResponder(control->textField().get()));
    control->updateControl(); // the field being edited is replaced by a new one
    EXPECT_TRUE(edited.expired());
    EXPECT_EQ(window.firstResponder(), nullptr);
    EXPECT_TRUE(window.makeFirstResponder(nullptr));
    EXPECT_TRUE(window.makeFirstResponder(control->textField().get()));
    EXPECT_EQ(window.editingField(), control->textField().get());
}

TEST(ZEMAUIValueTest, NumberFieldShowsValuesInItsPrecisionAndDescribesItsRange) {
    auto control =
        buildControl("<key>mainKeyword</key><string>Gap</string>"
                     "<key>control_type</key><string>TextField_number</string>"
                     "<key>min</key><string>0.00</string><key>max</key><string>25.40</string>"
                     "<key>desc_text</key><string>mm (%@ - %@)</string>"
                     "<key>default</key><string>2.5</string>");
    EXPECT_EQ(control->textField()->stringValue(), "2.50");
    EXPECT_EQ(control->getStringValue(), "2.50");
    EXPECT_DOUBLE_EQ(control->stepper()->value(), 2.5);
    EXPECT_EQ(control->descriptionLabel()->stringValue(), "mm (0.00 - 25.40)");
    control->setDoubleValue(3);
    EXPECT_EQ(control->getStringValue(), "3.00");
    control->updateMin(1, 12.7);
    EXPECT_EQ(control->descriptionLabel()->stringValue(), "mm (1.00 - 12.70)");
    EXPECT_DOUBLE_EQ(control->stepper()->maxValue(), 12.7);
    EXPECT_EQ(control->textField()->digit(), 5u);
}

TEST(ZEMAUIValueTest, DecimalCommaIsShownButValuesKeepThePoint) {
    test::ScopedEnv language("LANGUAGE", "fr_FR");
    Posts posts;
    posts.watch("Gap");
    auto control =
        buildControl("<key>mainKeyword</key><string>Gap</string>"
                     "<key>control_type</key><string>TextField_number</string>"
                     "<key>min</key><string>0.0</string><key>max</key><string>9.5</string>"
                     "<key>desc_text</key><string>(%@ - %@)</string>"
                     "<key>default</key><string>1.5</string>");
    EXPECT_EQ(control->textField()->stringValue(), "1,5");
    EXPECT_EQ(control->getStringValue(), "1.5");
    EXPECT_EQ(control->descriptionLabel()->stringValue(), "(0,0 - 9,5)");
    control->stepper()->clickUp();
    EXPECT_EQ(control->textField()->stringValue(), "1,6");
    EXPECT_EQ(control->getStringValue(), "1.6");
    EXPECT_EQ(posts.seen.back(), "Gap");
}

TEST(ZEMAUIValueTest, InvertedCheckBoxReadsTheOtherChoice) {
    Posts posts;
    posts.watch("NoOffset");
    auto control =
        buildControl("<key>mainKeyword</key><string>NoOffset</string>"
                     "<key>control_type</key><string>CheckBox</string>"
                     "<key>isInvert</key><true/><key>default</key><string>True</string>" +
                     choices("True", "Offset off", "False", "Offset on"));
    EXPECT_EQ(control->checkBox()->state(), ui::kOffState); // value True is drawn unchecked
    EXPECT_EQ(control->checkBoxState(), ui::kOnState);
    control->checkBox()->setState(ui::kOnState); // drawn checked
    EXPECT_EQ(control->getStringValue(), "False");
    control->checkBox()->performClick(); // the user unchecks it on screen
    EXPECT_EQ(control->value(), "True");
    EXPECT_EQ(posts.seen.back(), "NoOffset action=checkbox Paramater=True");
    EXPECT_EQ(control->getOptionText("True"), "Offset off");
    EXPECT_EQ(control->getSelectedOptionText(), "Offset off");
}

TEST(ZEMAUIValueTest, CheckBoxOperationsOnOtherKindsAreLogged) {
    std::vector<std::string> log;
    auto previous = SystemLog::setSink([&](std::string_view line) { log.emplace_back(line); });
    auto control = buildControl("<key>mainKeyword</key><string>Media</string>"
                                "<key>control_type</key><string>PopupButton</string>");
    EXPECT_EQ(control->checkBoxState(), 1);
    control->setCheckBoxState(0);
    SystemLog::setSink(previous);
    EXPECT_EQ(log, (std::vector<std::string>(2, "###checkbox object is invalid")));
}

TEST(ZEMAUIValueTest, PopUpSeparatorsSkippedEntriesAndUnsupportedValues) {
    Posts posts;
    posts.watch("MediaType");
    auto control = buildControl(
        "<key>mainKeyword</key><string>MediaType</string><key>control_type</"
        "key><string>PopupButton</string>"
        "<key>default</key><string>Plain</string><key>choices</key><array>"
        "<dict><key>choice</key><string>Plain</string><key>text</key><string>Plain "
        "paper</string></dict>"
        "<dict><key>text</key><string></string><key>separator</key><true/></dict>"
        "<dict><key>choice</key><string>Coated</string><key>text</key><string>Coated "
        "paper</string></dict>"
        "<dict><key>choice</key><string>Ghost</string><key>text</key><string></string></dict>"
        "</array>");
    auto popUp = control->popUpButton();
    ASSERT_EQ(popUp->numberOfItems(), 3);
    EXPECT_TRUE(popUp->itemAtIndex(1)->isSeparatorItem());
    EXPECT_EQ(popUp->titleOfSelectedItem(), "Plain paper");

    control->setStringValue(std::string("Transparency"));
    EXPECT_EQ(control->getUnsportValue(), "Transparency");
    EXPECT_EQ(popUp->titleOfSelectedItem(), "Plain paper"); // the screen keeps its selection
    control->setStringValue(std::string("Coated"));
    EXPECT_EQ(control->getUnsportValue(), std::nullopt);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 2);

    EXPECT_TRUE(popUp->selectItemByUser(0));
    EXPECT_EQ(control->value(), "Plain");
    EXPECT_EQ(posts.seen.back(), "MediaType Paramater=Plain");
    EXPECT_EQ(control->getOptionText("Coated"), "Coated paper");
    EXPECT_EQ(control->getChoicesCount(), 4u);
}

TEST(ZEMAUIValueTest, PreflightModeAlsoAnnouncesItsCompanion) {
    Posts posts;
    posts.watch("PreflightMode");
    posts.watch("PreflightModeCO");
    auto control = buildControl("<key>mainKeyword</key><string>PreflightMode</string>"
                                "<key>control_type</key><string>PopupButton</string>" +
                                choices("Off", "Off", "On", "On"));
    posts.seen.clear();
    control->popUpButton()->selectItemByUser(1);
    EXPECT_EQ(posts.seen, (std::vector<std::string>{"PreflightMode Paramater=On",
                                                    "PreflightModeCO Paramater=On"}));
}

TEST(ZEMAUIValueTest, PopUpItemArraysReplaceExtendAndShrinkTheMenu) {
    std::vector<std::string> log;
    auto previous = SystemLog::setSink([&](std::string_view line) { log.emplace_back(line); });
    auto control = buildControl("<key>mainKeyword</key><string>OutputBin</string>"
                                "<key>control_type</key><string>PopupButton</string>" +
                                choices("Auto", "Automatic", "Top", "Top tray"));
    control->setPopupButtonArray({{"Stacker 1", "Stacker1"}, {"Stacker 2", "Stacker2"}});
    EXPECT_EQ(control->popUpButton()->itemTitles(),
              (std::vector<std::string>{"Stacker 1", "Stacker 2"}));
    control->popUpButton()->selectItemAtIndex(1);
    EXPECT_EQ(control->getStringValue(), "Stacker2");
    control->addPopupButtonArray({{"Finisher", "Finisher1"}});
    EXPECT_EQ(control->popUpButton()->itemTitles(),
              (std::vector<std::string>{"Automatic", "Top tray", "Finisher"}));
    control->removePopupButtonArray({"Top"});
    EXPECT_EQ(control->popUpButton()->itemTitles(), (std::vector<std::string>{"Automatic"}));
    control->removePopupButtonArray({});
    SystemLog::setSink(previous);
    EXPECT_EQ(log, (std::vector<std::string>{"##### Invalid list!"}));

    // A choice without text is a choice all the same: it stays in the rebuilt item array.
    auto untitled = buildControl("<key>mainKeyword</key><string>Offset</string>"
                                 "<key>control_type</key><string>PopupButton</string>" +
                                 choices("None", "", "Shift", "Shift sets"));
    untitled->removePopupButtonArray({"Shift"});
    ASSERT_EQ(untitled->popUpButton()->numberOfItems(), 1);
    untitled->popUpButton()->selectItemAtIndex(0);
    EXPECT_EQ(untitled->getStringValue(), "None");
}

// A radio group of three folds, Half by default.
std::shared_ptr<ZEMAUI> foldRadioGroup() {
    return buildControl("<key>mainKeyword</key><string>Fold</string>"
                        "<key>control_type</key><string>RadioButton</string>"
                        "<key>default</key><string>Half</string>" +
                        choices("None", "No fold", "Half", "Half fold", "Z", "Z fold"));
}

TEST(ZEMAUIValueTest, RadioGroupSelectsByValueAndReselectsLater) {
    Posts posts;
    posts.watch("Fold");
    RunLoop loop;
    ui::Application::shared().setRunLoop(&loop);
    auto control = foldRadioGroup();
    auto matrix = control->radioMatrix();
    EXPECT_EQ(matrix->selectedRow(), 1);
    control->setStringValue(std::string("Z"));
    EXPECT_EQ(matrix->selectedRow(), 2);
    matrix->selectCellAt(0, 0); // something disturbs the cells before the deferred pass
    loop.runPending(RunLoop::kModalPanelMode);
    EXPECT_EQ(matrix->selectedRow(), 2);

    control->setStringValue(std::string("Gate"));
    EXPECT_EQ(control->getUnsportValue(), "Gate");
    EXPECT_EQ(matrix->selectedRow(), 2);

    EXPECT_TRUE(matrix->clickCellAt(0, 0));
    EXPECT_EQ(control->value(), "None");
    EXPECT_EQ(posts.seen.back(), "Fold");
    EXPECT_EQ(control->getSelectedOptionText(), "No fold");
    ui::Application::shared().setRunLoop(nullptr);
}

// A loop that does not pass for a while (a command without a window, or many values shown at
// once) must not gather one deferred selection for every value shown.
TEST(ZEMAUIValueTest, RadioValuesShownBeforeAPassQueueOneReselection) {
    RunLoop loop;
    ui::Application::shared().setRunLoop(&loop);
    auto control = foldRadioGroup();
    auto matrix = control->radioMatrix();
    EXPECT_LE(loop.pendingCount(), 1u); // building shows the default at most once
    for (int i = 0; i < 50; ++i)
        control->setStringValue(std::string(i % 2 ? "Z" : "None"));
    control->setStringValue(std::string("Z"));
    EXPECT_EQ(loop.pendingCount(), 1u);
    matrix->selectCellAt(0, 0);
    EXPECT_EQ(loop.runPending(RunLoop::kModalPanelMode), 1u);
    EXPECT_EQ(matrix->selectedRow(), 2); // the value shown last

    // Once the pass has run, the next value shown is selected again on the pass after it.
    control->setStringValue(std::string("Half"));
    matrix->selectCellAt(0, 0);
    EXPECT_EQ(loop.pendingCount(), 1u);
    loop.runPending(RunLoop::kModalPanelMode);
    EXPECT_EQ(matrix->selectedRow(), 1);

    // A reselection the loop drops, or that an action before it keeps from running, does not
    // keep the group from queuing the next one.
    control->setStringValue(std::string("Z"));
    loop.cancelAll();
    control->setStringValue(std::string("None"));
    EXPECT_EQ(loop.pendingCount(), 1u);
    loop.cancelAll();
    loop.perform([] { throw std::runtime_error("an action that fails"); },
                 {RunLoop::kModalPanelMode});
    control->setStringValue(std::string("Z"));
    EXPECT_EQ(loop.pendingCount(), 2u);
    EXPECT_THROW(loop.runPending(RunLoop::kModalPanelMode), std::runtime_error);
    control->setStringValue(std::string("Half"));
    EXPECT_EQ(loop.pendingCount(), 1u);
    ui::Application::shared().setRunLoop(nullptr);
}

TEST(ZEMAUIValueTest, DisableForPdeDisablesListedRadioCells) {
    auto control = buildControl("<key>mainKeyword</key><string>Fold</string>"
                                "<key>control_type</key><string>RadioButton</string>"
                                "<key>disableForPDE</key><array><string>Z</string></array>" +
                                choices("None", "No fold", "Z", "Z fold"));
    control->disableForPDE();
    EXPECT_TRUE(control->radioMatrix()->cellAt(0, 0)->isEnabled());
    EXPECT_FALSE(control->radioMatrix()->cellAt(1, 0)->isEnabled());
}

TEST(ZEMAUIValueTest, SliderWithChoicesAndWithout) {
    auto stepped = buildControl(
        "<key>mainKeyword</key><string>Density</string>"
        "<key>control_type</key><string>Slider</string><key>default</key><string>Mid</string>" +
        choices("Low", "L", "Mid", "Medium", "High", "H"));
    auto slider = stepped->slider();
    EXPECT_DOUBLE_EQ(slider->maxValue(), 2);
    EXPECT_EQ(slider->numberOfTickMarks(), 3);
    EXPECT_DOUBLE_EQ(slider->value(), 1);
    // Each tick's text is centred on its tick, the first and last 7 inside the slider's ends,
    // in the row under the slider; the texts for the two ends are not in that row.
    EXPECT_EQ(stepped->sliderTickLabels()[0]->stringValue(), "L");
    EXPECT_EQ(stepped->sliderTickLabels()[1]->stringValue(), "Medium");
    for (std::size_t tick = 0; tick < 3; ++tick) {
        ui::Rect text = stepped->sliderTickLabels()[tick]->frame();
        EXPECT_DOUBLE_EQ(text.minX() + text.width() / 2,
                         48 + 7 + static_cast<double>(tick) * (400 - 97 - 14) / 2.0);
        EXPECT_DOUBLE_EQ(text.top(), slider->frame().minY());
    }
    stepped->setStringValue(std::string("High"));
    EXPECT_DOUBLE_EQ(slider->value(), 2);
    stepped->setStringValue(std::string("Extreme")); // no such choice: no change
    EXPECT_DOUBLE_EQ(slider->value(), 2);
    slider->slideTo(0.4);
    EXPECT_EQ(stepped->getStringValue(), "Low");

    auto plain = buildControl("<key>mainKeyword</key><string>Toner</string>"
                              "<key>control_type</key><string>Slider</string>"
                              "<key>min</key><string>-5</string><key>max</key><string>5</string>");
    EXPECT_DOUBLE_EQ(plain->slider()->minValue(), -5);
    EXPECT_DOUBLE_EQ(plain->slider()->value(), 5); // 50 by default, within the range
    EXPECT_EQ(plain->slider()->numberOfTickMarks(), 10);
    plain->setStringValue(std::string("-2"));
    EXPECT_EQ(plain->getStringValue(), "-2");
}

TEST(ZEMAUIValueTest, DatePickersShowOneDateInAllFour) {
    Posts posts;
    posts.watch("PrintAt");
    auto control = buildControl("<key>mainKeyword</key><string>PrintAt</string>"
                                "<key>control_type</key><string>DatePicker</string>"
                                "<key>default</key><string>86400</string>");
    const auto& pickers = control->datePickers();
    ASSERT_EQ(pickers.size(), 4u);
    for (const auto& picker : pickers)
        EXPECT_DOUBLE_EQ(picker->dateValue(), 86400);
    EXPECT_EQ(pickers[0]->text(), "1970/01/02");
    EXPECT_EQ(pickers[1]->text(), "00:00:00");
    EXPECT_EQ(pickers[2]->style(), ui::DatePicker::Style::ClockAndCalendar);
    EXPECT_EQ(control->getStringValue(), "86400");

    pickers[3]->pickDate(90000.7);
    for (const auto& picker : pickers)
        EXPECT_DOUBLE_EQ(picker->dateValue(), 90000.7);
    EXPECT_EQ(control->getStringValue(), "90000");
    EXPECT_EQ(posts.seen.back(), "PrintAt");
}

TEST(ZEMAUIValueTest, DateStringsCountFromNowOrFrom1970) {
    double now = 1'700'000'000;
    EXPECT_EQ(DateString::secondsSince1970("now", now), now);
    EXPECT_EQ(DateString::secondsSince1970("now3600", now), now + 3600);
    EXPECT_EQ(DateString::secondsSince1970("0", now), 0);
    EXPECT_EQ(DateString::secondsSince1970("", now), std::nullopt);
    auto control = buildControl("<key>mainKeyword</key><string>PrintAt</string>"
                                "<key>control_type</key><string>DatePicker</string>"
                                "<key>default</key><string>now3600</string>");
    double shown = Value(*control->getDefault()).doubleValue();
    EXPECT_NEAR(shown, DateString::now() + 3600, 5);
}

TEST(ZEMAUIEnablingTest, SeveralSourcesDisableUntilAllEnable) {
    auto control = buildControl("<key>mainKeyword</key><string>Punch</string>"
                                "<key>control_type</key><string>PopupButton</string>"
                                "<key>text</key><string>Punch</string>" +
                                choices("None", "Off"));
    control->setEnabledFrom(false, "Staple");
    control->setEnabledFrom(false, "Booklet");
    control->setEnabledFrom(false, "Staple"); // listed once
    EXPECT_EQ(control->disabledBy(), (std::vector<std::string>{"Staple", "Booklet"}));
    control->setEnabledFrom(true, "Staple");
    EXPECT_FALSE(control->isEnabled());
    EXPECT_EQ(control->titleLabel()->textColor().name, "disabledControlTextColor");
    control->setEnabledFrom(true, "Booklet");
    EXPECT_TRUE(control->isEnabled());
    EXPECT_EQ(control->titleLabel()->textColor(), ui::Color::controlText());
}

TEST(ZEMAUIEnablingTest, LogicalSumStaysEnabledWhileOneSourceEnables) {
    auto control = buildControl("<key>mainKeyword</key><string>Crease</string>"
                                "<key>control_type</key><string>PopupButton</string>");
    control->setEnabledPositivelyFrom(false, "Fold"); // nothing enables it yet
    EXPECT_FALSE(control->isEnabled());
    control->setEnabledPositivelyFrom(true, "Fold");
    control->setEnabledPositivelyFrom(true, "Booklet");
    EXPECT_TRUE(control->isEnabled());
    control->setEnabledPositivelyFrom(false, "Fold");
    EXPECT_TRUE(control->isEnabled());
    control->setEnabledPositivelyFrom(false, "Staple"); // never enabled it: no change
    EXPECT_TRUE(control->isEnabled());
    control->setEnabledPositivelyFrom(false, "Booklet");
    EXPECT_FALSE(control->isEnabled());

    control->setEnabledFrom(false, "MediaType"); // a condition keeps it disabled
    control->setEnabledPositivelyFrom(true, "Fold");
    EXPECT_FALSE(control->isEnabled());
    control->setEnabledFrom(true, "MediaType");
    EXPECT_TRUE(control->isEnabled());
}

TEST(ZEMAUIEnablingTest, RestrictingChoicesMovesOffADisabledSelection) {
    Posts posts;
    posts.watch("Tray");
    auto control = buildControl("<key>mainKeyword</key><string>Tray</string>"
                                "<key>control_type</key><string>PopupButton</string>"
                                "<key>default</key><string>T2</string>" +
                                choices("T1", "Tray 1", "T2", "Tray 2", "T3", "Tray 3"));
    posts.seen.clear();
    control->setEnabledByDictionary(
        test::plistDictionary("<key>T1</key><false/><key>T3</key><true/>"));
    EXPECT_FALSE(control->popUpButton()->autoenablesItems());
    EXPECT_FALSE(control->popUpButton()->itemAtIndex(1)->isEnabled()); // missing: disabled
    EXPECT_EQ(control->value(), "T3");
    EXPECT_EQ(posts.seen, (std::vector<std::string>{"Tray Paramater=T3"}));

    control->setEnabledByDictionary(Dictionary());
    EXPECT_EQ(control->popUpButton()->titleOfSelectedItem(), "Tray 3"); // nothing enabled: stays
}

TEST(ZEMAUIEnablingTest, HidingAndEmptyChecks) {
    auto control = buildControl("<key>mainKeyword</key><string>JobName</string>"
                                "<key>control_type</key><string>TextField_text</string>"
                                "<key>text</key><string>Job name</string>");
    EXPECT_FALSE(control->isEmptycheck()); // enabled and empty
    control->textField()->setStringValue("Brochure");
    EXPECT_TRUE(control->isEmptycheck());
    control->setHidden(true);
    EXPECT_TRUE(control->isHidden());
    EXPECT_TRUE(control->titleLabel()->isHidden());
    control->setHidden(false);
    EXPECT_FALSE(control->isHidden());

    auto hidden = buildControl(
        "<key>mainKeyword</key><string>X</string><key>isHidden</key><true/>"
        "<key>control_type</key><string>PopupButton</string><key>text</key><string>X</string>");
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_TRUE(hidden->titleLabel()->isHidden());
}

TEST(ZEMAUIChildrenTest, ChildrenStackBelowTheParentInRowsAndColumns) {
    auto settings = std::make_shared<const Dictionary>(
        test::plistDictionary("<key>Left</key><dict><key>mainKeyword</key><string>Left</"
                              "string><key>control_type</key><string>CheckBox</string></dict>"
                              "<key>Right</key><dict><key>mainKeyword</key><string>Right</"
                              "string><key>control_type</key><string>CheckBox</string>"
                              "<key>holizontally</key><true/></dict>"
                              "<key>Below</key><dict><key>mainKeyword</key><string>Below</"
                              "string><key>control_type</key><string>PopupButton</string>"
                              "<key>text</key><string>Below</string><key>isParagraph</key><true/"
                              "><key>indent_count</key><integer>2</integer></dict>"
                              "<key>Last</key><dict><key>mainKeyword</key><string>Last</"
                              "string><key>control_type</key><string>PopupButton</string></dict>"));
    auto parent = buildControl(
        "<key>mainKeyword</key><string>Staple</string>"
        "<key>control_type</key><string>PopupButton</string><key>text</key><string>Staple</string>"
        "<key>other_controls</key><array><string>Left</string><string>Right</string>"
        "<string>Below</string><string>Missing</string><string>Last</string></array>",
        settings);
    const auto& children = parent->childControls();
    ASSERT_EQ(children.size(), 5u); // "Missing" has no description: an empty control, 0 high
    // The first child starts a two-column row, so the parent's own height is not added. Each
    // child keeps the top edge of its 72-high frame and gives back what its content does not
    // need: a check box needs 30, a titled pop-up 48, an untitled one 24.
    EXPECT_EQ(children[0]->frame(), ui::Rect::make(0, 72 - 30, 400, 30));
    EXPECT_EQ(children[1]->frame(), ui::Rect::make(200, 72 - 30, 400, 30));
    // The row grows by its last child's height (24); from the paragraph child on, frames start
    // 72 - 18 high, and "indent_count" moves it right by 8 each.
    EXPECT_EQ(children[2]->frame(), ui::Rect::make(16, 48 - 48, 400, 48));
    EXPECT_EQ(children[3]->getControlHeight(), 0);
    EXPECT_EQ(children[4]->frame(), ui::Rect::make(0, 0 - 24, 400, 24));
    EXPECT_EQ(parent->getChildZEMAUI("Below"), children[2]);
    EXPECT_EQ(parent->getChildZEMAUI("Missing"), nullptr);
}

TEST(ZEMAUIChildrenTest, FirstSingleChildStartsBelowTheParent) {
    auto settings = std::make_shared<const Dictionary>(
        test::plistDictionary("<key>Child</key><dict><key>mainKeyword</key><string>Child</"
                              "string><key>control_type</key><string>PopupButton</string></dict>"));
    auto parent = buildControl(
        "<key>mainKeyword</key><string>Parent</string>"
        "<key>control_type</key><string>PopupButton</string><key>text</key><string>P</string>"
        "<key>other_controls</key><array><string>Child</string></array>",
        settings);
    ASSERT_EQ(parent->childControls().size(), 1u);
    EXPECT_EQ(parent->childControls()[0]->frame().top(), 72 - (72 + 48) + 72);
    EXPECT_EQ(parent->childControls()[0]->frame().height(), 24); // an untitled pop-up's row
}

// A pop-up description named name whose children are the listed settings names.
std::string parentOf(const std::string& name, const std::vector<std::string>& children) {
    std::string list;
    for (const auto& child : children)
        list += "<string>" + child + "</string>";
    return "<key>" + name + "</key><dict><key>mainKeyword</key><string>" + name +
           "</string><key>control_type</key><string>PopupButton</string>"
           "<key>other_controls</key><array>" +
           list + "</array></dict>";
}

std::size_t treeSize(const ZEMAUI& control) {
    std::size_t size = 1;
    for (const auto& child : control.childControls())
        size += treeSize(*child);
    return size;
}

std::size_t treeDepth(const ZEMAUI& control) {
    std::size_t depth = 0;
    for (const auto& child : control.childControls())
        depth = std::max(depth, 1 + treeDepth(*child));
    return depth;
}

TEST(ZEMAUIChildrenTest, ChildListsThatNestWithoutEndAreCut) {
    struct Case {
        const char* what;
        std::string settings;
        std::vector<std::string> rootChildren;
        std::size_t size, depth;
    };
    std::string chain, wide;
    for (int level = 0; level < 12; ++level) // L0 → L1 → … → L11
        chain += parentOf("L" + std::to_string(level), {"L" + std::to_string(level + 1)});
    for (int level = 0; level < 12; ++level) // every level lists the next one four times
        wide += parentOf("W" + std::to_string(level),
                         std::vector<std::string>(4, "W" + std::to_string(level + 1)));
    const Case cases[] = {
        {"names itself", parentOf("Self", {"Self"}), {"Self"}, 2, 1},
        {"two name each other", parentOf("A", {"B"}) + parentOf("B", {"A"}), {"A"}, 3, 2},
        {"a deep chain", chain, {"L0"}, 9, 8},
        {"a wide deep tree", wide, {"W0", "W0"}, 512, 8},
    };
    for (const auto& c : cases) {
        auto settings = std::make_shared<const Dictionary>(test::plistDictionary(c.settings));
        std::string root = parentOf("Root", c.rootChildren);
        auto control = buildControl(
            root.substr(root.find("<dict>") + 6, root.rfind("</dict>") - root.find("<dict>") - 6),
            settings);
        EXPECT_EQ(treeSize(*control), c.size) << c.what;
        EXPECT_EQ(treeDepth(*control), c.depth) << c.what;
    }
}

TEST(ZEMAUIChildrenTest, SharedChildrenAreBoundedPerFileAndFreedWithTheirParents) {
    // 600 controls that each list the same nine children: 5,400 children in all, past what one
    // file may build; the bound counts live children, so once they are gone all build again.
    std::vector<std::string> nine;
    std::string entries;
    for (int i = 0; i < 9; ++i) {
        nine.push_back("Shared" + std::to_string(i));
        entries += parentOf(nine.back(), {});
    }
    auto settings = std::make_shared<const Dictionary>(test::plistDictionary(entries));
    std::string root = parentOf("Parent", nine);
    std::string description =
        root.substr(root.find("<dict>") + 6, root.rfind("</dict>") - root.find("<dict>") - 6);
    auto buildAll = [&] {
        std::vector<std::shared_ptr<ZEMAUI>> parents;
        std::size_t children = 0;
        for (int i = 0; i < 600; ++i) {
            parents.push_back(buildControl(description, settings));
            children += parents.back()->childControls().size();
        }
        return children;
    };
    EXPECT_EQ(buildAll(), 4096u);
    EXPECT_EQ(buildAll(), 4096u); // the first 600 parents are gone with their children
}

TEST(ZEMAUIChildrenTest, RebuildingKeepsTheChildren) {
    auto settings = std::make_shared<const Dictionary>(
        test::plistDictionary(parentOf("Middle", {"Leaf"}) + parentOf("Leaf", {})));
    auto control = buildControl("<key>mainKeyword</key><string>Top</string>"
                                "<key>control_type</key><string>PopupButton</string>"
                                "<key>other_controls</key><array><string>Middle</string></array>",
                                settings);
    for (int rebuild = 0; rebuild < 600; ++rebuild)
        control->updateControl();
    ASSERT_EQ(control->childControls().size(), 1u);
    auto middle = control->childControls()[0];
    for (int rebuild = 0; rebuild < 600; ++rebuild)
        middle->updateControl();
    EXPECT_EQ(treeSize(*control), 3u);
}

TEST(ZEMAUIChildrenTest, EnableChoiceAndWorldwideChildList) {
    auto settings = std::make_shared<const Dictionary>(
        test::plistDictionary("<key>Count</key><dict><key>mainKeyword</key><string>Count</"
                              "string><key>control_type</key><string>PopupButton</string></dict>"
                              "<key>Wide</key><dict><key>mainKeyword</key><string>Wide</"
                              "string><key>control_type</key><string>PopupButton</string></dict>"));
    std::string entries = "<key>mainKeyword</key><string>Staple</string><key>control_type</"
                          "key><string>CheckBox</string>"
                          "<key>default</key><string>Off</"
                          "string><key>other_controls_enable_choice</key><string>On</string>"
                          "<key>other_controls</key><array><string>Count</string></array>"
                          "<key>other_controls_ww</key><array><string>Wide</string></array>" +
                          choices("On", "Staple", "Off", "No staple");
    {
        test::ScopedEnv language("LANGUAGE", "en");
        auto control = buildControl(entries, settings);
        ASSERT_EQ(control->childControls().size(), 1u);
        EXPECT_EQ(control->childControls()[0]->mainKeyword(), "Count");
        EXPECT_FALSE(control->childControls()[0]->isEnabled()); // value Off
        control->setStringValue(std::string("On"));
        EXPECT_TRUE(control->childControls()[0]->isEnabled());
        EXPECT_TRUE(control->checkBox()->isTransparent()); // a non-empty worldwide list
    }
    test::ScopedEnv language("LANGUAGE", "de_DE");
    auto german = buildControl(entries, settings);
    ASSERT_EQ(german->childControls().size(), 1u);
    EXPECT_EQ(german->childControls()[0]->mainKeyword(), "Wide");
}

TEST(ZEMAUIChildrenTest, ChildrenComeFromTheEnclosingBundlesSettingsFile) {
    test::TempDir dir;
    dir.write("Velmora.plugin/Contents/Info.plist",
              "<plist><dict><key>KVPOD</key><string>UISettings</string></dict></plist>");
    dir.write("Velmora.plugin/Contents/Resources/UISettings.plist",
              "<plist><dict><key>Child</key><dict><key>mainKeyword</key><string>FromPod</string>"
              "<key>control_type</key><string>PopupButton</string></dict></dict></plist>");
    dir.write("Velmora.plugin/Contents/PlugIns/Finishing.bundle/Contents/Resources/UI.plist",
              "<plist><dict><key>Child</key><dict><key>mainKeyword</key><string>FromPane</string>"
              "</dict></dict></plist>");
    auto pane = Bundle::open(dir / "Velmora.plugin/Contents/PlugIns/Finishing.bundle");
    auto control = std::make_shared<ZEMAUI>(ui::Rect::make(0, 0, 400, 72));
    control->setControlDictionary(
        test::plistDictionary("<key>mainKeyword</key><string>Parent</string><key>control_type</"
                              "key><string>PopupButton</string>"
                              "<key>other_controls</key><array><string>Child</string></array>"),
        pane);
    EXPECT_EQ(control->getUIFilePath(), dir / "Velmora.plugin/Contents/Resources/UISettings.plist");
    control->createControls();
    ASSERT_EQ(control->childControls().size(), 1u);
    EXPECT_EQ(control->childControls()[0]->mainKeyword(), "FromPod");

    auto standalone = std::make_shared<ZEMAUI>();
    standalone->setControlDictionary(
        Dictionary(), Bundle::open(dir / "Velmora.plugin/Contents/PlugIns/Finishing.bundle/"));
    ::unlink((dir / "Velmora.plugin/Contents/Resources/UISettings.plist").c_str());
    EXPECT_EQ(standalone->getUIFilePath(),
              dir / "Velmora.plugin/Contents/PlugIns/Finishing.bundle/Contents/Resources/UI.plist");
}

TEST(ZEMAUIValueTest, SnapshotOldValuesAndKeywordTypes) {
    auto control = buildControl("<key>mainKeyword</key><string>Duplex</string>"
                                "<key>control_type</key><string>PopupButton</string><key>default</"
                                "key><string>None</string>" +
                                choices("None", "Off", "DuplexNoTumble", "Long edge"));
    EXPECT_EQ(control->getOldValue(), std::nullopt);
    ZEMAUI::setUpdateWithPrintOption(Dictionary{{"Duplex", "DuplexNoTumble"}});
    EXPECT_TRUE(control->updateWithPrintOption());
    EXPECT_EQ(control->getOldValue(), "DuplexNoTumble");
    EXPECT_EQ(control->popUpButton()->titleOfSelectedItem(), "Long edge");
    ZEMAUI::setUpdateWithPrintOption(Dictionary());
    EXPECT_FALSE(control->updateWithPrintOption());

    Dictionary settings = test::plistDictionary(
        "<key>Collate</key><dict><key>defchoice</key><string>True</string>" +
        choices("True", "On", "False", "Off") +
        "</dict><key>Three</key><dict><key>defchoice</key><string>True</string>" +
        choices("True", "On", "False", "Off", "X", "X") + "</dict>");
    EXPECT_EQ(ZEMAUI::getMainKeywordType(settings, "Collate"), "checkbox");
    EXPECT_EQ(ZEMAUI::getMainKeywordType(settings, "Three"), "unknown");
    EXPECT_EQ(ZEMAUI::getMainKeywordType(settings, "Absent"), "unknown");
}

TEST(ZEMAUIValueTest, PushButtonPostsItsOwnNotification) {
    Posts posts;
    posts.watch("JobName_Button");
    auto control = buildControl("<key>mainKeyword</key><string>JobName</string>"
                                "<key>control_type</key><string>TextField_text</string>"
                                "<key>isEnabledButton</key><true/>");
    control->pushButton()->performClick();
    EXPECT_EQ(posts.seen, (std::vector<std::string>{"JobName_Button"}));
}

} // namespace
} // namespace velmora
