// Planner: passability layers, costs, tie rules, marker counters, searchers,
// and the indexed decrease-key against the scanning one.
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
    int Find(int cls, int sx, int sy, int tx, int ty) {
        return FindPath(cls, 0, W(sx), W(sy), W(tx), W(ty));
    }
    static std::vector<PathStepCell> Steps() {
        const PathSearcher& s = pathSearchers[0];
        return {s.bank, s.bank + s.length};
    }
    // Cost of the stored path from (sx, sy), checking every step is a legal move.
    static int Cost(int cls, int sx, int sy) {
        int cost = 0, x = sx, y = sy;
        for (const PathStepCell& c : Steps()) {
            const int dx = c.gx - x, dy = c.gy - y;
            EXPECT_LE(std::abs(dx), 1);
            EXPECT_LE(std::abs(dy), 1);
            EXPECT_FALSE(PathIsBlocked(cls, c.gx, c.gy));
            if (dx && dy) {
                EXPECT_FALSE(PathIsBlocked(cls, c.gx, y)) << "corner cut";
                EXPECT_FALSE(PathIsBlocked(cls, x, c.gy)) << "corner cut";
            }
            cost += (dx && dy) ? 14 : 10;
            x = c.gx;
            y = c.gy;
        }
        return cost;
    }
};

TEST_F(PathPlanner, LandTypesBlockTheirClasses) {
    struct Case {
        int landType;
        bool blocked[5];
    };
    const Case cases[] = {
        {0, {1, 1, 1, 1, 1}}, {1, {0, 1, 1, 1, 1}}, {2, {0, 0, 0, 0, 0}}, {3, {0, 0, 0, 0, 0}},
        {4, {0, 0, 0, 0, 0}}, {5, {0, 0, 1, 0, 1}}, {6, {0, 1, 1, 1, 1}}, {7, {1, 1, 1, 1, 1}},
        {8, {0, 0, 0, 0, 0}}, {255, {0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        PathClearLayers();
        const int k = 20 * 256 + 30;  // row 20, column 30
        PathStampLandType(k, c.landType);
        for (int cls = 1; cls <= 5; ++cls)
            EXPECT_EQ(PathIsBlocked(cls, 30, 20), c.blocked[cls - 1])
                << "landType " << c.landType << " class " << cls;
        EXPECT_FALSE(PathIsBlocked(3, 20, 30)) << "layers are (column, row)";
    }
}

TEST_F(PathPlanner, OutsideTheGridAndBadClassesAreBlocked) {
    for (int cls : {0, 6, -1, 100}) EXPECT_TRUE(PathIsBlocked(cls, 10, 10));
    EXPECT_TRUE(PathIsBlocked(1, -1, 10));
    EXPECT_TRUE(PathIsBlocked(1, 10, 256));
    EXPECT_FALSE(PathIsBlocked(1, 255, 0));
    PathMark(7, 1, 1);     // ignored
    PathMark(2, 300, 1);   // ignored
    PathMark(2, 4, 9);
    EXPECT_TRUE(PathIsBlocked(2, 4, 9));
    EXPECT_FALSE(PathIsBlocked(3, 4, 9));
}

TEST_F(PathPlanner, FootprintShapes) {
    struct Case {
        int shape;
        std::vector<int> cells;  // offsets from the anchor
    };
    const Case cases[] = {
        {0, {0}}, {1, {0}}, {2, {0, 1}}, {3, {0, 256}}, {4, {0, 1, 2}}, {5, {0, 256, 512}},
        {6, {0, 1, 256, 257}}, {7, {0, 1, 256, 257, 512, 513}}, {8, {0, 1, 2, 256, 257, 258}},
        {9, {0, 1, 2, 256, 257, 258, 512, 513, 514}}, {10, {0, 1, 256, 257}},
        {11, {0, 1, 256, 257}}, {12, {0}}, {-3, {0}},
    };
    const int anchor = 100 * 256 + 100;
    for (const Case& c : cases) {
        PathClearLayers();
        PathStampFootprint(anchor, c.shape);
        int marked = 0;
        for (int k = 0; k < kPathCells; ++k)
            if (PathIsBlocked(2, k & 255, k >> 8)) ++marked;
        EXPECT_EQ(marked, static_cast<int>(c.cells.size())) << "shape " << c.shape;
        for (int off : c.cells) {
            const int k = anchor + off;
            EXPECT_FALSE(PathIsBlocked(1, k & 255, k >> 8)) << "class 1 walks through buildings";
            for (int cls = 2; cls <= 5; ++cls) EXPECT_TRUE(PathIsBlocked(cls, k & 255, k >> 8));
        }
    }
}

TEST_F(PathPlanner, FootprintSkipsCellsOffTheInterior) {
    PathStampFootprint(2 * 256 + 253, 9);  // columns 253..255: 255 is a border column
    EXPECT_TRUE(PathIsBlocked(3, 254, 4));
    EXPECT_FALSE(PathIsBlocked(3, 255, 2));
    EXPECT_FALSE(PathIsBlocked(3, 255, 3));
    PathClearLayers();
    PathStampFootprint(65280 - 256 + 10, 5);  // row 254, rows 255 and 256 are off
    EXPECT_TRUE(PathIsBlocked(3, 10, 254));
    EXPECT_FALSE(PathIsBlocked(3, 10, 255));
}

TEST_F(PathPlanner, CostsOnOpenGround) {
    struct Case {
        int sx, sy, tx, ty, length, cost;
    };
    const Case cases[] = {
        {5, 5, 10, 5, 5, 50},   {10, 5, 5, 5, 5, 50},    {5, 5, 5, 1, 4, 40},
        {5, 5, 10, 10, 5, 70},  {10, 10, 5, 5, 5, 70},   {5, 5, 12, 8, 7, 82},
        {5, 5, 6, 6, 1, 14},    {5, 5, 6, 5, 1, 10},     {0, 0, 255, 255, 255, 3570},
        {255, 0, 0, 255, 255, 3570},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Find(3, c.sx, c.sy, c.tx, c.ty), kPathFound);
        EXPECT_EQ(pathSearchers[0].length, c.length) << c.sx << "," << c.sy << " -> " << c.tx << "," << c.ty;
        EXPECT_EQ(Cost(3, c.sx, c.sy), c.cost);
        const PathStepCell last = Steps().back();
        EXPECT_EQ(last.gx, c.tx);
        EXPECT_EQ(last.gy, c.ty);
    }
}

TEST_F(PathPlanner, NextStepIsTheCentreOfTheFirstStep) {
    ASSERT_EQ(FindPath(3, 0, 51, 57, 100, 50), kPathFound);  // cell (5,5) -> (10,5)
    EXPECT_EQ(pathSearchers[0].readPos, 1);
    EXPECT_EQ(pathSearchers[0].nextX, 65);
    EXPECT_EQ(pathSearchers[0].nextZ, 55);
}

TEST_F(PathPlanner, HoleBlocksClassThreeButNotClassOne) {
    PathStampLandType(20 * 256 + 20, 1);  // the target cell is a hole
    EXPECT_EQ(Find(3, 10, 20, 20, 20), kPathNone);
    EXPECT_EQ(pathSearchers[0].nextX, W(10)) << "a blocked target leaves the start as next step";
    EXPECT_EQ(pathSearchers[0].nextZ, W(20));
    EXPECT_EQ(Find(1, 10, 20, 20, 20), kPathFound);
    EXPECT_EQ(pathSearchers[0].length, 10);

    // A trench of holes across the way: class 1 crosses it, class 3 goes around.
    PathClearLayers();
    for (int y = 5; y <= 35; ++y) PathStampLandType(y * 256 + 15, 1);
    ASSERT_EQ(Find(1, 10, 20, 20, 20), kPathFound);
    EXPECT_EQ(Cost(1, 10, 20), 100);
    ASSERT_EQ(Find(3, 10, 20, 20, 20), kPathFound);
    EXPECT_GT(Cost(3, 10, 20), 100);
}

TEST_F(PathPlanner, DeepWaterBlocksOnlyClassesThreeAndFive) {
    PathStampLandType(20 * 256 + 20, 5);
    EXPECT_EQ(Find(2, 10, 20, 20, 20), kPathFound);
    EXPECT_EQ(Find(3, 10, 20, 20, 20), kPathNone);
    EXPECT_EQ(Find(4, 10, 20, 20, 20), kPathFound);
    EXPECT_EQ(Find(5, 10, 20, 20, 20), kPathNone);
}

TEST_F(PathPlanner, NoCornerCuttingBetweenRocks) {
    // Target (21,21) is enclosed by rocks except for the diagonal gap at (20,20),
    // whose two orthogonal neighbours (21,20) and (20,21) are rocks.
    for (int y = 20; y <= 22; ++y)
        for (int x = 20; x <= 22; ++x)
            if (!(x == 21 && y == 21) && !(x == 20 && y == 20)) PathStampLandType(y * 256 + x, 6);
    EXPECT_FALSE(PathIsBlocked(3, 20, 20));
    EXPECT_EQ(Find(3, 20, 20, 21, 21), kPathNone);
    EXPECT_EQ(Find(3, 5, 5, 21, 21), kPathNone);
    EXPECT_EQ(Find(1, 20, 20, 21, 21), kPathFound) << "rocks do not block class 1";
    EXPECT_EQ(pathSearchers[0].length, 1);

    // One rock beside the diagonal is enough to forbid it.
    PathClearLayers();
    PathStampLandType(5 * 256 + 6, 6);  // (6,5)
    ASSERT_EQ(Find(3, 5, 5, 6, 6), kPathFound);
    EXPECT_EQ(pathSearchers[0].length, 2);
    EXPECT_EQ(Cost(3, 5, 5), 20);
}

TEST_F(PathPlanner, StartEqualsTarget) {
    EXPECT_EQ(FindPath(3, 0, 55, 55, 59, 51), kPathNone) << "no previous path";
    ASSERT_EQ(Find(3, 5, 5, 9, 5), kPathFound);
    EXPECT_EQ(FindPath(3, 0, 95, 55, 91, 59), kPathFound) << "a previous path was read";
    EXPECT_EQ(FindPath(3, 1, 95, 55, 91, 59), kPathNone) << "searchers are independent";
}

TEST_F(PathPlanner, StartOutsideTheGridIsRefused) {
    ASSERT_EQ(Find(3, 5, 5, 9, 5), kPathFound);
    const int closed = PathOnClosed();
    struct Case {
        int x, z;
    };
    for (const Case c : {Case{-1, 50}, Case{50, -9}, Case{2560, 50}, Case{50, 2560}, Case{-2147483647, 0},
                         Case{2147483647, 2147483647}}) {
        EXPECT_EQ(FindPath(3, 0, c.x, c.z, 95, 55), kPathNone);
        EXPECT_EQ(FindPath(1, 0, c.x, c.z, 95, 55), kPathNone);
    }
    EXPECT_EQ(PathOnClosed(), closed) << "no search ran";
    EXPECT_EQ(pathSearchers[0].length, 4) << "the searcher keeps its path";
    EXPECT_EQ(FindPath(3, 4, 55, 55, 95, 55), kPathNone);
    EXPECT_EQ(FindPath(3, -1, 55, 55, 95, 55), kPathNone);
    // A target off the grid is a blocked target.
    EXPECT_EQ(FindPath(3, 0, 55, 55, -5, 55), kPathNone);
    EXPECT_EQ(FindPath(3, 0, 55, 55, 55, 2560), kPathNone);
    EXPECT_EQ(FindPath(0, 0, 55, 55, 95, 55), kPathNone);
    EXPECT_EQ(FindPath(6, 0, 55, 55, 95, 55), kPathNone);
}

TEST_F(PathPlanner, BlockedStartCellCanBeLeft) {
    PathStampLandType(5 * 256 + 5, 6);
    EXPECT_EQ(Find(3, 5, 5, 9, 5), kPathFound);
    EXPECT_EQ(pathSearchers[0].length, 4);
}

TEST_F(PathPlanner, WalledOffTargetHasNoPath) {
    for (int i = 0; i < 256; ++i) PathStampLandType(i * 256 + 100, 7);
    EXPECT_EQ(Find(1, 50, 50, 150, 50), kPathNone);
    EXPECT_EQ(pathSearchers[0].length, 0);
    EXPECT_EQ(pathSearchers[0].readPos, 0);
    EXPECT_EQ(FindPath(1, 0, 505, 505, 501, 509), kPathNone) << "the failed search reset the read position";
}

TEST_F(PathPlanner, MarkerCountersGrowByTwoAndWrap) {
    EXPECT_EQ(PathOnClosed(), 10);
    Find(3, 5, 5, 9, 5);
    EXPECT_EQ(PathOnClosed(), 12);
    Find(3, 5, 5, 5, 5);        // start == target: no search
    PathStampLandType(5 * 256 + 9, 7);
    Find(3, 5, 5, 9, 5);        // blocked target: no search
    EXPECT_EQ(PathOnClosed(), 12);
    PathClearLayers();

    PathSetOnClosed(1000001);
    ASSERT_EQ(Find(3, 5, 5, 40, 30), kPathFound);
    EXPECT_EQ(PathOnClosed(), 12) << "cleared and restarted at 10";
    const std::vector<PathStepCell> a = Steps();
    PathSetOnClosed(999999);
    ASSERT_EQ(Find(3, 5, 5, 40, 30), kPathFound);
    EXPECT_EQ(PathOnClosed(), 1000001);
    const std::vector<PathStepCell> b = Steps();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(a[i].gx == b[i].gx && a[i].gy == b[i].gy);
}

// Heap tie rules.
TEST(PathHeapRules, PopSinksIntoTheRightChildOnEqualF) {
    static PathHeap<true> h;
    h.Clear();
    // Heap after pushes: [1]=1, [2]=5, [3]=5, [4]=9.
    h.Push(1, 100);
    h.Push(5, 200);
    h.Push(5, 300);
    h.Push(9, 400);
    ASSERT_EQ(h.e[2].cell, 200);
    ASSERT_EQ(h.e[3].cell, 300);
    EXPECT_EQ(h.Pop().cell, 100);
    // 9 was moved to the top and sank; both children had F 5: the right one wins.
    EXPECT_EQ(h.e[1].cell, 300);
    EXPECT_EQ(h.e[2].cell, 200);
    EXPECT_EQ(h.e[3].cell, 400);
    EXPECT_EQ(h.pos[300], 1);
    EXPECT_EQ(h.pos[400], 3);
}

TEST(PathHeapRules, PopSinksPastAChildOfEqualF) {
    static PathHeap<false> h;
    h.Clear();
    h.Push(1, 10);
    h.Push(4, 20);
    h.Push(6, 30);
    h.Push(4, 40);  // equal to its parent [2]: rises, 20 goes to [4]
    ASSERT_EQ(h.e[2].cell, 40);
    ASSERT_EQ(h.e[4].cell, 20);
    // Pop moves 20 (F 4) to the top: left child 40 has F 4 -> 20 goes down anyway.
    EXPECT_EQ(h.Pop().cell, 10);
    EXPECT_EQ(h.e[1].cell, 40);
    EXPECT_EQ(h.e[2].cell, 20);
    EXPECT_EQ(h.e[3].cell, 30);
}

TEST(PathHeapRules, PushRisesPastEqualButLowerDoesNot) {
    static PathHeap<true> h;
    h.Clear();
    h.Push(3, 1);
    h.Push(7, 2);
    h.Push(3, 3);  // equal to the top: rises to the top
    EXPECT_EQ(h.e[1].cell, 3);
    EXPECT_EQ(h.e[3].cell, 1);
    h.Lower(2, 3);  // cell 2 now F 3, equal to the top: stays
    EXPECT_EQ(h.e[2].cell, 2);
    EXPECT_EQ(h.e[1].cell, 3);
    h.Lower(2, 2);  // strictly lower: rises
    EXPECT_EQ(h.e[1].cell, 2);
    EXPECT_EQ(h.pos[2], 1);
    EXPECT_EQ(h.pos[3], 2);
    EXPECT_EQ(h.Find(1), 3);
}

// ---------------------------------------------------------------------------
// The search written out plainly, with item numbers, per-item arrays and
// swaps; the planner must return the same paths in the same pop order.
struct PlainSearch {
    std::vector<int> which = std::vector<int>(65536, 0);
    std::vector<int> g = std::vector<int>(65536, 0);
    std::vector<int> parX = std::vector<int>(65536, 0), parY = std::vector<int>(65536, 0);
    std::vector<int> open = std::vector<int>(65540, 0);
    std::vector<int> ox = std::vector<int>(65540, 0), oy = std::vector<int>(65540, 0);
    std::vector<int> of = std::vector<int>(65540, 0), oh = std::vector<int>(65540, 0);
    std::vector<int> pops;
    std::vector<PathStepCell> path;
    int onClosedList = 10;

    bool Walk(int cls, int x, int y) const { return !PathIsBlocked(cls, x, y); }
    int& W2(std::vector<int>& v, int x, int y) { return v[x * 256 + y]; }

    int Run(int cls, int sx, int sy, int tx, int ty) {
        pops.clear();
        path.clear();
        if (sx == tx && sy == ty) return 2;
        if (!Walk(cls, tx, ty)) return 2;
        onClosedList += 2;
        const int onOpenList = onClosedList - 1;
        W2(g, sx, sy) = 0;
        int n = 1, newId = 0;
        open[1] = 1;
        ox[1] = sx;
        oy[1] = sy;
        bool found = false;
        do {
            if (n == 0) return 2;
            const int px = ox[open[1]], py = oy[open[1]];
            pops.push_back(px * 256 + py);
            W2(which, px, py) = onClosedList;
            n = n - 1;
            open[1] = open[n + 1];
            int v = 1, u;
            for (;;) {
                u = v;
                if (2 * u + 1 <= n) {
                    if (of[open[u]] >= of[open[2 * u]]) v = 2 * u;
                    if (of[open[v]] >= of[open[2 * u + 1]]) v = 2 * u + 1;
                } else if (2 * u <= n) {
                    if (of[open[u]] >= of[open[2 * u]]) v = 2 * u;
                }
                if (u != v) std::swap(open[u], open[v]);
                else break;
            }
            for (int b = py - 1; b <= py + 1; b++)
                for (int a = px - 1; a <= px + 1; a++) {
                    if (a == -1 || b == -1 || a == 256 || b == 256) continue;
                    if (W2(which, a, b) == onClosedList) continue;
                    if (!Walk(cls, a, b)) continue;
                    bool corner = true;
                    if (a != px && b != py && (!Walk(cls, a, py) || !Walk(cls, px, b))) corner = false;
                    if (!corner) continue;
                    const int add = (std::abs(a - px) == 1 && std::abs(b - py) == 1) ? 14 : 10;
                    if (W2(which, a, b) != onOpenList) {
                        newId++;
                        int m = n + 1;
                        open[m] = newId;
                        ox[newId] = a;
                        oy[newId] = b;
                        W2(g, a, b) = W2(g, px, py) + add;
                        oh[open[m]] = 10 * (std::abs(a - tx) + std::abs(b - ty));
                        of[open[m]] = W2(g, a, b) + oh[open[m]];
                        W2(parX, a, b) = px;
                        W2(parY, a, b) = py;
                        while (m != 1) {
                            if (of[open[m]] <= of[open[m / 2]]) {
                                std::swap(open[m], open[m / 2]);
                                m = m / 2;
                            } else break;
                        }
                        n = n + 1;
                        W2(which, a, b) = onOpenList;
                    } else {
                        const int tg = W2(g, px, py) + add;
                        if (tg < W2(g, a, b)) {
                            W2(parX, a, b) = px;
                            W2(parY, a, b) = py;
                            W2(g, a, b) = tg;
                            for (int x = 1; x <= n; x++) {
                                if (ox[open[x]] == a && oy[open[x]] == b) {
                                    of[open[x]] = W2(g, a, b) + oh[open[x]];
                                    int m = x;
                                    while (m != 1) {
                                        if (of[open[m]] < of[open[m / 2]]) {
                                            std::swap(open[m], open[m / 2]);
                                            m = m / 2;
                                        } else break;
                                    }
                                    break;
                                }
                            }
                        }
                    }
                }
            if (W2(which, tx, ty) == onOpenList) found = true;
        } while (!found);
        int x = tx, y = ty;
        do {
            path.insert(path.begin(), PathStepCell{static_cast<uint8_t>(x), static_cast<uint8_t>(y)});
            const int t = W2(parX, x, y);
            y = W2(parY, x, y);
            x = t;
        } while (x != sx || y != sy);
        return 1;
    }
};

// Random grid: rocks, holes and water with the given density, some walls.
void RandomGrid(int density) {
    PathClearLayers();
    for (int k = 0; k < kPathCells; ++k) {
        const int r = Rand() % 100;
        if (r < density) PathStampLandType(k, r % 3 == 0 ? 1 : (r % 3 == 1 ? 6 : 5));
    }
    for (int w = 0; w < 12; ++w) {
        const int x = Rand() % 256, y = Rand() % 256, len = Rand() % 120;
        const bool vertical = Rand() % 2;
        for (int i = 0; i < len; ++i) {
            const int gx = vertical ? x : (x + i) % 256, gy = vertical ? (y + i) % 256 : y;
            PathStampLandType(gy * 256 + gx, 7);
        }
    }
}

TEST(PathEquivalence, IndexedScannedAndPlainSearchesAgree) {
    PathPlannerReset();
    RandSeed(4242);
    static int32_t popsA[kPathCells], popsB[kPathCells];
    static PlainSearch plain;
    int found = 0, searches = 0, decreases = 0;
    for (int grid = 0; grid < 24; ++grid) {
        RandomGrid(grid % 4 * 9);  // 0, 9, 18 and 27 percent obstacles
        for (int q = 0; q < 12; ++q) {
            const int cls = 1 + Rand() % 5;
            const int sx = Rand() % 256, sy = Rand() % 256;
            int tx = Rand() % 256, ty = Rand() % 256;
            if (q % 3 == 0) {  // some short searches too
                tx = std::min(255, sx + Rand() % 20);
                ty = std::max(0, sy - Rand() % 20);
            }
            const int X = sx * 10 + Rand() % 10, Z = sy * 10 + Rand() % 10;
            const int TX = tx * 10 + Rand() % 10, TZ = ty * 10 + Rand() % 10;
            PathTrace ta{0, kPathCells, popsA, 0}, tb{0, kPathCells, popsB, 0};
            const int ra = FindPathTraced(cls, 0, X, Z, TX, TZ, &ta);
            const std::vector<PathStepCell> pa(pathSearchers[0].bank,
                                               pathSearchers[0].bank + (ra == 1 ? pathSearchers[0].length : 0));
            const int rb = FindPathLinearScan(cls, 1, X, Z, TX, TZ, &tb);
            const int rc = plain.Run(cls, sx, sy, tx, ty);
            if (sx == tx && sy == ty) continue;
            ++searches;
            ASSERT_EQ(ra, rb);
            ASSERT_EQ(ra, rc) << "grid " << grid << " query " << q;
            ASSERT_EQ(ta.count, tb.count);
            ASSERT_EQ(ta.count, static_cast<int>(plain.pops.size()));
            for (int i = 0; i < ta.count; ++i) {
                ASSERT_EQ(popsA[i], popsB[i]) << "pop " << i;
                ASSERT_EQ(popsA[i], plain.pops[i]) << "pop " << i;
            }
            if (ra != 1) continue;
            ++found;
            ASSERT_EQ(pathSearchers[1].length, static_cast<int>(pa.size()));
            ASSERT_EQ(plain.path.size(), pa.size());
            for (size_t i = 0; i < pa.size(); ++i) {
                ASSERT_EQ(pathSearchers[1].bank[i].gx, pa[i].gx);
                ASSERT_EQ(pathSearchers[1].bank[i].gy, pa[i].gy);
                ASSERT_EQ(plain.path[i].gx, pa[i].gx);
                ASSERT_EQ(plain.path[i].gy, pa[i].gy);
            }
            decreases += ta.lowered;
            ASSERT_EQ(ta.lowered, tb.lowered);
        }
    }
    EXPECT_GT(searches, 250);
    EXPECT_GT(found, 120) << "most random searches should find a path";
    EXPECT_GT(decreases, 100) << "the grids must exercise the decrease-key";
}

}  // namespace
