// The map source's rules: parsing, the layer rings, refused input, the start
// world's pinned cells through shaping, and the generator's determinism.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../world/world_bytes.h"
#include "io/files.h"
#include "world/kle.h"
#include "worldgen/build_world.h"
#include "worldgen/map_source.h"
#include "worldgen/shape.h"

namespace {

using namespace worldsrc;

std::span<const std::uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

// A 64-line map of plain ground with the given quarter cells set.
std::string Map(std::initializer_list<std::pair<std::pair<int, int>, char>> set, const std::string& tail = "") {
    std::vector<std::string> rows(64, std::string(64, '.'));
    for (auto& [pos, ch] : set) rows[std::size_t(pos.first)][std::size_t(pos.second)] = ch;
    std::string out = "# test\nterrain 64 64\n";
    for (auto& r : rows) out += r + "\n";
    return out + "end\n" + tail;
}

MapSource Parsed(const std::string& terrain, const std::string& objects = "") {
    MapSource src;
    ParseTerrain(Bytes(terrain), src);
    if (src.errors.empty()) DeriveGround(src);
    if (src.errors.empty() && !objects.empty()) ParseObjects(Bytes(objects), src);
    if (src.errors.empty()) CheckObjects(src);
    return src;
}

TEST(MapSource, LayersRingsRoadsAndKeeps) {
    MapSource src = Parsed(Map({{{10, 10}, ':'}}, "rect ^ 50 50 50 50\nrect ~ 100 100 101 102  # a pond\n"
                                                  "rect : 1 1 5 5\nroad 3 70 20 70 80\nkeep 10 11 12 13\n"),
                           "plant 3 20 20\ncrystal 6 21 21  # echo\ndest 801 101 101\n");
    ASSERT_TRUE(src.errors.empty()) << src.errors[0];
    // The rock's dirt ring, the water's sand ring, no brush next to the border, the road.
    struct { int r, c; Ground g; } const cells[] = {{44, 43, kPlain}, {51, 51, kDirt}, {50, 52, kPlain}, {99, 99, kSand},
                                                   {2, 2, kPlain}, {3, 3, kDirt}, {70, 50, kDirt}};
    for (const auto& c : cells) EXPECT_EQ(src.At(c.r, c.c), c.g) << c.r << "," << c.c;
    EXPECT_EQ(src.exact[std::size_t(70 * kSide + 50)], kExactRoad);
    EXPECT_EQ(src.base[std::size_t(70 * kSide + 50)], kPlain) << "roads are not part of the drawn base";
    EXPECT_TRUE(src.keeps.size() == 1u && !src.keeps[0].Holds(13, 13));
    EXPECT_EQ(src.objects.at(1).Cell(), 21 * 256 + 21);
}

TEST(MapSource, BadInputIsReported) {
    for (const std::string& terrain : {std::string(), std::string("terrain 32 32\n"), "terrain 64 64\n" + std::string(63, '.') + "\n",
                                       "terrain 64 64\n" + std::string(64, '.') + "\n", Map({{{1, 1}, 'x'}})})
        EXPECT_FALSE(Parsed(terrain).errors.empty()) << terrain.substr(0, 20);
    for (const char* tail : {"rect ^ 1 2 3\n", "rect ^ 10 10 300 12\n", "blob ~ 2 2 5\n", "blob x 50 50 2\n", "blob ~ 50 50 0\n",
                             "road 3 10 10\n", "road 0 10 10 20 20\n", "road 3 10 10 300 20\n", "keep 1 2 3\n", "keep 5 5 300 3\n",
                             // corners without a tile
                             "rect : 50 50 50 50\nrect s 50 51 50 51\n", "rect : 50 50 50 50\nrect s 51 51 51 51\n",
                             "rect ^ 50 50 50 50\nrect o 50 51 50 51\n", "rect ~ 50 50 50 50\nrect = 51 51 51 51\n",
                             "rect ~ 50 50 50 50\nrect : 50 52 50 52\n"})
        EXPECT_FALSE(Parsed(Map({}, tail)).errors.empty()) << tail;
    // Refused objects: rock, deep water, hero's start, type range, shared cell, start type, dest, border, syntax.
    const std::string ground = Map({}, "rect ^ 60 60 60 60\nrect ~ 90 90 92 92\n");
    for (const char* objects : {"plant 1 60 60\n", "garbage 0 91 91\n", "monster 6 113 47\n", "plant 7 172 43\n",
                                "plant 1 20 20\nchest 1 20 20\n", "monster 9 30 30\n", "dest 600 30 30\n", "plant 1 0 30\n",
                                "tree 1 30 30\n", "plant 1 30\n"})
        EXPECT_FALSE(Parsed(ground, objects).errors.empty()) << objects;
    EXPECT_TRUE(Parsed(Map({}, "rect : 50 50 50 50\nrect s 50 52 50 52\n")).errors.empty())
        << "a plain cell between the families is enough";
}

std::vector<Ground> Derived(const MapSource& src) {
    MapSource copy = src;
    DeriveGround(copy);
    return copy.cells;
}

// The start world's own source is sound as drawn and after shaping, and no
// fixed place, object (with neighbours), road, rect or kept cell changed ground.
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
    MapSource shaped = drawn;
    EXPECT_GT(ShapeGround(shaped).changed, 2000);
    const std::vector<Ground> a = Derived(drawn), b = Derived(shaped);
    auto same = [&](int cell) { EXPECT_EQ(a[std::size_t(cell)], b[std::size_t(cell)]) << cell / kSide << "," << cell % kSide; };
    const int around[] = {0, -257, -256, -255, -1, 1, 255, 256, 257};
    for (int cell : PopulationCells())
        for (int d : around) same(cell + d);
    for (const MapObject& o : drawn.objects)
        for (int d : around) same(o.Cell() + d);
    for (int k = 0; k < kSide * kSide; ++k)
        if (drawn.exact[std::size_t(k)] == kExactRect || drawn.exact[std::size_t(k)] == kExactRoad) same(k);
    for (const Rect& rc : drawn.keeps)
        for (int r = rc.r0; r <= rc.r1; ++r)
            for (int c = rc.c0; c <= rc.c1; ++c) same(r * kSide + c);
    DeriveGround(shaped);
    CheckObjects(shaped);
    EXPECT_TRUE(shaped.errors.empty()) << shaped.errors[0];
}

TEST(WorldBuild, DeterministicAndPaintsAsTheEditor) {
    MapSource src = Parsed(Map({{{20, 20}, '~'}, {{30, 30}, '^'}, {{40, 20}, '='}, {{40, 40}, 'o'}}),
                           "plant 2 10 10\ncrystal 1 12 12\nchest 3 14 14\nmonster 6 16 16\n");
    ASSERT_TRUE(src.errors.empty()) << src.errors[0];
    std::vector<std::string> problems;
    ASSERT_TRUE(BuildWorld(src, problems)) << problems[0];
    const auto cells = Cells(), figures = Figures();
    ASSERT_TRUE(BuildWorld(src, problems));
    EXPECT_TRUE(Cells() == cells && Figures() == figures);
    const Kle& w = masKle.m[81 * 256 + 81];   // water at quarter (20, 20)
    EXPECT_TRUE(w.landType == kLandDeepWater && w.landHint == 2 && w.tile >= 165 && w.tile <= 196) << w.tile;
    EXPECT_EQ(masKle.m[121 * 256 + 121].brushMark, 8);
    EXPECT_EQ(masKle.m[161 * 256 + 161].landType, kLandHole);
}

}  // namespace
