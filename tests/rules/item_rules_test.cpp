// Items, backpack, shop and forge; fishing and the dig; pickups; crystal
// chains, gems, вир-форс and the clamps.
#include <vector>

#include "rules_fixture.h"

namespace {

using ItemRules = RulesTest;

TEST_F(ItemRules, BuyingPaysEvenIntoAFullBackpack) {
    Gold() = 30;
    EXPECT_EQ(Buy(kItemMedkit, 30), 1);
    EXPECT_EQ(std::pair(Gold(), backpack.slotKind[1]), std::pair(0, int(kItemMedkit)));
    EXPECT_EQ(Buy(kItemKvass, 10), 0);
    for (int s = 2; s <= kBackpackSlots; ++s) backpack.slotKind[s] = kItemBoots;
    Gold() = 100;
    EXPECT_EQ(Buy(kItemKvass, 10), 0);
    EXPECT_EQ(Gold(), 90);
    EXPECT_TRUE(FeedShowed("(Рюкзак героя) Нет свободных мест."_w));
    for (int kind : {0, 15, -1}) EXPECT_EQ(AddToBackpack(kind, nullptr), 0) << kind;
}

// Wearing and using items is played by the runs; here the edges: an empty
// slot opens nothing, one item action at a time, one suit a day.
TEST_F(ItemRules, SlotsOpenOnlyWithAnItemAndSuitsChangeOnceADay) {
    EXPECT_EQ(SelectSlot(1), 0);
    AddToBackpack(kItemSuitArmour, nullptr);
    AddToBackpack(kItemSuitBrave, nullptr);
    ASSERT_EQ(SelectSlot(1), 1);
    EXPECT_EQ(SelectSlot(2), 0);
    ItemWindowButton(1);
    EXPECT_EQ(backpack.wearSuit, kItemSuitArmour);
    ASSERT_EQ(SelectSlot(2), 1);
    ItemWindowButton(1);
    EXPECT_EQ(backpack.wearSuit, kItemSuitArmour);   // refused the same day
    BackpackNewDay();
    ASSERT_EQ(SelectSlot(2), 1);
    ItemWindowButton(1);
    // The worn one went into the slot.
    EXPECT_EQ(std::pair(backpack.wearSuit, backpack.slotKind[2]), std::pair(int(kItemSuitBrave), int(kItemSuitArmour)));
    EXPECT_NE(FgrAt(backpack.slotFigure[2]), nullptr);
}

TEST_F(ItemRules, IngotsAreDrawnAtRandomAndGivenBackWhenShort) {
    crystals.rubies = crystals.diamonds = 1;
    EXPECT_EQ(PayIngots(2), 1);
    EXPECT_EQ(crystals.rubies + crystals.diamonds, 0);
    crystals.sapphires = 3;   // 99 draws cannot find 8
    EXPECT_EQ(PayIngots(8), 0);
    EXPECT_EQ(crystals.sapphires, 3);
}

TEST_F(ItemRules, ReforgeOfAKnifeAndItsLostTwin) {
    for (int pants : {0, int(kItemPantsApprentice)}) {
        BackpackReset();
        if (Fgr* old = HeroHandItem()) Detach(old), FgrRemove(old);
        Fgr* held = MakeHandItem(kItemKnife, 0, 10);
        AddToBackpack(kItemKnife, held);
        backpack.selectedSlot = 1;
        EquipHand(held);
        AddToBackpack(kItemKnife, MakeHandItem(kItemKnife, 0, 10));
        backpack.wearPants = pants, crystals.rubies = 2, Gold() = 10;
        EXPECT_EQ(Reforge(kItemKnife, 10), 1);
        EXPECT_TRUE(held->damage == 12 || held->damage == 13) << held->damage;
        EXPECT_EQ(std::tuple(held->comboLevel, crystals.rubies, Gold(), BackpackHolds(kItemKnife)),
                  std::tuple(1, pants ? 1 : 0, 0, 0));
    }
    // No gems: the twin is lost (warned), the held knife stays as it was.
    Fgr* held = HeroHandItem();
    AddToBackpack(kItemKnife, MakeHandItem(kItemKnife, 1, held->damage));
    crystals = CrystalState{};
    EXPECT_EQ(Reforge(kItemKnife, 10), 0);
    EXPECT_EQ(std::pair(BackpackHolds(kItemKnife), held->comboLevel), std::pair(0, 1));
    EXPECT_EQ(Reforge(kItemSword, 20), 0);   // not the blade in hand
}

TEST_F(ItemRules, MechanicDroidsAndBladeSales) {
    Gold() = 150;
    ASSERT_EQ(MechanicDeal(fgrMainHero, 1), 1);
    EXPECT_EQ(Gold(), 50);
    EXPECT_EQ(MechanicDeal(fgrMainHero, 1), 0);   // one droid at a time
    ASSERT_NE(FgrAt(backpack.assistantDroid), nullptr);
    EXPECT_EQ(FgrAt(backpack.assistantDroid)->side, kSidePlayer);
    AddToBackpack(kItemKnife, MakeHandItem(kItemKnife, 0, 10));
    MechanicDeal(nullptr, 4);
    EXPECT_EQ(std::pair(Gold(), BackpackHolds(kItemKnife)), std::pair(55, 0));
}

class FishingRules : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        // A lake west of the hero: columns 120..126 of rows 120..136.
        for (int r = 120; r <= 136; ++r)
            for (int c = 120; c <= 126; ++c) masKle.m[KleIndex(r, c)].landType = kLandDeepWater;
        hero->x = 127 * 10 + 5, hero->z = 128 * 10 + 5;   // on the shore, next to the water
    }
    void CastAndWaitForBite() {
        StartFishing();
        ASSERT_EQ(fishing.fishState, kFishWaiting);
        frameDeltaMs = 100;
        for (int i = 0; i < 200 && fishing.fishState == kFishWaiting; ++i) FishingTick();
        ASSERT_EQ(fishing.fishState, kFishBiting);
    }
};

TEST_F(FishingRules, PlaceChecksAndFishiness) {
    EXPECT_EQ(CellFishiness(KleIndex(128, 123)), 3);    // open water
    EXPECT_EQ(CellFishiness(KleIndex(128, 127)), 1);    // the shore: three water cells
    EXPECT_EQ(PlaceFishiness(KleIndex(128, 127)), 2);   // its water neighbour sees six
    for (int k : {-1, 0, 65535, 70000}) EXPECT_EQ(PlaceFishiness(k), 0) << k;
    // No money, in the water, far from it: no cast, nothing paid.
    const struct { int gold, col; } refused[] = {{9, 127}, {50, 123}, {50, 60}};
    for (const auto& r : refused) {
        Gold() = r.gold, hero->x = r.col * 10 + 5;
        StartFishing();
        EXPECT_EQ(std::pair(int(fishing.fishState), Gold()), std::pair(int(kFishIdle), r.gold)) << r.col;
    }
}

TEST_F(FishingRules, EarlyStrikeLosesTheCastAndTheThirdCatchIsBig) {
    Gold() = 100;
    StartFishing();
    const int stake = fishing.fishStake;
    EXPECT_TRUE(stake >= 2 && stake <= 4) << stake;
    EXPECT_EQ(fishing.fishWaitTotal, 12000);
    FishingStrike(1);
    EXPECT_EQ(std::pair(int(fishing.fishState), Gold()), std::pair(int(kFishIdle), 100 - stake));
    for (int n = 1; n <= 3; ++n) {
        const int before = Gold();
        CastAndWaitForBite();
        const int paid = fishing.fishStake;
        FishingStrike(fishing.fishRightButton);
        const int gain = Gold() - (before - paid);
        const int lo = n == 1 ? 3 : n == 2 ? 4 : 10, hi = n == 1 ? 5 : n == 2 ? 6 : 15;
        EXPECT_EQ(gain % paid, 0) << n;
        EXPECT_TRUE(gain >= lo * paid && gain <= hi * paid) << n << ": " << gain << " for " << paid;
        EXPECT_EQ(std::pair(fishing.fishSkill, fishing.fishStreak), std::pair(n, n % 3));
    }
    // A wrong button ends the streak; a skilled angler pays bait too.
    fishing.fishStreak = 2, fishing.fishSkill = 5;
    CastAndWaitForBite();
    EXPECT_GT(fishing.fishStake, 0);
    FishingStrike(fishing.fishRightButton % 3 + 1);
    EXPECT_EQ(std::pair(fishing.fishStreak, int(fishing.fishState)), std::pair(0, int(kFishIdle)));
}

TEST_F(FishingRules, TheDigWorksOnceADayOnTheIsland) {
    EXPECT_EQ(DigTreasure(), 0);   // the village is not the island
    hero->x = 15 * 10 + 5, hero->z = 170 * 10 + 5;
    const int before = Gold();
    EXPECT_EQ(DigTreasure(), 1);
    EXPECT_EQ(TreasureCell(KleIndex(170, 15)), 0);   // the dug cell is bare dirt now
    EXPECT_TRUE(Gold() == before || (Gold() >= before + 30 && Gold() <= before + 50)) << Gold() - before;
    EXPECT_EQ(DigTreasure(), 0);
    TreasureNewDay();
    hero->x += 10;
    EXPECT_EQ(DigTreasure(), 1);
}

using CrystalRules = RulesTest;

TEST_F(CrystalRules, ChainsMakeGemsAndEchoesRepeatOrReset) {
    const struct { std::vector<int> colours; int rubies, emeralds, skeletons; } cases[] = {
        {{1, 1, 2, 1, 1, 1}, 1, 0, 0},   // the chain restarts at green
        {{1, 1, 6}, 1, 0, 0},            // the echo repeats red
        {{6, 6}, 0, 0, 1},               // echo, echo: reset and a skeleton
        {{2, 2, 6, 6}, 0, 1, 1},         // green twice and its echo; a second echo resets
    };
    for (const auto& c : cases) {
        CrystalsReset();
        for (Fgr& f : FigureTable)
            if (f.fgrKind == kKindUnitSkeleton) FgrRemove(&f);
        for (int colour : c.colours) {
            if (colour == kCrystalEcho) {
                Fgr* echo = MakeCrystal(kCrystalEcho, kHeroCell + 5);
                CollectCrystal(hero, echo, 1);
                FgrRemove(echo);
            } else {
                AddCrystalColour(colour);
                crystals.lastWasEcho = 0;
            }
        }
        int skeletons = 0;
        for (const Fgr& f : FigureTable) skeletons += f.fgrKind == kKindUnitSkeleton;
        EXPECT_EQ(std::tuple(crystals.rubies, crystals.emeralds, skeletons, crystals.chainLength),
                  std::tuple(c.rubies, c.emeralds, c.skeletons, 0))
            << c.colours.size();
    }
}

TEST_F(CrystalRules, VirForceAndTheGemCap) {
    const int exp = hero->unitExpNow;
    auto collect = [](int colour) {
        for (int i = 0; i < 3; ++i) AddCrystalColour(colour);
    };
    collect(1);
    EXPECT_EQ(crystals.virForce, 1);
    collect(1);
    EXPECT_EQ(std::pair(crystals.virForce, hero->unitExpNow), std::pair(2, exp + 50));
    crystals.rubies = 9;
    collect(1);
    EXPECT_EQ(crystals.rubies, 9);
    crystals.virForce = crystals.collections = 5;
    collect(3);
    EXPECT_EQ(crystals.virForce, 5);
}

TEST_F(CrystalRules, TouchCollectsOnceFromRankTwoAndRegrows) {
    Fgr* c = MakeCrystal(kCrystalRed, kHeroCell);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(MakeCrystal(kCrystalRed, kHeroCell), nullptr);   // one per cell
    for (int bad : {0, 7, -3}) EXPECT_EQ(MakeCrystal(bad, kHeroCell + 1), nullptr);
    EXPECT_EQ(HeroTouches(hero, c), 0);   // rank 1
    hero->unitExpRang = 2;
    EXPECT_EQ(HeroTouches(hero, c), 1);
    EXPECT_EQ(crystals.chainLength, 1);
    EXPECT_EQ(HeroTouches(hero, c), 0);   // collected: ignored
    EXPECT_TRUE(c->regrowTimer >= kCrystalRegrowMin && c->regrowTimer <= kCrystalRegrowMax) << c->regrowTimer;
    frameDeltaMs = 100;
    for (int i = 0; i < kCrystalRegrowMax / 100 + 1; ++i) CrystalUpdate(c);
    EXPECT_EQ(std::pair(c->collected, c->reach), std::pair(0, 0));
    // A hostile figure file: an unknown colour is not collected; bounds out
    // of order or negative still regrow.
    c->regrowMin = -5, c->regrowMax = -9, c->unitType = 99;
    EXPECT_EQ(HeroTouches(hero, c), 0);
    c->unitType = kCrystalGreen;
    EXPECT_EQ(HeroTouches(hero, c), 1);
    EXPECT_GT(c->regrowTimer, 0);
}

TEST_F(CrystalRules, ClampsInEitherOrderOpenThePassAndRefusalsEndTheAction) {
    Fgr* barrierA = MakePlant(6, kBarrierCellA);
    Fgr* barrierB = MakePlant(6, kBarrierCellB);
    ASSERT_TRUE(barrierA && barrierB);
    auto strikeOn = [&](int cell, int colour) {
        float x, z;
        KleCentre(cell, &x, &z);
        hero->x = x, hero->z = z;
        crystals.hammerCooldown = 0;
        HammerStrike(colour);
    };
    hero->unitExpRang = 2;
    crystals.emeralds = crystals.sapphires = 1;
    strikeOn(kClampBCell, 2);
    EXPECT_EQ(crystals.clampBClosed, 0);   // rank 2
    hero->unitExpRang = 3;
    HammerStrike(2);
    EXPECT_EQ(crystals.clampBClosed, 0);   // the refusal's cooldown runs
    strikeOn(kClampBCell, 2);
    EXPECT_EQ(std::pair(crystals.clampBClosed, crystals.emeralds), std::pair(1, 0));
    strikeOn(kClampBCell, 2);   // already closed: nothing more
    EXPECT_EQ(barrierA->fgrKind, kKindPlant);
    crystals.sapphires = 0;
    strikeOn(kClampACell, 3);
    EXPECT_EQ(crystals.clampAClosed, 0);   // no ingot
    crystals.sapphires = 1;
    strikeOn(kClampACell, 3);
    EXPECT_EQ(std::tuple(crystals.clampAClosed, barrierA->fgrKind, barrierB->fgrKind, masKle.m[kBarrierCellA].fgrKey),
              std::tuple(1, 0, 0, nullptr));
}

TEST_F(CrystalRules, PickupsPayHurtGoAwayOrStay) {
    hero->kor.ph->w[kStNormHPMax] = 300;
    const struct { int type, variant, boots, goldGain, bloodLeft; bool removed; } cases[] = {
        {kPickupChest, 1, 0, 25, 300, true},
        {kPickupChest, 3, 1, 0, 300 - 111, true},   // the trap, softened by boots
        {kPickupChest, 7, 0, 0, 300 - 225, true},
        {kPickupInert, 0, 0, 0, 300, false},
        {kPickupGarbage, 0, 0, 0, 300, false},   // without the quest the pile stays
    };
    for (const auto& c : cases) {
        StatSet(hero, kStNormHP, 300);
        backpack.wearBoots = c.boots ? kItemBoots : 0;
        Fgr* p = MakePickup(c.type, kHeroCell + 3, 0, 0);
        ASSERT_NE(p, nullptr);
        p->variant = c.variant;
        const int gold = Gold();
        EXPECT_EQ(HeroTouches(hero, p), c.removed ? 1 : 0) << c.type << c.variant;
        EXPECT_EQ(std::tuple(Gold() - gold, Blood(), p->fgrKind == 0), std::tuple(c.goldGain, c.bloodLeft, c.removed))
            << c.type << c.variant;
        if (p->fgrKind) FgrRemove(p);
    }
    // Coin heaps pay twice their value; a hostile figure file's negative
    // value pays nothing, a huge one a capped sum (no overflow).
    for (int value : {5, -7, 2147483647}) {
        Fgr* heap = MakePickup(kPickupGold, kHeroCell + 4, 0, 0);
        ASSERT_NE(heap, nullptr);
        heap->pickValue = value;
        const int before = Gold();
        EXPECT_EQ(HeroTouches(hero, heap), 1);
        EXPECT_EQ(Gold() - before, value < 0 ? 0 : value == 5 ? 10 : 200000) << value;
    }
    for (int bad : {0, 6, -1}) EXPECT_EQ(MakePickup(bad, kHeroCell + 6, 0, 0), nullptr);
    // Garbage piles blink but stay; a bag goes after its time.
    Fgr* pile = MakePickup(kPickupGarbage, kHeroCell + 2, 0, 0);
    Fgr* bag = MakePickup(kPickupBag, kHeroCell + 7, 0, 0);
    frameDeltaMs = 100;
    for (int i = 0; i < 2000; ++i) {   // 200 s
        PickupUpdate(pile);
        if (bag->fgrKind) PickupUpdate(bag);
    }
    EXPECT_EQ(std::pair(pile->fgrKind, bag->fgrKind), std::pair(int(kKindLoot), 0));
}

}  // namespace
