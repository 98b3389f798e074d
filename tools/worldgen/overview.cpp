// Overview picture: ground colours, then markers for every object and the
// places the world population fills.
#include "worldgen/overview.h"

#include <cstdlib>

namespace worldsrc {

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

Rgb GroundColour(Ground g, int row, int col) {
    // A faint per-cell grain, as the ground tiles have.
    const int shade = int((unsigned(row) * 73856093u ^ unsigned(col) * 19349663u) % 9u);
    auto s = [&](int v) { return std::uint8_t(v + shade > 255 ? 255 : v + shade); };
    switch (g) {
        case kPlain: return {s(96), s(142), s(70)};
        case kDirt: return {s(112), s(88), s(58)};
        case kSand: return {s(214), s(196), s(138)};
        case kWater: return {s(40), s(82), s(150)};
        case kConcrete: return {s(168), s(168), s(160)};
        case kRock: return {s(92), s(84), s(80)};
        case kHole: return {s(34), s(26), s(20)};
    }
    return {0, 0, 0};
}

struct Canvas {
    std::vector<std::uint8_t> px = std::vector<std::uint8_t>(std::size_t(kOverviewSide) * kOverviewSide * 3);
    void Put(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= kOverviewSide || y >= kOverviewSide) return;
        std::uint8_t* p = &px[(std::size_t(y) * kOverviewSide + std::size_t(x)) * 3];
        p[0] = c.r; p[1] = c.g; p[2] = c.b;
    }
    // Square of side 2 * radius + 1 around the centre of a cell.
    void Dot(int row, int col, int radius, Rgb c) {
        const int cx = col * kOverviewScale + 1, cy = row * kOverviewScale + 1;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) Put(cx + dx, cy + dy, c);
    }
    void Ring(int row, int col, int radius, Rgb c) {
        const int cx = col * kOverviewScale + 1, cy = row * kOverviewScale + 1;
        for (int d = -radius; d <= radius; ++d) {
            Put(cx + d, cy - radius, c); Put(cx + d, cy + radius, c);
            Put(cx - radius, cy + d, c); Put(cx + radius, cy + d, c);
        }
    }
    void Cross(int row, int col, int radius, Rgb c) {
        const int cx = col * kOverviewScale + 1, cy = row * kOverviewScale + 1;
        for (int d = -radius; d <= radius; ++d) { Put(cx + d, cy + d, c); Put(cx + d, cy - d, c); }
    }
};

constexpr Rgb kCrystalColours[7] = {
    {0, 0, 0}, {230, 40, 40}, {40, 220, 60}, {60, 90, 255}, {250, 240, 60}, {255, 255, 255}, {200, 80, 255},
};

}  // namespace

std::vector<std::uint8_t> RenderOverview(const MapSource& src) {
    Canvas cv;
    for (int row = 0; row < kSide; ++row)
        for (int col = 0; col < kSide; ++col) {
            const Rgb c = GroundColour(src.At(row, col), row, col);
            for (int dy = 0; dy < kOverviewScale; ++dy)
                for (int dx = 0; dx < kOverviewScale; ++dx)
                    cv.Put(col * kOverviewScale + dx, row * kOverviewScale + dy, c);
        }
    for (const MapObject& o : src.objects) {
        switch (o.what) {
            case ObjectWhat::kPlant: {
                static const Rgb kPlants[6] = {{0, 0, 0}, {255, 120, 190}, {70, 170, 60},
                                               {10, 40, 20}, {150, 110, 40}, {60, 200, 120}};
                cv.Dot(o.row, o.col, o.type == 3 ? 2 : 1, kPlants[o.type]);
                break;
            }
            case ObjectWhat::kCrystal: cv.Dot(o.row, o.col, 2, kCrystalColours[o.type]); break;
            case ObjectWhat::kChest: cv.Dot(o.row, o.col, 2, {150, 80, 20}); cv.Ring(o.row, o.col, 2, {60, 30, 0}); break;
            case ObjectWhat::kGold: cv.Dot(o.row, o.col, 2, {255, 200, 0}); break;
            case ObjectWhat::kGarbage: cv.Dot(o.row, o.col, 2, {120, 120, 110}); break;
            case ObjectWhat::kMonster: cv.Cross(o.row, o.col, 3, {230, 0, 0}); break;
            case ObjectWhat::kDest: cv.Ring(o.row, o.col, 2, o.type == 601 ? Rgb{20, 60, 10} : Rgb{120, 220, 255}); break;
        }
    }
    // The world population's places.
    struct Place { int cell; int radius; Rgb colour; bool ring; };
    static const Place kPlaces[] = {
        {28975, 4, {255, 255, 255}, false},                                          // hero
        {28754, 3, {255, 220, 0}, false}, {27263, 3, {255, 220, 0}, false},
        {35430, 3, {255, 220, 0}, false}, {24937, 3, {255, 220, 0}, false},
        {45606, 3, {255, 220, 0}, false}, {53013, 3, {255, 220, 0}, false},          // townspeople
        {47806, 5, {120, 0, 120}, false},                                             // demon
        {57570, 4, {0, 0, 0}, true}, {15818, 4, {0, 0, 0}, true},                     // lairs
        {46894, 3, {60, 90, 255}, true}, {49752, 3, {40, 220, 60}, true},             // clamps
        {49984, 2, {185, 185, 185}, false}, {50242, 2, {185, 185, 185}, false},       // barrier plants
        {32878, 3, {255, 255, 255}, true}, {32368, 3, {255, 255, 255}, true},         // wake-up
        {11986, 1, {255, 200, 0}, false}, {12241, 1, {255, 200, 0}, false},
        {12243, 1, {255, 200, 0}, false}, {12498, 1, {255, 200, 0}, false},          // gold heaps
        {44075, 1, {60, 120, 255}, false}, {44078, 1, {60, 120, 255}, false},
        {46891, 1, {60, 120, 255}, false}, {50520, 1, {60, 120, 255}, false},
        {54618, 1, {60, 120, 255}, false}, {54621, 1, {60, 120, 255}, false},
        {50490, 1, {220, 30, 30}, false}, {50504, 1, {220, 30, 30}, false},
        {49722, 1, {220, 30, 30}, false}, {49736, 1, {220, 30, 30}, false},          // scenery 7
        {28090, 3, {255, 120, 0}, false}, {33900, 3, {255, 120, 0}, false},
        {8160, 3, {255, 120, 0}, false}, {43575, 3, {255, 120, 0}, false},
        {34321, 3, {255, 120, 0}, false},                                             // spawned monsters
    };
    for (const Place& p : kPlaces) {
        if (p.ring)
            cv.Ring(p.cell / kSide, p.cell % kSide, p.radius, p.colour);
        else
            cv.Dot(p.cell / kSide, p.cell % kSide, p.radius, p.colour);
    }
    return cv.px;
}

}  // namespace worldsrc
