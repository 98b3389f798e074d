// Combat and progression rules, case by case where they can break: filter
// stages, experience, panic, auras, strikes, crits, shots, rewards, ranks,
// stat points, regeneration, visibility and placement.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "combat_fixture.h"
#include "combat/weapons.h"
#include "io/cp1251.h"
#include "world/placement.h"

namespace {

void AddReception(Fgr* t, int code, int value, int pct, int spread) {
    PBufRec* set = t->kor.pBuf;
    FilterEntry& e = set->e[set->count++];
    e = FilterEntry{value, static_cast<std::uint16_t>(code), static_cast<std::uint8_t>(spread),
                    static_cast<std::uint8_t>(pct), 1, 3};
}

}  // namespace

TEST_F(CombatTest, FilterStagesSpreadTruncationAndClamps) {
    Fgr* t = Dummy(100, 1);
    // A reception filter of -50 percent leaves 5 of 10 with spread 0, and
    // 5..8 with spread 25.
    struct Case { int spread, low, high; };
    for (const Case c : {Case{0, 5, 5}, Case{25, 5, 8}}) {
        ClearFilters(t->kor.pBuf);
        AddReception(t, kStNormHP, -50, 1, c.spread);
        Fgr* src = Source(kStNormHP, 10);
        int seenLow = 99, seenHigh = -1;
        for (int i = 0; i < 300; ++i) {
            StatSet(t, kStNormHP, 100);
            DealHit(nullptr, nullptr, src, t);
            const int d = 100 - StatGet(t, kStNormHP);
            seenLow = std::min(seenLow, d);
            seenHigh = std::max(seenHigh, d);
        }
        EXPECT_EQ(seenLow, c.low) << c.spread;
        EXPECT_EQ(seenHigh, c.high) << c.spread;
    }
    // Two +20 percent filters of one stage take their share of one base: 14.
    PBufRec atk{};
    for (int i = 0; i < 2; ++i) atk.e[atk.count++] = FilterEntry{20, kStNormHP, 100, 1, 1, 2};
    ClearFilters(t->kor.pBuf);
    StatSet(t, kStNormHP, 100);
    DealHit(nullptr, &atk, Source(kStNormHP, 10, 1, 0, 1), t);
    EXPECT_EQ(StatGet(t, kStNormHP), 86);
    // A filter cannot heal: -200 percent leaves the stat as it was.
    AddReception(t, kStNormHP, -200, 1, 0);
    DealHit(nullptr, nullptr, Source(kStNormHP, 10), t);
    EXPECT_EQ(StatGet(t, kStNormHP), 86);
    ClearFilters(t->kor.pBuf);
    // Aliases lower NormHP but only code 1 counts into dmgNormSum.
    hitPipe.dmgNormSum = 0;
    DealHit(nullptr, nullptr, Source(kStGoldNorm, 6), t);
    DealHit(nullptr, nullptr, Source(kStSilvNorm, 4), t);
    EXPECT_EQ(StatGet(t, kStNormHP), 76);
    EXPECT_EQ(hitPipe.dmgNormSum, 0);
    DealHit(nullptr, nullptr, Source(kStNormHP, 3), t);
    EXPECT_EQ(hitPipe.dmgNormSum, 3);
    // Clamps: a larger subtracting hit leaves 0, an adding one stops at the
    // maximum, a maximum stays within its own pair.
    DealHit(nullptr, nullptr, Source(kStNormHP, 500), t);
    EXPECT_EQ(StatGet(t, kStNormHP), 0);
    DealHit(nullptr, nullptr, Source(kStNormHP, 500, 0), t);
    EXPECT_EQ(StatGet(t, kStNormHP), 100);
    std::int32_t* st = FgrStats(t);
    st[StatLowOf(kStManaMax)] = 10;
    st[StatHighOf(kStManaMax)] = 40;
    DealHit(nullptr, nullptr, Source(kStManaMax, 90, 0), t);
    EXPECT_EQ(StatGet(t, kStManaMax), 40);
    DealHit(nullptr, nullptr, Source(kStManaMax, 90), t);
    EXPECT_EQ(StatGet(t, kStManaMax), 10);
    // A target without a stat block: no effect, no crash.
    Fgr* bare = MakeLoot(4, KleIndex(60, 60));
    DealHit(t, nullptr, Source(kStNormHP, 10), bare);
    EXPECT_EQ(StatSlotName(kStAirPoison), std::string("Air_Poiso"));
    EXPECT_EQ(StatSlotName(77), std::string("77"));
}

TEST_F(CombatTest, ExperienceOfNonHeroAttackers) {
    Fgr* atk = Dummy(100, 1, 3);
    struct Case { int moveMode, norm, capt, exp; };
    for (const Case c : {Case{3, 40, 10, 75}, Case{0, 40, 10, 150}, Case{3, 150, 0, 150}}) {
        Fgr* t = Dummy(500, 3);
        t->useCaptHP = 1;
        t->moveMode = c.moveMode;
        FgrStats(t)[kStCaptHPMax] = 500;
        FgrStats(t)[kStCaptHP] = 500;
        Fgr* src = Source(kStNormHP, c.norm);
        PeAdd(src->kor.pe, kStCaptHP, c.capt, 1, 0, 0);
        atk->unitExpNow = 0;
        DealHit(atk, atk->kor.pBuf, src, t);
        EXPECT_EQ(atk->unitExpNow, c.exp) << c.norm << " " << c.moveMode;
    }
    // A target of rank 0 takes the damage but gives nothing and writes no trace.
    Fgr* t0 = Dummy(100, 0);
    atk->unitExpNow = 0;
    const std::string before = Log();
    DealHit(atk, atk->kor.pBuf, Source(kStNormHP, 30), t0);
    EXPECT_EQ(StatGet(t0, kStNormHP), 70);
    EXPECT_EQ(atk->unitExpNow, 0);
    EXPECT_EQ(Log(), before);
    // The hero earns experience only through kills and quests.
    Fgr* hero = Hero();
    DealHit(hero, hero->kor.pBuf, Source(kStNormHP, 30), Dummy(100, 3));
    EXPECT_EQ(hero->unitExpNow, 0);
}

TEST_F(CombatTest, PanicSetReplacesTheFiltersAndWeakensTheBlow) {
    Fgr* a = Dummy(100, 1, 3);
    PKuAdd(a->kor.pKu, kStNormHP, 80, 1, 100, 2);
    a->panic = 1;
    AuraPass(a);
    const PBufRec& set = *a->kor.pBuf;
    ASSERT_EQ(set.count, 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(set.e[i].stage, i < 3 ? 2 : 3);
        EXPECT_EQ(set.e[i].value, i < 3 ? -50 : 10);
        EXPECT_EQ(set.e[i].spread, i < 3 ? 25 : 5);
        EXPECT_EQ(set.e[i].code, (i % 3) * 2 + 1);
    }
    Fgr* t = Dummy(100, 1);
    for (int i = 0; i < 100; ++i) {
        StatSet(t, kStNormHP, 100);
        DealHit(a, a->kor.pBuf, Source(kStNormHP, 10, 1, 0, 1), t);
        const int d = 100 - StatGet(t, kStNormHP);
        ASSERT_GE(d, 5);
        ASSERT_LE(d, 8);
    }
}

TEST_F(CombatTest, AuraModesCountdownAndCaps) {
    // Owner on side 3 with group 601 carries an emitter on its filter chain.
    Fgr* owner = Dummy(100, 1, 3);
    owner->groupNumber = 601;
    Fgr* em = FgrCreateFigure(kKindGun1001, 0, 0);
    em->kor.pe->count = 0;
    PKuAdd(em->kor.pKu, kStNormHP, -30, 1, 100, 3);
    em->reach = 40;
    ASSERT_TRUE(AttachByRole(owner, em, kRoleFilterChain));
    EXPECT_FALSE(AttachByRole(owner, em, kRoleFilterChain));
    struct Case { int mode, side, group; bool affected; };
    const Case cases[] = {{1, 1, 0, true}, {2, 3, 0, true}, {2, 1, 0, false}, {3, 1, 0, true},
                          {3, 3, 0, false}, {4, 1, 601, true}, {4, 3, 0, false}, {5, 1, 0, false}};
    for (const Case& c : cases) {
        Fgr* f = Dummy(100, 1, c.side);
        f->groupNumber = c.group;
        em->auraMode = c.mode;
        AuraBeginFrame();
        AuraRegisterOf(owner);
        AuraPass(f);
        EXPECT_EQ(f->tactic, c.affected ? 1 : 0) << c.mode << " " << c.side;
        // The owner itself is never affected.
        AuraPass(owner);
        EXPECT_EQ(owner->tactic, 0);
        FgrRemove(f);
    }
    // With a hit list the emitter strikes when its countdown stands at 0,
    // then waits its period; a flash marks the hit.
    em->auraMode = 1;
    PeAdd(em->kor.pe, kStNormHP, 7, 1, 0, 0);
    em->period = 100;
    em->countdown = 0;
    Fgr* f = Dummy(100, 1, 1);
    int hits = 0;
    for (int frame = 0; frame < 8; ++frame) {
        AuraBeginFrame();
        AuraRegisterOf(owner);
        const int hp = StatGet(f, kStNormHP);
        AuraPass(f);
        hits += hp != StatGet(f, kStNormHP);
    }
    EXPECT_EQ(hits, 2);   // countdown 100, 50, 0 (hit), 100, 50, 0 (hit), 100, 50
    // Caps: 450 registrations a frame, 50 pending hits a pass.
    AuraBeginFrame();
    for (int i = 0; i < 460; ++i) {
        Fgr* o = Dummy(50, 1, 4);
        Fgr* e = FgrCreateFigure(kKindGun1001, 0, 0);
        PeAdd(e->kor.pe, kStNormHP, 1, 1, 0, 0);
        e->auraMode = 1;
        e->reach = 40;
        e->countdown = 1;
        e->period = 100000;
        AttachByRole(o, e, kRoleFilterChain);
        AuraRegisterOf(o);
    }
    EXPECT_EQ(auraReg.count, kAuraEmittersMax);
    Fgr* victim = Dummy(1000, 1, 1);
    AuraPass(victim);
    EXPECT_EQ(1000 - StatGet(victim, kStNormHP), kAuraHitsMax);
}

TEST_F(CombatTest, StrikeHitChancesByRankAndTheCritsMana) {
    Fgr* hero = Hero();
    Fgr* knife = MakeHandItem(kHandKnife, 0, 10);
    ASSERT_TRUE(AttachByRole(hero, knife, kRoleInHand));
    struct Case { int heroRank, targetType, percent; };
    for (const Case c : {Case{3, 5, 80}, Case{1, 5, 75}, Case{1, 6, 50}, Case{9, 10, 20}}) {
        hero->unitExpRang = c.heroRank;
        Fgr* t = Monster(c.targetType, hero->x + 10, hero->z);
        selection[0] = t;
        selectionCount = 1;
        int hits = 0;
        constexpr int kTries = 2000;
        FgrStats(t)[kStNormHPMax] = 1000;
        for (int i = 0; i < kTries; ++i) {
            StatSet(t, kStNormHP, 1000);
            heroCombat.strikeCooldown = 0;
            HeroStrike();
            hits += StatGet(t, kStNormHP) < 1000;
        }
        EXPECT_NEAR(100.0 * hits / kTries, c.percent, 4.0) << c.heroRank << " vs " << c.targetType;
        FgrRemove(t);
    }
    // A rank 3 knife strike of 10 at full wear on an equal target: 10..13.
    hero->unitExpRang = 3;
    Fgr* t = Monster(6, hero->x + 10, hero->z);
    for (int i = 0; i < 50; ++i) {
        StatSet(t, kStNormHP, 100);
        StrikeTarget(t, knife, 0);
        EXPECT_GE(100 - StatGet(t, kStNormHP), 10);
        EXPECT_LE(100 - StatGet(t, kStNormHP), 13);
    }
    // Worn out: the base halves before the rank bonus.
    knife->wearNow = 0;
    StatSet(t, kStNormHP, 100);
    StrikeTarget(t, knife, 0);
    EXPECT_LE(100 - StatGet(t, kStNormHP), 5 + 3);
    // Crit: a percent of 0 spends nothing; with Anger points a combo strike
    // always crits and spends 32 mana.
    StatSet(hero, kStMana, 100);
    EXPECT_EQ(CritPart(t, 10, 1), 0);
    EXPECT_EQ(StatGet(hero, kStMana), 100);
    progress.angerBase = 200;    // two points: 33 percent
    EXPECT_EQ(CritPart(t, 12, 1), 3);
    EXPECT_EQ(StatGet(hero, kStMana), 68);
    StatSet(hero, kStMana, 31);
    EXPECT_EQ(CritPart(t, 12, 1), 0);
    EXPECT_EQ(StatGet(hero, kStMana), 31);
}

TEST_F(CombatTest, ShotReloadMissesManaAndTheDoubler) {
    Fgr* hero = Hero();
    Fgr* gun = hero->guns;
    Fgr* t = Monster(5, hero->x + 30, hero->z);
    FgrStats(t)[kStNormHPMax] = 1000;
    struct Case { int rank, low, high; };
    for (const Case c : {Case{1, 300, 999}, Case{2, 200, 750}, Case{3, 100, 500}, Case{7, 0, 250}}) {
        hero->unitExpRang = c.rank;
        int lo = 99999, hi = -1;
        for (int i = 0; i < 400; ++i) {
            StatSet(hero, kStMana, 150);
            gun->countdown = 0;
            Shoot(hero, t);
            lo = std::min(lo, gun->countdown - gun->period);
            hi = std::max(hi, gun->countdown - gun->period);
            StatSet(t, kStNormHP, 60);
        }
        EXPECT_GE(lo, c.low);
        EXPECT_LE(hi, c.high);
        EXPECT_LT(lo, c.low + 40);
        EXPECT_GT(hi, c.high - 40);
    }
    // Too little mana: the gun waits a whole period, nothing is spent.
    StatSet(hero, kStMana, 23);
    gun->countdown = 0;
    Shoot(hero, t);
    EXPECT_EQ(gun->countdown, gun->period);
    EXPECT_EQ(StatGet(hero, kStMana), 23);
    // With the doubler every shot hits, twice.
    heroCombat.spellDoubler = 1;
    hero->unitExpRang = 1;
    for (int i = 0; i < 60; ++i) {
        StatSet(hero, kStMana, 150);
        StatSet(t, kStNormHP, 60);
        gun->countdown = 0;
        Shoot(hero, t);
        ASSERT_GT(heroCombat.lastShotDmg, 0);
        EXPECT_EQ(60 - StatGet(t, kStNormHP), heroCombat.lastShotDmg);
    }
    // A walking rank 1 monster misses a rank 1 target half the time.
    heroCombat.spellDoubler = 0;
    Fgr* dog = Monster(5, hero->x + 20, hero->z);
    dog->onPath = 1;
    progress.invulnerable = 0;
    int hits = 0;
    for (int i = 0; i < 2000; ++i) {
        StatSet(hero, kStNormHP, 300);
        dog->guns->countdown = 0;
        Shoot(dog, hero);
        hits += StatGet(hero, kStNormHP) < 300;
    }
    EXPECT_NEAR(hits / 20.0, 50.0, 4.0);
}

TEST_F(CombatTest, FreshMonsterWaitsOneReloadThenBites) {
    Fgr* hero = Hero();
    Fgr* dog = Monster(5, hero->x + 20, hero->z);
    ASSERT_EQ(dog->guns->countdown, 5500);
    int frames = 0;
    while (frames < 400 && StatGet(hero, kStNormHP) == 300) {
        Frames(1);
        ++frames;
    }
    EXPECT_GE(frames * 50, 5500);
    EXPECT_LT(frames, 400);
}

TEST_F(CombatTest, RewardsOfTheHeroesKills) {
    Fgr* hero = Hero();
    struct Case { int heroRank, type, exp; bool drop; };
    for (const Case c : {Case{9, 8, 0, false}, Case{5, 11, 33, false}, Case{1, 11, 100, true}}) {
        hero->unitExpRang = c.heroRank;
        hero->unitExpNow = 0;
        hero->unitExpNext = 100000;
        Fgr* m = Monster(c.type, hero->x + 100, hero->z);
        m->firstHitBy = hero->serial;
        int bagsBefore = 0, bagsAfter = 0;
        for (int s = 1; s <= kFigureSlots; ++s) bagsBefore += FigureTable[s].fgrKind == kKindLoot;
        StatSet(m, kStNormHP, 0);
        MonsterThink(m);
        MonsterThink(m);
        for (int s = 1; s <= kFigureSlots; ++s) bagsAfter += FigureTable[s].fgrKind == kKindLoot;
        EXPECT_EQ(hero->unitExpNow, c.exp) << c.heroRank << " vs " << c.type;
        EXPECT_EQ(bagsAfter - bagsBefore, c.drop ? 1 : 0);
        EXPECT_EQ(m->firstHitBy, 0);
    }
    // The wolf's last bite comes once at most, however long the body stays.
    hero->unitExpRang = 1;
    StatSet(hero, kStNormHP, 300);
    int bites = 0;
    for (int i = 0; i < 40; ++i) {
        Fgr* wolf = Monster(11, hero->x, hero->z);
        StatSet(wolf, kStNormHP, 0);
        for (int f = 0; f < 20; ++f) {
            const int hp = StatGet(hero, kStNormHP);
            MonsterThink(wolf);
            bites += StatGet(hero, kStNormHP) < hp;
            StatSet(hero, kStNormHP, 300);
        }
        FgrRemove(wolf);
    }
    EXPECT_GT(bites, 8);
    EXPECT_LT(bites, 32);
}

TEST_F(CombatTest, RanksInvulnerabilityStatPointsAndRegeneration) {
    Fgr* hero = Hero();
    const int table[] = {400, 640, 1024, 1638, 2620, 4192, 6707, 10731};
    for (int r = 1; r <= 8; ++r) {
        EXPECT_EQ(hero->unitExpRang, r);
        EXPECT_EQ(hero->unitExpNext, table[r - 1]);
        AddHeroExp(hero->unitExpNext + 5000);   // one rank per call, the rest is lost
        EXPECT_EQ(hero->unitExpNow, 0);
    }
    AddHeroExp(50000);
    EXPECT_EQ(hero->unitExpRang, 9);
    EXPECT_EQ(hero->unitExpNow, 50000);
    EXPECT_EQ(heroCombat.abilPoints, 8);
    EXPECT_EQ(progress.statPoints, 16);
    EXPECT_EQ(progress.regenHit, 18);

    // 350 with 300 gathered at rank 1: one rank, 0 left, 640 next.
    Fgr* h2 = Hero(120, 120);
    h2->unitExpNow = 300;
    AddHeroExp(350);
    EXPECT_EQ(h2->unitExpRang, 2);
    EXPECT_EQ(h2->unitExpNow, 0);
    EXPECT_EQ(h2->unitExpNext, 640);
    // Invulnerable for 5000 ms after the rank-up.
    Fgr* src = Source(kStNormHP, 10);
    DealHit(nullptr, nullptr, src, h2);
    EXPECT_EQ(StatGet(h2, kStNormHP), 300);
    for (int i = 0; i < 100; ++i) ProgressionTimers();
    EXPECT_EQ(progress.invulnerable, 0);
    DealHit(nullptr, nullptr, src, h2);
    EXPECT_EQ(StatGet(h2, kStNormHP), 290);

    // Two Blood points on one day: +100 at the next and a full refill.
    progress.statPoints = 2;
    SpendStat(3);
    SpendStat(3);
    SpendStat(3);
    EXPECT_EQ(progress.bloodPoints, 3);
    EXPECT_EQ(StatGet(h2, kStNormHPMax), 300);
    ApplyStatPoints();
    EXPECT_EQ(progress.bloodBase, 400);
    EXPECT_EQ(StatGet(h2, kStNormHPMax), 400);
    EXPECT_EQ(StatGet(h2, kStNormHP), 400);
    EXPECT_EQ(FgrStats(h2)[StatLowOf(kStNormHPMax)], 300);

    // Below 10 blood no hit points come back; Hot and mana still do. A Hot
    // below 3 panics until it is back at 100.
    StatSet(h2, kStNormHP, 9);
    StatSet(h2, kStHot, 2);
    StatSet(h2, kStMana, 0);
    h2->regenCountdown = 1;
    HeroRegen(h2);
    EXPECT_EQ(StatGet(h2, kStNormHP), 9);
    EXPECT_EQ(StatGet(h2, kStHot), 2 + progress.regenHot);
    EXPECT_EQ(StatGet(h2, kStMana), progress.regenMana);
    EXPECT_EQ(h2->panic, 1);
    StatSet(h2, kStHot, 99);
    HeroRegen(h2);
    EXPECT_EQ(h2->panic, 1);
    StatSet(h2, kStHot, 100);
    HeroRegen(h2);
    EXPECT_EQ(h2->panic, 0);
}

TEST_F(CombatTest, VisibilityListsPlacementAndBands) {
    Fgr* hero = Hero();
    Fgr* near = Monster(5, hero->x + 40, hero->z);     // within the hero's 60
    Fgr* far = Monster(5, hero->x + 300, hero->z);
    Fgr* wild = Monster(7, hero->x + 80, hero->z);     // drunkard: sees the hero at 90
    VisibilityUpdate();
    EXPECT_EQ(near->visibleToPlayer, 1);
    EXPECT_EQ(far->visibleToPlayer, 0);
    EXPECT_EQ(wild->visibleToPlayer, 0);
    ASSERT_EQ(visibleEnemies.count[1], 1);
    EXPECT_EQ(visibleEnemies.enemy[1][0], hero);
    ASSERT_EQ(visibleEnemies.count[2], 1);
    EXPECT_EQ(visibleEnemies.enemy[2][0], near);
    EXPECT_EQ(near->targetable, 1);

    // Placing again: the hero moves to the nearest free walkable cell.
    const int taken = KleAt(hero->x, hero->z) + 1;
    masKle.m[taken].fgrMove = near;
    near->x = masKle.m[taken].x + 5;
    const int placed = FgrPlaceNear(hero, masKle.m[taken].x + 5, masKle.m[taken].z + 5);
    EXPECT_EQ(std::max(std::abs(KleRow(placed) - KleRow(taken)), std::abs(KleCol(placed) - KleCol(taken))), 1);
    EXPECT_EQ(KleAt(hero->x, hero->z), placed);
    EXPECT_EQ(masKle.m[placed].fgrMove, hero);

    // A band resolves to its nearest living member; a new day's band has
    // one of each kind, translucent, and the lair's old monsters go.
    fgrLairForest = MakeAt(kKindLairForest, KleIndex(150, 150));
    fgrLairForest->groupNumber = 601;
    fgrLairForest->homeCell = KleIndex(150, 155);
    FgrSetSide(fgrLairForest, 4);
    for (int i = 0; i < kLairSlots; ++i) fgrLairForest->lairDest[i] = KleIndex(150, 160 + i);
    pBos = Monster(13, 2000, 2000);
    SpiritSpawn(kKindLairForest, fgrLairForest);
    int slotted = 0;
    for (int s : fgrLairForest->lairSlot) slotted += s != 0;
    EXPECT_EQ(slotted, 1);
    NewDayLair(fgrLairForest);
    for (int s : fgrLairForest->lairSlot) EXPECT_EQ(s, 0);
    Fgr* band = nullptr;
    for (int s = 1; s <= kFigureSlots; ++s)
        if (FigureTable[s].fgrKind == kKindBand) band = &FigureTable[s];
    ASSERT_NE(band, nullptr);
    int members = 0;
    for (Fgr* m = band->members; m; m = m->next) {
        ++members;
        EXPECT_EQ(m->colour[kColA], 200);
        EXPECT_EQ(m->owner, band);
        EXPECT_EQ(m->attachRole, kRoleMember);
    }
    EXPECT_EQ(members, 2);
    EXPECT_NE(FightableOf(band), nullptr);
    EXPECT_EQ(FightableOf(band)->owner, band);
}

