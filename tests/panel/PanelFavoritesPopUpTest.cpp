#include "panel/PanelFavoritesPopUp.h"

#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using ::testing::ElementsAre;

// The pop-up as the panel builds it: the default item (an empty path), then the favorites.
std::shared_ptr<ui::PopUpButton> favoritesPopUp() {
    auto popUp = std::make_shared<ui::PopUpButton>();
    for (const auto& [title, path] :
         std::vector<std::pair<std::string, std::string>>{{"Default Settings", ""},
                                                          {"Brochure", "/f/Brochure.plist"},
                                                          {"Proofs", "/f/Proofs.plist"}}) {
        auto item = std::make_shared<ui::MenuItem>(title);
        item->setRepresentedObject(Value(path));
        popUp->addItem(item);
    }
    return popUp;
}

TEST(PanelFavoritesPopUpTest, TheChangedItemStandsForItsFavoriteAndGoesWithoutMovingTheSelection) {
    auto popUp = favoritesPopUp();
    PanelFavoritesPopUp favorites(popUp);
    ASSERT_TRUE(favorites.selectPath("/f/Proofs.plist"));
    std::string title;
    auto index = favorites.insertChangingPreset(&title);
    ASSERT_TRUE(index);
    EXPECT_EQ(title, PanelFavoritesPopUp::changeSettingTitle() + "Proofs");
    EXPECT_FALSE(favorites.insertChangingPreset(nullptr)) << "one changed item at most";
    popUp->selectItemAtIndex(static_cast<int>(*index));
    EXPECT_EQ(favorites.currentName(), "Proofs") << "the changed item stands for its favorite";
    EXPECT_EQ(favorites.currentPath(), "/f/Proofs.plist");
    EXPECT_EQ(favorites.indexOfChangePreset(), index);

    favorites.removeChangedPresetTitle();
    EXPECT_FALSE(favorites.indexOfChangePreset());
    EXPECT_THAT(popUp->itemTitles(), ElementsAre("Default Settings", "Brochure", "Proofs"));
    EXPECT_EQ(popUp->titleOfSelectedItem(), "Proofs");
}

TEST(PanelFavoritesPopUpTest, APathThePopUpLacksLeavesTheSelectionAlone) {
    auto popUp = favoritesPopUp();
    PanelFavoritesPopUp favorites(popUp);
    ASSERT_TRUE(favorites.selectPath("/f/Brochure.plist"));
    EXPECT_FALSE(favorites.selectPath("/elsewhere/Other.plist"));
    EXPECT_EQ(popUp->titleOfSelectedItem(), "Brochure");
    ASSERT_TRUE(favorites.selectPath(""));
    EXPECT_EQ(favorites.currentPath(), "") << "the default item";

    std::shared_ptr<ui::PopUpButton> none;
    PanelFavoritesPopUp unbuilt(none);
    EXPECT_FALSE(unbuilt.currentIndex());
    EXPECT_FALSE(unbuilt.selectPath("/f/Brochure.plist"));
    EXPECT_FALSE(unbuilt.insertChangingPreset(nullptr));
}

} // namespace
} // namespace velmora
