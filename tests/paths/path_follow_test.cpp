// Walking figures: replanning and its hysteresis, following segment by
// segment, arrival, truncated paths, cell claims, stepping aside and the
// periodic rebuild.
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
    // A walker in slot s standing on the centre of (col, row).
    static Fgr* Walker(int s, int col, int row, int moveMode = 3, float speed = 0.02f) {
        Fgr* f = &FigureTable[s];
        f->fgrKind = kKindUnitDog;
        f->fgrClass = kClassUnit;
        f->active = 1;
        f->moveMode = moveMode;
        f->speed = speed;
        f->x = C(col);
        f->z = C(row);
        return f;
    }
    // Runs PathStepFigure until the figure stops or the frame budget ends.
    static int WalkUntilStopped(Fgr* f, int maxFrames = 100000) {
        int frames = 0;
        PathStepFigure(f);
        while (f->onPath == 1 && frames < maxFrames) {
            PathStepFigure(f);
            ++frames;
        }
        return frames;
    }
    static void Rock(int col, int row) { masKle.m[K(col, row)].landType = kLandRock; }
};

TEST_F(Walking, ReplanStoresThePathAndStartsTheFirstSegment) {
    Fgr* f = Walker(1, 10, 10);
    f->x = 103.0f;  // off-centre inside cell (10, 10)
    masKle.m[K(10, 10)].fgrMove = f;
    f->targPathKle = K(20, 10);
    ReplanPath(f);
    ASSERT_EQ(f->onPath, 1);
    EXPECT_EQ(f->onPathNext, 0);
    EXPECT_EQ(f->onPathLen, 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(f->pathStep[i].x, 11 + i);
        EXPECT_EQ(f->pathStep[i].z, 10);
    }
    EXPECT_FLOAT_EQ(f->segmentStartX, 103.0f);
    EXPECT_FLOAT_EQ(f->segmentStartZ, 105.0f);
    EXPECT_FLOAT_EQ(f->segmentLength, 12.0f);
    EXPECT_FLOAT_EQ(f->segmentDirX, 1.0f);
    EXPECT_FLOAT_EQ(f->segmentDirZ, 0.0f);
    EXPECT_FLOAT_EQ(f->segmentDone, 0.0f);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, nullptr) << "a walker does not hold its cell";
}

TEST_F(Walking, ReplanSkipsFiguresWithoutMoveModeOrTarget) {
    Fgr* f = Walker(1, 10, 10, 0);
    f->targPathKle = K(20, 10);
    ReplanPath(f);
    EXPECT_EQ(f->onPath, 0);
    f->moveMode = 3;
    f->targPathKle = 0;
    const int closed = PathOnClosed();
    ReplanPath(f);
    EXPECT_EQ(f->onPath, 0);
    EXPECT_EQ(PathOnClosed(), closed);
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

TEST_F(Walking, ShortPathIsNeverReplannedBeforeArrival) {
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(22, 10);
    PathStepFigure(f);
    ASSERT_EQ(f->onPathLen, 12);
    int lastNext = 0, frames = 0;
    while (f->onPath == 1 && frames < 10000) {
        PathWorldStep();     // rebuilds (and replans everyone) every 800 ms
        // A new order target mid-way must not disturb it either.
        if (frames == 300) f->targPathKle = K(10, 40);
        PathStepFigure(f);
        if (f->onPath == 1) {
            ASSERT_GE(f->onPathNext, lastNext) << "replanned at frame " << frames;
            lastNext = f->onPathNext;
        }
        ++frames;
    }
    EXPECT_EQ(f->onPath, 0);
    EXPECT_EQ(lastNext, 11);
    EXPECT_EQ(arrivals, 1);
    EXPECT_FLOAT_EQ(f->x, C(22));
}

TEST_F(Walking, FollowingMovesAlongSegmentsAndCarriesTheRestOver) {
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(13, 10);
    ReplanPath(f);
    FollowPath(f);
    EXPECT_FLOAT_EQ(f->x, 105.0f + 16.0f * 0.02f);
    EXPECT_FLOAT_EQ(f->z, 105.0f);
    // Run up to the end of the first segment.
    int frames = 1;
    while (f->onPathNext == 0) {
        FollowPath(f);
        ++frames;
    }
    EXPECT_EQ(frames, 32) << "10 units at 0.32 per frame: 31 frames inside, the 32nd crosses";
    EXPECT_NEAR(f->segmentDone, 32 * 0.32f - 10.0f, 1e-4);
    EXPECT_FLOAT_EQ(f->segmentStartX, 115.0f);
    EXPECT_FLOAT_EQ(f->segmentLength, 10.0f);
    FollowPath(f);
    EXPECT_NEAR(f->x, 115.0f + 33 * 0.32f - 10.0f, 1e-3);

    // Diagonal segments are 14.14 long and the direction is a unit vector.
    Fgr* g = Walker(2, 50, 50);
    g->targPathKle = K(53, 53);
    ReplanPath(g);
    EXPECT_NEAR(g->segmentLength, std::sqrt(200.0f), 1e-4);
    EXPECT_NEAR(g->segmentDirX * g->segmentDirX + g->segmentDirZ * g->segmentDirZ, 1.0f, 1e-5);
}

TEST_F(Walking, ArrivalStopsCentresClaimsAndRunsTheHook) {
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(15, 14);
    const int frames = WalkUntilStopped(f);
    EXPECT_GT(frames, 150);
    EXPECT_LT(frames, 260);
    EXPECT_EQ(f->onPath, 0);
    EXPECT_EQ(f->onPathLen, 0);
    EXPECT_EQ(f->targPathKle, 0);
    EXPECT_FLOAT_EQ(f->x, C(15));
    EXPECT_FLOAT_EQ(f->z, C(14));
    EXPECT_EQ(masKle.m[K(15, 14)].fgrMove, f);
    EXPECT_EQ(arrivals, 1);
    // Nothing more happens afterwards.
    PathStepFigure(f);
    EXPECT_EQ(arrivals, 1);
    EXPECT_FLOAT_EQ(f->x, C(15));
}

TEST_F(Walking, SpeedFactorHookScalesTheStep) {
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(20, 10);
    ReplanPath(f);
    pathSpeedFactor = [](const Fgr*) { return 0.5f; };
    FollowPath(f);
    EXPECT_FLOAT_EQ(f->x, 105.0f + 0.16f);
    pathSpeedFactor = nullptr;
    FollowPath(f);
    EXPECT_FLOAT_EQ(f->x, 105.0f + 0.48f);
    EXPECT_FLOAT_EQ(f->speed, 0.02f) << "the speed word is untouched";
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

TEST_F(Walking, TruncatedPathWhoseRestIsBlockedStopsAtTheLastStoredStep) {
    Fgr* f = Walker(1, 10, 100);
    f->targPathKle = K(80, 100);
    ReplanPath(f);
    ASSERT_EQ(f->onPathLen, 70);
    // Wall the target in after planning; the layers change only on a rebuild.
    for (int c = 70; c <= 90; ++c)
        for (int r = 90; r <= 110; ++r)
            if (c == 70 || c == 90 || r == 90 || r == 110) Rock(c, r);
    PathRebuild();  // replan is refused by the hysteresis: onPathNext is 0
    ASSERT_EQ(f->onPath, 1);
    int frames = 0;
    while (f->onPath == 1 && frames < 20000) {
        FollowPath(f);
        ++frames;
    }
    EXPECT_EQ(f->onPath, 0);
    EXPECT_FLOAT_EQ(f->x, C(50));
    EXPECT_FLOAT_EQ(f->z, C(100));
    EXPECT_EQ(f->targPathKle, K(80, 100)) << "keeps its target for the next rebuild";
    EXPECT_EQ(arrivals, 0);
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
    EXPECT_EQ(FgrClaimCell(a, K(10, 10)), 0) << "already its own";
    EXPECT_EQ(FgrClaimCell(b, -1), 1);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, a);
    EXPECT_NE(b->targPathKle, 0);
    EXPECT_EQ(b->onPath, 0);
    // Not interior: nothing.
    for (int k : {0, 255, 65535, 256, 511, 65280, 70000}) {
        b->targPathKle = 0;
        EXPECT_EQ(FgrClaimCell(b, k), 0);
        EXPECT_EQ(b->targPathKle, 0);
    }
    b->x = 0.5f;  // under no cell
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
}

TEST_F(Walking, ClaimIgnoresAFreedOrDepartedHolder) {
    Fgr* a = Walker(1, 10, 10);
    Fgr* b = Walker(2, 10, 10);
    FgrClaimCell(a, -1);
    a->fgrKind = 0;  // removed without clearing its claim
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, b);
    Walker(1, 30, 30);
    masKle.m[K(10, 10)].fgrMove = a;  // a holds a cell it no longer stands in
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, b);
}

TEST_F(Walking, StepAsidePicksTheNeighboursInOrder) {
    const int offsets[8] = {-257, -256, -255, -1, 1, 255, 256, 257};
    Fgr* f = Walker(1, 50, 50);
    bool seen[8] = {};
    for (unsigned seed = 1; seed < 200; ++seed) {
        RandSeed(seed);
        const int r = RandRange(0, 7) + 1;
        RandSeed(seed);
        f->onPath = 1;
        FgrStepAside(f, K(50, 50));
        EXPECT_EQ(f->targPathKle, K(50, 50) + offsets[r - 1]);
        EXPECT_EQ(f->onPath, 0);
        seen[r - 1] = true;
    }
    for (bool s : seen) EXPECT_TRUE(s);
    // In the corner cell (1, 1) the up and left neighbours are border cells.
    int zeros = 0, cells = 0;
    for (unsigned seed = 1; seed < 200; ++seed) {
        RandSeed(seed);
        FgrStepAside(f, K(1, 1));
        if (f->targPathKle == 0) ++zeros;
        else {
            ++cells;
            EXPECT_TRUE(KleInterior(f->targPathKle));
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

TEST_F(Walking, StopPathClearsTheWalkAndClaims) {
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(30, 10);
    ReplanPath(f);
    for (int i = 0; i < 40; ++i) FollowPath(f);
    StopPath(f);
    EXPECT_EQ(f->onPath, 0);
    EXPECT_EQ(f->onPathLen, 0);
    EXPECT_EQ(f->targPathKle, 0);
    EXPECT_EQ(masKle.m[KleAt(f->x, f->z)].fgrMove, f);
}

TEST_F(Walking, RebuildStampsTerrainAndActiveFootprints) {
    masKle.m[K(40, 41)].landType = kLandHole;
    masKle.m[K(42, 41)].landType = kLandDeepWater;
    Fgr* lair = &FigureTable[7];
    lair->fgrKind = kKindLairForest;
    lair->active = 1;
    lair->footprintCell = K(60, 60);
    lair->footprintShape = 6;
    Fgr* sleeping = &FigureTable[8];
    sleeping->fgrKind = kKindLairWater;
    sleeping->active = 0;
    sleeping->footprintCell = K(70, 70);
    sleeping->footprintShape = 9;
    Fgr* freed = &FigureTable[9];
    freed->active = 1;
    freed->footprintCell = K(80, 80);
    freed->footprintShape = 2;
    PathRebuild();
    EXPECT_TRUE(PathIsBlocked(3, 40, 41));
    EXPECT_FALSE(PathIsBlocked(1, 40, 41));
    EXPECT_TRUE(PathIsBlocked(3, 42, 41));
    EXPECT_FALSE(PathIsBlocked(2, 42, 41));
    for (int c : {K(60, 60), K(61, 60), K(60, 61), K(61, 61)}) {
        EXPECT_TRUE(PathIsBlocked(3, KleCol(c), KleRow(c)));
        EXPECT_FALSE(PathIsBlocked(1, KleCol(c), KleRow(c)));
    }
    EXPECT_FALSE(PathIsBlocked(3, 62, 60));
    EXPECT_FALSE(PathIsBlocked(3, 70, 70)) << "dormant figures stamp nothing";
    EXPECT_FALSE(PathIsBlocked(3, 80, 80)) << "free slots stamp nothing";
    EXPECT_TRUE(PathIsBlocked(1, 0, 5)) << "border cells block every class";
    EXPECT_TRUE(PathIsBlocked(5, 255, 255));

    // A footprint removed: gone after the next rebuild.
    lair->fgrKind = 0;
    PathRebuild();
    EXPECT_FALSE(PathIsBlocked(3, 60, 60));
}

TEST_F(Walking, WorldStepRebuildsInTheFirstFrameAndEvery800Ms) {
    PathClearLayers();
    Fgr* f = Walker(1, 10, 10);
    f->targPathKle = K(20, 10);
    frameDeltaMs = 16;
    PathWorldStep();
    EXPECT_TRUE(PathIsBlocked(3, 0, 0)) << "first frame rebuilds";
    EXPECT_EQ(f->onPath, 1) << "the rebuild replans every figure";
    EXPECT_EQ(pathRebuildTimer, 800);
    masKle.m[K(50, 50)].landType = kLandRock;
    int frames = 0;
    while (!PathIsBlocked(3, 50, 50) && frames < 100) {
        PathWorldStep();
        ++frames;
    }
    EXPECT_EQ(frames, 50) << "800 ms at 16 ms a frame";
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
    for (int k : {-1, 65536, 2147483647, -2147483647}) {
        f = Walker(1, 10, 10);
        f->targPathKle = k;
        ReplanPath(f);
        EXPECT_EQ(f->onPath, 0) << k;
    }
    f = Walker(1, 10, 10);
    f->targPathKle = 5;  // a border cell: blocked for everyone
    ReplanPath(f);
    EXPECT_EQ(f->onPath, 0);
}

TEST_F(Walking, MoveModeDecidesTheWay) {
    // A hole trench between start and target: class 1 walks straight over it.
    for (int r = 1; r < 255; ++r) masKle.m[K(15, r)].landType = kLandHole;
    PathRebuild();
    Fgr* walker = Walker(1, 10, 50, 3);
    walker->targPathKle = K(20, 50);
    ReplanPath(walker);
    EXPECT_EQ(walker->onPath, 0);
    Fgr* flier = Walker(2, 10, 50, 1);
    flier->targPathKle = K(20, 50);
    ReplanPath(flier);
    EXPECT_EQ(flier->onPath, 1);
    EXPECT_EQ(flier->onPathLen, 10);
}

}  // namespace
