// The shaping pass. Three steps on the source ground:
//  1. a mode filter over a disc rounds the 4 x 4 blocks' corners;
//  2. a smooth domain warp (two noise octaves) bends every border, so rims
//     are ragged and roads wind;
//  3. repair: wherever the shaped ground breaks a tile corner, changes a kept
//     cell or blocks a lane, a 7 x 7 patch steps back to half the bend, then
//     to the drawn ground, until nothing is broken (the drawn source is
//     sound, so this ends).
#include "worldgen/shape.h"

#include <cmath>
#include <deque>
#include <functional>
#include <queue>

namespace worldsrc {

namespace {

constexpr unsigned kShapeSeed = 1285;   // fixed: the same ground on every build
constexpr int kModeRadius = 3;
constexpr int kModeReach2 = 6;   // squared: a disc of 21 cells keeps a lone 4 x 4 block
constexpr float kWarpBroad = 5.0f, kWarpBroadStep = 36.0f;   // cells
constexpr float kWarpWide = 3.2f, kWarpWideStep = 15.0f;
constexpr float kWarpFine = 1.2f, kWarpFineStep = 5.0f;
constexpr int kFadeCells = 5;
constexpr int kSteps = 3;
constexpr int kLaneClear = 6, kLaneRimCost = 12;   // lanes keep this far from rims
constexpr int kHeroCell = 113 * kSide + 47;

std::size_t Idx(int r, int c) { return std::size_t(r * kSide + c); }

// Chebyshev distance to the nearest marked cell, capped.
std::vector<int> DistanceTo(const std::vector<std::uint8_t>& marked, int cap) {
    std::vector<int> dist(marked.size(), cap);
    std::deque<int> queue;
    for (std::size_t k = 0; k < marked.size(); ++k)
        if (marked[k]) {
            dist[k] = 0;
            queue.push_back(int(k));
        }
    while (!queue.empty()) {
        const int k = queue.front();
        queue.pop_front();
        const int r = k / kSide, c = k % kSide, d = dist[std::size_t(k)] + 1;
        if (d >= cap) continue;
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
                const int y = r + dr, x = c + dc;
                if (y < 0 || x < 0 || y >= kSide || x >= kSide || dist[Idx(y, x)] <= d) continue;
                dist[Idx(y, x)] = d;
                queue.push_back(y * kSide + x);
            }
    }
    return dist;
}

// Near the pinned places (distance below 3) the drawn ground stays as drawn.
// Blobs are round already: a small one would only be eaten.
std::vector<Ground> ModeFilter(const std::vector<Ground>& in, const std::vector<int>& pinDist,
                               const std::vector<std::uint8_t>& blob) {
    std::vector<Ground> out = in;
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c) {
            if (pinDist[Idx(r, c)] < 3 || blob[Idx(r, c)]) continue;
            int count[7] = {};
            for (int dr = -kModeRadius; dr <= kModeRadius; ++dr)
                for (int dc = -kModeRadius; dc <= kModeRadius; ++dc) {
                    if (dr * dr + dc * dc > kModeReach2) continue;
                    const int y = r + dr, x = c + dc;
                    if (y < 0 || x < 0 || y >= kSide || x >= kSide) continue;
                    ++count[in[Idx(y, x)]];
                }
            int best = in[Idx(r, c)];
            for (int g = 0; g < 7; ++g)
                if (count[g] > count[best]) best = g;
            out[Idx(r, c)] = Ground(best);
        }
    return out;
}

// The bend fades out towards the pinned places, so they keep their ground
// and what surrounds them without a seam.
std::vector<Ground> Warp(const std::vector<Ground>& in, const std::vector<int>& pinDist, float strength) {
    std::vector<Ground> out = in;
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c) {
            const float fr = float(r), fc = float(c);
            float fade = float(pinDist[Idx(r, c)] - 2) / float(kFadeCells);
            fade = fade < 0.0f ? 0.0f : fade > 1.0f ? 1.0f : fade;
            const float dy = kWarpBroad * ValueNoise(fr / kWarpBroadStep, fc / kWarpBroadStep, kShapeSeed + 4) +
                             kWarpWide * ValueNoise(fr / kWarpWideStep, fc / kWarpWideStep, kShapeSeed) +
                             kWarpFine * ValueNoise(fr / kWarpFineStep, fc / kWarpFineStep, kShapeSeed + 1);
            const float dx = kWarpBroad * ValueNoise(fr / kWarpBroadStep, fc / kWarpBroadStep, kShapeSeed + 5) +
                             kWarpWide * ValueNoise(fr / kWarpWideStep, fc / kWarpWideStep, kShapeSeed + 2) +
                             kWarpFine * ValueNoise(fr / kWarpFineStep, fc / kWarpFineStep, kShapeSeed + 3);
            fade *= strength;
            int y = int(std::lround(fr + fade * dy)), x = int(std::lround(fc + fade * dx));
            y = y < 0 ? 0 : y >= kSide ? kSide - 1 : y;
            x = x < 0 ? 0 : x >= kSide ? kSide - 1 : x;
            out[Idx(r, c)] = in[Idx(y, x)];
        }
    return out;
}

bool Blocks(Ground g) { return g == kRock || g == kHole || g == kWater; }

// Cheapest walk over the derived source ground (no rock, hole or water, no
// object cell but the ends); marks the lane of the walk with its neighbours.
// Cells near rock, holes and water cost more, so lanes keep off the rims the
// shaping bends. No lane when there is no such walk (the island, the pocket).
void MarkLane(const std::vector<Ground>& ground, const std::vector<std::uint8_t>& taken,
              const std::vector<int>& rimDist, int from, const std::vector<int>& targets,
              std::vector<std::uint8_t>& lane) {
    std::vector<int> parent(std::size_t(kSide * kSide), -1), cost(std::size_t(kSide * kSide), 1 << 30);
    auto open = [&](int k) {
        const int r = k / kSide, c = k % kSide;
        return r >= 3 && c >= 3 && r < kSide - 3 && c < kSide - 3 && !Blocks(ground[std::size_t(k)]) &&
               !taken[std::size_t(k)];
    };
    using Item = std::pair<int, int>;   // cost, cell
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
    parent[std::size_t(from)] = from;
    cost[std::size_t(from)] = 0;
    queue.push({0, from});
    while (!queue.empty()) {
        const auto [at, k] = queue.top();
        queue.pop();
        if (at > cost[std::size_t(k)]) continue;
        const int r = k / kSide, c = k % kSide;
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
                if (!dr && !dc) continue;
                const int n = (r + dr) * kSide + c + dc;
                if (!open(n)) continue;
                if (dr && dc && (!open(r * kSide + c + dc) || !open((r + dr) * kSide + c))) continue;
                const int near = kLaneClear - rimDist[std::size_t(n)];
                const int step = (dr && dc ? 14 : 10) + (near > 0 ? near * kLaneRimCost : 0);
                if (at + step >= cost[std::size_t(n)]) continue;
                cost[std::size_t(n)] = at + step;
                parent[std::size_t(n)] = k;
                queue.push({at + step, n});
            }
    }
    for (int t : targets) {
        // Reach the target itself or a neighbour (footprints block).
        int end = -1;
        for (int d : {0, -1, 1, -kSide, kSide, -kSide - 1, -kSide + 1, kSide - 1, kSide + 1})
            if (t + d >= 0 && t + d < kSide * kSide && parent[std::size_t(t + d)] >= 0) {
                end = t + d;
                break;
            }
        for (int k = end; k >= 0; k = parent[std::size_t(k)] == k ? -1 : parent[std::size_t(k)]) {
            const int r = k / kSide, c = k % kSide;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) lane[Idx(r + dr, c + dc)] = 1;
        }
    }
}

}  // namespace

const std::vector<Walk>& PopulationWalks() {
    static const std::vector<Walk> walks = {
        {28090, 26720}, {33900, 19300}, {8160, 19302}, {43575, 26172}, {34321, 37860},
        {47806, 47808}, {28987, kHeroCell}, {58329, 57570},
    };
    return walks;
}

ShapeStats ShapeGround(MapSource& src) {
    ShapeStats stats;
    const std::vector<Ground> source = src.cells;
    const std::vector<Ground> sourceDerived = DerivedCells(source);

    // Kept cells: their derived ground may not change.
    std::vector<std::uint8_t> kept(std::size_t(kSide * kSide), 0), taken(std::size_t(kSide * kSide), 0);
    auto keepAround = [&](int cell, int radius) {
        const int r = cell / kSide, c = cell % kSide;
        for (int dr = -radius; dr <= radius; ++dr)
            for (int dc = -radius; dc <= radius; ++dc)
                if (r + dr >= 0 && c + dc >= 0 && r + dr < kSide && c + dc < kSide) kept[Idx(r + dr, c + dc)] = 1;
    };
    for (std::size_t k = 0; k < kept.size(); ++k)
        if (src.exact[k] == kExactRect) keepAround(int(k), 1);
    for (const Rect& rc : src.keeps)
        for (int r = rc.r0; r <= rc.r1; ++r)
            for (int c = rc.c0; c <= rc.c1; ++c) kept[Idx(r, c)] = 1;
    std::vector<int> targets;
    for (const MapObject& o : src.objects) {
        keepAround(o.Cell(), 1);
        taken[std::size_t(o.Cell())] = o.what != ObjectWhat::kDest;
        targets.push_back(o.Cell());
    }
    for (int cell : PopulationCells()) {
        keepAround(cell, 1);
        taken[std::size_t(cell)] = 1;
        targets.push_back(cell);
    }
    // Lanes: walkable ground stays walkable along them.
    std::vector<std::uint8_t> lane(std::size_t(kSide * kSide), 0);
    taken[std::size_t(kHeroCell)] = 0;
    std::vector<std::uint8_t> rims(sourceDerived.size(), 0);
    for (std::size_t k = 0; k < rims.size(); ++k) rims[k] = Blocks(sourceDerived[k]);
    const std::vector<int> rimDist = DistanceTo(rims, kLaneClear + 1);
    MarkLane(sourceDerived, taken, rimDist, kHeroCell, targets, lane);
    for (const Walk& w : PopulationWalks()) {
        const std::uint8_t was = taken[std::size_t(w.from)];
        taken[std::size_t(w.from)] = 0;
        MarkLane(sourceDerived, taken, rimDist, w.from, {w.to}, lane);
        taken[std::size_t(w.from)] = was;
    }

    // Pinned: rects and the population's places (objects and keep areas are
    // only kept, so the forest floor under the firs and the island's rim
    // still bend).
    std::vector<std::uint8_t> pinned(std::size_t(kSide * kSide), 0);
    for (std::size_t k = 0; k < pinned.size(); ++k) pinned[k] = src.exact[k] == kExactRect;
    for (int cell : PopulationCells()) pinned[std::size_t(cell)] = 1;
    const std::vector<int> pinDist = DistanceTo(pinned, kFadeCells + 3);

    // The drawn ground bends; roads and rects go back on top as drawn.
    // Steps back from the full bend: half the bend, then the drawn ground.
    const std::vector<Ground> rounded = ModeFilter(src.base, pinDist, src.blob);
    std::vector<Ground> steps[kSteps] = {Warp(rounded, pinDist, 1.0f), Warp(rounded, pinDist, 0.5f), source};
    for (int i = 0; i + 1 < kSteps; ++i)
        for (std::size_t k = 0; k < source.size(); ++k)
            if (src.exact[k]) steps[i][k] = source[k];
    std::vector<std::uint8_t> step(source.size(), 0);
    std::vector<Ground> shaped = steps[0];

    for (stats.rounds = 1; stats.rounds <= 64; ++stats.rounds) {
        const std::vector<Ground> d = DerivedCells(shaped);
        std::vector<std::uint8_t> bad(std::size_t(kSide * kSide), 0);
        int broken = 0;
        for (int r = 1; r < kSide - 1; ++r)
            for (int c = 1; c < kSide - 1; ++c) {
                const std::size_t k = Idx(r, c);
                bool wrong = (kept[k] && d[k] != sourceDerived[k]) ||
                             (lane[k] && Blocks(d[k]) && !Blocks(sourceDerived[k]));
                for (int dr = 0; dr <= 1 && !wrong; ++dr)
                    for (int dc = -1; dc <= 1 && !wrong; ++dc)
                        if ((dr || dc > 0) && !TilesMeet(d[k], d[Idx(r + dr, c + dc)])) wrong = true;
                if (wrong) {
                    bad[k] = 1;
                    ++broken;
                }
            }
        if (!broken) break;
        // Each broken cell steps its 7 x 7 patch one step back (once a round).
        std::vector<std::uint8_t> stepped(source.size(), 0);
        for (int r = 0; r < kSide; ++r)
            for (int c = 0; c < kSide; ++c) {
                if (!bad[Idx(r, c)]) continue;
                for (int dr = -3; dr <= 3; ++dr)
                    for (int dc = -3; dc <= 3; ++dc) {
                        const int y = r + dr, x = c + dc;
                        if (y < 0 || x < 0 || y >= kSide || x >= kSide) continue;
                        const std::size_t k = Idx(y, x);
                        if (stepped[k] || step[k] + 1 >= kSteps) continue;
                        stepped[k] = 1;
                        ++step[k];
                        if (steps[step[k]][k] != shaped[k]) ++stats.restored;
                        shaped[k] = steps[step[k]][k];
                    }
            }
    }
    for (std::size_t k = 0; k < shaped.size(); ++k) stats.changed += shaped[k] != source[k];
    src.cells = shaped;
    return stats;
}

}  // namespace worldsrc
