// Paths: the planner's passability layers, costs, refusals, counters and the
// indexed decrease-key against the scanning one; walking figures: replanning,
// following, arrival, cell claims, stepping aside, the periodic rebuild and
// hostile path words.
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
int W(int g) { return g * 10 + 5; }  // world coordinate of a cell centre

class PathPlanner : public ::testing::Test {
protected:
    void SetUp() override { PathClearLayers(); PathPlannerReset(); }
    int Find(int cls, int sx, int sy, int tx, int ty) { return FindPath(cls, 0, W(sx), W(sy), W(tx), W(ty)); }
    // Cost of the stored path from (sx, sy), checking every step is a legal move.
    static int Cost(int cls, int sx, int sy) {
        const PathSearcher& s = pathSearchers[0];
        int cost = 0, x = sx, y = sy;
        for (int i = 0; i < s.length; ++i) {
            const int dx = s.bank[i].gx - x, dy = s.bank[i].gy - y;
            EXPECT_TRUE(std::abs(dx) <= 1 && std::abs(dy) <= 1 && !PathIsBlocked(cls, x + dx, y + dy));
            EXPECT_FALSE(dx && dy && (PathIsBlocked(cls, x + dx, y) || PathIsBlocked(cls, x, y + dy))) << "corner cut";
            cost += (dx && dy) ? 14 : 10;
            x += dx, y += dy;
        }
        return cost;
    }
    // The cost of the path found, or -1.
    int FoundCost(int cls, int sx, int sy, int tx, int ty) { return Find(cls, sx, sy, tx, ty) == kPathFound ? Cost(cls, sx, sy) : -1; }
};

// Footprints block every class but 1 and skip cells off the interior; land
// types block by class.
TEST_F(PathPlanner, LayersByClassAndAtTheEdge) {
    PathStampFootprint(2 * 256 + 253, 9);
    EXPECT_TRUE(PathIsBlocked(3, 254, 4));
    EXPECT_FALSE(PathIsBlocked(1, 254, 4) || PathIsBlocked(3, 255, 2) || PathIsBlocked(3, 4, 254))
        << "class 1, off the interior, or (row, column): layers are (column, row)";
    PathClearLayers();
    PathStampFootprint(100 * 256 + 100, -3);   // an unknown shape blocks its anchor only
    PathStampLandType(5 * 256 + 6, 255);       // an unknown land type blocks nothing
    int marked = 0;
    for (int k = 0; k < kPathCells; ++k) marked += PathIsBlocked(2, k & 255, k >> 8);
    EXPECT_EQ(marked, 1);
    PathClearLayers();
    PathStampLandType(20 * 256 + 20, 5);   // deep water blocks only classes 3 and 5
    for (int cls = 2; cls <= 5; ++cls) EXPECT_EQ(Find(cls, 10, 20, 20, 20), cls % 2 ? kPathNone : kPathFound) << cls;
    EXPECT_EQ(pathSearchers[0].nextX, W(10)) << "a blocked target leaves the start as next step";
    PathClearLayers();
    for (int y = 5; y <= 35; ++y) PathStampLandType(y * 256 + 15, 1);   // a trench of holes
    EXPECT_EQ(FoundCost(1, 10, 20, 20, 20), 100);
    EXPECT_GT(FoundCost(3, 10, 20, 20, 20), 100);
}

TEST_F(PathPlanner, CostsOnOpenGroundAndNoCornerCutting) {
    struct { int sx, sy, tx, ty, length, cost; } const cases[] = {
        {5, 5, 10, 5, 5, 50}, {10, 10, 5, 5, 5, 70}, {5, 5, 12, 8, 7, 82}, {255, 0, 0, 255, 255, 3570}};
    for (const auto& c : cases) {
        EXPECT_EQ(FoundCost(3, c.sx, c.sy, c.tx, c.ty), c.cost) << c.sx << "," << c.sy << " -> " << c.tx << "," << c.ty;
        EXPECT_EQ(pathSearchers[0].length, c.length);
    }
    ASSERT_EQ(FindPath(3, 0, 51, 57, 100, 50), kPathFound);   // next step: centre of the first step
    EXPECT_EQ(pathSearchers[0].nextX * 100 + pathSearchers[0].nextZ, 6555);
    // (21,21) is walled by rocks but for the diagonal gap at (20,20).
    for (int d : {-256, -255, -1, 1, 255, 256, 257}) PathStampLandType(K(21, 21) + d, 6);
    EXPECT_EQ(Find(3, 5, 5, 21, 21), kPathNone);
    EXPECT_EQ(Find(1, 20, 20, 21, 21), kPathFound) << "rocks do not block class 1";
    PathStampLandType(5 * 256 + 6, 6);   // one rock beside a diagonal forbids it
    EXPECT_EQ(FoundCost(3, 5, 5, 6, 6), 20);
}

TEST_F(PathPlanner, RefusalsLeaveTheSearcherAlone) {
    EXPECT_EQ(FindPath(3, 0, 55, 55, 59, 51), kPathNone) << "start equals target, no previous path";
    ASSERT_EQ(Find(3, 5, 5, 9, 5), kPathFound);
    EXPECT_EQ(FindPath(3, 0, 95, 55, 91, 59), kPathFound) << "a previous path was read";
    EXPECT_EQ(FindPath(3, 1, 95, 55, 91, 59), kPathNone) << "searchers are independent";
    ASSERT_EQ(Find(3, 5, 5, 9, 5), kPathFound);
    const int closed = PathOnClosed();
    for (auto [x, z] : {std::pair{-1, 50}, {50, 2560}, {-2147483647, 0}, {2147483647, 2147483647}})
        EXPECT_EQ(FindPath(1, 0, x, z, 95, 55), kPathNone);
    for (auto [cls, searcher] : {std::pair{3, 4}, {3, -1}, {0, 0}, {6, 0}})   // bad searchers and classes
        EXPECT_EQ(FindPath(cls, searcher, 55, 55, 95, 55), kPathNone) << cls << " " << searcher;
    EXPECT_EQ(std::tuple(PathOnClosed(), pathSearchers[0].length), std::tuple(closed, 4)) << "no search ran, the path kept";
    EXPECT_EQ(FindPath(3, 0, 55, 55, 55, 2560), kPathNone) << "a target off the grid is blocked";
    PathStampLandType(5 * 256 + 5, 6);   // a blocked start cell can be left
    EXPECT_EQ(Find(3, 5, 5, 9, 5), kPathFound);
    for (int i = 0; i < 256; ++i) PathStampLandType(i * 256 + 100, 7);
    EXPECT_EQ(Find(1, 50, 50, 150, 50), kPathNone);
    EXPECT_EQ(pathSearchers[0].length + pathSearchers[0].readPos, 0);
    EXPECT_EQ(FindPath(1, 0, 505, 505, 501, 509), kPathNone) << "the failed search reset the read position";
}

TEST_F(PathPlanner, MarkerCountersWrap) {
    PathSetOnClosed(1000001);
    ASSERT_EQ(Find(3, 5, 5, 40, 30), kPathFound);
    EXPECT_EQ(PathOnClosed(), 12) << "cleared and restarted at 10";
    const int length = pathSearchers[0].length;
    PathSetOnClosed(999999);
    ASSERT_EQ(Find(3, 5, 5, 40, 30), kPathFound);
    EXPECT_EQ(std::tuple(PathOnClosed(), pathSearchers[0].length), std::tuple(1000001, length));
}

// Equal F: a pushed cell rises past its parents, and the cell sunk after a pop
// takes the right child on a tie (the left would pop 4, 3, 2, 1).
TEST(PathHeapTies, NewestFirstThenTheRightChild) {
    static PathHeap<true> indexed;
    static PathHeap<false> scanned;
    auto order = [](auto& heap) {
        heap.Clear();
        for (int cell = 1; cell <= 4; ++cell) heap.Push(5, cell);
        std::string popped;
        while (heap.count > 0) popped += std::to_string(heap.Pop().cell);
        return popped;
    };
    EXPECT_EQ(order(indexed), "4231");
    EXPECT_EQ(order(scanned), "4231");
}

// Random grids of rocks, holes, water and walls: both searches pop the same
// cells in the same order and return the same steps.
TEST(PathEquivalence, IndexedAndScannedDecreaseKeyAgree) {
    PathPlannerReset();
    RandSeed(4242);
    static int32_t popsA[kPathCells], popsB[kPathCells];
    int found = 0, searches = 0, decreases = 0;
    for (int grid = 0; grid < 24; ++grid) {
        PathClearLayers();
        for (int k = 0; k < kPathCells; ++k) {
            const int r = Rand() % 100;
            if (r < grid % 4 * 9) PathStampLandType(k, r % 3 == 0 ? 1 : (r % 3 == 1 ? 6 : 5));
        }
        for (int w = 0; w < 12; ++w) {
            const int x = Rand() % 256, y = Rand() % 256, len = Rand() % 120, vertical = Rand() % 2;
            for (int i = 0; i < len; ++i) PathStampLandType(vertical ? (y + i) % 256 * 256 + x : y * 256 + (x + i) % 256, 7);
        }
        for (int q = 0; q < 12; ++q) {
            const int cls = 1 + Rand() % 5, sx = Rand() % 256, sy = Rand() % 256;
            int tx = Rand() % 256, ty = Rand() % 256;
            if (q % 3 == 0) tx = std::min(255, sx + Rand() % 20), ty = std::max(0, sy - Rand() % 20);
            const int X = sx * 10 + Rand() % 10, Z = sy * 10 + Rand() % 10;
            const int TX = tx * 10 + Rand() % 10, TZ = ty * 10 + Rand() % 10;
            PathTrace ta{0, kPathCells, popsA, 0}, tb{0, kPathCells, popsB, 0};
            const int ra = FindPathTraced(cls, 0, X, Z, TX, TZ, &ta);
            const int rb = FindPathLinearScan(cls, 1, X, Z, TX, TZ, &tb);
            if (sx == tx && sy == ty) continue;
            ++searches;
            ASSERT_EQ(ra, rb) << "grid " << grid << " query " << q;
            ASSERT_TRUE(ta.count == tb.count && ta.lowered == tb.lowered);
            for (int i = 0; i < ta.count; ++i) ASSERT_EQ(popsA[i], popsB[i]) << "pop " << i;
            if (ra != kPathFound) continue;
            ++found;
            decreases += ta.lowered;
            const PathSearcher &a = pathSearchers[0], &b = pathSearchers[1];
            ASSERT_EQ(a.length, b.length);
            for (int i = 0; i < a.length; ++i)
                ASSERT_TRUE(a.bank[i].gx == b.bank[i].gx && a.bank[i].gy == b.bank[i].gy) << "step " << i;
        }
    }
    // Most random searches should find a path, and the grids must exercise the decrease-key.
    EXPECT_TRUE(searches > 250 && found > 120 && decreases > 100) << searches << " " << found << " " << decreases;
}

int arrivals;

class Walking : public ::testing::Test {
protected:
    void SetUp() override {
        FrameReset(), KleReset(), FiguresReset(), PathReset();
        RandSeed(7);
        for (int k = 0; k < kKleCount; ++k)
            if (KleInterior(k)) masKle.m[k].landType = kLandGround;
        arrivals = 0;
        pathArriveHook = [](Fgr*) { ++arrivals; };
        PathRebuild();
        frameDeltaMs = 16, frameDeltaF = 16.0f;
    }
    static Fgr* Walker(int s, int col, int row, int target = 0, int moveMode = 3) {
        Fgr* f = Figure(s, kKindUnitDog, 1);
        f->fgrClass = kClassUnit, f->moveMode = moveMode, f->speed = 0.02f;
        f->x = W(col), f->z = W(row), f->targPathKle = target;
        return f;
    }
    static Fgr* Figure(int s, int kind, int active, int footprintCell = 0, int footprintShape = 0) {
        Fgr* f = &FigureTable[s];
        f->fgrKind = kind, f->active = active, f->footprintCell = footprintCell, f->footprintShape = footprintShape;
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
    ASSERT_EQ(std::tuple(f->onPath, f->onPathLen, f->pathStep[9].x), std::tuple(1, 10, 20));
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
        f->onPath = 1, f->onPathLen = c.length, f->onPathNext = c.next;
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
    EXPECT_FLOAT_EQ(g->x + g->z, W(55) + W(54));
    EXPECT_EQ(masKle.m[K(55, 54)].fgrMove, g);
    PathStepFigure(g);
    EXPECT_EQ(arrivals, 1) << "nothing more happens afterwards";
}

TEST_F(Walking, TargetCellUnderTheFigureWalksToItsCentre) {
    ReplanPath(Walker(2, 100, 100, K(140, 120)));   // another figure's path left in searcher 0
    ASSERT_GT(pathSearchers[0].readPos, 0);
    Fgr* f = Walker(1, 10, 10, K(10, 10));
    f->x = 101.0f, f->z = 108.0f;
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
    WalkUntilStopped(a), WalkUntilStopped(b);
    const int kb = Cell(b);
    EXPECT_TRUE(kb != K(25, 20) && std::abs(KleCol(kb) - 25) <= 1 && std::abs(KleRow(kb) - 20) <= 1);
    EXPECT_EQ(std::tuple(masKle.m[kb].fgrMove, masKle.m[K(25, 20)].fgrMove, arrivals), std::tuple(b, a, 3));
    for (int k : {0, 255, 65280, 70000}) EXPECT_EQ(FgrClaimCell(b, k), 0);   // not interior: nothing
    // A holder removed without clearing its claim, or standing elsewhere, loses the cell.
    b->x = a->x, b->z = a->z;
    a->fgrKind = 0;
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
    EXPECT_EQ(masKle.m[K(25, 20)].fgrMove, b) << "removed holder";
    masKle.m[K(10, 10)].fgrMove = a = Walker(1, 30, 30);
    b = Walker(2, 10, 10);
    EXPECT_EQ(FgrClaimCell(b, -1), 0);
    EXPECT_EQ(masKle.m[K(10, 10)].fgrMove, b) << "holder elsewhere";
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
    PathClearLayers(), masKle.m[K(40, 41)].landType = kLandHole;
    Fgr* lair = Figure(7, kKindLairForest, 1, K(60, 60), 6);
    Figure(8, kKindLairWater, 0, K(70, 70), 9);   // dormant
    Fgr* f = Walker(1, 10, 10, K(20, 10));
    PathWorldStep();
    EXPECT_EQ(f->onPath, 1) << "the first frame rebuilds and replans every figure";
    EXPECT_TRUE(PathIsBlocked(3, 40, 41) && PathIsBlocked(3, 61, 61) && PathIsBlocked(1, 0, 5));
    EXPECT_FALSE(PathIsBlocked(1, 40, 41) || PathIsBlocked(1, 61, 61));
    EXPECT_FALSE(PathIsBlocked(3, 70, 70)) << "dormant figures stamp nothing";
    lair->fgrKind = 0, masKle.m[K(50, 50)].landType = kLandRock;
    int frames = 0;
    for (; !PathIsBlocked(3, 50, 50) && frames < 100; ++frames) PathWorldStep();
    EXPECT_EQ(frames, 50) << "800 ms at 16 ms a frame";
    EXPECT_FALSE(PathIsBlocked(3, 60, 60)) << "a removed footprint is gone";
    // A walled-in target: planned once, not again every frame; a new order plans at once.
    for (int d : {-257, -256, -255, -1, 1, 255, 256, 257}) masKle.m[K(100, 100) + d].landType = kLandRock;
    f->fgrKind = 0, PathRebuild();
    f = Walker(3, 10, 10, K(100, 100));
    PathStepFigure(f);
    const int closed = PathOnClosed();
    for (int i = 0; i < 20; ++i) PathStepFigure(f);
    EXPECT_EQ(PathOnClosed(), closed);
    f->targPathKle = K(30, 10);
    PathStepFigure(f);
    EXPECT_EQ(f->onPath, 1);
    f->onPath = 0, f->targPathKle = K(100, 100);
    PathStepFigure(f);
    PathRebuild();
    EXPECT_EQ(PathOnClosed(), closed + 6);
}

TEST_F(Walking, HostilePathWordsNeverReadPastTheSteps) {
    Fgr* f = Walker(1, 10, 10);
    for (auto [next, len] : {std::pair{40, 70}, {-1, 5}, {1000000, 3}, {3, 0}, {3, -7}}) {
        f->onPath = 1, f->onPathNext = next, f->onPathLen = len;
        f->targPathKle = K(20, 20), f->segmentLength = 0.0f;
        FollowPath(f);
        EXPECT_EQ(f->onPath, 0);
    }
    f = Walker(1, 10, 10, K(20, 10));   // a length below the steps walked: walks to the 40th step, then stops
    ReplanPath(f);
    f->onPathLen = -3, f->onPathNext = 37;
    for (int i = 0; i < 5000 && f->onPath == 1; ++i) FollowPath(f);
    EXPECT_EQ(f->onPath, 0);
    // Positions and targets off the grid (5: a border cell).
    const std::pair<float, int> bad[] = {{-5.0f, 0}, {2560.0f, 0}, {NAN, 0}, {INFINITY, 0}, {1e30f, 0},
                                         {0, -1}, {0, 5}, {0, 65536}, {0, 2147483647}, {0, -2147483647}};
    for (auto [x, k] : bad) {
        f = Walker(1, 10, 10, k ? k : K(20, 10));
        if (x != 0) f->x = x;
        ReplanPath(f);
        EXPECT_EQ(f->onPath, 0) << x << " " << k;
    }
}

}  // namespace
