// Walking figures: replanning and its hysteresis, following, arrival,
// truncated paths, cell claims, stepping aside and the periodic rebuild.
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
void CountArrival(Fgr*) { ++arrivals; }

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
        pathArriveHook = CountArrival;
        PathRebuild();
        frameDeltaMs = 16;
        frameDeltaF = 16.0f;
    }
    static Fgr* Walker(int s, int col, int row, int moveMode = 3) {
        Fgr* f = &FigureTable[s];
        f->fgrKind = kKindUnitDog;
        f->fgrClass = kClassUnit;
        f->active = 1;
        f->moveMode = moveMode;
        f->speed = 0.02f;
        f->x = C(col);
        f->z = C(row);
        return f;
    }
    static void WalkUntilStopped(Fgr* f) {
        PathStepFigure(f);
        for (int i = 0; f->onPath == 1 && i < 100000; ++i) PathStepFigure(f);
    }
    static void Rock(int col, int row) { masKle.m[K(col, row)].landType = kLandRock; }
};

TEST_F(Walking, ReplanStartsTheFirstSegmentAndSkipsFiguresWithoutMoveModeOrTarget) {
    Fgr* f = Walker(1, 10, 10);
    f->x = 103.0f;  // off-centre inside cell (10, 10)
    masKle.m[K(10, 10)].fgrMove = f;
    f->targPathKle = K(20, 10);
    ReplanPath(f);
    ASSERT_EQ(f->onPath, 1);
    EXPECT_EQ(f->onPathLen, 10);
    EXPECT_EQ(f->pathStep[9].x, 20);
    EXPECT_FLOAT_EQ(f->segmentStartX, 103.0f);
    EXPECT_FLOAT_EQ(f->segmentLength, 12.0f);
    EXPECT_FLOAT_EQ(f->segmentDirX, 1.0f);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, nullptr) << "a walker does not hold its cell";
    for (int mode : {0, 3}) {
        Fgr* g = Walker(2, 10, 10, mode);
        g->targPathKle = mode ? 0 : K(20, 10);
        const int closed = PathOnClosed();
        ReplanPath(g);
        EXPECT_EQ(g->onPath, 0);
        EXPECT_EQ(PathOnClosed(), closed);
    }
}

TEST_F(Walking, ReplanHysteresis) {
    struct Case {
        int length, next;
        bool replans;
    };
    const Case cases[] = {
        {12, 0, false}, {12, 11, false}, {19, 5, false}, {19, 18, false}, {20, 4, false},
        {20, 5, true},  {60, 5, true},   {60, 4, false}, {41, 39, true},
    };
    for (const Case& c : cases) {
        Fgr* f = Walker(1, 10, 10);
        f->onPath = 1;
        f->onPathLen = c.length;
        f->onPathNext = c.next;
        f->targPathKle = K(10, 30);
        ReplanPath(f);
        EXPECT_EQ(f->onPathNext == 0 && f->onPathLen == 20, c.replans)
            << "length " << c.length << " next " << c.next;
        EXPECT_EQ(f->onPath, 1);
    }
    // Not walking: always plans.
    Fgr* f = Walker(1, 10, 10);
    f->onPath = 0;
    f->onPathLen = 3;
    f->targPathKle = K(10, 30);
    ReplanPath(f);
    EXPECT_EQ(f->onPathLen, 20);
}

TEST_F(Walking, FollowingCarriesTheRestOverAndArrivalClaimsTheCell) {
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(13, 10);
    ReplanPath(f);
    int frames = 0;
    while (f->onPathNext == 0) {
        FollowPath(f);
        ++frames;
    }
    EXPECT_EQ(frames, 32) << "10 units at 0.32 per frame: 31 frames inside, the 32nd crosses";
    EXPECT_NEAR(f->segmentDone, 32 * 0.32f - 10.0f, 1e-4);
    FollowPath(f);
    EXPECT_NEAR(f->x, 115.0f + 33 * 0.32f - 10.0f, 1e-3);

    Fgr* g = Walker(2, 50, 50);
    g->targPathKle = K(55, 54);
    ReplanPath(g);
    EXPECT_NEAR(g->segmentLength, std::sqrt(200.0f), 1e-4);
    WalkUntilStopped(g);
    EXPECT_EQ(g->targPathKle, 0);
    EXPECT_FLOAT_EQ(g->x, C(55));
    EXPECT_FLOAT_EQ(g->z, C(54));
    EXPECT_EQ(masKle.m[K(55, 54)].fgrMove, g);
    PathStepFigure(g);
    EXPECT_EQ(arrivals, 1) << "nothing more happens afterwards";
}

TEST_F(Walking, TruncatedPathWalksOnByReplanningAtTheLastStoredStep) {
    Fgr* f = Walker(1, 10, 100);
    f->targPathKle = K(80, 100);
    ReplanPath(f);
    ASSERT_EQ(f->onPathLen, 70);
    // Walk without any rebuild, so only the end of the stored steps can replan.
    int frames = 0, replans = 0, prevNext = 0;
    while (f->onPath == 1 && frames < 20000) {
        FollowPath(f);
        if (f->onPath == 1 && f->onPathNext < prevNext) {
            ++replans;
            EXPECT_EQ(prevNext, 39);
            EXPECT_EQ(f->onPathLen, 30) << "planned on from the 40th step";
            EXPECT_EQ(f->pathStep[0].x, 51);
        }
        prevNext = f->onPathNext;
        ++frames;
    }
    EXPECT_EQ(replans, 1);
    EXPECT_EQ(arrivals, 1);
    EXPECT_FLOAT_EQ(f->x, C(80));
    EXPECT_EQ(masKle.m[K(80, 100)].fgrMove, f);
}

TEST_F(Walking, TargetCellUnderTheFigureWalksToItsCentre) {
    // Leave a path of another figure in searcher 0 first.
    Fgr* other = Walker(2, 100, 100);
    other->targPathKle = K(140, 120);
    ReplanPath(other);
    ASSERT_GT(pathSearchers[0].readPos, 0);

    Fgr* f = Walker(1, 10, 10);
    f->x = 101.0f;
    f->z = 108.0f;
    f->targPathKle = K(10, 10);
    ReplanPath(f);
    ASSERT_EQ(f->onPath, 1);
    EXPECT_EQ(f->onPathLen, 1) << "not the other figure's path";
    WalkUntilStopped(f);
    EXPECT_FLOAT_EQ(f->x, 105.0f);
    EXPECT_FLOAT_EQ(f->z, 105.0f);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, f);
}

TEST_F(Walking, ClaimCell) {
    Fgr* a = Walker(1, 10, 10);
    Fgr* b = Walker(2, 10, 10);
    EXPECT_EQ(FgrClaimCell(a, -1), 0);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, a);
    EXPECT_EQ(FgrClaimCell(b, -1), 1) << "taken: b steps aside";
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, a);
    EXPECT_NE(b->targPathKle, 0);
    for (int k : {0, 255, 65280, 70000}) {  // not interior: nothing
        b->targPathKle = 0;
        EXPECT_EQ(FgrClaimCell(b, k), 0);
        EXPECT_EQ(b->targPathKle, 0);
    }
    a->fgrKind = 0;  // removed without clearing its claim
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, b);
    a = Walker(1, 30, 30);
    masKle.m[K(10, 10)].fgrMove = a;  // a holds a cell it no longer stands in
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, b);
}

// In the corner cell (1, 1) the up and left neighbours are border cells: no target.
TEST_F(Walking, StepAsideNeverTargetsTheBorder) {
    Fgr* f = Walker(1, 50, 50);
    int zeros = 0, cells = 0;
    for (unsigned seed = 1; seed < 200; ++seed) {
        RandSeed(seed);
        f->onPath = 1;
        FgrStepAside(f, K(1, 1));
        EXPECT_EQ(f->onPath, 0);
        if (f->targPathKle == 0) ++zeros;
        else {
            ++cells;
            EXPECT_TRUE(KleInterior(f->targPathKle));
            EXPECT_LE(std::abs(KleCol(f->targPathKle) - 1) + std::abs(KleRow(f->targPathKle) - 1), 2);
        }
    }
    EXPECT_GT(zeros, 0);
    EXPECT_GT(cells, 0);
}

TEST_F(Walking, SecondArrivalStepsAsideToANeighbour) {
    Fgr* a = Walker(1, 20, 20);
    Fgr* b = Walker(2, 30, 20);
    a->targPathKle = K(25, 20);
    WalkUntilStopped(a);
    ASSERT_EQ(masKle.m[K(25, 20)].fgrMove, a);
    b->targPathKle = K(25, 20);
    // b arrives, finds the cell taken, steps aside and walks to the neighbour.
    int frames = 0;
    PathStepFigure(b);
    while ((b->onPath == 1 || b->targPathKle != 0) && frames < 5000) {
        PathStepFigure(b);
        ++frames;
    }
    ASSERT_EQ(b->onPath, 0);
    const int kb = KleAt(b->x, b->z);
    EXPECT_NE(kb, K(25, 20));
    EXPECT_LE(std::abs(KleCol(kb) - 25), 1);
    EXPECT_LE(std::abs(KleRow(kb) - 20), 1);
    EXPECT_EQ(masKle.m[kb].fgrMove, b);
    EXPECT_EQ(masKle.m[K(25, 20)].fgrMove, a);
    EXPECT_EQ(arrivals, 3);
}

TEST_F(Walking, RebuildStampsTerrainAndActiveFootprintsEvery800Ms) {
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
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(20, 10);
    PathWorldStep();
    EXPECT_EQ(f->onPath, 1) << "the first frame rebuilds and replans every figure";
    EXPECT_TRUE(PathIsBlocked(3, 40, 41));
    EXPECT_FALSE(PathIsBlocked(1, 40, 41));
    EXPECT_TRUE(PathIsBlocked(3, 61, 61));
    EXPECT_FALSE(PathIsBlocked(1, 61, 61));
    EXPECT_FALSE(PathIsBlocked(3, 70, 70)) << "dormant figures stamp nothing";
    EXPECT_TRUE(PathIsBlocked(1, 0, 5)) << "border cells block every class";
    lair->fgrKind = 0;
    masKle.m[K(50, 50)].landType = kLandRock;
    int frames = 0;
    while (!PathIsBlocked(3, 50, 50) && frames < 100) {
        PathWorldStep();
        ++frames;
    }
    EXPECT_EQ(frames, 50) << "800 ms at 16 ms a frame";
    EXPECT_FALSE(PathIsBlocked(3, 60, 60)) << "a removed footprint is gone";
}

TEST_F(Walking, FailedPlanIsNotRetriedEveryFrame) {
    for (int c = 99; c <= 101; ++c)
        for (int r = 99; r <= 101; ++r)
            if (c != 100 || r != 100) Rock(c, r);
    PathRebuild();
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(100, 100);
    PathStepFigure(f);
    EXPECT_EQ(f->onPath, 0);
    const int closed = PathOnClosed();
    for (int i = 0; i < 20; ++i) PathStepFigure(f);
    EXPECT_EQ(PathOnClosed(), closed);
    // A new target plans at once; a rebuild retries the old one.
    f->targPathKle = K(30, 10);
    PathStepFigure(f);
    EXPECT_EQ(f->onPath, 1);
    f->onPath = 0;
    f->targPathKle = K(100, 100);
    PathStepFigure(f);
    EXPECT_EQ(PathOnClosed(), closed + 4);
    PathRebuild();
    EXPECT_EQ(PathOnClosed(), closed + 6);
}

TEST_F(Walking, HostilePathWordsNeverReadPastTheSteps) {
    Fgr* f = Walker(1, 10, 10);
    struct Case {
        int next, len;
    };
    for (const Case c : {Case{40, 70}, Case{-1, 5}, Case{1000000, 3}, Case{3, 0}, Case{3, -7}}) {
        f->onPath = 1;
        f->onPathNext = c.next;
        f->onPathLen = c.len;
        f->targPathKle = K(20, 20);
        f->segmentLength = 0.0f;
        FollowPath(f);
        EXPECT_EQ(f->onPath, 0);
    }
    // A shorter length than the steps walked: walks to the 40th step, then plans on.
    f = Walker(1, 10, 10);
    f->targPathKle = K(20, 10);
    ReplanPath(f);
    f->onPathLen = -3;
    f->onPathNext = 37;
    for (int i = 0; i < 5000 && f->onPath == 1; ++i) FollowPath(f);
    EXPECT_EQ(f->onPath, 0);

    // Positions and targets off the grid.
    for (float bad : {-5.0f, 2560.0f, NAN, INFINITY, -INFINITY, 1e30f}) {
        f = Walker(1, 10, 10);
        f->x = bad;
        f->targPathKle = K(20, 10);
        ReplanPath(f);
        EXPECT_EQ(f->onPath, 0) << bad;
    }
    for (int k : {-1, 5, 65536, 2147483647, -2147483647}) {  // 5: a border cell
        f = Walker(1, 10, 10);
        f->targPathKle = k;
        ReplanPath(f);
        EXPECT_EQ(f->onPath, 0) << k;
    }
}

}  // namespace
