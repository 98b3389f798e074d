// Map interaction without a window: hover, selection, orders, hero keys and
// the hero's walk, driven through the input state the frame would leave.
#include <gtest/gtest.h>

#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/random.h"
#include "app/signals.h"
#include "platform/platform.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

constexpr int Cell(int row, int col) { return row * 256 + col; }

void DrawNothing(Fgr*) {}

struct Interaction : ::testing::Test {
    Fgr* hero = nullptr;

    void SetUp() override {
        FrameReset();
        InputReset();
        SigReset();
        WorldReset();
        PathReset();
        InteractionReset();
        RandSeed(3);
        winWidth = 800;
        winHeight = 600;
        CameraReset();
        // Open ground with a strip of deep water at row 60.
        for (int k = 0; k < kKleCount; ++k)
            if (KleInterior(k)) {
                masKle.m[k].landType = kLandGround;
                if (KleRow(k) == 60) masKle.m[k].landType = kLandDeepWater;
            }
        // Everything a player can point at is drawn.
        for (int kind : {kKindHero, kKindNpc, kKindUnitDog, kKindUnitBandit, kKindBand})
            FgrSetKindOps(kind, nullptr, DrawNothing, nullptr);
        hero = CreateHero(Cell(50, 50), 0);
        ASSERT_NE(hero, nullptr);
        fgrMainHero = hero;
        FollowHero(hero);   // the camera centres on him
        PathRebuild();
        frameDeltaMs = 10;
        frameDeltaF = 10.0f;
    }
    void TearDown() override {
        WorldReset();
        InteractionReset();
        SigReset();
    }
    // Cursor over a world point (the foot point of figures sits at the
    // bottom of their picking box, so aim a little above it).
    static void PointAt(float wx, float wz) {
        float sx, sy;
        WorldToScreen(wx, wz, &sx, &sy);
        cursorX = int(sx);
        cursorY = int(sy);
    }
    static void PointAtFigure(const Fgr* f) { PointAt(f->x, f->z - 0.5f * f->size); }
    static void Fire(int sig) { sigTable[sig].fired = 1; }
    // One frame in which signal sig fired (1 left click, 2 right click).
    static void Click(int sig, int clickTaken = 0) {
        sigTable[sig].fired = 1;
        WorldStepRun(clickTaken);
        ClearSignals();
    }
    static void ClearSignals() {
        for (Sig& s : sigTable) s.fired = 0;
    }
    static int Markers() {
        int n = 0;
        for (int s = 1; s <= kFigureSlots; ++s) n += FigureTable[s].fgrKind == kKindEffect;
        return n;
    }
    // Frames of the world step with no click.
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            WorldStepRun(0);
            ClearSignals();
        }
    }
};

TEST_F(Interaction, RightClickGroundWalksTheHeroAndLeavesAMarker) {
    const int target = Cell(52, 56);
    PointAt(565, 525);
    Click(2);
    EXPECT_EQ(rightClickCount, 1);
    EXPECT_EQ(hero->targPathKle, target);
    EXPECT_EQ(lastOrderX, 565);
    EXPECT_EQ(lastOrderZ, 525);
    EXPECT_EQ(Markers(), 1);
    // Planned in the same world step, not at the next rebuild.
    EXPECT_EQ(hero->onPath, 1);
    ClearSignals();
    // Walks the planned cells: every step a neighbour of the one before.
    int prev = KleAt(hero->x, hero->z);
    for (int i = 0; i < 2000 && hero->onPath; ++i) {
        Frames(1);
        const int now = KleAt(hero->x, hero->z);
        EXPECT_LE(std::abs(KleRow(now) - KleRow(prev)), 1);
        EXPECT_LE(std::abs(KleCol(now) - KleCol(prev)), 1);
        prev = now;
    }
    EXPECT_EQ(KleAt(hero->x, hero->z), target);
    // The camera followed him.
    EXPECT_NEAR(camX + camWidth / 2, hero->x, 0.5f);
}

TEST_F(Interaction, RightClickOutsideTheInteriorStopsTheHero) {
    FgrMoveOrder(hero, Cell(50, 70), 0);
    Frames(30);
    ASSERT_EQ(hero->onPath, 1);
    camX = -100.0f;   // the border column is in view
    PointAt(5, 500);
    Click(2);
    EXPECT_EQ(hero->targPathKle, 0);
    EXPECT_EQ(hero->onPath, 0);
    const float x = hero->x;
    Frames(20);
    EXPECT_EQ(hero->x, x);
}

TEST_F(Interaction, WidgetTakenClickNeverReachesTheMap) {
    PointAt(565, 525);
    Click(2, 1);
    EXPECT_EQ(rightClickCount, 0);
    EXPECT_EQ(hero->targPathKle, 0);
    EXPECT_EQ(Markers(), 0);
    PointAtFigure(hero);
    Click(1, 1);
    EXPECT_EQ(selectionCount, 0);
}

TEST_F(Interaction, LeftClickSelectsAUnitOrItsGroup) {
    Fgr* npc = FgrCreateFigure(kKindNpc, 545, 505);
    ASSERT_NE(npc, nullptr);
    npc->bornNow = 0;
    PointAtFigure(npc);
    Click(1);
    EXPECT_EQ(leftClickCount, 1);
    ASSERT_EQ(selectionCount, 1);
    EXPECT_EQ(selection[0], npc);
    ClearSignals();

    Fgr* band = FgrCreateFigure(kKindBand, 445, 505);
    Fgr* wolf = SpawnMonster(11, 445, 505, 0);
    ASSERT_TRUE(band && wolf);
    band->members = wolf;
    wolf->owner = band;
    Frames(1);   // both lose bornNow
    PointAtFigure(wolf);
    Click(1);
    ASSERT_EQ(selectionCount, 1);
    EXPECT_EQ(selection[0], band);
    ClearSignals();

    // Empty ground empties the selection.
    PointAt(600, 400);
    Click(1);
    EXPECT_EQ(selectionCount, 0);
}

TEST_F(Interaction, TalkClickRunsOnEveryLeftClick) {
    static int talks = 0;
    talks = 0;
    mapHooks.talkClick = [] { ++talks; };
    PointAt(600, 400);
    Click(1);
    EXPECT_EQ(talks, 1);
    ClearSignals();
    cursorX = viewX + viewWidth + 5;   // outside the view: counted, nothing else
    Click(1);
    EXPECT_EQ(leftClickCount, 2);
    EXPECT_EQ(talks, 1);
}

TEST_F(Interaction, RightClickWithTownspersonOrEnemySelectedWalksTheHero) {
    Fgr* npc = FgrCreateFigure(kKindNpc, 545, 505);
    FgrSetSide(npc, kSidePlayer);
    selection[0] = npc;
    selectionCount = 1;
    PointAt(565, 525);
    Click(2);
    EXPECT_EQ(hero->targPathKle, Cell(52, 56));
    EXPECT_EQ(npc->targPathKle, 0);
    ClearSignals();

    Fgr* dog = SpawnMonster(5, 445, 505, 0);
    ASSERT_NE(dog, nullptr);
    selection[0] = dog;
    PointAt(475, 525);
    Click(2);
    EXPECT_EQ(hero->targPathKle, Cell(52, 47));
    EXPECT_EQ(dog->targPathKle, 0);
}

TEST_F(Interaction, RightClickOrdersSelectedUnits) {
    // The hero selected: a right click on ground is a move order.
    selection[0] = hero;
    selectionCount = 1;
    PointAt(565, 525);
    Click(2);
    EXPECT_EQ(hero->targPathKle, Cell(52, 56));
    ClearSignals();

    // An enemy whose targetable word is 0 is ground: still a walk.
    Fgr* bandit = SpawnMonster(8, 535, 545, 0);
    ASSERT_NE(bandit, nullptr);
    Frames(1);
    PointAtFigure(bandit);
    Click(2);
    EXPECT_EQ(hero->target1, nullptr);
    EXPECT_EQ(hero->targPathKle, KleAt(bandit->x, bandit->z - 0.5f * bandit->size));
    ClearSignals();

    // Targetable: an attack order, marker at the target.
    bandit->targetable = 1;
    const int markers = Markers();
    PointAtFigure(bandit);
    Click(2);
    EXPECT_EQ(hero->target1, bandit);
    EXPECT_EQ(hero->target2, nullptr);
    EXPECT_EQ(Markers(), markers + 1);
}

TEST_F(Interaction, GroupAttackReachesAtMostThirtyActiveMembers) {
    Fgr* band = FgrCreateFigure(kKindBand, 300, 300);
    band->side = kSidePlayer;
    std::vector<Fgr*> members;
    Fgr* last = nullptr;
    for (int i = 0; i < 40; ++i) {
        Fgr* m = SpawnMonster(11, 300 + float(i % 8) * 10, 300 + float(i / 8) * 10, 0);
        ASSERT_NE(m, nullptr);
        FgrSetSide(m, kSidePlayer);
        m->owner = band;
        if (last) last->next = m; else band->members = m;
        last = m;
        members.push_back(m);
    }
    members[3]->active = 0;   // dormant members do not count
    Fgr* enemy = SpawnMonster(8, 545, 505, 0);
    enemy->targetable = 1;
    Frames(1);
    selection[0] = band;
    selectionCount = 1;
    PointAtFigure(enemy);
    Click(2);
    int ordered = 0;
    for (Fgr* m : members) ordered += m->target1 == enemy;
    EXPECT_EQ(ordered, 30);
    EXPECT_EQ(members[3]->target1, nullptr);
    EXPECT_EQ(members[30]->target1, enemy);   // the thirtieth active one
    EXPECT_EQ(members[31]->target1, nullptr);
}

TEST_F(Interaction, BuildingWithGatherCellTakesTheClickedCell) {
    Fgr* unit = SpawnMonster(11, 400, 400, 0);
    FgrSetSide(unit, kSidePlayer);
    unit->moveMode = 0;
    unit->targPathKle = Cell(30, 30);
    selection[0] = unit;
    selectionCount = 1;
    PointAt(565, 525);
    Click(2);
    EXPECT_EQ(unit->targPathKle, Cell(52, 56));
    EXPECT_EQ(hero->targPathKle, 0);
    EXPECT_EQ(Markers(), 1);
}

TEST_F(Interaction, HoverPicksOnlyWhatThePlayerMayTarget) {
    Fgr* dog = SpawnMonster(5, 545, 505, 0);
    Frames(1);
    PointAtFigure(dog);
    hoverTimerMs = 0;
    Frames(1);
    EXPECT_EQ(hoveredFigure, nullptr);   // not targetable
    dog->targetable = 1;
    Frames(1);
    EXPECT_EQ(hoveredFigure, nullptr);   // refreshed only every 300 ms
    Frames(30);
    EXPECT_EQ(hoveredFigure, dog);
    // Not while a mouse button is held.
    keyDown[VK_LBUTTON] = 1;
    PointAt(700, 400);
    Frames(40);
    EXPECT_EQ(hoveredFigure, dog);
    keyDown[VK_LBUTTON] = 0;
    Frames(40);
    EXPECT_EQ(hoveredFigure, nullptr);
}

TEST_F(Interaction, MinimapClickOnlyClosesTheMinimap) {
    cursorX = minimapX + 10;
    cursorY = minimapY + 10;
    Click(2);
    EXPECT_EQ(minimapShown, 0);
    EXPECT_EQ(rightClickCount, 0);
    EXPECT_EQ(hero->targPathKle, 0);
    ClearSignals();
    Fire(2);   // closed: the same place is map again
    WorldStepRun(0);
    EXPECT_EQ(rightClickCount, 1);
}

TEST_F(Interaction, EditorGetsTheRightClickAndTheDrag) {
    static std::vector<int> calls;
    calls.clear();
    editorOpen = 1;
    mapHooks.editorApplyTool = [](int drag) { calls.push_back(drag); };
    PointAt(565, 525);
    Click(2);
    ClearSignals();
    EXPECT_EQ(hero->targPathKle, 0);
    keyDown[VK_LBUTTON] = 1;
    keyDown[VK_F1] = 1;
    WorldStepRun(0);
    EXPECT_EQ(calls, (std::vector<int>{0, 1}));
    // In the editor the minimap under a held button moves the camera.
    cursorX = minimapX + minimapSide / 2;
    cursorY = minimapY + minimapSide / 2;
    WorldStepRun(0);
    EXPECT_NEAR(camX + camWidth / 2, 1280.0f, 1.0f);
    EXPECT_NEAR(camZ + camHeight / 2, 1280.0f, 1.0f);
    EXPECT_EQ(calls.size(), 2u);
    editorOpen = 0;
}

TEST(DirectionKeys, KeypadCodesAndOffsets) {
    struct Case {
        int l, r, u, d, code, offset;
    };
    const Case cases[] = {
        {1, 0, 1, 0, 7, -257}, {1, 0, 0, 1, 1, 255}, {0, 1, 1, 0, 9, -255}, {0, 1, 0, 1, 3, 257},
        {1, 0, 0, 0, 4, -1},   {0, 1, 0, 0, 6, 1},   {0, 0, 1, 0, 8, -256}, {0, 0, 0, 1, 2, 256},
        {0, 0, 0, 0, 0, 0},    {1, 1, 1, 1, 7, -257}, {1, 1, 0, 0, 4, -1},   {0, 0, 1, 1, 8, -256},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DirectionCode(c.l, c.r, c.u, c.d), c.code);
        EXPECT_EQ(DirectionCellOffset(c.code), c.offset);
    }
}

TEST_F(Interaction, ArrowKeysWalkCellByCell) {
    const int start = KleAt(hero->x, hero->z);
    sigTable[5].fired = 1;   // up, held
    WorldStepRun(0);
    EXPECT_EQ(heroDir, 8);
    EXPECT_EQ(hero->targPathKle, start - 256);
    for (int i = 0; i < 200; ++i) {
        sigTable[5].fired = 1;
        WorldStepRun(0);
    }
    // 2 s at 0.02 units per ms: four cells, one ordered after another.
    const int now = KleAt(hero->x, hero->z);
    EXPECT_EQ(KleCol(now), KleCol(start));
    EXPECT_GE(KleRow(start) - KleRow(now), 3);
    EXPECT_LE(KleRow(start) - KleRow(now), 4);
}

TEST_F(Interaction, DiagonalGraceHolds250ms) {
    sigTable[3].fired = sigTable[5].fired = 1;   // left + up
    WorldStepRun(0);
    EXPECT_EQ(heroDir, 7);
    EXPECT_EQ(hero->targPathKle, KleAt(hero->x, hero->z) - 257);
    // Let go of left: the diagonal code stays for 250 ms.
    int frames = 0;
    do {
        ClearSignals();
        sigTable[5].fired = 1;
        WorldStepRun(0);
        ++frames;
    } while (heroDir == 7 && frames < 100);
    EXPECT_EQ(heroDir, 8);
    EXPECT_EQ(frames, 1 + 250 / 10 + 1);   // the release frame, the grace, then the turn
}

TEST_F(Interaction, HeroActionKeys) {
    static std::vector<int> actions;
    actions.clear();
    mapHooks.heroAction = [](int which) { actions.push_back(which); };
    for (int sig : {12, 13, 14, 15}) {
        ClearSignals();
        Fire(sig);
        WorldStepRun(0);
    }
    ClearSignals();
    Fire(13);
    Fire(14);   // one action per frame, the first signal wins
    WorldStepRun(0);
    EXPECT_EQ(actions, (std::vector<int>{1, 2, 3, 1, 2}));
}

TEST_F(Interaction, HalfSpeedOnDeepWaterAndSpeedHooks) {
    hero->moveMode = 2;   // he can swim
    hero->x = 505;
    hero->z = 605;        // row 60 is deep water
    FgrMoveOrder(hero, Cell(60, 80), 0);
    Frames(2);
    float x0 = hero->x;
    Frames(10);
    const float inWater = hero->x - x0;
    EXPECT_NEAR(inWater, 10 * 10 * 0.02f * 0.5f, 0.05f);
    EXPECT_FLOAT_EQ(hero->speed, 0.02f);   // put back after the step
    // On dry land the rules' factor applies (kvass, the demon's gaze).
    mapHooks.heroSpeedFactor = [](const Fgr*) { return 1.5f; };
    hero->x = 505;
    hero->z = 505;
    FgrMoveOrder(hero, Cell(50, 80), 0);
    Frames(2);
    x0 = hero->x;
    Frames(10);
    EXPECT_NEAR(hero->x - x0, 10 * 10 * 0.02f * 1.5f, 0.05f);
    // A hero who may not walk stands, but the camera still follows him.
    mapHooks.heroMayWalk = [](const Fgr*) { return 0; };
    x0 = hero->x;
    camX = 0;
    Frames(10);
    EXPECT_EQ(hero->x, x0);
    EXPECT_NEAR(camX + camWidth / 2, hero->x, 0.5f);
}

TEST_F(Interaction, WalkersWithoutBehaviourGetTheWalk) {
    EXPECT_EQ(hero->fnUpdate, nullptr);
    Fgr* npc = FgrCreateFigure(kKindNpc, 605, 505);
    FgrMoveOrder(npc, Cell(50, 64), 0);
    Fgr* crystal = FgrCreateFigure(kKindCrystal, 705, 505);
    Frames(1);
    EXPECT_EQ(hero->fnUpdate, HeroUpdateWalkOnly);
    EXPECT_EQ(npc->fnUpdate, WalkerUpdateWalkOnly);
    EXPECT_EQ(crystal->fnUpdate, nullptr);   // objects do not walk
    // The townsperson planned at once and walks his order.
    Frames(1);
    EXPECT_EQ(npc->onPath, 1);
    Frames(600);
    EXPECT_EQ(KleAt(npc->x, npc->z), Cell(50, 64));
    static int updates = 0;
    updates = 0;
    hero->fnUpdate = [](Fgr*) { ++updates; };
    Frames(3);
    EXPECT_EQ(updates, 3);   // an installed behaviour is left alone
}

}  // namespace

namespace {

struct InteractionGone : Interaction {};

TEST_F(InteractionGone, SelectionOfARemovedFigureOrdersNothing) {
    Fgr* wolf = SpawnMonster(11, 445, 505, 0);
    FgrSetSide(wolf, kSidePlayer);
    selection[0] = wolf;
    selectionCount = 1;
    FgrRemove(wolf);
    PointAt(565, 525);
    Click(2);
    EXPECT_EQ(wolf->targPathKle, 0);   // the free slot is left alone
    EXPECT_EQ(selectionCount, 1);      // the selection lives until the next left click
}

}  // namespace
