// The start location's map source: parsing and ground derivation.
#include "worldgen/map_source.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string_view>

namespace worldsrc {

namespace {

struct GroundChar {
    char ch;
    Ground ground;
};
constexpr GroundChar kLegend[] = {
    {'.', kPlain}, {':', kDirt}, {'s', kSand}, {'~', kWater},
    {'=', kConcrete}, {'^', kRock}, {'o', kHole},
};

bool GroundOfChar(char ch, Ground* out) {
    for (const GroundChar& g : kLegend)
        if (g.ch == ch) { *out = g.ground; return true; }
    return false;
}

// Splits text into lines (LF or CR LF); comments start with '#'.
std::vector<std::string_view> Lines(std::span<const std::uint8_t> text) {
    std::vector<std::string_view> out;
    std::string_view all(reinterpret_cast<const char*>(text.data()), text.size());
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t end = all.find('\n', start);
        if (end == std::string_view::npos) end = all.size();
        std::string_view line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.push_back(line);
        if (end == all.size()) break;
        start = end + 1;
    }
    return out;
}

std::string_view StripComment(std::string_view line) {
    std::size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    return line;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
        if (j > i) out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

bool ToInt(std::string_view s, int* out) {
    if (s.empty() || s.size() > 9) return false;
    int v = 0;
    bool neg = false;
    std::size_t i = 0;
    if (s[0] == '-') { neg = true; i = 1; }
    if (i == s.size()) return false;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    *out = neg ? -v : v;
    return true;
}

void Error(MapSource& src, const char* file, int line, const std::string& what) {
    char head[64];
    std::snprintf(head, sizeof head, "%s:%d: ", file, line);
    src.errors.push_back(head + what);
}

}  // namespace

int BrushOf(Ground g) {
    switch (g) {
        case kPlain: return 1;
        case kSand: return 2;
        case kDirt: return 3;
        case kWater: return 4;
        case kHole: return 5;
        case kRock: return 6;
        case kConcrete: return 22;
    }
    return 0;
}

Ground BaseOf(Ground g) {
    switch (g) {
        case kWater: case kConcrete: return kSand;
        case kRock: case kHole: return kDirt;
        default: return kPlain;
    }
}

bool IsUpper(Ground g) { return BaseOf(g) != kPlain; }

namespace {
Ground Tree(Ground g) { return IsUpper(g) ? BaseOf(g) : g; }
}  // namespace

bool SameTree(Ground a, Ground b) { return Tree(a) == Tree(b); }

const char* GroundName(Ground g) {
    switch (g) {
        case kPlain: return "plain";
        case kDirt: return "dirt";
        case kSand: return "sand";
        case kWater: return "water";
        case kConcrete: return "concrete";
        case kRock: return "rock";
        case kHole: return "hole";
    }
    return "?";
}

namespace {

struct Road {
    int width = 0;
    std::vector<std::pair<int, int>> points;
    int line = 0;
};

// A Catmull-Rom curve through the points, painted as discs whose radius
// breathes a little along the way.
void PaintRoad(const Road& road, MapSource& src) {
    const std::size_t n = road.points.size();
    auto p = [&](long j) {
        const long last = long(n) - 1;
        const auto& q = road.points[std::size_t(j < 0 ? 0 : j > last ? last : j)];
        return std::pair<float, float>{float(q.first), float(q.second)};
    };
    const float half = float(road.width) * 0.5f - 0.25f;
    const unsigned seed = 9001u + unsigned(road.line);
    for (std::size_t s = 0; s + 1 < n; ++s) {
        const auto [r0, c0] = p(long(s) - 1);
        const auto [r1, c1] = p(long(s));
        const auto [r2, c2] = p(long(s) + 1);
        const auto [r3, c3] = p(long(s) + 2);
        const float len = std::hypot(r2 - r1, c2 - c1);
        const int steps = 1 + int(len * 3.0f);
        for (int k = 0; k <= steps; ++k) {
            const float t = float(k) / float(steps), t2 = t * t, t3 = t2 * t;
            auto spline = [&](float a, float b, float c, float d) {
                return 0.5f * (2.0f * b + (c - a) * t + (2.0f * a - 5.0f * b + 4.0f * c - d) * t2 +
                               (3.0f * b - a - 3.0f * c + d) * t3);
            };
            const float r = spline(r0, r1, r2, r3), c = spline(c0, c1, c2, c3);
            const float rad = half + 0.6f * ValueNoise(r / 4.0f, c / 4.0f, seed);
            const int lo = int(std::floor(-rad - 1.0f)), hi = int(std::ceil(rad + 1.0f));
            for (int dy = lo; dy <= hi; ++dy)
                for (int dx = lo; dx <= hi; ++dx) {
                    const int y = int(std::lround(r)) + dy, x = int(std::lround(c)) + dx;
                    if (y < 0 || x < 0 || y >= kSide || x >= kSide) continue;
                    const float ey = float(y) - r, ex = float(x) - c;
                    if (ey * ey + ex * ex > rad * rad) continue;
                    src.cells[std::size_t(y * kSide + x)] = kDirt;
                    src.exact[std::size_t(y * kSide + x)] = kExactRoad;
                }
        }
    }
}

}  // namespace

void ParseTerrain(std::span<const std::uint8_t> text, MapSource& src) {
    const char* file = "etap1_terrain.txt";
    std::vector<std::string_view> lines = Lines(text);
    std::size_t i = 0;
    // Header: "terrain 64 64".
    for (; i < lines.size(); ++i) {
        std::string_view l = StripComment(lines[i]);
        if (l.empty()) continue;
        if (l != "terrain 64 64") {
            Error(src, file, int(i + 1), "expected \"terrain 64 64\"");
            return;
        }
        ++i;
        break;
    }
    int qr = 0;
    for (; i < lines.size() && qr < kQuarter; ++i) {
        std::string_view l = lines[i];
        if (l.size() != std::size_t(kQuarter)) {
            Error(src, file, int(i + 1), "a map line holds 64 characters");
            return;
        }
        for (int qc = 0; qc < kQuarter; ++qc) {
            Ground g;
            if (!GroundOfChar(l[std::size_t(qc)], &g)) {
                Error(src, file, int(i + 1), std::string("unknown ground '") + l[std::size_t(qc)] + "'");
                g = kPlain;
            }
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    src.cells[std::size_t((qr * 4 + r) * kSide + qc * 4 + c)] = g;
        }
        ++qr;
    }
    if (qr < kQuarter) {
        Error(src, file, int(i), "the map has fewer than 64 lines");
        return;
    }
    bool ended = false;
    std::vector<Road> roads;
    std::vector<std::pair<Rect, Ground>> rects;
    for (; i < lines.size(); ++i) {
        std::string_view l = StripComment(lines[i]);
        if (l.empty()) continue;
        if (!ended) {
            if (l != "end") {
                Error(src, file, int(i + 1), "expected \"end\" after the map");
                return;
            }
            ended = true;
            continue;
        }
        std::vector<std::string_view> w = Words(l);
        if (!w.empty() && w[0] == "blob") {
            // blob <ground> row col radius [colradius]: a rounded patch (an
            // oval with two radii) with a ragged rim.
            int r, c, radius, colRadius = 0;
            Ground g;
            if ((w.size() != 5 && w.size() != 6) || w[1].size() != 1 || !GroundOfChar(w[1][0], &g) ||
                !ToInt(w[2], &r) || !ToInt(w[3], &c) || !ToInt(w[4], &radius) ||
                (w.size() == 6 && !ToInt(w[5], &colRadius))) {
                Error(src, file, int(i + 1), "expected: blob <ground> row col radius [colradius]");
                continue;
            }
            if (w.size() == 5) colRadius = radius;
            if (radius < 1 || radius > 40 || colRadius < 1 || colRadius > 40 || r - radius < 0 ||
                c - colRadius < 0 || r + radius >= kSide || c + colRadius >= kSide) {
                Error(src, file, int(i + 1), "blob outside the map");
                continue;
            }
            const unsigned seed = 7001u + unsigned(i);
            const float stretch = float(radius) / float(colRadius);
            const float rim = std::min(0.3f * float(radius), 2.5f);
            for (int y = r - radius; y <= r + radius; ++y)
                for (int x = c - colRadius; x <= c + colRadius; ++x) {
                    const float dy = float(y - r), dx = float(x - c) * stretch;
                    const float reach = float(radius) + 0.5f + rim * ValueNoise(float(y) / 3.0f, float(x) / 3.0f, seed);
                    if (dy * dy + dx * dx > reach * reach) continue;
                    src.cells[std::size_t(y * kSide + x)] = g;
                    src.blob[std::size_t(y * kSide + x)] = 1;
                }
            continue;
        }
        if (!w.empty() && w[0] == "road") {
            // road width r0 c0 r1 c1 ...: a winding dirt road through the points.
            Road road;
            bool ok = w.size() >= 6 && w.size() % 2 == 0 && ToInt(w[1], &road.width) && road.width >= 1 &&
                      road.width <= 12;
            bool inside = true;
            for (std::size_t j = 2; ok && j + 1 < w.size(); j += 2) {
                int r, c;
                ok = ToInt(w[j], &r) && ToInt(w[j + 1], &c);
                inside = inside && r >= 0 && c >= 0 && r < kSide && c < kSide;
                road.points.push_back({r, c});
            }
            if (!ok || !inside) {
                Error(src, file, int(i + 1), ok ? "road outside the map" : "expected: road width row col row col ...");
                continue;
            }
            road.line = int(i + 1);
            roads.push_back(road);
            continue;
        }
        int r0, c0, r1, c1;
        Ground g = kPlain;
        const bool keep = w.size() == 5 && w[0] == "keep";
        const std::size_t at = keep ? 1 : 2;
        if (!((keep) || (w.size() == 6 && w[0] == "rect" && w[1].size() == 1 && GroundOfChar(w[1][0], &g))) ||
            !ToInt(w[at], &r0) || !ToInt(w[at + 1], &c0) || !ToInt(w[at + 2], &r1) || !ToInt(w[at + 3], &c1)) {
            Error(src, file, int(i + 1), "expected: rect <ground> row0 col0 row1 col1, keep row0 col0 row1 col1, blob or road");
            continue;
        }
        if (r0 < 0 || c0 < 0 || r1 >= kSide || c1 >= kSide || r0 > r1 || c0 > c1) {
            Error(src, file, int(i + 1), "rect outside the map");
            continue;
        }
        if (keep) {
            src.keeps.push_back({r0, c0, r1, c1});
            continue;
        }
        rects.push_back({{r0, c0, r1, c1}, g});
    }
    // Roads over the drawn ground, the exact rects last: they win.
    src.base = src.cells;
    for (const Road& road : roads) PaintRoad(road, src);
    for (const auto& [rc, g] : rects)
        for (int r = rc.r0; r <= rc.r1; ++r)
            for (int c = rc.c0; c <= rc.c1; ++c) {
                src.cells[std::size_t(r * kSide + c)] = g;
                src.exact[std::size_t(r * kSide + c)] = kExactRect;
            }
    if (!ended) Error(src, file, int(lines.size()), "the map has no \"end\"");
}

void ParseObjects(std::span<const std::uint8_t> text, MapSource& src) {
    const char* file = "etap1_objects.txt";
    struct WhatName {
        const char* name;
        ObjectWhat what;
        int lo, hi;   // allowed type range
    };
    static const WhatName kWhats[] = {
        {"plant", ObjectWhat::kPlant, 1, 5},     {"crystal", ObjectWhat::kCrystal, 1, 6},
        {"chest", ObjectWhat::kChest, 1, 3},     {"gold", ObjectWhat::kGold, 0, 0},
        {"garbage", ObjectWhat::kGarbage, 0, 0}, {"monster", ObjectWhat::kMonster, 5, 8},
        {"dest", ObjectWhat::kDest, 601, 801},
    };
    std::vector<std::string_view> lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view l = StripComment(lines[i]);
        if (l.empty()) continue;
        std::vector<std::string_view> w = Words(l);
        const WhatName* kind = nullptr;
        if (!w.empty())
            for (const WhatName& k : kWhats)
                if (w[0] == k.name) kind = &k;
        MapObject o{};
        if (!kind || w.size() != 4 || !ToInt(w[1], &o.type) || !ToInt(w[2], &o.row) || !ToInt(w[3], &o.col)) {
            Error(src, file, int(i + 1), "expected: <what> <type> <row> <col>");
            continue;
        }
        if (o.type < kind->lo || o.type > kind->hi ||
            (kind->what == ObjectWhat::kDest && o.type != 601 && o.type != 801)) {
            Error(src, file, int(i + 1), "type out of range");
            continue;
        }
        if (o.row < 1 || o.col < 1 || o.row > kSide - 2 || o.col > kSide - 2) {
            Error(src, file, int(i + 1), "cell outside the interior");
            continue;
        }
        o.what = kind->what;
        o.line = int(i + 1);
        src.objects.push_back(o);
    }
}

std::vector<Ground> DerivedCells(const std::vector<Ground>& cells) {
    std::vector<Ground> out = cells;
    auto at = [&](int r, int c) -> Ground& { return out[std::size_t(r * kSide + c)]; };
    // The brushes cannot paint within two cells of the border ring.
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c)
            if (r < 3 || c < 3 || r > kSide - 4 || c > kSide - 4) at(r, c) = kPlain;
    // The layer under an upper ground where the ground around it is plain.
    const std::vector<Ground> before = out;
    for (int r = 1; r < kSide - 1; ++r)
        for (int c = 1; c < kSide - 1; ++c) {
            Ground g = before[std::size_t(r * kSide + c)];
            if (!IsUpper(g)) continue;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc)
                    if (at(r + dr, c + dc) == kPlain) at(r + dr, c + dc) = BaseOf(g);
        }
    return out;
}

bool TilesMeet(Ground a, Ground b) {
    if (a == b) return true;
    if (a == kPlain || b == kPlain) return !IsUpper(a) && !IsUpper(b);
    return SameTree(a, b) && (!IsUpper(a) || !IsUpper(b));
}

void DeriveGround(MapSource& src) {
    src.cells = DerivedCells(src.cells);
    // Every pair of touching cells must share a tile picture.
    int reported = 0;
    for (int r = 1; r < kSide - 1; ++r)
        for (int c = 1; c < kSide - 1; ++c) {
            Ground a = src.At(r, c);
            for (int dr = 0; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    if (dr == 0 && dc < 1) continue;
                    Ground b = src.At(r + dr, c + dc);
                    if (!TilesMeet(a, b) && reported < 40) {
                        char msg[160];
                        std::snprintf(msg, sizeof msg, "cells (%d, %d) %s and (%d, %d) %s touch without a shared layer",
                                      r, c, GroundName(a), r + dr, c + dc, GroundName(b));
                        src.errors.push_back(msg);
                        ++reported;
                    }
                }
        }
}

namespace {
std::uint32_t Hash(int x, int y, unsigned seed) {
    std::uint32_t h = std::uint32_t(x) * 0x27d4eb2du ^ std::uint32_t(y) * 0x165667b1u ^ seed * 0x9e3779b9u;
    h ^= h >> 15;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h;
}
float Lattice(int x, int y, unsigned seed) { return float(Hash(x, y, seed) & 0xffffu) / 32767.5f - 1.0f; }
float Smooth(float t) { return t * t * (3.0f - 2.0f * t); }
}  // namespace

float ValueNoise(float row, float col, unsigned seed) {
    const float fy = std::floor(row), fx = std::floor(col);
    const int y = int(fy), x = int(fx);
    const float ty = Smooth(row - fy), tx = Smooth(col - fx);
    const float a = Lattice(x, y, seed), b = Lattice(x + 1, y, seed);
    const float c = Lattice(x, y + 1, seed), d = Lattice(x + 1, y + 1, seed);
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

void CheckObjects(MapSource& src) {
    std::set<int> population(PopulationCells().begin(), PopulationCells().end());
    std::set<int> taken;
    for (const MapObject& o : src.objects) {
        char msg[160];
        const Ground g = src.At(o.row, o.col);
        // Swimmers (the water band) may go onto deep water; nothing stands on
        // rock or in a hole.
        const bool swims = o.what == ObjectWhat::kDest && o.type == 801;
        const bool ok = g != kRock && g != kHole && (g != kWater || swims);
        if (!ok) {
            std::snprintf(msg, sizeof msg, "etap1_objects.txt:%d: (%d, %d) is %s", o.line, o.row, o.col,
                          GroundName(g));
            src.errors.push_back(msg);
        }
        if (population.count(o.Cell())) {
            std::snprintf(msg, sizeof msg, "etap1_objects.txt:%d: (%d, %d) belongs to the world population",
                          o.line, o.row, o.col);
            src.errors.push_back(msg);
        }
        if (!taken.insert(o.Cell()).second) {
            std::snprintf(msg, sizeof msg, "etap1_objects.txt:%d: (%d, %d) already holds an object", o.line,
                          o.row, o.col);
            src.errors.push_back(msg);
        }
    }
}

const std::vector<int>& PopulationCells() {
    static const std::vector<int> cells = {
        28975, 28980, 47806, 47808,
        57570, 57571, 57826, 57827,   // forest lair and its footprint
        15818, 15819, 16074, 16075,   // water lair and its footprint
        58329, 13005,                 // band homes
        28754, 27263, 35430, 24937, 45606, 53013,
        44075, 44078, 46891, 50490, 50504, 49722, 49736, 50520, 54618, 54621,
        49984, 50242,
        11986, 12241, 12243, 12498,
        28987,                        // the dog 120 units east of the hero
        28090, 33900, 8160, 43575, 34321,
        46894, 49752,                 // clamps: the hero must be able to stand there
        32878, 32368,                 // wake-up points
    };
    return cells;
}

}  // namespace worldsrc
