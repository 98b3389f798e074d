// The cell grid: coordinate rules, border codes after every lifecycle
// operation, the location file round trip and bad files, anchoring.
#include <algorithm>
#include <limits>
#include <vector>

#include "io/binary.h"
#include "world_fixture.h"

namespace {

TEST_F(WorldTest, PointToCellAndInteriorAtTheEdges) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct { float x, z; int cell, interior; } const cases[] = {
        {0.5f, 100.0f, -1, -1}, {1.0f, 1.0f, 0, -1}, {10.0f, 10.0f, 257, 257}, {19.99f, 19.99f, 257, 257},
        {2559.9f, 2559.9f, 65535, -1}, {2560.0f, 100.0f, -1, -1}, {-5.0f, 100.0f, -1, -1},
        {2549.0f, 2549.0f, 65278, 65278}, {2550.0f, 1200.0f, 30975, -1}, {nan, 50.0f, -1, -1},
        {50.0f, inf, -1, -1}, {3e9f, 50.0f, -1, -1},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(KleCellXZ(c.x, c.z) == c.cell && KleAt(c.x, c.z) == c.interior) << c.x << "," << c.z;
    EXPECT_EQ(KleCellOf(50, 50, 0, 0, 0, 10, 256, 256), -1);
    EXPECT_EQ(KleCellOf(25, 35, 0, 0, 5, 5, 8, 8), 7 * 8 + 5);
    for (auto [k, in] : {std::pair{-1, false}, {255, false}, {256, false}, {257, true}, {511, false},
                         {65278, true}, {65279, false}, {65536, false}})
        EXPECT_EQ(KleInterior(k), in) << k;
    float x, z;
    EXPECT_TRUE(KleCentre(257, &x, &z) && x == 15.0f);
    EXPECT_FALSE(KleCentre(255, &x, &z));
    EXPECT_EQ(CreateHero(255, 0), nullptr);   // creators refuse border cells
    EXPECT_EQ(MakePlant(1, 65280), nullptr);
}

std::vector<std::uint8_t> RandomLocation(unsigned seed) {
    RandSeed(seed);
    ByteWriter w;
    for (int v : {256, 256, 3, 0}) w.WriteI32(v);
    for (int k = 0; k < kKleCount; ++k) {
        for (int b = 0; b < 8; ++b) w.WriteByte(static_cast<std::uint8_t>(Rand() & 255));
        w.WriteI32(Rand() * 65536 + Rand() - 7);
    }
    return w.bytes;
}

TEST_F(WorldTest, BorderCodesAfterEveryLifecycleOperation) {
    auto expectBorder = [] {
        for (int k = 0; k < kKleCount; ++k)
            if (!KleInterior(k)) {
                const Kle& c = masKle.m[k];
                ASSERT_TRUE(c.tile == KleBorderTile(k) && c.landType + c.landSub + c.landHint == 0) << k;
            }
        for (auto [k, tile] : {std::pair{0, 226}, {255, 223}, {65280, 224}, {65535, 225}, {KleIndex(0, 7), 219},
                               {KleIndex(255, 7), 221}, {KleIndex(7, 0), 222}, {KleIndex(7, 255), 220}})
            EXPECT_EQ(masKle.m[k].tile, tile) << k;
    };
    StartGameLocation();   // no etap1 here: the filled grid stays
    expectBorder();
    EXPECT_NE(Log().find("\n\nStart ..."), std::string::npos);
    ASSERT_TRUE(ParseLocation(RandomLocation(3)));   // garbage in the border cells
    expectBorder();
    NewGround();
    expectBorder();
    for (int k = 257; k < 65279; ++k)
        ASSERT_TRUE(!KleInterior(k) || !masKle.m[k].tile || (masKle.m[k].landType == kLandGround && masKle.m[k].tile <= 4)) << k;
}

// Every interior byte and every cellParam survives; a loaded grid has no
// figure links and a new overview; bad files leave the grid as it was.
TEST_F(WorldTest, LocationFileRoundTripAndBadFiles) {
    Fgr* f = MakeAt(kKindNpc, 5000);
    masKle.m[5000].fgrKey = masKle.m[5001].fgrMove = f;
    const auto first = RandomLocation(11);
    ASSERT_EQ(WriteFileSafely(Path("loc").c_str(), first), FileStatus::Ok);
    const int serial = locationOverviewSerial;
    ASSERT_TRUE(LoadLocationFile(Path("loc").c_str()));
    EXPECT_EQ(locationOverviewSerial, serial + 1);
    for (const Kle& c : masKle.m) ASSERT_TRUE(c.fgrKey == nullptr && c.fgrMove == nullptr);
    EXPECT_EQ(masKle.tilesetNumber, 3);
    ByteWriter once;
    WriteLocation(once);
    ASSERT_EQ(once.bytes.size(), kLocFileBytes);
    for (int k = 0; k < kKleCount; ++k) {
        const std::size_t at = kLocHeaderBytes + k * kLocCellBytes, from = KleInterior(k) ? 0 : 4;
        ASSERT_TRUE(std::equal(first.begin() + at + from, first.begin() + at + 12, once.bytes.begin() + at + from)) << k;
    }
    auto wide = once.bytes, tall = once.bytes, longer = once.bytes;
    wide[0] = 255;
    tall[4] = 1;
    std::vector<std::vector<std::uint8_t>> bad = {wide, tall};
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{4}, std::size_t{15}, std::size_t{16},
                            std::size_t{17}, std::size_t{28}, kLocFileBytes / 2, kLocFileBytes - 1})
        bad.emplace_back(once.bytes.begin(), once.bytes.begin() + cut);
    ASSERT_TRUE(ParseLocation(RandomLocation(5)));
    ByteWriter before, after;
    WriteLocation(before);
    for (const auto& b : bad) EXPECT_FALSE(ParseLocation(b)) << b.size();
    EXPECT_FALSE(LoadLocationFile(Path("missing").c_str()));
    WriteLocation(after);
    EXPECT_EQ(before.bytes, after.bytes);
    longer.push_back(1);   // extra bytes after a full grid are ignored
    ASSERT_TRUE(ParseLocation(longer));
    WriteLocation(after = ByteWriter{});
    EXPECT_EQ(after.bytes, once.bytes);
}

TEST_F(WorldTest, Anchoring) {
    for (int k : {3000, 3001, 3002}) masKle.m[k].landSub = kSubAnchor;
    for (int none : {kAnchorNone, 0}) {   // kind 6 is born with 9999 as "no anchor"
        Fgr* g = MakeAt(kKindCellBound, 3000);
        ASSERT_TRUE(g && g->firstAnchor == kAnchorNone);
        g->firstAnchor = g->secondAnchor = none;
        EXPECT_EQ(KleAnchor(g, 3000) + KleAnchor(g, 3001), 2) << none;
        EXPECT_TRUE(g->firstAnchor == 3000 && g->secondAnchor == 3001 && g->targPathKle == 3000) << none;
        EXPECT_EQ(KleAnchor(g, 3002), 0);   // has its second anchor
        FgrRemove(g);
    }
    masKle.m[3000].landSub = 0;
    Fgr* f = MakeAt(kKindCellBound, 3000);
    EXPECT_EQ(KleAnchor(f, 3000), 0);   // landSub is not 16
    masKle.m[3000].landSub = kSubAnchor;
    EXPECT_EQ(KleAnchor(f, 3000), 1);
}

}  // namespace
