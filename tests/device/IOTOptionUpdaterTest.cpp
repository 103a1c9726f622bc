#include "device/IOTOptionUpdater.h"

#include "platform/foundation/SystemLog.h"
#include "platform/ui/PopUpButton.h"

#include "support/Descriptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

Value entries(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    Array list;
    for (const auto& [value, key] : pairs)
        list.push_back(Value(Array{Value(value), Value(key)}));
    return Value(std::move(list));
}

std::vector<std::string> keywordsOf(const IOTOptionUpdater::Choices& choices) {
    std::vector<std::string> keywords;
    for (const auto& choice : choices)
        keywords.push_back(choice.second);
    return keywords;
}

std::vector<std::string> panelSlots(const Value& feeders) {
    IOTOptionUpdater::Choices choices;
    IOTOptionUpdater::getInputSlotArray(choices, feeders, {"0"}, {"25"}, true, false);
    return keywordsOf(choices);
}

std::vector<std::string> outputTrays(const Value& stackers) {
    IOTOptionUpdater::Choices choices;
    IOTOptionUpdater::getOutputTrayArray(choices, stackers);
    return keywordsOf(choices);
}

// The log lines written while the object lives.
class LogCapture {
public:
    LogCapture() {
        _previous = SystemLog::setSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogCapture() { SystemLog::setSink(_previous); }
    std::vector<std::string> lines;

private:
    SystemLog::Sink _previous;
};

TEST(IOTOptionUpdaterTest, InputSlotsAndOutputTraysFromTheDevice) {
    const struct {
        Value feeders;
        std::vector<std::string> slots;
    } feederCases[] = {
        {entries({{"2", "Number"}, {"3", "Number"}}),
         {"AutoSelect", "Tray1", "Tray2", "Tray3", "TrayStk"}},
        {entries({{"1", "Number"}, {"7", "Number"}}), {"AutoSelect", "Tray1", "Tray6", "TrayStk"}},
        {entries({{"5", "Number"}, {"1", "Number"}, {"12", "Number"}}),
         {"AutoSelect", "Manual", "Tray1", "Tray9", "TrayStk"}},
        {Value(Array{}), {"AutoSelect", "Tray1", "TrayStk"}},
    };
    for (const auto& c : feederCases)
        EXPECT_EQ(panelSlots(c.feeders), c.slots);
    // The press's interposer is known: the panel leaves it out without a word; a feeder that is
    // not known is logged.
    {
        LogCapture log;
        EXPECT_EQ(panelSlots(entries({{"2", "Number"}, {"9", "Number"}})),
                  (std::vector<std::string>{"AutoSelect", "Tray1", "Tray2", "TrayStk"}));
        EXPECT_TRUE(log.lines.empty()) << log.lines.front();
        panelSlots(entries({{"42", "Number"}}));
        EXPECT_THAT(log.lines, ElementsAre("###IOT: feeder 42 is not known"));
    }

    IOTOptionUpdater::Choices panes;
    IOTOptionUpdater::getInputSlotArray(panes, entries({{"5", "N"}, {"9", "N"}}), {"0"}, {}, true);
    EXPECT_THAT(keywordsOf(panes), ElementsAre("TrayAuto", "Tray1", "TrayMSI", "TrayInterposer"));
    EXPECT_EQ(panes[0].first, "自動選択");

    EXPECT_THAT(outputTrays(entries({{"9", "Type"}, {"10", "Type"}})),
                ElementsAre("Auto", "Stackertray", "Stackertray2", "Autochange"));
    EXPECT_THAT(outputTrays(entries({{"10", "Type"}, {"9", "Type"}})),
                ElementsAre("Auto", "Stackertray2", "Stackertray"));
    EXPECT_THAT(outputTrays(entries({{"16", "Type"}, {"6", "Type"}, {"17", "Type"}})),
                ElementsAre("Auto", "Documentfinishing", "D3finishertray", "BypassTransport"));
    IOTOptionUpdater::Choices trays;
    IOTOptionUpdater::getOutputTrayArray(trays, entries({{"16", "Type"}}));
    EXPECT_TRUE(IOTOptionUpdater::isDocumentfinishing(trays));
}

TEST(IOTOptionUpdaterTest, MalformedDeviceListsGiveCertainChoicesAndALogLine) {
    LogCapture log;
    Value mixed(Array{Value(Array{Value("2"), Value("Number")}), Value("3"),
                      Value(Array{Value(3), Value("Number")}),
                      Value(Array{Value("2"), Value("Number")}),
                      Value(Array{Value("99999999999999999999"), Value("Number")}),
                      Value(Array{Value("-1"), Value("Number"), Value("x")})});
    EXPECT_THAT(panelSlots(mixed), ElementsAre("AutoSelect", "Tray1", "Tray2", "TrayStk"));
    EXPECT_THAT(panelSlots(Value("not a list")), ElementsAre("AutoSelect", "Tray1", "TrayStk"));
    EXPECT_THAT(outputTrays(Value(Dictionary())), ElementsAre("Auto"));
    EXPECT_THAT(outputTrays(entries({{"123", "Type"}, {"9", "Type"}, {"9", "Type"}})),
                ElementsAre("Auto", "Stackertray"));
    EXPECT_GE(log.lines.size(), 8u);
    EXPECT_THAT(log.lines, ::testing::Contains(::testing::HasSubstr("not two strings")));

    auto devices = IOTOptionUpdater::convertArrayToDict(
        Value(Array{Value(Array{Value("false"), Value("offset")}), Value(7),
                    Value(Array{Value("true"), Value("offset")})}));
    ASSERT_TRUE(devices);
    EXPECT_EQ(devices->at("offset"), "true"); // a later entry wins
    EXPECT_FALSE(IOTOptionUpdater::convertArrayToDict(Value()));
    EXPECT_FALSE(IOTOptionUpdater::isEnableWithDict(nullptr, {"offset"}));
    EXPECT_FALSE(IOTOptionUpdater::isEnableWithDict(&*devices, {}));
}

class FinishingControlsTest : public ::testing::Test {
protected:
    std::shared_ptr<ZEMAUI> staple = test::buildControl(
        "<key>mainKeyword</key><string>StapleMode_StapleMechanism</string>"
        "<key>control_type</key><string>PopupButton</string><key>default</key><string>None</"
        "string>" +
        test::choices("None", "Off", "TopLeftCornerUseStaple", "Top left", "TopEdgeUseStaple",
                      "Top edge", "LeftEdgeUseStaple", "Left edge", "Saddle", "Saddle", "TopCenter",
                      "Top centre", "LeftEdge4", "Left 4", "Booklet", "Booklet"));
    std::shared_ptr<ZEMAUI> fold = test::buildControl(
        "<key>mainKeyword</key><string>Fold</string><key>control_type</key><string>PopupButton</"
        "string>"
        "<key>default</key><string>None</string>" +
        test::choices("None", "Off", "Bifold", "Bifold", "ZfoldLeftBind", "Z fold"));
    std::shared_ptr<ZEMAUI> offset = test::buildControl(
        "<key>mainKeyword</key><string>OffsetMode</string><key>control_type</key>"
        "<string>CheckBox</string><key>default</key><string>False</string>");

    std::vector<std::string> offered(ZEMAUI& control) {
        std::vector<std::string> keywords;
        for (const auto& item : control.popUpButton()->itemArray())
            keywords.push_back(item->representedObject().stringValue());
        return keywords;
    }
};

TEST_F(FinishingControlsTest, OnlyWhatTheDeviceCanDoIsOffered) {
    staple->setStringValue(std::string("TopEdgeUseStaple"));
    IOTOptionUpdater::Controls controls;
    controls.staple = staple.get();
    controls.fold = fold.get();
    controls.offset = offset.get();
    IOTOptionUpdater::updateDeviceOptions(controls, std::nullopt, std::nullopt,
                                          entries({{"true", "doubleStitch"}, {"false", "zFold"}}));
    EXPECT_FALSE(staple->isHidden());
    EXPECT_THAT(offered(*staple),
                ElementsAre("None", "TopEdgeUseStaple", "LeftEdgeUseStaple", "Booklet"));
    EXPECT_EQ(staple->getStringValue(), "TopEdgeUseStaple") << "the user's choice is still offered";
    EXPECT_TRUE(fold->isHidden());
    EXPECT_TRUE(offset->isHidden());

    // A second device report removes more; what was removed stays removed.
    staple->setStringValue(std::string("LeftEdgeUseStaple"));
    IOTOptionUpdater::updatePopupButtonComponent(staple.get(), {"LeftEdgeUseStaple"});
    EXPECT_THAT(offered(*staple), ElementsAre("None", "TopEdgeUseStaple", "Booklet"));
    EXPECT_EQ(staple->getStringValue(), "None") << "a removed choice falls back to the default";

    IOTOptionUpdater::updateDeviceOptions(controls, std::nullopt, std::nullopt, std::nullopt);
    EXPECT_TRUE(staple->isHidden()) << "no device list hides the finishing controls";
    IOTOptionUpdater::updateDeviceOptions(controls, std::nullopt, std::nullopt,
                                          entries({{"true", "offset"}, {"true", "zFold"}}));
    EXPECT_FALSE(offset->isHidden());
    EXPECT_THAT(offered(*fold), ElementsAre("None", "ZfoldLeftBind"));
}

TEST_F(FinishingControlsTest, ReplacedTrayChoicesKeepTheUsersTray) {
    auto slot = test::buildControl(
        "<key>mainKeyword</key><string>KVInputSlot</string><key>control_type</key>"
        "<string>PopupButton</string><key>default</key><string>AutoSelect</string>" +
        test::choices("AutoSelect", "Auto", "Tray1", "Tray 1", "Tray2", "Tray 2"));
    slot->setStringValue(std::string("Tray2"));
    IOTOptionUpdater::Controls controls;
    controls.inputSlot = slot.get();
    IOTOptionUpdater::updateDeviceOptions(controls, entries({{"2", "N"}, {"3", "N"}}),
                                          Value(Array{}), std::nullopt);
    EXPECT_THAT(offered(*slot), ElementsAre("AutoSelect", "Tray1", "Tray2", "Tray3", "TrayStk"));
    EXPECT_EQ(slot->getStringValue(), "Tray2");
    IOTOptionUpdater::updateDeviceOptions(controls, entries({{"3", "N"}}), std::nullopt,
                                          std::nullopt);
    EXPECT_EQ(slot->getStringValue(), "AutoSelect") << "Tray 2 is gone: the default";
}

} // namespace
} // namespace velmora
