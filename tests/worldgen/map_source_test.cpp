// The map source's rules: parsing, the layer rings, refused corners and
// refused object places; and the generator's determinism.
#include <gtest/gtest.h>

#include <string>

#include "io/binary.h"
#include "world/kle.h"
#include "world/location.h"
#include "worldgen/build_world.h"
#include "worldgen/map_source.h"

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
