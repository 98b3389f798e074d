// The cell grid: coordinate rules, border codes after every lifecycle
// operation, the location file round trip, occupancy and anchoring.
#include <algorithm>
#include <limits>
#include <vector>

#include "io/binary.h"
#include "io/files.h"
#include "world_fixture.h"

namespace {

struct PointCase {
    float x, z;
    int cell;       // KleCellXZ
    int interior;   // KleAt
};

TEST_F(WorldTest, PointToCellAtTheEdges) {
    const PointCase cases[] = {
        {0.5f, 100.0f, -1, -1},          // x below 1 is never a cell
        {100.0f, 0.99f, -1, -1},
        {10.0f, 10.0f, 257, 257},
        {1.0f, 1.0f, 0, -1},             // corner cell, border
        {19.99f, 19.99f, 257, 257},
        {2559.9f, 2559.9f, 65535, -1},   // last cell is border
        {2560.0f, 100.0f, -1, -1},       // the far edge is outside, not the next row
        {100.0f, 2560.0f, -1, -1},
        {2561.0f, 100.0f, -1, -1},
        {-5.0f, 100.0f, -1, -1},
        {2549.0f, 2549.0f, 65278, 65278},
        {2550.0f, 1200.0f, 30975, -1},   // column 255
    };
    for (const PointCase& c : cases) {
        EXPECT_EQ(KleCellXZ(c.x, c.z), c.cell) << c.x << "," << c.z;
        EXPECT_EQ(KleAt(c.x, c.z), c.interior) << c.x << "," << c.z;
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(KleCellXZ(nan, 50.0f), -1);
    EXPECT_EQ(KleCellXZ(50.0f, std::numeric_limits<float>::infinity()), -1);
    EXPECT_EQ(KleCellXZ(3e9f, 50.0f), -1);
    EXPECT_EQ(KleCellOf(50, 50, 0, 0, 0, 10, 256, 256), -1);
    EXPECT_EQ(KleCellOf(50, 50, 0, 0, 10, 0, 256, 256), -1);
    EXPECT_EQ(KleCellOf(25, 35, 0, 0, 5, 5, 8, 8), 7 * 8 + 5);
}

TEST_F(WorldTest, InteriorTestAndCentres) {
    const std::pair<int, bool> cases[] = {
        {-1, false}, {0, false},     {255, false},   {256, false}, {257, true},
        {510, true}, {511, false},   {512, false},   {65278, true}, {65279, false},
        {65280, false}, {65535, false}, {65536, false}, {28975, true},
    };
    for (auto [k, in] : cases) EXPECT_EQ(KleInterior(k), in) << k;
    float x, z;
    EXPECT_TRUE(KleCentre(257, &x, &z));
    EXPECT_FLOAT_EQ(x, 15.0f);
    EXPECT_FLOAT_EQ(z, 15.0f);
    EXPECT_FALSE(KleCentre(255, &x, &z));
    EXPECT_FLOAT_EQ(x, -1.0f);
    EXPECT_FLOAT_EQ(z, 0.0f);
    // Creators refuse border cells.
    EXPECT_EQ(CreateHero(255, 0), nullptr);
    EXPECT_EQ(MakePlant(1, 65280), nullptr);
}

void ExpectBorder() {
    for (int k = 0; k < kKleCount; ++k) {
        if (KleInterior(k)) continue;
        const Kle& c = masKle.m[k];
        ASSERT_EQ(c.tile, KleBorderTile(k)) << k;
        ASSERT_EQ(c.landType + c.landSub + c.landHint, 0) << k;
    }
    EXPECT_EQ(masKle.m[0].tile, 226);
    EXPECT_EQ(masKle.m[255].tile, 223);
    EXPECT_EQ(masKle.m[65280].tile, 224);
    EXPECT_EQ(masKle.m[65535].tile, 225);
    EXPECT_EQ(masKle.m[KleIndex(0, 7)].tile, 219);
    EXPECT_EQ(masKle.m[KleIndex(255, 7)].tile, 221);
    EXPECT_EQ(masKle.m[KleIndex(7, 0)].tile, 222);
    EXPECT_EQ(masKle.m[KleIndex(7, 255)].tile, 220);
}

std::vector<std::uint8_t> RandomLocation(unsigned seed) {
    RandSeed(seed);
    ByteWriter w;
    w.WriteI32(256);
    w.WriteI32(256);
    w.WriteI32(3);
    w.WriteI32(0);
    for (int k = 0; k < kKleCount; ++k) {
        for (int b = 0; b < 8; ++b) w.WriteByte(static_cast<std::uint8_t>(Rand() & 255));
        w.WriteI32(Rand() * 65536 + Rand() - 7);
    }
    return w.bytes;
}

TEST_F(WorldTest, BorderCodesAfterEveryLifecycleOperation) {
    StartGameLocation();   // no etap1 here: the filled grid stays
    ExpectBorder();
    int tiles202 = 0;
    for (int k = 0; k < kKleCount; ++k) tiles202 += masKle.m[k].tile == 202;
    EXPECT_GT(tiles202, 40000);
    EXPECT_LT(tiles202, 55000);
    EXPECT_NE(Log().find("\n\nStart ..."), std::string::npos);

    const auto bytes = RandomLocation(3);   // garbage in the border cells
    ASSERT_TRUE(ParseLocation(bytes));
    ExpectBorder();

    NewGroundAndEditor();
    ExpectBorder();
    EXPECT_EQ(editorOpen, 1);
    EXPECT_EQ(editorEdited, 1);
    EXPECT_EQ(masKle.m[KleAt(1920.0f, 1280.0f)].tile, 0);
    for (int k = 257; k < 65279; ++k) {
        if (!KleInterior(k) || masKle.m[k].tile == 0) continue;
        ASSERT_EQ(masKle.m[k].landType, kLandGround);
        ASSERT_GE(masKle.m[k].tile, 1);
        ASSERT_LE(masKle.m[k].tile, 4);
    }
}

TEST_F(WorldTest, LocationFileRoundTripsEveryByte) {
    auto first = RandomLocation(11);
    ASSERT_TRUE(ParseLocation(first));
    ByteWriter once;
    WriteLocation(once);
    ASSERT_EQ(once.bytes.size(), kLocFileBytes);
    // The border ring is rewritten on loading, so compare from a loaded grid.
    KleReset();
    ASSERT_TRUE(ParseLocation(once.bytes));
    ByteWriter twice;
    WriteLocation(twice);
    EXPECT_EQ(once.bytes, twice.bytes);
    // Interior cells and every cellParam match the random source exactly.
    for (int k = 0; k < kKleCount; ++k) {
        const std::size_t at = kLocHeaderBytes + k * kLocCellBytes;
        if (KleInterior(k))
            ASSERT_TRUE(std::equal(first.begin() + at, first.begin() + at + 12, once.bytes.begin() + at)) << k;
        else
            ASSERT_TRUE(std::equal(first.begin() + at + 4, first.begin() + at + 12, once.bytes.begin() + at + 4)) << k;
    }
    EXPECT_EQ(masKle.tilesetNumber, 3);
}

TEST_F(WorldTest, BadLocationsLeaveTheGridUntouched) {
    ASSERT_TRUE(ParseLocation(RandomLocation(5)));
    ByteWriter before;
    WriteLocation(before);
    auto bad = RandomLocation(6);
    bad[0] = 255;   // width 255
    EXPECT_FALSE(ParseLocation(bad));
    auto tall = RandomLocation(6);
    tall[4] = 1;   // height 257
    EXPECT_FALSE(ParseLocation(tall));
    auto shortFile = RandomLocation(6);
    shortFile.resize(shortFile.size() - 1);
    EXPECT_FALSE(ParseLocation(shortFile));
    EXPECT_FALSE(ParseLocation({}));
    ByteWriter after;
    WriteLocation(after);
    EXPECT_EQ(before.bytes, after.bytes);
    // Extra bytes after a full grid are ignored.
    auto longer = RandomLocation(6);
    longer.push_back(1);
    EXPECT_TRUE(ParseLocation(longer));
}

TEST_F(WorldTest, LoadedGridHasNoLinksAndAnOverview) {
    Fgr* f = MakeAt(kKindNpc, 5000);
    masKle.m[5000].fgrKey = f;
    masKle.m[5001].fgrMove = f;
    auto bytes = RandomLocation(9);
    // Put known land types into the first interior cells.
    const int types[] = {0, 1, 2, 5, 6};
    const int expect[][3] = {{120, 120, 120}, {20, 30, 10}, {50, 70, 40}, {20, 30, 90}, {95, 50, 30}};
    for (int i = 0; i < 5; ++i) bytes[kLocHeaderBytes + (257 + i) * kLocCellBytes] = static_cast<std::uint8_t>(types[i]);
    const std::string path = Path("loc");
    ASSERT_EQ(WriteFileSafely(path.c_str(), bytes), FileStatus::Ok);
    const int serial = locationOverviewSerial;
    ASSERT_TRUE(LoadLocationFile(path.c_str()));
    EXPECT_EQ(locationOverviewSerial, serial + 1);
    for (const Kle& c : masKle.m) {
        ASSERT_EQ(c.fgrKey, nullptr);
        ASSERT_EQ(c.fgrMove, nullptr);
    }
    for (int i = 0; i < 5; ++i)
        for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(locationOverview[3 * (257 + i) + ch], expect[i][ch]);
    EXPECT_FALSE(LoadLocationFile(Path("missing").c_str()));
}

TEST_F(WorldTest, AnchoringAndEditorDelete) {
    Fgr* f = MakeAt(kKindCellBound, 3000);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->firstAnchor, kAnchorNone);
    f->firstAnchor = f->secondAnchor = 0;
    EXPECT_EQ(KleAnchor(f, 3000), 0);   // landSub is not 16
    masKle.m[3000].landSub = kSubAnchor;
    masKle.m[3001].landSub = kSubAnchor;
    masKle.m[3002].landSub = kSubAnchor;
    EXPECT_EQ(KleAnchor(f, 3000), 1);
    EXPECT_EQ(f->firstAnchor, 3000);
    EXPECT_EQ(f->targPathKle, 3000);
    EXPECT_EQ(f->onMap, 1);
    EXPECT_EQ(KleAnchor(f, 3001), 1);
    EXPECT_EQ(f->secondAnchor, 3001);
    EXPECT_EQ(KleAnchor(f, 3002), 0);   // has its second anchor
    EXPECT_EQ(KleKeyOf(3000), f);

    EXPECT_EQ(KleRemoveKey(255), 1);    // border: nothing, reports 1
    EXPECT_EQ(KleRemoveKey(4000), 0);   // no anchored figure
    EXPECT_EQ(KleRemoveKey(3000), 1);   // editor closed: no change
    EXPECT_EQ(KleKeyOf(3000), f);
    editorOpen = 1;
    EXPECT_EQ(KleRemoveKey(3000), 1);
    EXPECT_EQ(KleKeyOf(3000), nullptr);
    EXPECT_EQ(f->fgrKind, 0);

    Fgr* g = MakeAt(kKindNpc, 3100);
    masKle.m[3100].fgrKey = g;
    masKle.m[3100].fgrMove = g;
    KleClearLinks(g);
    EXPECT_EQ(masKle.m[3100].fgrKey, nullptr);
    EXPECT_EQ(masKle.m[3100].fgrMove, nullptr);
    EXPECT_EQ(KleKeyOf(-1), nullptr);
    EXPECT_EQ(KleMoveOf(65535), nullptr);
}

}  // namespace
