// Fishing at the shore and the daily dig.
#include "rules_fixture.h"

namespace {

class FishingRules : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        // A lake west of the hero: columns 120..126 of rows 120..136.
        for (int r = 120; r <= 136; ++r)
            for (int c = 120; c <= 126; ++c) masKle.m[KleIndex(r, c)].landType = kLandDeepWater;
        hero->x = 127 * 10 + 5;   // on the shore, next to the water
        hero->z = 128 * 10 + 5;
    }
    void Cast() {
        StartFishing();
        ASSERT_EQ(fishing.fishState, kFishWaiting);
    }
    void WaitForBite() {
        frameDeltaMs = 100;
        for (int i = 0; i < 200 && fishing.fishState == kFishWaiting; ++i) FishingTick();
        ASSERT_EQ(fishing.fishState, kFishBiting);
    }
};

TEST_F(FishingRules, PlaceChecksAndFishiness) {
    EXPECT_EQ(CellFishiness(KleIndex(128, 123)), 3);   // open water
    EXPECT_EQ(CellFishiness(KleIndex(128, 127)), 1);   // the shore: three water cells
    EXPECT_EQ(CellFishiness(KleIndex(50, 50)), 0);
    EXPECT_EQ(PlaceFishiness(KleIndex(128, 127)), 2);   // its water neighbour sees six
    for (int k : {-1, 0, 65535, 70000}) EXPECT_EQ(PlaceFishiness(k), 0) << k;

    Gold() = 9;
    StartFishing();
    EXPECT_TRUE(Has(Feed(), "Нету денег - пока нажывку и прикорм только покупаем."_w));
    Gold() = 50;
    hero->x = 123 * 10 + 5;
    StartFishing();
    EXPECT_TRUE(Has(Feed(), "Герой должен быть на берегу."_w));
    hero->x = 60 * 10 + 5;
    StartFishing();
    EXPECT_TRUE(Has(Feed(), "Что-то здесь не рыбное место."_w));
    EXPECT_EQ(fishing.fishState, kFishIdle);
    EXPECT_EQ(Gold(), 50);
}

TEST_F(FishingRules, EarlyStrikeLosesTheCastAndTheThirdCatchIsBig) {
    Gold() = 100;
    Cast();
    const int stake = fishing.fishStake;
    EXPECT_TRUE(stake >= 2 && stake <= 4);
    EXPECT_EQ(Gold(), 100 - stake);
    EXPECT_EQ(fishing.fishWaitTotal, 12000);
    FishingStrike(1);
    EXPECT_TRUE(Has(Feed(), "(Рыбалка) рано ..."_w));
    EXPECT_EQ(fishing.fishState, kFishIdle);
    EXPECT_EQ(Gold(), 100 - stake);

    for (int n = 1; n <= 3; ++n) {
        const int before = Gold();
        Cast();
        const int paid = fishing.fishStake;
        WaitForBite();
        FishingStrike(fishing.fishRightButton);
        const int gain = Gold() - (before - paid);
        const int lo = n == 1 ? 3 : n == 2 ? 4 : 10, hi = n == 1 ? 5 : n == 2 ? 6 : 15;
        EXPECT_TRUE(gain >= lo * paid && gain <= hi * paid && gain % paid == 0) << n << " " << gain;
        EXPECT_EQ(fishing.fishSkill, n);
        EXPECT_EQ(fishing.fishStreak, n % 3);
        EXPECT_TRUE(Has(Feed(), n == 3 ? "(имита БОЛЬШОЙ рыбы)"_w : "(имита улова)"_w)) << n;
    }
    // A wrong button ends the streak; part of the bait may come back.
    fishing.fishStreak = 2;
    Cast();
    WaitForBite();
    FishingStrike(fishing.fishRightButton % 3 + 1);
    EXPECT_EQ(fishing.fishStreak, 0);
    EXPECT_EQ(fishing.fishState, kFishIdle);
    // A skilled angler pays bait too, so his catches pay.
    fishing.fishSkill = 5;
    Cast();
    EXPECT_GT(fishing.fishStake, 0);
}

TEST_F(FishingRules, TheDigWorksOnceADayOnTheIsland) {
    EXPECT_EQ(DigTreasure(), 0);   // the village is not the island
    EXPECT_EQ(treasure.dugToday, 0);
    hero->x = 15 * 10 + 5;
    hero->z = 170 * 10 + 5;
    const int k = KleIndex(170, 15);
    ASSERT_EQ(TreasureCell(k), 1);
    const int before = Gold();
    EXPECT_EQ(DigTreasure(), 1);
    EXPECT_EQ(treasure.dugToday, 1);
    EXPECT_EQ(TreasureCell(k), 0);   // the dug cell is bare dirt now
    EXPECT_TRUE(Gold() == before || (Gold() >= before + 30 && Gold() <= before + 50));
    EXPECT_EQ(DigTreasure(), 0);
    TreasureNewDay();
    hero->x += 10;
    EXPECT_EQ(DigTreasure(), 1);
}

}  // namespace
