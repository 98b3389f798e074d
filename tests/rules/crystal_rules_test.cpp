// Crystal chains, gems, вир-форс and the hammer; touches of pickups.
#include "rules_fixture.h"

#include "combat/filters.h"
#include "rules/pickups.h"

namespace {

using CrystalRules = RulesTest;

int Skeletons() {
    int n = 0;
    for (int s = 1; s <= kFigureSlots; ++s)
        if (FigureTable[s].fgrKind == kKindUnitSkeleton) ++n;
    return n;
}

TEST_F(CrystalRules, ChainsMakeGemsAndEchoesRepeatOrReset) {
    struct Case {
        std::vector<int> colours;
        int rubies, emeralds, skeletons;
    };
    const Case cases[] = {
        {{1, 1, 2, 1, 1, 1}, 1, 0, 0},   // the chain restarts at green
        {{1, 1, 6}, 1, 0, 0},            // the echo repeats red
        {{6, 6}, 0, 0, 1},               // echo, echo: reset and a skeleton
        {{2, 2, 6, 6}, 0, 1, 1},         // green twice and its echo; a second echo resets
    };
    for (const Case& c : cases) {
        CrystalsReset();
        for (int s = 1; s <= kFigureSlots; ++s)
            if (FigureTable[s].fgrKind == kKindUnitSkeleton) FgrRemove(&FigureTable[s]);
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
        EXPECT_EQ(crystals.rubies, c.rubies) << c.colours.size();
        EXPECT_EQ(crystals.emeralds, c.emeralds) << c.colours.size();
        EXPECT_EQ(Skeletons(), c.skeletons) << c.colours.size();
    }
    EXPECT_EQ(crystals.chainColour, 0);
    EXPECT_EQ(crystals.chainLength, 0);
}

TEST_F(CrystalRules, VirForceGemCapAndPairHints) {
    const int exp = hero->unitExpNow;
    for (int i = 0; i < 3; ++i) AddCrystalColour(1);
    EXPECT_EQ(crystals.virForce, 1);
    for (int i = 0; i < 3; ++i) AddCrystalColour(1);
    EXPECT_EQ(crystals.virForce, 2);
    EXPECT_EQ(crystals.collections, 0);
    EXPECT_EQ(hero->unitExpNow, exp + 50);
    for (int n = 0; n < 3; ++n)
        for (int i = 0; i < 3; ++i) AddCrystalColour(2);
    EXPECT_EQ(crystals.virForce, 3);   // three more collections for the next level
    EXPECT_LE(crystals.pairHintsLeft, 0);
    crystals.rubies = 9;
    for (int i = 0; i < 3; ++i) AddCrystalColour(1);
    EXPECT_EQ(crystals.rubies, 9);
    crystals.virForce = 5;
    crystals.collections = 5;
    AddCrystalColour(3), AddCrystalColour(3), AddCrystalColour(3);
    EXPECT_EQ(crystals.virForce, 5);
}

TEST_F(CrystalRules, TouchCollectsOnceFromRankTwoAndRegrows) {
    Fgr* c = MakeCrystal(kCrystalRed, kHeroCell);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(MakeCrystal(kCrystalRed, kHeroCell), nullptr);   // one per cell
    for (int bad : {0, 7, -3}) EXPECT_EQ(MakeCrystal(bad, kHeroCell + 1), nullptr);
    EXPECT_EQ(HeroTouches(hero, c), 0);   // rank 1
    EXPECT_TRUE(Has(Feed(), "(Кристал) треба 2-ой ранжыр героя, чтобы собирать"_w));
    hero->unitExpRang = 2;
    EXPECT_EQ(HeroTouches(hero, c), 1);
    EXPECT_EQ(crystals.chainLength, 1);
    EXPECT_EQ(c->reach, kCrystalHidden);
    EXPECT_EQ(HeroTouches(hero, c), 0);   // collected: ignored
    EXPECT_GE(c->regrowTimer, kCrystalRegrowMin);
    EXPECT_LE(c->regrowTimer, kCrystalRegrowMax);
    frameDeltaMs = 100;
    for (int i = 0; i < kCrystalRegrowMax / 100 + 1; ++i) CrystalUpdate(c);
    EXPECT_EQ(c->collected, 0);
    EXPECT_EQ(c->reach, 0);
    // A hostile figure file: bounds out of order or negative still regrow.
    c->regrowMin = -5;
    c->regrowMax = -9;
    c->unitType = 99;
    EXPECT_EQ(HeroTouches(hero, c), 0);
    c->unitType = kCrystalGreen;
    EXPECT_EQ(HeroTouches(hero, c), 1);
    EXPECT_GT(c->regrowTimer, 0);
}

TEST_F(CrystalRules, ClampsInEitherOrderOpenThePassAndRefusalsEndTheAction) {
    Fgr* barrierA = MakePlant(6, kBarrierCellA);
    Fgr* barrierB = MakePlant(6, kBarrierCellB);
    ASSERT_TRUE(barrierA && barrierB);
    float x, z;
    auto standOn = [&](int cell) {
        KleCentre(cell, &x, &z);
        hero->x = x, hero->z = z;
        crystals.hammerCooldown = 0;
    };
    hero->unitExpRang = 2;
    crystals.emeralds = crystals.sapphires = 1;
    standOn(kClampBCell);
    HammerStrike(2);
    EXPECT_TRUE(Has(Feed(), "Треба 3-ий ранжыр для кристальных клем."_w));
    EXPECT_EQ(crystals.clampBClosed, 0);
    hero->unitExpRang = 3;
    HammerStrike(2);
    EXPECT_EQ(crystals.clampBClosed, 0);   // the cooldown runs
    standOn(kClampBCell);
    HammerStrike(2);
    EXPECT_EQ(crystals.clampBClosed, 1);
    EXPECT_EQ(crystals.emeralds, 0);
    standOn(kClampBCell);
    HammerStrike(2);                         // already closed: nothing more
    EXPECT_EQ(barrierA->fgrKind, kKindPlant);
    standOn(kClampACell);
    crystals.sapphires = 0;
    HammerStrike(3);
    EXPECT_TRUE(Has(Feed(), "(Молот) не хватает слитка"_w));
    crystals.sapphires = 1;
    standOn(kClampACell);
    HammerStrike(3);
    EXPECT_EQ(crystals.clampAClosed, 1);
    EXPECT_EQ(barrierA->fgrKind, 0);
    EXPECT_EQ(barrierB->fgrKind, 0);
    EXPECT_EQ(masKle.m[kBarrierCellA].fgrKey, nullptr);
    EXPECT_TRUE(Has(Feed(), "(Молот) Замкнули цепь."_w));
}

TEST_F(CrystalRules, HammerSmitesASkeletonOfItsColourNearby) {
    Fgr* sk = SpawnMonster(2, hero->x + 30, hero->z, 0);
    ASSERT_NE(sk, nullptr);
    selection[0] = sk;
    selectionCount = 1;
    const int full = StatGet(sk, kStNormHPMax);
    HammerStrike(1);   // wrong colour
    EXPECT_EQ(StatGet(sk, kStNormHP), full);
    crystals.hammerCooldown = 0;
    HammerStrike(2);   // no emerald
    EXPECT_EQ(StatGet(sk, kStNormHP), full);
    crystals.hammerCooldown = 0;
    crystals.emeralds = 1;
    HammerStrike(2);
    EXPECT_EQ(StatGet(sk, kStNormHP), full - full * 95 / 100);
    EXPECT_EQ(crystals.emeralds, 0);
}

TEST_F(CrystalRules, PickupsPayHurtAndGoAway) {
    hero->kor.ph->w[kStNormHPMax] = 300;
    struct Case {
        int type, variant, boots, goldGain, bloodLeft;
        bool removed;
    };
    const Case cases[] = {
        {kPickupChest, 1, 0, 25, 300, true},
        {kPickupChest, 3, 1, 0, 300 - 111, true},
        {kPickupChest, 7, 0, 0, 300 - 225, true},
        {kPickupInert, 0, 0, 0, 300, false},
        {kPickupGarbage, 0, 0, 0, 300, false},   // without the quest the pile stays
    };
    for (const Case& c : cases) {
        StatSet(hero, kStNormHP, 300);
        backpack.wearBoots = c.boots ? kItemBoots : 0;
        Fgr* p = MakePickup(c.type, kHeroCell + 3, 0, 0);
        ASSERT_NE(p, nullptr);
        p->variant = c.variant;
        const int gold = Gold();
        EXPECT_EQ(HeroTouches(hero, p), c.removed ? 1 : 0) << c.type << c.variant;
        EXPECT_EQ(Gold() - gold, c.goldGain) << c.type;
        EXPECT_EQ(Blood(), c.bloodLeft) << c.type << c.variant;
        EXPECT_EQ(p->fgrKind == 0, c.removed) << c.type;
        if (p->fgrKind) FgrRemove(p);
        EXPECT_EQ(masKle.m[kHeroCell + 3].fgrKey, nullptr);
    }
    Fgr* heap = MakePickup(kPickupGold, kHeroCell + 4, 0, 0);
    ASSERT_NE(heap, nullptr);
    EXPECT_GE(heap->countdown, kGoldLifeMin);
    const int gold = Gold();
    EXPECT_EQ(HeroTouches(hero, heap), 1);
    EXPECT_EQ(Gold() - gold, 2 * heap->pickValue);
    EXPECT_GT(Gold(), gold);
    // Values of a hostile figure file: nothing for a negative one, a capped
    // sum (no overflow) for a huge one.
    for (int value : {-7, 2147483647}) {
        heap = MakePickup(kPickupGold, kHeroCell + 4, 0, 0);
        heap->pickValue = value;
        const int before = Gold();
        HeroTouches(hero, heap);
        EXPECT_EQ(Gold() - before, value < 0 ? 0 : 200000) << value;
    }
    for (int bad : {0, 6, -1}) EXPECT_EQ(MakePickup(bad, kHeroCell + 6, 0, 0), nullptr);
}

TEST_F(CrystalRules, GarbagePilesBlinkButStay) {
    Fgr* pile = MakePickup(kPickupGarbage, kHeroCell + 2, 0, 0);
    ASSERT_NE(pile, nullptr);
    frameDeltaMs = 100;
    for (int i = 0; i < 2000; ++i) PickupUpdate(pile);   // 200 s
    EXPECT_EQ(pile->fgrKind, kKindLoot);
    Fgr* bag = MakePickup(kPickupBag, kHeroCell + 7, 0, 0);
    for (int i = 0; i < 151; ++i) PickupUpdate(bag);
    EXPECT_EQ(bag->fgrKind, 0);
}

}  // namespace
