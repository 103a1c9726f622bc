#include "common/Alerts.h"
#include "common/ControlHelpers.h"
#include "common/Localization.h"
#include "common/NotifyUnit.h"
#include "common/OSVersion.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/StringFormat.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// A plug-in bundle with an English string table, for the localization functions.
class LocalizationTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::shared_ptr<Bundle> bundle;

    void SetUp() override {
        dir.write("Velmora.plugin/Contents/Info.plist",
                  "<plist><dict><key>CFBundleDevelopmentRegion</key><string>en</string>"
                  "<key>CFBundleShortVersionString</key><string>2</string>"
                  "<key>KVBuildVersion</key><string>4</string>"
                  "<key>CFBundleVersion</key><string>2040</string>"
                  "<key>NSHumanReadableCopyright</key><string>(c) Velmora</string>"
                  "</dict></plist>");
        dir.write("Velmora.plugin/Contents/Resources/en.lproj/Localizable.strings",
                  "\"Exception: %@\" = \"Error: %@\"; \"Out of paper\" = \"Paper is out\";");
        bundle = Bundle::open(dir / "Velmora.plugin");
        bundle->setPreferredLanguages({"en"});
    }
    void TearDown() override {
        SetNSBundleForLocalizedString(nullptr);
        SetCFBundleRefForLocalizedString(nullptr);
        SetNSBundleForPrincipalBundle(nullptr);
        SetCFBundleRefForPrincipalBundle(nullptr);
    }
};

TEST_F(LocalizationTest, FallbacksDependOnWhichBundleIsSet) {
    EXPECT_EQ(BSLocalizedString("Out of paper"), std::nullopt); // nothing set
    EXPECT_EQ(BSLocalizedStringOrKey("Out of paper"), "Out of paper");

    SetCFBundleRefForLocalizedString(bundle);
    EXPECT_EQ(BSLocalizedString("Out of paper"), "Paper is out");
    EXPECT_EQ(BSLocalizedString("Missing key"), "Missing key"); // reference: the key itself

    SetNSBundleForLocalizedString(bundle);
    EXPECT_EQ(BSLocalizedString("Out of paper"), "Paper is out");
    EXPECT_EQ(BSLocalizedString("Missing key"), ""); // bundle object: empty
}

TEST_F(LocalizationTest, PrincipalBundleFallsBackToTheReferencePath) {
    EXPECT_EQ(BSPrincipalBundle(), nullptr);
    SetCFBundleRefForPrincipalBundle(bundle);
    auto derived = BSPrincipalBundle();
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->path(), bundle->path());
    SetNSBundleForPrincipalBundle(bundle);
    EXPECT_EQ(BSPrincipalBundle(), bundle);
}

TEST_F(LocalizationTest, AlertsGoThroughThePresenter) {
    SetNSBundleForLocalizedString(bundle);
    test::ScriptedUi ui;
    SimpleAlert(std::string("Trays"), std::string("%d sheets left in %@"),
                {Value(12), Value("Tray 2")});
    WarningAlert(std::nullopt); // no message: nothing shown
    WarningAlert(std::string("Check the stacker."));
    PanelException failure("NSInvalidArgumentException", "Out of paper");
    ExceptionAlert(&failure);
    ExceptionAlert(nullptr);
    PanelException unknown("NSRangeException", "Tray 9 does not exist");
    ExceptionAlert(&unknown); // no key of the table: the reason as it is

    ASSERT_EQ(ui.alerts.size(), 4u);
    EXPECT_EQ(ui.alerts[3].informative, "Error: Tray 9 does not exist");
    EXPECT_EQ(ui.alerts[0].message, "Trays");
    EXPECT_EQ(ui.alerts[0].informative, "12 sheets left in Tray 2");
    EXPECT_EQ(ui.alerts[0].buttons.size(), 1u);
    EXPECT_EQ(ui.alerts[1].message, "");
    EXPECT_EQ(ui.alerts[1].informative, "Check the stacker.");
    EXPECT_EQ(ui.alerts[2].message, "NSInvalidArgumentException");
    EXPECT_EQ(ui.alerts[2].informative, "Error: Paper is out");

    auto object = SimpleAlertObject(std::string("details"), std::nullopt);
    EXPECT_EQ(object->informativeText(), "details");
    EXPECT_EQ(object->messageText(), "");
    EXPECT_EQ(object->alertStyle(), ui::AlertStyle::Warning);
}

TEST(StringFormatTest, FillsPlatformMessageFormats) {
    struct Case {
        const char* format;
        std::vector<Value> args;
        const char* expected;
    };
    const Case cases[] = {
        {"Please specify at least %d characters for %@.",
         {Value(4), Value("Job name")},
         "Please specify at least 4 characters for Job name."},
        {"%.2f - %.2f", {Value(0.5), Value(100)}, "0.50 - 100.00"},
        {"%2$@ before %1$@", {Value("a"), Value("b")}, "b before a"},
        {"100%% of %s", {Value("A4")}, "100% of A4"},
        {"%ld/%lu", {Value(-3), Value(7)}, "-3/7"},
        {"missing %@ and %d", {Value("one")}, "missing one and "},
        {"trailing %", {}, "trailing %"},
        {"%@", {Value(true)}, "True"},
        {"%-5s|%05d", {Value("ab"), Value(42)}, "ab   |00042"},
        {"%@ %99999999999$@", {Value("a")}, "a "}, // a position past every argument
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringFormat::format(c.format, c.args), c.expected) << c.format;
}

TEST(StringFormatTest, WidthsAndPrecisionsFromFilesAreBounded) {
    const std::vector<Value> args{Value("x"), Value(1.5)};
    for (const char* format : {"%@ %999999999s", "%1$999999999s", "%2147483646s", "%.999999999f",
                               "%2$.99999999999999999999f", "%-99999999999d"}) {
        std::string text = StringFormat::format(format, args);
        EXPECT_LE(text.size(), 400u) << format;
        EXPECT_FALSE(text.empty()) << format;
    }
}

TEST(NotifyUnitTest, PostsByNameWithoutSender) {
    NotificationCenter center;
    NotifyUnit::setCenter(&center);
    int observer;
    std::vector<std::string> seen;
    NotifyUnit::addObserver(
        &observer,
        [&](const Notification& n) {
            seen.push_back(n.name + "=" + n.userInfo.get("Paramater").stringValue());
            EXPECT_EQ(n.sender, NotifyUnit::notyfyObject());
        },
        "Duplex");
    NotifyUnit::postNotificationName("Duplex", Dictionary{{"Paramater", "DuplexNoTumble"}});
    NotifyUnit::postNotificationNameWithOptions("Duplex", Dictionary{{"Paramater", "None"}}, 3);
    NotifyUnit::removeObserver(&observer, "Duplex");
    NotifyUnit::postNotificationName("Duplex");
    NotifyUnit::setCenter(nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"Duplex=DuplexNoTumble", "Duplex=None"}));
    EXPECT_EQ(NotifyUnit::keyNameWithName("Staple"), "Staple");
}

TEST(ControlHelpersTest, SelectWithTitle) {
    ui::PopUpButton popUp;
    popUp.addItemsWithTitles({"Auto", "Tray 1", "Tray 2"});
    popUp.selectItemAtIndex(1);
    EXPECT_FALSE(selectWithTitle(&popUp, std::nullopt, 0));
    EXPECT_EQ(popUp.indexOfSelectedItem(), 1);
    EXPECT_TRUE(selectWithTitle(&popUp, std::string("Tray 2"), 0));
    EXPECT_EQ(popUp.indexOfSelectedItem(), 2);
    EXPECT_FALSE(selectWithTitle(&popUp, std::string("Tray 9"), 0)); // fallback taken
    EXPECT_EQ(popUp.indexOfSelectedItem(), 0);
    popUp.selectItemAtIndex(2);
    EXPECT_FALSE(selectWithTitle(&popUp, std::string("Tray 9"), 3)); // fallback == count
    EXPECT_EQ(popUp.indexOfSelectedItem(), 2);
}

TEST(ControlHelpersTest, TitleSuffixes) {
    const std::pair<const char*, const char*> cases[] = {
        {"Copies:", "Copies"}, {"Copies", "Copies"}, {"Ratio::", "Ratio:"}, {":", ""}, {"", ""}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(stringByDeletingControlTitleSuffix(in), out) << in;
    EXPECT_EQ(controlTitleString("Copies"), "Copies:");
    auto label = ui::TextField::label({}, "");
    setTitleString(label.get(), "Media");
    EXPECT_EQ(label->stringValue(), "Media:");
}

TEST(ControlHelpersTest, EnablingLabelsGreysThemAndCheckBoxesDecide) {
    resetDisabledTextColor();
    auto label = ui::TextField::label({}, "Offset");
    auto field = std::make_shared<ui::TextField>();
    auto box = ui::Button::checkBox({}, "Offset stacking");
    setEnabledConrtols(false, {label.get(), field.get()});
    EXPECT_FALSE(label->isEnabled());
    EXPECT_EQ(label->textColor(), ui::Color::disabledControlText());
    EXPECT_FALSE(field->isEnabled());
    EXPECT_EQ(field->textColor(), ui::Color::controlText()); // an editable field keeps its colour

    box->setState(ui::kOnState);
    EXPECT_TRUE(setEnabledConrtolsByCheckBox(box.get(), {label.get(), field.get()}));
    EXPECT_TRUE(label->isEnabled());
    EXPECT_EQ(label->textColor(), ui::Color::controlText());
    box->setEnabled(false);
    EXPECT_FALSE(setEnabledConrtolsByCheckBox(box.get(), {label.get()}));
    EXPECT_FALSE(isOnAndEnabled(nullptr));

    // An old toolkit greys with the secondary selected-control colour; the colour is kept.
    auto& app = ui::Application::shared();
    app.setToolkitVersion(900);
    resetDisabledTextColor();
    setEnabledWithColor(label.get(), false);
    EXPECT_EQ(label->textColor(), ui::Color::secondarySelectedControl());
    app.setToolkitVersion(ui::Application::kCurrentToolkitVersion);
    setEnabledWithColor(label.get(), false);
    EXPECT_EQ(label->textColor(), ui::Color::secondarySelectedControl());
    resetDisabledTextColor();
}

TEST(ControlHelpersTest, DictionariesAndRepresentedObjects) {
    Dictionary d;
    SetIfObjectForKey(d, std::nullopt, "a");
    SetIfObjectForKey(d, Value(), "b");
    SetIfObjectForKey(d, Value("x"), "c");
    EXPECT_EQ(d.keys(), (std::vector<std::string>{"c"}));

    ui::PopUpButton popUp;
    EXPECT_TRUE(representedObjectForKey(&popUp, "title").isNull());
    popUp.cell().setRepresentedObject(Value(Dictionary{{"title", "Media Type"}}));
    EXPECT_EQ(representedObjectForKey(&popUp, "title"), Value("Media Type"));
    EXPECT_TRUE(representedObjectOfSelectedItem(&popUp).isNull());
    auto item = std::make_shared<ui::MenuItem>("Plain");
    item->setRepresentedObject(Value("Plain"));
    popUp.addItem(item);
    EXPECT_EQ(representedObjectOfSelectedItem(&popUp), Value("Plain"));

    test::TempDir dir;
    dir.write("B/Contents/Resources/miscellaneous.plist",
              "<plist><dict><key>k</key><string>v</string></dict></plist>");
    dir.write("B/Contents/Resources/list.plist", "<plist><array/></plist>");
    Bundle bundle(dir / "B");
    EXPECT_EQ(DictionaryNamed(std::string("miscellaneous"), &bundle)->get("k"), Value("v"));
    EXPECT_FALSE(DictionaryNamed(std::string("list"), &bundle));
    EXPECT_FALSE(DictionaryNamed(std::string("absent"), &bundle));
    EXPECT_FALSE(DictionaryNamed(std::nullopt, &bundle));
    EXPECT_FALSE(DictionaryNamed(std::string("miscellaneous"), nullptr));

    ui::TableView table;
    table.addTableColumn(std::make_shared<ui::TableColumn>("summary"));
    auto cell = setBrowserCellToColumn(&table, "summary");
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->isLeaf());
    EXPECT_TRUE(cell->wraps());
    EXPECT_EQ(table.tableColumnWithIdentifier("summary")->dataCell(), cell);
    EXPECT_EQ(setBrowserCellToColumn(&table, "absent"), nullptr);
}

TEST(OSVersionTest, ToolkitVersionsMapToCodes) {
    const std::pair<double, int> cases[] = {
        {0, 1000},     {577, 1000},     {577.9, 1000},  {578, 1010},
        {663.6, 1020}, {664, 1030},     {824.41, 1040}, {949, 1050},
        {950, 10060},  {1038.5, 10060}, {1039, 10070},  {1138, 10070},
        {1187, 10080}, {1265.5, 10090}, {1266, 10100},  {2299, 10100},
    };
    for (const auto& [version, code] : cases)
        EXPECT_EQ(osVersionFromAppKitVersion(version), code) << version;
}

TEST(OSVersionTest, PredicatesFollowTheRunningToolkit) {
    auto& app = ui::Application::shared();
    EXPECT_EQ(currentOSVersion(), 10100);
    EXPECT_TRUE(isOSVer_After10_9());
    EXPECT_TRUE(isOSVer_After10_10());
    app.setToolkitVersion(1265.5); // 10.9 counts as "after 10.9"
    EXPECT_TRUE(isOSVer_After10_9());
    EXPECT_FALSE(isOSVer_After10_10());
    app.setToolkitVersion(1187); // 10.8
    EXPECT_FALSE(isOSVer_After10_9());
    EXPECT_TRUE(isOSVer_After10_4());
    app.setToolkitVersion(743.36); // 10.3
    EXPECT_FALSE(isOSVer_After10_4());
    EXPECT_TRUE(isOSVer_After10_3());
    EXPECT_TRUE(isOSVer_After10_2());
    app.setToolkitVersion(ui::Application::kCurrentToolkitVersion);
}

} // namespace
} // namespace velmora
