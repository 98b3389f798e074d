// Walking figures: replanning, following, arrival, cell claims, stepping
// aside, the periodic rebuild and hostile path words.
#include <gtest/gtest.h>

#include <cmath>

#include "app/frame.h"
#include "app/random.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_astar.h"
#include "world/path_follow.h"
#include "world/path_grid.h"

namespace {

constexpr int K(int col, int row) { return row * 256 + col; }
float C(int g) { return g * 10.0f + 5.0f; }  // centre coordinate of column/row g

int arrivals;

class Walking : public ::testing::Test {
protected:
    void SetUp() override {
        FrameReset();
        KleReset();
        FiguresReset();
        PathReset();
        RandSeed(7);
        for (int k = 0; k < kKleCount; ++k)
            if (KleInterior(k)) masKle.m[k].landType = kLandGround;
        arrivals = 0;
        pathArriveHook = [](Fgr*) { ++arrivals; };
        PathRebuild();
        frameDeltaMs = 16;
        frameDeltaF = 16.0f;
    }
    static Fgr* Walker(int s, int col, int row, int target = 0, int moveMode = 3) {
        Fgr* f = &FigureTable[s];
        f->fgrKind = kKindUnitDog;
        f->fgrClass = kClassUnit;
        f->active = 1;
        f->moveMode = moveMode;
        f->speed = 0.02f;
        f->x = C(col);
        f->z = C(row);
        f->targPathKle = target;
        return f;
    }
    static void WalkUntilStopped(Fgr* f) {
        for (int i = 0; (i == 0 || f->onPath == 1 || f->targPathKle) && i < 100000; ++i) PathStepFigure(f);
    }
    static int Cell(const Fgr* f) { return KleAt(f->x, f->z); }
};

TEST_F(Walking, ReplanStartsTheFirstSegmentAndKeepsShortPaths) {
    Fgr* f = Walker(1, 10, 10, K(20, 10));
    f->x = 103.0f;  // off-centre inside cell (10, 10)
    masKle.m[K(10, 10)].fgrMove = f;
    ReplanPath(f);
    ASSERT_EQ(f->onPath, 1);
    EXPECT_EQ(f->onPathLen, 10);
    EXPECT_EQ(f->pathStep[9].x, 20);
    EXPECT_FLOAT_EQ(f->segmentStartX + f->segmentLength + f->segmentDirX, 103.0f + 12.0f + 1.0f);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, nullptr) << "a walker does not hold its cell";
    for (int mode : {0, 3}) {   // no move mode, or no target: no search
        Fgr* g = Walker(2, 10, 10, mode ? 0 : K(20, 10), mode);
        const int closed = PathOnClosed();
        ReplanPath(g);
        EXPECT_EQ(g->onPath + PathOnClosed() - closed, 0);
    }
    // A walking figure replans only paths of 20 steps or more with 5 behind it.
    struct { int length, next; bool replans; } const cases[] = {{19, 18, false}, {20, 4, false}, {20, 5, true}};
    for (const auto& c : cases) {
        f = Walker(1, 10, 10, K(10, 30));
        f->onPath = 1;
        f->onPathLen = c.length;
        f->onPathNext = c.next;
        ReplanPath(f);
        EXPECT_EQ(f->onPathNext == 0 && f->onPathLen == 20, c.replans) << c.length << " " << c.next;
    }
}

TEST_F(Walking, FollowingCarriesTheRestOverAndArrivalClaimsTheCell) {
    Fgr* f = Walker(1, 10, 10, K(13, 10));
    ReplanPath(f);
    int frames = 0;
    for (; f->onPathNext == 0; ++frames) FollowPath(f);
    EXPECT_EQ(frames, 32) << "10 units at 0.32 per frame: the 32nd frame crosses";
    EXPECT_NEAR(f->segmentDone, 32 * 0.32f - 10.0f, 1e-4);
    Fgr* g = Walker(2, 50, 50, K(55, 54));
    WalkUntilStopped(g);
    EXPECT_FLOAT_EQ(g->x + g->z, C(55) + C(54));
    EXPECT_EQ(masKle.m[K(55, 54)].fgrMove, g);
    PathStepFigure(g);
    EXPECT_EQ(arrivals, 1) << "nothing more happens afterwards";
}

TEST_F(Walking, TargetCellUnderTheFigureWalksToItsCentre) {
    ReplanPath(Walker(2, 100, 100, K(140, 120)));   // another figure's path left in searcher 0
    ASSERT_GT(pathSearchers[0].readPos, 0);
    Fgr* f = Walker(1, 10, 10, K(10, 10));
    f->x = 101.0f;
    f->z = 108.0f;
    ReplanPath(f);
    EXPECT_EQ(f->onPathLen, 1) << "not the other figure's path";
    WalkUntilStopped(f);
    EXPECT_FLOAT_EQ(f->x + f->z, 210.0f);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, f);
}

TEST_F(Walking, ClaimsAndSteppingAside) {
    // The second arrival finds the cell taken, steps aside and walks to a neighbour.
    Fgr* a = Walker(1, 20, 20, K(25, 20));
    Fgr* b = Walker(2, 30, 20, K(25, 20));
    WalkUntilStopped(a);
    WalkUntilStopped(b);
    const int kb = Cell(b);
    EXPECT_TRUE(kb != K(25, 20) && std::abs(KleCol(kb) - 25) <= 1 && std::abs(KleRow(kb) - 20) <= 1);
    EXPECT_EQ(masKle.m[kb].fgrMove, b);
    EXPECT_EQ(masKle.m[K(25, 20)].fgrMove, a);
    EXPECT_EQ(arrivals, 3);
    for (int k : {0, 255, 65280, 70000}) EXPECT_EQ(FgrClaimCell(b, k), 0);   // not interior: nothing
    // A holder removed without clearing its claim, or standing elsewhere, loses the cell.
    b->x = a->x;
    b->z = a->z;
    a->fgrKind = 0;
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
    EXPECT_EQ(masKle.m[K(25, 20)].fgrMove, b);
    a = Walker(1, 30, 30);
    masKle.m[K(10, 10)].fgrMove = a;
    b = Walker(2, 10, 10);
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, b);
    // In the corner cell (1, 1) the up and left neighbours are border cells: never a target.
    int zeros = 0;
    for (unsigned seed = 1; seed < 200; ++seed) {
        RandSeed(seed);
        FgrStepAside(b, K(1, 1));
        if (!b->targPathKle) ++zeros;
        else EXPECT_TRUE(KleInterior(b->targPathKle) && std::abs(KleCol(b->targPathKle) - 1) + std::abs(KleRow(b->targPathKle) - 1) <= 2);
    }
    EXPECT_TRUE(zeros > 0 && zeros < 199);
}

TEST_F(Walking, RebuildEvery800MsAndFailedPlansWaitForIt) {
    PathClearLayers();
    masKle.m[K(40, 41)].landType = kLandHole;
    Fgr* lair = &FigureTable[7];
    lair->fgrKind = kKindLairForest;
    lair->active = 1;
    lair->footprintCell = K(60, 60);
    lair->footprintShape = 6;
    Fgr* sleeping = &FigureTable[8];
    sleeping->fgrKind = kKindLairWater;
    sleeping->footprintCell = K(70, 70);
    sleeping->footprintShape = 9;
    Fgr* f = Walker(1, 10, 10, K(20, 10));
    PathWorldStep();
    EXPECT_EQ(f->onPath, 1) << "the first frame rebuilds and replans every figure";
    EXPECT_TRUE(PathIsBlocked(3, 40, 41) && PathIsBlocked(3, 61, 61) && PathIsBlocked(1, 0, 5));
    EXPECT_FALSE(PathIsBlocked(1, 40, 41) || PathIsBlocked(1, 61, 61));
    EXPECT_FALSE(PathIsBlocked(3, 70, 70)) << "dormant figures stamp nothing";
    lair->fgrKind = 0;
    masKle.m[K(50, 50)].landType = kLandRock;
    int frames = 0;
    for (; !PathIsBlocked(3, 50, 50) && frames < 100; ++frames) PathWorldStep();
    EXPECT_EQ(frames, 50) << "800 ms at 16 ms a frame";
    EXPECT_FALSE(PathIsBlocked(3, 60, 60)) << "a removed footprint is gone";
    // A walled-in target: planned once, not again every frame; a new order plans at once.
    for (int c = 99; c <= 101; ++c)
        for (int r = 99; r <= 101; ++r)
            if (c != 100 || r != 100) masKle.m[K(c, r)].landType = kLandRock;
    f->fgrKind = 0;
    PathRebuild();
    f = Walker(3, 10, 10, K(100, 100));
    PathStepFigure(f);
    const int closed = PathOnClosed();
    for (int i = 0; i < 20; ++i) PathStepFigure(f);
    EXPECT_EQ(PathOnClosed(), closed);
    f->targPathKle = K(30, 10);
    PathStepFigure(f);
    EXPECT_EQ(f->onPath, 1);
    f->onPath = 0;
    f->targPathKle = K(100, 100);
    PathStepFigure(f);
    PathRebuild();
    EXPECT_EQ(PathOnClosed(), closed + 6);
}

TEST_F(Walking, HostilePathWordsNeverReadPastTheSteps) {
    Fgr* f = Walker(1, 10, 10);
    for (auto [next, len] : {std::pair{40, 70}, {-1, 5}, {1000000, 3}, {3, 0}, {3, -7}}) {
        f->onPath = 1;
        f->onPathNext = next;
        f->onPathLen = len;
        f->targPathKle = K(20, 20);
        f->segmentLength = 0.0f;
        FollowPath(f);
        EXPECT_EQ(f->onPath, 0);
    }
    f = Walker(1, 10, 10, K(20, 10));   // a length below the steps walked: walks to the 40th step, then stops
    ReplanPath(f);
    f->onPathLen = -3;
    f->onPathNext = 37;
    for (int i = 0; i < 5000 && f->onPath == 1; ++i) FollowPath(f);
    EXPECT_EQ(f->onPath, 0);
    for (float bad : {-5.0f, 2560.0f, NAN, INFINITY, 1e30f}) {   // positions and targets off the grid
        f = Walker(1, 10, 10, K(20, 10));
        f->x = bad;
        ReplanPath(f);
        EXPECT_EQ(f->onPath, 0) << bad;
    }
    for (int k : {-1, 5, 65536, 2147483647, -2147483647}) {   // 5: a border cell
        f = Walker(1, 10, 10, k);
        ReplanPath(f);
        EXPECT_EQ(f->onPath, 0) << k;
    }
}

}  // namespace
