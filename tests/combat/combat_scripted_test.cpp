// Whole fights through the real frame loop (script backend, offscreen GL,
// virtual clock of 100 ms frames, scripted mouse and keys) on the start
// location.
#include <cmath>

#include "../rules/rules_fixture.h"
#include "../scripted/step_run.h"
#include "world/placement.h"

namespace {

constexpr unsigned kExtraMsPerFrame = 98;

float Away(const Fgr* a, const Fgr* b) { return std::hypot(a->x - b->x, a->z - b->z); }

using Fights = StepRun;

// The nearest dog, clicked, then key 3 (the shot, which turns auto-attack
// on): lightning alone kills it. Meanwhile the lairs send their spirits:
// the first at once, the next after 24 s and 37 s. Then a wild dog kills
// the idle hero, who lies still: a right click on the map does not walk him.
TEST_F(Fights, HeroKillsTheDogWithLightningAloneThenAWildDogKillsHimIdle) {
    const std::string won = "Герой победил врага (Собака 1R)"_w;
    Fgr* dog = nullptr;
    int first[2] = {-1, -1}, second[2] = {-1, -1};   // forest, water
    int exp = 0, hp = 0;
    float deadX = 0, deadZ = 0;
    everyFrame = [&](int swap) {
        const Fgr* lairs[2] = {fgrLairForest, fgrLairWater};
        for (int i = 0; i < 2 && lairs[0] && lairs[1]; ++i) {
            int sent = 0;
            for (int s : lairs[i]->lairSlot) sent += s != 0;
            if (first[i] < 0 && sent >= 1) first[i] = swap;
            if (second[i] < 0 && sent >= 2) second[i] = swap;
        }
    };
    Frames(25);
    Do([&] {
        for (Fgr& f : FigureTable)
            if (f.fgrKind && f.fgrKind != kKindNpc && f.fgrClass == kClassUnit && f.unitType == 5 &&
                (!dog || Away(&f, fgrMainHero) < Away(dog, fgrMainHero)))
                dog = &f;
        ASSERT_NE(dog, nullptr);
    });
    ClickFigure(dog);
    Do([&] { EXPECT_EQ(selection[0], dog); });
    Key('3');
    Do([] { EXPECT_EQ(heroCombat.autoAttack, 1); });
    WaitFor([&] { return dog->dead || dog->fgrKind == 0; });
    WaitFor([&] { return feed.count(won) && second[1] >= 0; });
    Do([&] {
        exp = fgrMainHero->unitExpNow, hp = StatGet(fgrMainHero, kStNormHP);
        heroCombat.autoAttack = 0, selectionCount = 0;
        ASSERT_NE(SpawnMonster(6, fgrMainHero->x + 60, fgrMainHero->z + 30, 0), nullptr);
    });
    WaitFor([] { return fgrMainHero->dead != 0; });
    Do([&] { deadX = fgrMainHero->x, deadZ = fgrMainHero->z; });
    ClickAt([](int* x, int* y) { *x = 200, *y = winHeight - 201; }, VK_RBUTTON);
    Frames(40);
    ASSERT_TRUE(Play("fight_dog", 3500, kExtraMsPerFrame));
    EXPECT_EQ(std::pair(feed.count("Герою добавлен опыт (100)"_w), exp), std::pair(std::size_t(1), 100));
    EXPECT_GT(hp, 200);
    EXPECT_TRUE(first[0] <= 5 && first[1] <= 5) << first[0] << " " << first[1];
    EXPECT_NEAR(second[0] - first[0], 240, 3);
    EXPECT_NEAR(second[1] - first[1], 370, 3);
    // He lies where he died.
    EXPECT_EQ(std::tuple(fgrMainHero->dead != 0, StatGet(fgrMainHero, kStNormHP), fgrMainHero->fgrKind),
              std::tuple(true, 0, int(kKindHero)));
    EXPECT_EQ(std::pair(fgrMainHero->x, fgrMainHero->z), std::pair(deadX, deadZ));
    HeroRevive();
    EXPECT_FALSE(fgrMainHero->dead);
}

// The demon, made active and shot once, makes the hero its target and
// chases him while he walks at 1/2.5 speed; wolves walk to it once it is
// below half its NormHP^.
TEST_F(Fights, ShotDemonChasesTheSlowedHeroAndWolvesGatherWhenItWeakens) {
    int mark = 0, walkFrames = 0;
    float wolfDist0 = 0, walked = 0, lastX = 0, lastZ = 0;
    Fgr* wolf = nullptr;
    Do([] {
        ASSERT_NE(pBos, nullptr);
        pBos->active = 1;
        FgrPlaceNear(fgrMainHero, pBos->x - 50, pBos->z);
        StatSet(fgrMainHero, kStMana, 150);
        selection[0] = pBos, selectionCount = 1, heroCombat.actionCooldown = 0;
        HeroAction(3);
    });
    WaitFor([] { return pBos->target1 == fgrMainHero; });
    Do([&] {   // shot once: walk away west
        HeroAction(3);
        heroCombat.autoAttack = 0;
        FgrMoveOrder(fgrMainHero, KleAt(fgrMainHero->x, fgrMainHero->z) - 25, 0);
        lastX = fgrMainHero->x, lastZ = fgrMainHero->z, mark = Swap();
    });
    Then([&] {
        const Fgr* hero = fgrMainHero;
        if (hero->onPath) walked += std::hypot(hero->x - lastX, hero->z - lastZ), ++walkFrames;
        lastX = hero->x, lastZ = hero->z;
        return Swap() > mark + 60;
    });
    Do([&] {
        EXPECT_EQ(pBos->target1, fgrMainHero);
        EXPECT_TRUE(pBos->onPath || Away(pBos, fgrMainHero) < 100) << "chases";
        StatSet(pBos, kStNormHP, StatGet(pBos, kStNormHPMax) / 2 - 1);
        ASSERT_NE(wolf = SpawnMonster(11, pBos->x + 150, pBos->z, 0), nullptr);
        wolfDist0 = Away(wolf, pBos);
    });
    Frames(80);
    ASSERT_TRUE(Play("fight_demon", 600, kExtraMsPerFrame));
    ASSERT_GT(walkFrames, 10);
    // 0.02 units per ms, divided by 2.5, over 100 ms frames: 0.8 per frame.
    EXPECT_NEAR(walked / float(walkFrames), 0.8f, 0.15f);
    EXPECT_LT(Away(wolf, pBos), wolfDist0 - 40.0f);
}

// A new day's band (one wolf, one spirit, the lair's old spirits gone): its
// wolf, clicked (which selects the band) and auto-attacked, takes the damage.
TEST_F(Fights, BandWolfClickedAndAutoAttackedTakesTheDamage) {
    Fgr *band = nullptr, *wolf = nullptr;
    int hp0 = 0, members = 0;
    Frames(7);
    Do([&] {
        ASSERT_NE(fgrLairForest, nullptr);
        NewDayLair(fgrLairForest);
        for (int s : fgrLairForest->lairSlot) EXPECT_EQ(s, 0);
        for (Fgr& f : FigureTable) band = f.fgrKind == kKindBand ? &f : band;
        ASSERT_NE(band, nullptr);
        for (Fgr* m = band->members; m; m = m->next, ++members)
            if (m->unitType == 11) wolf = m;
        ASSERT_NE(wolf, nullptr);
        StopPath(wolf);
        FgrPlaceNear(fgrMainHero, wolf->x - 40, wolf->z);
        StatSet(fgrMainHero, kStMana, 150);
        hp0 = StatGet(wolf, kStNormHP);
    });
    Then([&] {   // the camera settles on the hero; the wolf waits
        StopPath(wolf);
        return Swap() >= 16;
    });
    ClickFigure(wolf);
    Do([&] { EXPECT_EQ(std::pair(selectionCount, selection[0]), std::pair(1, band)); });
    Key('3');
    WaitFor([&] { return StatGet(wolf, kStNormHP) < hp0 || wolf->dead; });
    ASSERT_TRUE(Play("fight_band", 400, kExtraMsPerFrame));
    EXPECT_EQ(members, 2);
}

}  // namespace
