#include "panes/PaneOptionNames.h"

#include "platform/foundation/Bundle.h"
#include "platform/ui/Button.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "ppd/PpdFile.h"
#include "support/PpdWriter.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using ::testing::ElementsAre;

class PaneOptionNamesTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string ppdPath = test::writePpd(
        dir, "Press.ppd", "ISOLatin1", "English", "Velmora Press",
        test::pickOne("ColorModel", "Colour mode", "RGB",
                      {{"RGB", "Colour"}, {"Gray", "Greyscale"}, {"CMYK2", "Four colours"}}) +
            test::boolean("Collate", "True"));
    int pathAsked = 0;
    PaneOptionNames names{[this] {
        ++pathAsked;
        return std::optional<std::string>(ppdPath);
    }};
};

TEST_F(PaneOptionNamesTest, TitlesComeFromThePpdAndArePassedOverWhereItHasNone) {
    struct Case {
        std::string option, choice;
        std::optional<std::string> optionTitle, choiceTitle;
    };
    for (const Case& c : std::vector<Case>{
             {"ColorModel", "Gray", "Colour mode", "Greyscale"},
             {"ColorModel", "Sepia", "Colour mode", std::nullopt},
             {"Collate", "True", "Collate", "On"},
             {"Unknown", "x", std::nullopt, std::nullopt},
         }) {
        std::optional<std::string> optionTitle, choiceTitle;
        names.getAlias(&optionTitle, &choiceTitle, c.option, c.choice);
        EXPECT_EQ(optionTitle, c.optionTitle) << c.option;
        EXPECT_EQ(choiceTitle, c.choiceTitle) << c.option << " " << c.choice;
    }
    EXPECT_EQ(names.mainAlias("Unknown"), "Unknown") << "the keyword stands for a missing title";
    EXPECT_EQ(pathAsked, 1) << "the PPD is found once and kept";
}

TEST_F(PaneOptionNamesTest, APaneBundleNamesWhatThePpdDoesNot) {
    dir.write("Pane.bundle/Contents/Info.plist",
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
              "<key>CFBundleIdentifier</key><string>test.pane</string></dict></plist>");
    dir.write("Pane.bundle/Contents/Resources/en.lproj/Localizable.strings",
              "\"Finisher\" = \"Finishing unit\";\n\"Saddle\" = \"Saddle stitch\";\n");
    auto bundle = Bundle::open(dir / "Pane.bundle");
    ASSERT_TRUE(bundle);
    EXPECT_EQ(names.mainAlias("Finisher", bundle.get()), "Finishing unit");
    EXPECT_EQ(names.optionAlias(std::string("Saddle"), std::string("Finisher"), bundle.get()),
              "Saddle stitch");
    EXPECT_EQ(names.mainAlias("ColorModel", bundle.get()), "Colour mode")
        << "the PPD's title wins over the pane's";
    EXPECT_FALSE(names.optionAlias(std::nullopt, std::string("Finisher"), bundle.get()));
}

TEST_F(PaneOptionNamesTest, ControlsOfferEveryChoiceOfThePpdUnderItsTitle) {
    ui::PopUpButton popUp;
    names.buildControl(&popUp, "ColorModel", std::nullopt);
    EXPECT_THAT(popUp.itemTitles(), ElementsAre("Colour", "Greyscale", "Four colours"));
    const Dictionary* picked = popUp.itemAtIndex(1)->representedObject().dictionary();
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->get("optionKeyword").stringValue(), "Gray");
    EXPECT_EQ(picked->get("mainKeyword").stringValue(), "ColorModel");

    ui::Slider slider;
    names.buildControl(&slider, "ColorModel", std::string("Colour mode"));
    EXPECT_EQ(slider.maxValue(), 2) << "one tick per choice";
    EXPECT_TRUE(slider.allowsTickMarkValuesOnly());

    ui::PopUpButton unknown;
    names.buildControl(&unknown, "Unknown", std::nullopt);
    EXPECT_EQ(unknown.numberOfItems(), 0);
    EXPECT_TRUE(names.isExistsInPpd(std::string("ColorModel"), std::string("CMYK2")));
    EXPECT_FALSE(names.isExistsInPpd(std::string("ColorModel"), std::string("CMYK1")));
    EXPECT_FALSE(names.isExistsInPpd(std::nullopt, std::nullopt));
}

TEST_F(PaneOptionNamesTest, AnotherPpdThatDoesNotOpenLeavesTheBundlesToBeOpenedAgain) {
    EXPECT_TRUE(names.reopenIfOpen(dir / "missing.ppd")) << "nothing was open: nothing to replace";
    EXPECT_EQ(pathAsked, 0);
    ASSERT_TRUE(names.ppdInformation());
    EXPECT_FALSE(names.reopenIfOpen(dir / "missing.ppd"));
    ASSERT_TRUE(names.ppdInformation());
    EXPECT_EQ(pathAsked, 2);
    EXPECT_EQ(names.mainAlias("ColorModel", nullptr), "Colour mode");
}

TEST(PaneOptionNamesWithoutPpd, SaysNoTitleAndBuildsNothing) {
    PaneOptionNames names{[] { return std::optional<std::string>(); }};
    EXPECT_FALSE(names.ppdInformation());
    EXPECT_FALSE(names.mainAlias("ColorModel", nullptr));
    ui::Button box;
    names.buildControl(&box, "Collate", std::nullopt);
    EXPECT_TRUE(box.cell().representedObject().isNull());
}

} // namespace
} // namespace velmora
