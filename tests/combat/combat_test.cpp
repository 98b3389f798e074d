// Combat and progression rules where they can break: filter stages,
// experience, panic, auras, strikes, crits, shots, rewards, ranks, stat
// points, regeneration, and the trace of one fight.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <tuple>

#include "../rules/rules_fixture.h"

namespace {

// Lowest and highest of n draws.
template <class F>
std::pair<int, int> Range(int n, F draw) {
    std::pair<int, int> s{INT_MAX, INT_MIN};
    for (int i = 0; i < n; ++i) {
        const int v = draw();
        s = {std::min(s.first, v), std::max(s.second, v)};
    }
    return s;
}

// Percent of n tries that come true.
template <class F>
double Percent(int n, F tried) {
    int yes = 0;
    for (int i = 0; i < n; ++i) yes += tried();
    return 100.0 * yes / n;
}

// A plain walkable map, every rule record at its start, a fixed seed and the
// log in a private file.
class CombatTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRules(), FillPlainGround(), KleSetCorners(), PathRebuild(), CombatInstall();
        frameDeltaMs = 50;
        std::remove(logPath.c_str()), LogSetPath(logPath.c_str());
    }
    void TearDown() override { LogReset(), LogSetPath(nullptr), std::remove(logPath.c_str()); }
    std::string Log() const { return ReadText(logPath); }
    static Fgr* Hero(int row = 100, int col = 100) {
        fgrMainHero = CreateHero(KleIndex(row, col), 0);
        fgrMainHero->bornNow = 0;
        return fgrMainHero;
    }
    static Fgr* Monster(int type, float x, float z) {
        Fgr* m = SpawnMonster(type, x, z, 0);
        if (m) m->bornNow = 0;
        return m;
    }
    // A bare fighting unit with a stat block and no filters.
    static Fgr* Dummy(int hp, int rank, int side = 1) {
        Fgr* m = Fgrs_AddUnitHPGun(kKindUnitDog, hp, kKindGun416, 30, 1000, side, 505.0f, 505.0f, 0);
        m->unitExpRang = rank, m->useNormHP = 1;
        return m;
    }
    // A hit source with one entry.
    static Fgr* Source(int code, int amount, int subtract = 1, int useAttacker = 0) {
        Fgr* g = FgrCreateFigure(kKindGun1001, 0, 0);
        g->kor.pe->count = g->kor.pKu->count = 0;
        PeAdd(g->kor.pe, code, amount, subtract, 0, useAttacker);
        return g;
    }
    // NormHP one hit takes from a target standing at 100.
    static int Damage(Fgr* atk, const PBufRec* filters, Fgr* src, Fgr* t) {
        StatSet(t, kStNormHP, 100);
        DealHit(atk, filters, src, t);
        return 100 - StatGet(t, kStNormHP);
    }
    static void AddReception(Fgr* t, int code, int value, int spread) {
        t->kor.pBuf->e[t->kor.pBuf->count++] =
            FilterEntry{value, std::uint16_t(code), std::uint8_t(spread), 1, 1, 3};
    }
    const std::string logPath = testing::TempDir() + "bd_combat_" + std::to_string(getpid()) + ".txt";
};

TEST_F(CombatTest, FilterStagesSpreadTruncationAndClamps) {
    Fgr* t = Dummy(100, 1);
    // A reception filter of -50 percent leaves 5 of 10 with spread 0, 5..8 with spread 25.
    for (auto [spread, low, high] : {std::tuple{0, 5, 5}, {25, 5, 8}}) {
        ClearFilters(t->kor.pBuf);
        AddReception(t, kStNormHP, -50, spread);
        Fgr* src = Source(kStNormHP, 10);
        EXPECT_EQ(Range(300, [&] { return Damage(nullptr, nullptr, src, t); }), std::pair(low, high)) << spread;
    }
    // Two +20 percent filters of one stage take their share of one base: 14.
    PBufRec atk{};
    for (int i = 0; i < 2; ++i) atk.e[atk.count++] = FilterEntry{20, kStNormHP, 100, 1, 1, 2};
    ClearFilters(t->kor.pBuf);
    EXPECT_EQ(Damage(nullptr, &atk, Source(kStNormHP, 10, 1, 1), t), 14);
    // A filter cannot heal.
    AddReception(t, kStNormHP, -200, 0);
    EXPECT_EQ(Damage(nullptr, nullptr, Source(kStNormHP, 10), t), 0);
    ClearFilters(t->kor.pBuf);
    // Aliases lower NormHP but only code 1 counts into dmgNormSum.
    hitPipe.dmgNormSum = 0;
    DealHit(nullptr, nullptr, Source(kStGoldNorm, 6), t);
    DealHit(nullptr, nullptr, Source(kStSilvNorm, 4), t);
    EXPECT_EQ(std::pair(StatGet(t, kStNormHP), hitPipe.dmgNormSum), std::pair(90, 0));
    DealHit(nullptr, nullptr, Source(kStNormHP, 3), t);
    EXPECT_EQ(hitPipe.dmgNormSum, 3);
    // Clamps: at 0 and the maximum; a maximum stays within its own pair.
    FgrStats(t)[StatLowOf(kStManaMax)] = 10;
    FgrStats(t)[StatHighOf(kStManaMax)] = 40;
    for (auto [code, amount, subtract, left] : {std::tuple{kStNormHP, 500, 1, 0}, {kStNormHP, 500, 0, 100},
                                                {kStManaMax, 90, 0, 40}, {kStManaMax, 90, 1, 10}}) {
        DealHit(nullptr, nullptr, Source(code, amount, subtract), t);
        EXPECT_EQ(StatGet(t, code), left) << code << " " << subtract;
    }
    // A target without a stat block: no effect, no crash.
    DealHit(t, nullptr, Source(kStNormHP, 10), MakeLoot(4, KleIndex(60, 60)));
}

TEST_F(CombatTest, ExperienceOfNonHeroAttackersAndThePanicSet) {
    Fgr* atk = Dummy(100, 1, 3);
    for (auto [moveMode, norm, capt, exp] : {std::tuple{3, 40, 10, 75}, {0, 40, 10, 150}, {3, 150, 0, 150}}) {
        Fgr* t = Dummy(500, 3);
        t->useCaptHP = 1, t->moveMode = moveMode;
        FgrStats(t)[kStCaptHPMax] = FgrStats(t)[kStCaptHP] = 500;
        Fgr* src = Source(kStNormHP, norm);
        PeAdd(src->kor.pe, kStCaptHP, capt, 1, 0, 0);
        atk->unitExpNow = 0;
        DealHit(atk, atk->kor.pBuf, src, t);
        EXPECT_EQ(atk->unitExpNow, exp) << norm << " " << moveMode;
    }
    // A target of rank 0 takes the damage but gives nothing and writes no trace.
    atk->unitExpNow = 0;
    const std::string before = Log();
    EXPECT_EQ(Damage(atk, atk->kor.pBuf, Source(kStNormHP, 30), Dummy(100, 0)), 30);
    EXPECT_EQ(std::pair(atk->unitExpNow, Log()), std::pair(0, before));
    // Panic replaces the attacker's filters: its blow of 10 takes 5..8.
    PKuAdd(atk->kor.pKu, kStNormHP, 80, 1, 100, 2);
    atk->panic = 1;
    AuraPass(atk);
    Fgr* t = Dummy(100, 1);
    Fgr* blow = Source(kStNormHP, 10, 1, 1);
    EXPECT_EQ(Range(100, [&] { return Damage(atk, atk->kor.pBuf, blow, t); }), std::pair(5, 8));
}

TEST_F(CombatTest, AuraModesAndCaps) {
    // Owner on side 3 with group 601 carries an emitter on its filter chain.
    Fgr* owner = Dummy(100, 1, 3);
    owner->groupNumber = 601;
    Fgr* em = Source(kStNormHP, 0);
    em->kor.pe->count = 0;   // no hit list yet
    PKuAdd(em->kor.pKu, kStNormHP, -30, 1, 100, 3);
    em->reach = 40;
    ASSERT_TRUE(AttachByRole(owner, em, kRoleFilterChain));
    EXPECT_FALSE(AttachByRole(owner, em, kRoleFilterChain));
    const struct { int mode, side, group; bool affected; } cases[] = {
        {1, 1, 0, true}, {2, 3, 0, true}, {2, 1, 0, false}, {3, 1, 0, true},
        {3, 3, 0, false}, {4, 1, 601, true}, {4, 3, 0, false}, {5, 1, 0, false}};
    for (const auto& c : cases) {
        Fgr* f = Dummy(100, 1, c.side);
        f->groupNumber = c.group;
        em->auraMode = c.mode;
        AuraBeginFrame();
        AuraRegisterOf(owner);
        AuraPass(f);
        AuraPass(owner);   // never affected itself
        EXPECT_EQ(std::pair(f->tactic, owner->tactic), std::pair(int(c.affected), 0)) << c.mode << " " << c.side;
        FgrRemove(f);
    }
    // Caps: 450 registrations a frame, 50 pending hits a pass.
    AuraBeginFrame();
    for (int i = 0; i < 460; ++i) {
        Fgr* o = Dummy(50, 1, 4);
        Fgr* e = FgrCreateFigure(kKindGun1001, 0, 0);   // the filter pool runs short: no Source
        PeAdd(e->kor.pe, kStNormHP, 1, 1, 0, 0);
        e->auraMode = e->countdown = 1;
        e->reach = 40, e->period = 100000;
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
    for (auto [heroRank, targetType, percent] : {std::tuple{3, 5, 80}, {1, 5, 75}, {1, 6, 50}, {9, 10, 20}}) {
        hero->unitExpRang = heroRank;
        Fgr* t = Monster(targetType, hero->x + 10, hero->z);
        selection[0] = t, selectionCount = 1;
        FgrStats(t)[kStNormHPMax] = 1000;
        EXPECT_NEAR(Percent(2000, [&] {
                        StatSet(t, kStNormHP, 1000);
                        heroCombat.strikeCooldown = 0;
                        HeroStrike();
                        return StatGet(t, kStNormHP) < 1000;
                    }),
                    percent, 4.0)
            << heroRank << " vs " << targetType;
        FgrRemove(t);
    }
    hero->unitExpRang = 3;
    Fgr* t = Monster(6, hero->x + 10, hero->z);
    // Crit: a percent of 0 spends nothing; with Anger points a combo strike
    // always crits and spends 32 mana, which it needs.
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

TEST_F(CombatTest, ShotReloadManaTheDoublerAndTheFreshMonstersWait) {
    Fgr* hero = Hero();
    Fgr* gun = hero->guns;
    Fgr* t = Monster(5, hero->x + 30, hero->z);
    FgrStats(t)[kStNormHPMax] = 1000;
    for (auto [rank, low, high] : {std::tuple{1, 300, 999}, {2, 200, 750}, {3, 100, 500}, {7, 0, 250}}) {
        hero->unitExpRang = rank;
        const auto [lo, hi] = Range(400, [&] {
            StatSet(hero, kStMana, 150);
            StatSet(t, kStNormHP, 60);
            gun->countdown = 0;
            Shoot(hero, t);
            return gun->countdown - gun->period;
        });
        EXPECT_TRUE(lo >= low && lo < low + 40 && hi <= high && hi > high - 40) << rank << ": " << lo << ".." << hi;
    }
    // Too little mana: the gun waits a whole period, nothing is spent.
    StatSet(hero, kStMana, 23);
    gun->countdown = 0;
    Shoot(hero, t);
    EXPECT_EQ(std::pair(gun->countdown, StatGet(hero, kStMana)), std::pair(gun->period, 23));
    // With the doubler every shot hits, twice.
    heroCombat.spellDoubler = 1, hero->unitExpRang = 1;
    for (int i = 0; i < 60; ++i) {
        StatSet(hero, kStMana, 150);
        StatSet(t, kStNormHP, 60);
        gun->countdown = 0;
        Shoot(hero, t);
        ASSERT_GT(heroCombat.lastShotDmg, 0);
        ASSERT_EQ(60 - StatGet(t, kStNormHP), heroCombat.lastShotDmg);
    }
    heroCombat.spellDoubler = 0;
    // A fresh monster waits one whole reload before its first bite.
    FgrRemove(t);
    progress.invulnerable = 0;
    StatSet(hero, kStNormHP, 300);
    Fgr* fresh = Monster(5, hero->x + 20, hero->z);
    ASSERT_EQ(fresh->guns->countdown, 5500);
    int frames = 0;
    for (; frames < 400 && StatGet(hero, kStNormHP) == 300; ++frames) {
        gameClockMs += frameDeltaMs;
        WorldStepRun(1);
    }
    EXPECT_TRUE(frames * 50 >= 5500 && frames < 400) << frames;
}

TEST_F(CombatTest, RewardsOfTheHeroesKills) {
    Fgr* hero = Hero();
    auto bags = [] {
        return int(std::count_if(FigureTable + 1, FigureTable + kFigureSlots + 1,
                                 [](const Fgr& f) { return f.fgrKind == kKindLoot; }));
    };
    for (auto [heroRank, type, exp, drop] : {std::tuple{9, 8, 0, 0}, {5, 11, 33, 0}, {1, 11, 100, 1}}) {
        hero->unitExpRang = heroRank, hero->unitExpNow = 0, hero->unitExpNext = 100000;
        Fgr* m = Monster(type, hero->x + 100, hero->z);
        m->firstHitBy = hero->serial;
        const int before = bags();
        StatSet(m, kStNormHP, 0);
        MonsterThink(m);
        MonsterThink(m);
        EXPECT_EQ(std::tuple(hero->unitExpNow, bags() - before, m->firstHitBy), std::tuple(exp, drop, 0))
            << heroRank << " vs " << type;
    }
}

TEST_F(CombatTest, RanksInvulnerabilityStatPointsAndRegeneration) {
    Fgr* hero = Hero();
    const int table[] = {400, 640, 1024, 1638, 2620, 4192, 6707, 10731};
    for (int r = 1; r <= 8; ++r) {
        EXPECT_EQ(std::pair(hero->unitExpRang, hero->unitExpNext), std::pair(r, table[r - 1]));
        AddHeroExp(hero->unitExpNext + 5000);   // one rank per call, the rest is lost
        EXPECT_EQ(hero->unitExpNow, 0);
    }
    AddHeroExp(50000);
    EXPECT_EQ(std::tuple(hero->unitExpRang, hero->unitExpNow, heroCombat.abilPoints, progress.statPoints,
                         progress.regenHit),
              std::tuple(9, 50000, 8, 16, 18));

    // 350 with 300 gathered at rank 1: one rank, 0 left, 640 next.
    Fgr* h2 = Hero(120, 120);
    h2->unitExpNow = 300;
    AddHeroExp(350);
    EXPECT_EQ(std::tuple(h2->unitExpRang, h2->unitExpNow, h2->unitExpNext), std::tuple(2, 0, 640));
    // Invulnerable for 5000 ms after the rank-up.
    Fgr* src = Source(kStNormHP, 10);
    DealHit(nullptr, nullptr, src, h2);
    EXPECT_EQ(StatGet(h2, kStNormHP), 300);
    for (int i = 0; i < 100; ++i) ProgressionTimers();
    DealHit(nullptr, nullptr, src, h2);
    EXPECT_EQ(std::pair(progress.invulnerable, StatGet(h2, kStNormHP)), std::pair(0, 290));

    // Two Blood points on one day (a third refused): +100 at the next and a full refill.
    progress.statPoints = 2;
    for (int i = 0; i < 3; ++i) SpendStat(3);
    EXPECT_EQ(std::pair(progress.bloodPoints, StatGet(h2, kStNormHPMax)), std::pair(3, 300));
    ApplyStatPoints();
    EXPECT_EQ(std::tuple(progress.bloodBase, StatGet(h2, kStNormHPMax), StatGet(h2, kStNormHP),
                         FgrStats(h2)[StatLowOf(kStNormHPMax)]),
              std::tuple(400, 400, 400, 300));

    // Below 10 blood no hit points come back; Hot and mana still do. A Hot
    // below 3 panics until it is back at 100.
    for (auto [stat, value] : {std::pair{kStNormHP, 9}, {kStHot, 2}, {kStMana, 0}}) StatSet(h2, stat, value);
    h2->regenCountdown = 1;
    HeroRegen(h2);
    EXPECT_EQ(std::tuple(StatGet(h2, kStNormHP), StatGet(h2, kStHot), StatGet(h2, kStMana)),
              std::tuple(9, 2 + progress.regenHot, progress.regenMana));
    for (auto [hot, panic] : {std::pair{2, 1}, {99, 1}, {100, 0}}) {
        StatSet(h2, kStHot, hot);
        HeroRegen(h2);
        EXPECT_EQ(h2->panic, panic) << hot;
    }
}

// The trace of one short fight, line by line against the text the game must
// write (Windows-1251 bytes, kept in data/).
TEST_F(CombatTest, TraceOfOneFightMatchesTheExpectedText) {
    Fgr* hero = Hero();
    ASSERT_TRUE(AttachByRole(hero, MakeHandItem(kHandSword, 2, 12), kRoleInHand));
    Fgr* dog = Monster(5, hero->x + 20, hero->z);
    FgrSetName(dog, "Rex");
    AuraPass(hero);
    AuraPass(dog);
    // A lightning hit, then after a pause the dog bites back.
    for (auto [clock, a, b] : {std::tuple{100, hero, dog}, {12000, dog, hero}}) {
        gameClockMs = clock;
        DealHit(a, a->kor.pBuf, a->guns, b);
    }
    const std::string want = ReadText(BD_TRACE_EXPECTED);
    ASSERT_FALSE(want.empty()) << BD_TRACE_EXPECTED;
    EXPECT_EQ(Log(), want);   // gtest shows a line diff
}

}  // namespace
