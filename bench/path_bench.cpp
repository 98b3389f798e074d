// Path planning speed: our A* against Boost.Graph's astar_search on the same
// grids (same step costs, heuristic and stopping rule: the search ends when
// the target is first put on the open list), the scanning decrease-key, and
// the periodic passability rebuild with 200 walking figures.
#include <benchmark/benchmark.h>

#include <boost/graph/astar_search.hpp>
#include <boost/graph/compressed_sparse_row_graph.hpp>

#include <atomic>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/random.h"
#include "bench_support.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_astar.h"
#include "world/path_follow.h"
#include "world/path_grid.h"

namespace {

constexpr int kClass = 3;

enum class Grid { Open, Maze };

// A perfect maze on the odd cells (recursive backtracker, fixed seed); every
// other cell is solid. Start (1,1), target (253,253).
void BuildGrid(Grid g) {
    PathClearLayers();
    if (g == Grid::Open) return;
    for (int k = 0; k < kPathCells; ++k) PathStampLandType(k, 7);
    unsigned seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    std::vector<uint8_t> seen(127 * 127, 0);
    std::vector<std::pair<int, int>> stack{{0, 0}};
    seen[0] = 1;
    auto open = [](int gx, int gy) { passLayers.layer[kClass - 1][PathLayerIndex(gx, gy)] = 0; };
    open(1, 1);
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    while (!stack.empty()) {
        const auto [cx, cy] = stack.back();
        int choices[4], n = 0;
        for (int d = 0; d < 4; ++d) {
            const int nx = cx + dx[d], ny = cy + dy[d];
            if (nx >= 0 && ny >= 0 && nx < 127 && ny < 127 && !seen[ny * 127 + nx]) choices[n++] = d;
        }
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        const int d = choices[next() % n];
        const int nx = cx + dx[d], ny = cy + dy[d];
        seen[ny * 127 + nx] = 1;
        open(2 * cx + 1 + dx[d], 2 * cy + 1 + dy[d]);
        open(2 * nx + 1, 2 * ny + 1);
        stack.push_back({nx, ny});
    }
}

struct Query {
    int sx, sy, tx, ty;
};
Query QueryFor(Grid g) { return g == Grid::Open ? Query{0, 0, 255, 255} : Query{1, 1, 253, 253}; }

// ---- ours ----
template <bool kScan>
void BM_OurAStar(benchmark::State& state, Grid g) {
    BuildGrid(g);
    PathPlannerReset();
    const Query q = QueryFor(g);
    long allocs = 0;
    int length = 0;
    for (auto _ : state) {
        const long before = benchAllocations;
        const int r = kScan ? FindPathLinearScan(kClass, 0, q.sx * 10 + 5, q.sy * 10 + 5, q.tx * 10 + 5, q.ty * 10 + 5)
                            : FindPath(kClass, 0, q.sx * 10 + 5, q.sy * 10 + 5, q.tx * 10 + 5, q.ty * 10 + 5);
        allocs += benchAllocations - before;
        if (r != kPathFound) state.SkipWithError("no path");
        length = pathSearchers[0].length;
        benchmark::DoNotOptimize(r);
    }
    state.counters["path_len"] = length;
    state.counters["allocs_per_search"] = static_cast<double>(allocs) / static_cast<double>(state.iterations());
}
void BM_OurAStar_Open(benchmark::State& s) { BM_OurAStar<false>(s, Grid::Open); }
void BM_OurAStar_Maze(benchmark::State& s) { BM_OurAStar<false>(s, Grid::Maze); }
void BM_OurAStarScan_Open(benchmark::State& s) { BM_OurAStar<true>(s, Grid::Open); }
void BM_OurAStarScan_Maze(benchmark::State& s) { BM_OurAStar<true>(s, Grid::Maze); }
BENCHMARK(BM_OurAStar_Open);
BENCHMARK(BM_OurAStar_Maze);
BENCHMARK(BM_OurAStarScan_Open);
BENCHMARK(BM_OurAStarScan_Maze);

// ---- Boost.Graph ----
struct EdgeW {
    int w;
};
using BoostGraph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, EdgeW>;
using Vertex = boost::graph_traits<BoostGraph>::vertex_descriptor;

// Same moves as the planner: a step into a free cell, diagonals only when
// both orthogonal cells are free; vertex = gx * 256 + gy.
BoostGraph MakeBoostGraph() {
    std::vector<std::pair<int, int>> edges;
    std::vector<EdgeW> weights;
    const uint8_t* blocked = passLayers.layer[kClass - 1];
    for (int u = 0; u < kPathCells; ++u) {
        const int px = u >> 8, py = u & 255;
        for (int b = py - 1; b <= py + 1; ++b)
            for (int a = px - 1; a <= px + 1; ++a) {
                if (a < 0 || b < 0 || a > 255 || b > 255 || (a == px && b == py)) continue;
                const int v = PathLayerIndex(a, b);
                if (blocked[v]) continue;
                const bool diag = a != px && b != py;
                if (diag && (blocked[PathLayerIndex(a, py)] || blocked[PathLayerIndex(px, b)])) continue;
                edges.emplace_back(u, v);
                weights.push_back({diag ? 14 : 10});
            }
    }
    return BoostGraph(boost::edges_are_sorted, edges.begin(), edges.end(), weights.begin(), kPathCells);
}

struct Manhattan : boost::astar_heuristic<BoostGraph, int> {
    int tx, ty;
    Manhattan(int x, int y) : tx(x), ty(y) {}
    int operator()(Vertex v) const {
        return 10 * (std::abs(static_cast<int>(v >> 8) - tx) + std::abs(static_cast<int>(v & 255) - ty));
    }
};
struct TargetReached {};
struct StopOnDiscover : boost::default_astar_visitor {
    Vertex target;
    explicit StopOnDiscover(Vertex t) : target(t) {}
    void discover_vertex(Vertex v, const BoostGraph&) const {
        if (v == target) throw TargetReached{};
    }
};

void BM_BoostAStar(benchmark::State& state, Grid g) {
    BuildGrid(g);
    const BoostGraph graph = MakeBoostGraph();
    const Query q = QueryFor(g);
    const Vertex s = PathLayerIndex(q.sx, q.sy), t = PathLayerIndex(q.tx, q.ty);
    std::vector<Vertex> pred(kPathCells);
    std::vector<int> dist(kPathCells), rank(kPathCells);
    std::vector<boost::default_color_type> color(kPathCells);
    int length = 0;
    long allocs = 0;
    for (auto _ : state) {
        const long before = benchAllocations;
        bool reached = false;
        try {
            boost::astar_search(graph, s, Manhattan(q.tx, q.ty),
                                boost::weight_map(boost::get(&EdgeW::w, graph))
                                    .predecessor_map(pred.data())
                                    .distance_map(dist.data())
                                    .rank_map(rank.data())
                                    .color_map(color.data())
                                    .visitor(StopOnDiscover(t)));
        } catch (TargetReached&) {
            reached = true;
        }
        allocs += benchAllocations - before;
        if (!reached) state.SkipWithError("no path");
        length = 0;
        for (Vertex v = t; v != s; v = pred[v]) ++length;
        benchmark::DoNotOptimize(length);
    }
    state.counters["path_len"] = length;
    state.counters["allocs_per_search"] = static_cast<double>(allocs) / static_cast<double>(state.iterations());
}
void BM_BoostAStar_Open(benchmark::State& s) { BM_BoostAStar(s, Grid::Open); }
void BM_BoostAStar_Maze(benchmark::State& s) { BM_BoostAStar(s, Grid::Maze); }
BENCHMARK(BM_BoostAStar_Open);
BENCHMARK(BM_BoostAStar_Maze);

// ---- the world: rebuild and walking ----
constexpr int kWalkers = 200;

// Ground with scattered rocks, holes and water, a few walls and 40 lair-sized
// footprints; 200 walkers (moveMode 3) at random cells with random targets.
void BuildWorld() {
    KleReset();
    FiguresReset();
    PathReset();
    RandSeed(99);
    for (int k = 0; k < kKleCount; ++k) {
        if (!KleInterior(k)) continue;
        const int r = Rand() % 100;
        masKle.m[k].landType = r < 4 ? kLandRock : r < 6 ? kLandHole : r < 8 ? kLandDeepWater : kLandGround;
    }
    for (int w = 0; w < 10; ++w) {
        const int row = 20 + Rand() % 210, col = 20 + Rand() % 100;
        for (int i = 0; i < 100; ++i) masKle.m[KleIndex(row, col + i)].landType = kLandSolid;
    }
    for (int s = 1; s <= 40; ++s) {
        Fgr& b = FigureTable[s];
        b.fgrKind = kKindLairForest;
        b.active = 1;
        b.footprintCell = KleIndex(10 + Rand() % 230, 10 + Rand() % 230);
        b.footprintShape = 6 + Rand() % 4;
    }
    for (int s = 41; s < 41 + kWalkers; ++s) {
        Fgr& f = FigureTable[s];
        f.fgrKind = kKindUnitDog;
        f.fgrClass = kClassUnit;
        f.active = 1;
        f.moveMode = 3;
        f.speed = 0.028f;
        const int k = KleIndex(5 + Rand() % 246, 5 + Rand() % 246);
        f.x = KleCol(k) * 10.0f + 5.0f;
        f.z = KleRow(k) * 10.0f + 5.0f;
        f.targPathKle = KleIndex(5 + Rand() % 246, 5 + Rand() % 246);
    }
}

// One rebuild: clear, terrain, footprints, then every walker plans anew
// (their path state is reset first so that the hysteresis lets them).
void BM_RebuildAndReplan200(benchmark::State& state) {
    BuildWorld();
    long allocs = 0;
    int walking = 0;
    for (auto _ : state) {
        for (int s = 41; s < 41 + kWalkers; ++s) FigureTable[s].onPath = 0;
        const long before = benchAllocations;
        PathRebuild();
        allocs += benchAllocations - before;
        walking = 0;
        for (int s = 41; s < 41 + kWalkers; ++s) walking += FigureTable[s].onPath;
    }
    state.counters["walking"] = walking;
    state.counters["allocs_per_rebuild"] = static_cast<double>(allocs) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RebuildAndReplan200)->Unit(benchmark::kMicrosecond);

// The rebuild alone (layers from terrain and footprints, no walkers).
void BM_RebuildLayersOnly(benchmark::State& state) {
    BuildWorld();
    for (int s = 41; s < 41 + kWalkers; ++s) FigureTable[s].fgrKind = 0;
    for (auto _ : state) PathRebuild();
}
BENCHMARK(BM_RebuildLayersOnly)->Unit(benchmark::kMicrosecond);

// One 16 ms frame of 200 walkers: the rebuild timer and every walker's
// step; new targets are ordered as walkers arrive.
void BM_WalkFrame200(benchmark::State& state) {
    BuildWorld();
    frameDeltaMs = 16;
    frameDeltaF = 16.0f;
    long allocs = 0;
    for (auto _ : state) {
        const long before = benchAllocations;
        PathWorldStep();
        for (int s = 41; s < 41 + kWalkers; ++s) {
            Fgr& f = FigureTable[s];
            if (f.targPathKle == 0) {
                f.targPathKle = KleIndex(5 + Rand() % 246, 5 + Rand() % 246);
                f.onPath = 0;
            }
            PathStepFigure(&f);
        }
        allocs += benchAllocations - before;
    }
    state.counters["allocs_per_frame"] = static_cast<double>(allocs) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WalkFrame200)->Unit(benchmark::kMicrosecond);

}  // namespace
