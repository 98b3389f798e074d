// Planner: passability layers, costs, refusals, counters, and the indexed
// decrease-key against the scanning one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/random.h"
#include "world/path_astar.h"
#include "world/path_grid.h"

namespace {

int W(int g) { return g * 10 + 5; }  // world coordinate of a cell centre

class PathPlanner : public ::testing::Test {
protected:
    void SetUp() override {
        PathClearLayers();
        PathPlannerReset();
    }
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
            x += dx;
            y += dy;
        }
        return cost;
    }
};

// Footprints block every class but 1 and skip cells off the interior; land
// types block by class.
TEST_F(PathPlanner, LayersByClassAndAtTheEdge) {
    PathStampFootprint(2 * 256 + 253, 9);
    EXPECT_TRUE(PathIsBlocked(3, 254, 4));
    EXPECT_FALSE(PathIsBlocked(1, 254, 4) || PathIsBlocked(3, 255, 2));
    EXPECT_FALSE(PathIsBlocked(3, 4, 254)) << "layers are (column, row)";
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
    ASSERT_EQ(Find(1, 10, 20, 20, 20), kPathFound);
    EXPECT_EQ(Cost(1, 10, 20), 100);
    ASSERT_EQ(Find(3, 10, 20, 20, 20), kPathFound);
    EXPECT_GT(Cost(3, 10, 20), 100);
}

TEST_F(PathPlanner, CostsOnOpenGroundAndNoCornerCutting) {
    struct { int sx, sy, tx, ty, length, cost; } const cases[] = {
        {5, 5, 10, 5, 5, 50}, {10, 10, 5, 5, 5, 70}, {5, 5, 12, 8, 7, 82}, {255, 0, 0, 255, 255, 3570}};
    for (const auto& c : cases) {
        ASSERT_EQ(Find(3, c.sx, c.sy, c.tx, c.ty), kPathFound);
        EXPECT_EQ(pathSearchers[0].length, c.length) << c.sx << "," << c.sy << " -> " << c.tx << "," << c.ty;
        EXPECT_EQ(Cost(3, c.sx, c.sy), c.cost);
    }
    ASSERT_EQ(FindPath(3, 0, 51, 57, 100, 50), kPathFound);   // next step: centre of the first step
    EXPECT_EQ(pathSearchers[0].nextX * 100 + pathSearchers[0].nextZ, 6555);
    // (21,21) is walled by rocks but for the diagonal gap at (20,20).
    for (int y = 20; y <= 22; ++y)
        for (int x = 20; x <= 22; ++x)
            if (!(x == 21 && y == 21) && !(x == 20 && y == 20)) PathStampLandType(y * 256 + x, 6);
    EXPECT_EQ(Find(3, 5, 5, 21, 21), kPathNone);
    EXPECT_EQ(Find(1, 20, 20, 21, 21), kPathFound) << "rocks do not block class 1";
    PathStampLandType(5 * 256 + 6, 6);   // one rock beside a diagonal forbids it
    ASSERT_EQ(Find(3, 5, 5, 6, 6), kPathFound);
    EXPECT_EQ(Cost(3, 5, 5), 20);
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
    for (int bad : {4, -1}) EXPECT_EQ(FindPath(3, bad, 55, 55, 95, 55), kPathNone);
    for (int cls : {0, 6}) EXPECT_EQ(FindPath(cls, 0, 55, 55, 95, 55), kPathNone);
    EXPECT_EQ(PathOnClosed(), closed) << "no search ran";
    EXPECT_EQ(pathSearchers[0].length, 4) << "the searcher keeps its path";
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
    EXPECT_EQ(PathOnClosed(), 1000001);
    EXPECT_EQ(pathSearchers[0].length, length);
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
    EXPECT_GT(searches, 250);
    EXPECT_GT(found, 120) << "most random searches should find a path";
    EXPECT_GT(decreases, 100) << "the grids must exercise the decrease-key";
}

}  // namespace
