// The map source's rules: parsing, the layer rings, refused corners and
// refused object places; and the generator's determinism.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "io/binary.h"
#include "io/files.h"
#include "world/kle.h"
#include "world/location.h"
#include "worldgen/build_world.h"
#include "worldgen/map_source.h"
#include "worldgen/shape.h"

namespace {

using namespace worldsrc;

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// A 64-line map of plain ground with the given quarter cells set.
std::string Map(std::initializer_list<std::pair<std::pair<int, int>, char>> set, const std::string& tail = "") {
    std::vector<std::string> rows(64, std::string(64, '.'));
    for (auto& [pos, ch] : set) rows[std::size_t(pos.first)][std::size_t(pos.second)] = ch;
    std::string out = "# test\nterrain 64 64\n";
    for (auto& r : rows) out += r + "\n";
    return out + "end\n" + tail;
}

TEST(MapSource, QuarterCellsAndRects) {
    MapSource src;
    ParseTerrain(Bytes(Map({{{10, 10}, ':'}}, "rect ~ 100 100 101 102  # a pond\n")), src);
    ASSERT_TRUE(src.errors.empty()) << src.errors[0];
    EXPECT_EQ(src.At(40, 40), kDirt);
    EXPECT_EQ(src.At(43, 43), kDirt);
    EXPECT_EQ(src.At(44, 43), kPlain);
    EXPECT_EQ(src.At(101, 102), kWater);
    EXPECT_EQ(src.At(102, 102), kPlain);
}

TEST(MapSource, BadTerrainIsReported) {
    struct Case {
        std::string text;
        const char* why;
    };
    const Case cases[] = {
        {"terrain 32 32\n", "header"},
        {"terrain 64 64\n" + std::string(63, '.') + "\n", "short line"},
        {Map({{{1, 1}, 'x'}}), "unknown ground"},
        {Map({}, "rect ^ 1 2 3\n"), "short rect"},
        {Map({}, "rect ^ 10 10 300 12\n"), "rect outside"},
        {"terrain 64 64\n" + std::string(64, '.') + "\n", "too few lines"},
        {"", "empty file"},
    };
    for (const Case& c : cases) {
        MapSource src;
        ParseTerrain(Bytes(c.text), src);
        EXPECT_FALSE(src.errors.empty()) << c.why;
    }
}

TEST(MapSource, RingsAndEdge) {
    MapSource src;
    ParseTerrain(Bytes(Map({}, "rect ^ 50 50 50 50\nrect ~ 80 80 81 81\nrect : 1 1 5 5\n")), src);
    DeriveGround(src);
    EXPECT_TRUE(src.errors.empty());
    for (int d : {-1, 1}) {
        EXPECT_EQ(src.At(50 + d, 50), kDirt);
        EXPECT_EQ(src.At(50, 50 + d), kDirt);
        EXPECT_EQ(src.At(50 + d, 50 + d), kDirt);
    }
    EXPECT_EQ(src.At(50, 52), kPlain);
    EXPECT_EQ(src.At(79, 79), kSand);
    EXPECT_EQ(src.At(82, 82), kSand);
    // The brushes cannot paint next to the border: kept plain.
    EXPECT_EQ(src.At(2, 2), kPlain);
    EXPECT_EQ(src.At(3, 3), kDirt);
}

TEST(MapSource, CornersWithoutATileAreRefused) {
    const char* clashes[] = {
        "rect : 50 50 50 50\nrect s 50 51 50 51\n",   // dirt beside sand
        "rect : 50 50 50 50\nrect s 51 51 51 51\n",   // diagonal too
        "rect ^ 50 50 50 50\nrect o 50 51 50 51\n",   // rock beside a hole
        "rect ~ 50 50 50 50\nrect = 51 51 51 51\n",   // water beside concrete
        "rect ~ 50 50 50 50\nrect : 50 52 50 52\n",   // the ring of water meets dirt
    };
    for (const char* tail : clashes) {
        MapSource src;
        ParseTerrain(Bytes(Map({}, tail)), src);
        ASSERT_TRUE(src.errors.empty());
        DeriveGround(src);
        EXPECT_FALSE(src.errors.empty()) << tail;
    }
    MapSource ok;   // a plain cell between the families is enough
    ParseTerrain(Bytes(Map({}, "rect : 50 50 50 50\nrect s 50 52 50 52\n")), ok);
    DeriveGround(ok);
    EXPECT_TRUE(ok.errors.empty());
}

TEST(MapSource, ObjectsAndTheirPlaces) {
    MapSource src;
    ParseTerrain(Bytes(Map({}, "rect ^ 60 60 60 60\nrect ~ 90 90 92 92\n")), src);
    DeriveGround(src);
    ParseObjects(Bytes(std::string("plant 3 20 20\n"
                                   "crystal 6 21 21  # echo\n"
                                   "chest 2 22 22\n"
                                   "dest 801 91 91\n")),
                 src);
    ASSERT_TRUE(src.errors.empty());
    ASSERT_EQ(src.objects.size(), 4u);
    EXPECT_EQ(src.objects[1].what, ObjectWhat::kCrystal);
    EXPECT_EQ(src.objects[1].Cell(), 21 * 256 + 21);
    CheckObjects(src);
    EXPECT_TRUE(src.errors.empty()) << "the water band may go onto water";

    const char* refused[] = {
        "plant 1 60 60\n",            // on rock
        "garbage 0 91 91\n",          // on deep water
        "monster 6 113 47\n",         // the hero's start
        "plant 7 172 43\n",           // type out of range for the map source
        "plant 1 20 20\nchest 1 20 20\n",   // two on one cell
        "monster 9 30 30\n",          // not a start point type
        "dest 600 30 30\n",
        "plant 1 0 30\n",             // border
        "tree 1 30 30\n",
        "plant 1 30\n",
    };
    for (const char* text : refused) {
        MapSource s2;
        ParseTerrain(Bytes(Map({}, "rect ^ 60 60 60 60\nrect ~ 90 90 92 92\n")), s2);
        DeriveGround(s2);
        ParseObjects(Bytes(std::string(text)), s2);
        if (s2.errors.empty()) CheckObjects(s2);
        EXPECT_FALSE(s2.errors.empty()) << text;
    }
}

TEST(MapSource, BlobsRoadsAndKeeps) {
    MapSource src;
    ParseTerrain(Bytes(Map({}, "rect ~ 30 30 30 30\n"
                               "blob ~ 100 100 3\n"
                               "road 3 50 20 50 80\n"
                               "keep 10 11 12 13\n"
                               "blob s 40 40 2   # painted before the rect below, whatever the order\n")),
                 src);
    ASSERT_TRUE(src.errors.empty()) << src.errors[0];
    EXPECT_EQ(src.At(100, 100), kWater);
    EXPECT_EQ(src.At(100, 102), kWater);
    EXPECT_EQ(src.At(100, 106), kPlain);
    EXPECT_EQ(src.At(40, 40), kSand);
    EXPECT_EQ(src.base[std::size_t(40 * kSide + 40)], kSand);
    for (int c = 22; c <= 78; ++c) {
        EXPECT_EQ(src.At(50, c), kDirt) << c;
        EXPECT_EQ(src.exact[std::size_t(50 * kSide + c)], kExactRoad);
        EXPECT_EQ(src.base[std::size_t(50 * kSide + c)], kPlain) << "roads are not part of the drawn base";
    }
    EXPECT_EQ(src.At(54, 50), kPlain);
    EXPECT_EQ(src.exact[std::size_t(30 * kSide + 30)], kExactRect);
    ASSERT_EQ(src.keeps.size(), 1u);
    EXPECT_TRUE(src.keeps[0].Holds(12, 13));
    EXPECT_FALSE(src.keeps[0].Holds(13, 13));

    const char* bad[] = {
        "blob ~ 2 2 5\n",           // outside the map
        "blob x 50 50 2\n",         // unknown ground
        "blob ~ 50 50 0\n",
        "road 3 10 10\n",           // one point is no road
        "road 0 10 10 20 20\n",
        "road 3 10 10 300 20\n",
        "road 3 10 10 20\n",
        "keep 1 2 3\n",
        "keep 5 5 300 3\n",
    };
    for (const char* tail : bad) {
        MapSource s2;
        ParseTerrain(Bytes(Map({}, tail)), s2);
        EXPECT_FALSE(s2.errors.empty()) << tail;
    }
}

// Derived ground of a copy, as the brushes will see it.
std::vector<Ground> Derived(const MapSource& src) {
    MapSource copy = src;
    DeriveGround(copy);
    return copy.cells;
}

// The cells the shaping must leave alone: fixed places and objects with
// their neighbours, rect cells, keep areas; road cells stay dirt.
void ExpectPinnedCellsKept(const MapSource& drawn, const MapSource& shaped) {
    const std::vector<Ground> a = Derived(drawn), b = Derived(shaped);
    auto same = [&](int cell, const char* what) {
        EXPECT_EQ(a[std::size_t(cell)], b[std::size_t(cell)])
            << what << " (" << cell / kSide << ", " << cell % kSide << ") changed its ground";
    };
    for (int cell : PopulationCells())
        for (int d : {0, -257, -256, -255, -1, 1, 255, 256, 257}) same(cell + d, "fixed place");
    for (const MapObject& o : drawn.objects)
        for (int d : {0, -257, -256, -255, -1, 1, 255, 256, 257}) same(o.Cell() + d, "object");
    for (int k = 0; k < kSide * kSide; ++k) {
        if (drawn.exact[std::size_t(k)] == kExactRect) same(k, "rect cell");
        if (drawn.exact[std::size_t(k)] == kExactRoad) same(k, "road cell");
    }
    for (const Rect& rc : drawn.keeps)
        for (int r = rc.r0; r <= rc.r1; ++r)
            for (int c = rc.c0; c <= rc.c1; ++c) same(r * kSide + c, "kept cell");
}

TEST(Shaping, BendsBordersKeepsRulesAndPinnedCells) {
    MapSource drawn;
    // Water and a rock hill two blocks apart, a road between them, a kept
    // area, a rect and objects at the rims.
    ParseTerrain(Bytes(Map({{{20, 20}, '~'}, {{20, 21}, '~'}, {{21, 20}, '~'}, {{21, 21}, '~'},
                            {{20, 24}, ':'}, {{20, 25}, '^'}, {{21, 24}, ':'}, {{21, 25}, ':'},
                            {{40, 40}, 's'}, {{40, 41}, 's'}, {{41, 40}, 's'}, {{41, 41}, 's'}},
                           "road 3 60 40 70 60 100 70\nrect o 120 120 121 121\nkeep 160 160 170 170\n")),
                 drawn);
    ParseObjects(Bytes(std::string("plant 5 79 80\nplant 3 86 100\ncrystal 2 160 161\n")), drawn);
    ASSERT_TRUE(drawn.errors.empty()) << drawn.errors[0];
    MapSource shaped = drawn;
    const ShapeStats st = ShapeGround(shaped);
    EXPECT_GT(st.changed, 20) << "the block corners should round and bend";
    MapSource again = drawn;
    ShapeGround(again);
    EXPECT_EQ(again.cells, shaped.cells) << "the same ground on every run";
    ExpectPinnedCellsKept(drawn, shaped);
    DeriveGround(shaped);
    EXPECT_TRUE(shaped.errors.empty()) << shaped.errors[0];
    CheckObjects(shaped);
    EXPECT_TRUE(shaped.errors.empty()) << shaped.errors[0];
}

// The start world's own source: sound as drawn and after shaping, and no
// fixed place, object, road, rect or kept cell changed its ground.
TEST(Shaping, StartWorldSourceKeepsItsFixedPlaces) {
    const char* dir = std::getenv("BD_SOURCE_DIR");
    ASSERT_NE(dir, nullptr);
    std::vector<std::uint8_t> terrain, objects;
    ASSERT_EQ(ReadWholeFile((std::string(dir) + "/data/world/etap1_terrain.txt").c_str(), terrain), FileStatus::Ok);
    ASSERT_EQ(ReadWholeFile((std::string(dir) + "/data/world/etap1_objects.txt").c_str(), objects), FileStatus::Ok);
    MapSource drawn;
    ParseTerrain(terrain, drawn);
    ParseObjects(objects, drawn);
    ASSERT_TRUE(drawn.errors.empty()) << drawn.errors[0];
    {
        MapSource check = drawn;
        DeriveGround(check);
        CheckObjects(check);
        ASSERT_TRUE(check.errors.empty()) << check.errors[0];
    }
    MapSource shaped = drawn;
    const ShapeStats st = ShapeGround(shaped);
    EXPECT_GT(st.changed, 2000);
    ExpectPinnedCellsKept(drawn, shaped);
    DeriveGround(shaped);
    ASSERT_TRUE(shaped.errors.empty()) << shaped.errors[0];
    CheckObjects(shaped);
    EXPECT_TRUE(shaped.errors.empty()) << shaped.errors[0];
}

// The same source gives the same bytes: the build is deterministic.
TEST(WorldBuild, DeterministicAndPaintsEveryCell) {
    MapSource src;
    ParseTerrain(Bytes(Map({{{20, 20}, '~'}, {{30, 30}, '^'}, {{40, 20}, '='}, {{40, 40}, 'o'}})), src);
    ParseObjects(Bytes(std::string("plant 2 10 10\ncrystal 1 12 12\nchest 3 14 14\nmonster 6 16 16\n")), src);
    DeriveGround(src);
    CheckObjects(src);
    ASSERT_TRUE(src.errors.empty()) << src.errors[0];
    std::vector<std::string> problems;
    ASSERT_TRUE(BuildWorld(src, problems)) << problems[0];
    ByteWriter a, fa;
    WriteLocation(a);
    WriteFigures(fa);
    ASSERT_TRUE(BuildWorld(src, problems));
    ByteWriter b, fb;
    WriteLocation(b);
    WriteFigures(fb);
    EXPECT_EQ(a.bytes, b.bytes);
    EXPECT_EQ(fa.bytes, fb.bytes);
    // Water at quarter (20, 20): its cells are deep water with the editor's hint.
    const Kle& w = masKle.m[81 * 256 + 81];
    EXPECT_EQ(w.landType, kLandDeepWater);
    EXPECT_EQ(w.landHint, 2);
    EXPECT_GE(w.tile, 165);
    EXPECT_LE(w.tile, 196);
    EXPECT_EQ(masKle.m[121 * 256 + 121].landType, kLandRock);
    EXPECT_EQ(masKle.m[121 * 256 + 121].brushMark, 8);
    EXPECT_EQ(masKle.m[161 * 256 + 161].landType, kLandHole);
    EXPECT_EQ(masKle.m[161 * 256 + 161].brushMark, 93);
}

}  // namespace
