// The game screen's tree: placement, window toggles and the buttons that
// call the rules.
#include "story_fixture.h"

namespace {

int ClickAt(const Widget* w, int button = 1) {
    return UIProcessAt(button, w->x + w->width / 2, w->y + w->height / 2);
}

class HudTest : public StoryTest {};

class HudTest1024 : public StoryTest {
protected:
    void SetUp() override {
        width = 1024;
        height = 768;
        StoryTest::SetUp();
    }
};

TEST_F(HudTest1024, SideBarSitsTopRight) {
    EXPECT_EQ(sideBar->width, 61);
    EXPECT_EQ(sideBar->height, 207);
    EXPECT_EQ(sideBar->x + sideBar->width, 1024);
    EXPECT_EQ(768 - (sideBar->y + sideBar->height), 23);
    for (int t = 1; t <= kSideBarButtons; ++t) {
        ASSERT_NE(sideBarCells[t], nullptr);
        EXPECT_EQ(sideBarCells[t]->x, sideBar->x);
        if (t > 1) {
            EXPECT_LT(sideBarCells[t]->y, sideBarCells[t - 1]->y);
        }
    }
}

TEST_F(HudTest, WindowTogglesAndTheTitle) {
    ASSERT_EQ(abilityWindow->visible, 0);
    ClickAt(rankWidget);
    EXPECT_EQ(abilityWindow->visible, 1);
    ClickAt(rankWidget);
    EXPECT_EQ(abilityWindow->visible, 0);
    ASSERT_EQ(heroWindow->visible, 1);
    ClickAt(abilityPointsWidget);
    EXPECT_EQ(abilityWindow->visible, 1);
    EXPECT_EQ(heroWindow->visible, 0);

    ASSERT_EQ(titleLabel->visible, 1);
    EXPECT_EQ(ClickAt(titleLabel), 1);
    EXPECT_EQ(titleLabel->visible, 0);
    UIProcessAt(0, 0, 0);
    EXPECT_EQ(titleLabel->visible, 0);

    ClickAt(sideBarCells[4]);
    EXPECT_EQ(heroWindow->visible, 1);
    ClickAt(sideBarCells[7]);
    EXPECT_EQ(bottomBar->visible, 0);
    ClickAt(sideBarCells[10]);
    EXPECT_EQ(cameraGlide, 1);
    ClickAt(dialogTitle);
    EXPECT_EQ(dialogWindow->visible, 0);
}

TEST_F(HudTest, AbilityAndSpellButtonsCallWhatTheirLabelsName) {
    struct Case {
        int tag;
        const int* flag;
    } abilities[] = {{1, &heroCombat.optLightning}, {2, &heroCombat.fireAddOn},
                     {3, &heroCombat.treasureSeeker}, {4, &heroCombat.optCrystals}};
    abilityWindow->visible = 1;
    for (const Case& c : abilities) {
        heroCombat.abilPoints = 1;
        ClickAt(abilityCells[c.tag]);
        EXPECT_EQ(*c.flag, 1) << AbilityLabel(c.tag);
    }
    const int spellOf[5] = {0, 4, 3, 1, 2};
    for (int tag = 1; tag <= 4; ++tag) {
        HeroCombatReset();
        crystals.rubies = crystals.emeralds = crystals.sapphires = crystals.diamonds = 9;
        crystals.virForce = 5;   // "(р4)": the day's вир-форс level a spell needs
        fgrMainHero->unitExpRang = 5;
        spellWindow->visible = 1;
        ClickAt(spellCells[tag]);
        EXPECT_EQ(spellWindow->visible, 0);
        EXPECT_EQ(heroCombat.dailySpell, spellOf[tag]) << SpellLabel(tag);
    }
}

TEST_F(HudTest, OnlyTheLiveComboButtonStrikesAndTheWindowFollowsTheComboTime) {
    heroCombat.comboButton = 3;
    heroCombat.comboTime = 400;
    HudSync();
    ASSERT_EQ(comboWindow->visible, 1);
    heroCombat.comboTime = 0;
    HudSync();
    EXPECT_EQ(comboWindow->visible, 0);
}

}  // namespace
