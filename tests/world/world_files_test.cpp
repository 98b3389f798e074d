// Figure files and LoadMortFrom: renumbering, counts, bad words, hostile
// and truncated files, start points, the occupied-anchor rule, safe saving.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "io/binary.h"
#include "io/files.h"
#include "world_fixture.h"

namespace {

void PutI32(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}
void PutF32(std::vector<std::uint8_t>& b, std::size_t at, float f) {
    std::int32_t v;
    std::memcpy(&v, &f, 4);
    PutI32(b, at, v);
}
std::size_t RecAt(int i) { return 4 + static_cast<std::size_t>(i) * kFgrRecordBytes; }
std::size_t IntAt(int i, int n) { return RecAt(i) + 12 + 4 * n; }
std::size_t FloatAt(int i, int n) { return RecAt(i) + 432 + 4 * n; }

void ExpectNoBorderFigures() {
    for (int k = 0; k < kKleCount; ++k) {
        if (!KleInterior(k)) {
            ASSERT_EQ(masKle.m[k].fgrKey, nullptr) << k;
        }
    }
}

class FilesTest : public WorldTest {
protected:
    // Three figures in slots 5, 9 and 4000: a unit with a path, a plant on
    // its cell, a named NPC.
    std::vector<std::uint8_t> ThreeFigures() {
        for (int i = 1; i <= 4000; ++i) FgrCreate(kKindStructPlain, 15, 15);
        for (int i = 1; i <= 4000; ++i)
            if (i != 5 && i != 9 && i != 4000) FgrRemove(&FigureTable[i]);
        FgrReset(&FigureTable[5]);
        FgrReset(&FigureTable[9]);
        FgrReset(&FigureTable[4000]);
        nextSlot = 5;
        Fgr* u = MakeAt(kKindUnitBunker, 20000);
        EXPECT_EQ(FgrSlotOf(u), 5);
        u->onPath = 1;
        u->onPathLen = 3;
        u->onPathNext = 1;
        u->targPathKle = 20003;
        for (int i = 0; i < 3; ++i) u->pathStep[i] = {KleCol(20000) + i + 1, KleRow(20000)};
        u->kindFloats[4] = 2.5f;
        u->kindWords[2] = -77;
        FgrSetName(u, "unit");
        nextSlot = 9;
        Fgr* p = MakeAt(kKindPlant, 20100);
        EXPECT_EQ(FgrSlotOf(p), 9);
        p->onMap = 1;
        p->unitType = 4;
        nextSlot = 4000;
        Fgr* n = MakeAt(kKindNpc, 20200);
        EXPECT_EQ(FgrSlotOf(n), 4000);
        n->unitType = 3;
        FgrSetName(n, "npc3");
        ByteWriter w;
        WriteFigures(w);
        return w.bytes;
    }
};

TEST_F(FilesTest, RecordLayout) {
    const auto bytes = ThreeFigures();
    ASSERT_EQ(bytes.size(), 4 + 3 * kFgrRecordBytes);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(std::memcmp(bytes.data() + 4, "Fgr#----", 8), 0);
    EXPECT_EQ(bytes[RecAt(0) + 8], kKindUnitBunker & 255);
    EXPECT_EQ(bytes[IntAt(0, 1)], kKindUnitBunker & 255);   // I1 repeats the kind
    float x;
    std::memcpy(&x, bytes.data() + FloatAt(0, 3), 4);
    EXPECT_FLOAT_EQ(x, FigureTable[5].x);
    std::int32_t stepX;
    std::memcpy(&stepX, bytes.data() + RecAt(0) + 556, 4);
    EXPECT_EQ(stepX, KleCol(20000) + 1);
    EXPECT_EQ(std::memcmp(bytes.data() + RecAt(0) + 876, "unit", 5), 0);
}

TEST_F(FilesTest, ReloadRenumbersIntoTheFirstSlots) {
    const auto bytes = ThreeFigures();
    const Fgr u5 = FigureTable[5], p9 = FigureTable[9], n4000 = FigureTable[4000];
    FgrCreate(kKindStructPlain, 15, 15);
    ASSERT_EQ(ParseFigures(bytes), 3);
    EXPECT_EQ(nextSlot, 1);
    const Fgr* was[] = {&u5, &p9, &n4000};
    for (int i = 1; i <= 3; ++i) {
        const Fgr& f = FigureTable[i];
        EXPECT_EQ(f.slotIndex, i);
        for (int n = 0; n < kFgrIntWords; ++n) {
            if (n == 11) continue;   // gunCount is zeroed
            ASSERT_EQ(FgrIntWord(&f, n), FgrIntWord(was[i - 1], n)) << i << " I" << n;
        }
        for (int n = 0; n < kFgrFloatWords; ++n)
            ASSERT_EQ(FgrFloatWord(&f, n), FgrFloatWord(was[i - 1], n)) << i << " F" << n;
        EXPECT_STREQ(f.figureName, was[i - 1]->figureName);
        EXPECT_EQ(std::memcmp(f.pathStep, was[i - 1]->pathStep, sizeof f.pathStep), 0);
    }
    for (int s = 4; s <= kFigureSlots; ++s) ASSERT_EQ(FigureTable[s].fgrKind, 0) << s;
    EXPECT_EQ(masKle.m[20100].fgrKey, &FigureTable[2]);
    // Written again, the file is the same bytes.
    ByteWriter again;
    WriteFigures(again);
    EXPECT_EQ(again.bytes, bytes);
    // The reloaded unit got fresh pool records from its initialiser.
    EXPECT_NE(FigureTable[1].kor.ph, nullptr);
}

TEST_F(FilesTest, CountsOutsideTheTableAreIgnored) {
    const auto bytes = ThreeFigures();
    ASSERT_EQ(ParseFigures(bytes), 3);
    for (std::int32_t n : {6001, std::numeric_limits<std::int32_t>::max(), -1, std::numeric_limits<std::int32_t>::min()}) {
        auto bad = bytes;
        PutI32(bad, 0, n);
        EXPECT_EQ(ParseFigures(bad), -1) << n;
        EXPECT_EQ(FigureTable[3].fgrKind, kKindNpc) << n;
    }
    EXPECT_EQ(ParseFigures({}), -1);
    EXPECT_EQ(FigureTable[1].fgrKind, kKindUnitBunker);
    const std::vector<std::uint8_t> three = {0, 0, 0};
    EXPECT_EQ(ParseFigures(three), -1);
    // N = 0 frees every slot and loads nothing.
    const std::vector<std::uint8_t> zero = {0, 0, 0, 0};
    EXPECT_EQ(ParseFigures(zero), 0);
    for (int s = 0; s <= kFigureSlots; ++s) ASSERT_EQ(FigureTable[s].fgrKind, 0);
    EXPECT_EQ(masKle.m[20100].fgrKey, nullptr);
    // A count beyond the records present loads what is there.
    auto more = bytes;
    PutI32(more, 0, 6000);
    EXPECT_EQ(ParseFigures(more), 3);
}

TEST_F(FilesTest, KindZeroOrUnknownEndsTheLoad) {
    const auto bytes = ThreeFigures();
    for (std::int32_t kind : {0, 1, 409, -1, 99999}) {
        auto bad = bytes;
        PutI32(bad, RecAt(1) + 8, kind);
        EXPECT_EQ(ParseFigures(bad), 1) << kind;
        EXPECT_EQ(FigureTable[1].fgrKind, kKindUnitBunker);
        EXPECT_EQ(FigureTable[2].fgrKind, 0);
        EXPECT_EQ(FigureTable[3].fgrKind, 0);
    }
}

TEST_F(FilesTest, BadWordsAreMendedAndLogged) {
    auto bytes = ThreeFigures();
    PutI32(bytes, IntAt(0, 1), 999);       // I1 against the kind
    PutI32(bytes, IntAt(0, 7), 2);         // class
    PutI32(bytes, IntAt(0, 69), 9);        // moveMode
    PutI32(bytes, IntAt(0, 70), -4);       // side
    PutI32(bytes, IntAt(0, 59), 100000);   // picture
    PutI32(bytes, IntAt(0, 68), 65535);    // border cell as target
    PutI32(bytes, IntAt(0, 53), 7000);     // third target slot
    PutI32(bytes, IntAt(0, 24), 70000);    // anchor
    PutI32(bytes, IntAt(0, 26), -3);       // footprint cell
    PutI32(bytes, IntAt(0, 75), 1 << 30);  // unitType
    PutI32(bytes, IntAt(0, 11), 5);        // gunCount
    PutI32(bytes, IntAt(0, 66), 3);        // onPathNext past the 3 steps
    PutF32(bytes, FloatAt(0, 5), std::numeric_limits<float>::infinity());
    PutF32(bytes, FloatAt(0, 9), std::numeric_limits<float>::quiet_NaN());
    PutI32(bytes, RecAt(1) + 556 + 8 * 39, -1);   // a path step off the grid (unused part)
    for (int i = 0; i < 13; ++i) bytes[RecAt(2) + 876 + i] = 'A';   // name without zero
    ASSERT_EQ(ParseFigures(bytes), 3);
    const Fgr& u = FigureTable[1];
    EXPECT_EQ(u.fgrKind, kKindUnitBunker);
    EXPECT_EQ(u.fgrClass, kClassUnit);
    EXPECT_EQ(u.moveMode, 3);
    EXPECT_EQ(u.side, 0);
    EXPECT_EQ(u.picture, 0);
    EXPECT_EQ(u.targPathKle, 0);
    EXPECT_EQ(u.target3Slot, 0);
    EXPECT_EQ(u.firstAnchor, 0);
    EXPECT_EQ(u.footprintCell, 0);
    EXPECT_EQ(u.unitType, 0);
    EXPECT_EQ(u.gunCount, 0);
    EXPECT_EQ(u.onPath, 0);
    EXPECT_EQ(u.onPathNext, 0);
    EXPECT_EQ(u.onPathLen, 0);
    EXPECT_FLOAT_EQ(u.size, 1.0f);
    EXPECT_FLOAT_EQ(u.speed, 0.0f);
    EXPECT_EQ(FigureTable[2].pathStep[39].x, 0);
    EXPECT_EQ(std::strlen(FigureTable[3].figureName), 12u);
    EXPECT_GE(Count(Log(), "LoadMortFrom --> slot"), 15);
}

TEST_F(FilesTest, StartPointsAndTheOccupiedAnchor) {
    auto bytes = ThreeFigures();
    PutI32(bytes, IntAt(0, 75), 6);   // the unit becomes a wild dog start point
    // The NPC claims the plant's cell.
    std::memcpy(bytes.data() + FloatAt(2, 3), bytes.data() + FloatAt(1, 3), 8);
    PutI32(bytes, IntAt(2, 76), 1);
    ASSERT_EQ(ParseFigures(bytes), 3);
    EXPECT_EQ(FigureTable[1].active, 0);
    ASSERT_EQ(startPoints.count[6], 1);
    EXPECT_FLOAT_EQ(startPoints.x[6][0], FigureTable[1].x);
    EXPECT_NE(Log().find("\nFgr::LoadMortFrom --> masKle.m[k].fgrKey занят"_w), std::string::npos);
    EXPECT_EQ(worldError, 1);
    EXPECT_EQ(isDone, 1);
    EXPECT_EQ(masKle.m[20100].fgrKey, &FigureTable[3]);
    SpawnAtStartPoints();
    int dogs = 0;
    for (int s = 1; s <= kFigureSlots; ++s) dogs += FigureTable[s].unitType == 6 && FigureTable[s].active;
    EXPECT_EQ(dogs, 1);
}

TEST_F(FilesTest, TruncationsAtEveryFieldBoundary) {
    const auto bytes = ThreeFigures();
    std::vector<std::size_t> cuts = {0, 1, 3, 4, 5};
    for (int r = 0; r < 3; ++r) {
        const std::size_t fields[] = {0, 8, 12, 16, 432, 556, 876, 889, 905};
        for (std::size_t f : fields)
            for (int d = -1; d <= 1; ++d) cuts.push_back(RecAt(r) + f + d);
    }
    for (std::size_t c = 7; c < bytes.size(); c += 97) cuts.push_back(c);
    for (std::size_t cut : cuts) {
        if (cut > bytes.size()) continue;
        std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + cut);
        const int got = ParseFigures(part);
        const int whole = cut < 4 ? -1 : static_cast<int>((cut - 4) / kFgrRecordBytes);
        ASSERT_EQ(got, whole) << cut;
        if (got >= 0) {
            for (int s = got + 1; s <= 3; ++s) ASSERT_EQ(FigureTable[s].fgrKind, 0) << cut;
        }
    }
}

TEST_F(FilesTest, LocationTruncationsAreRefused) {
    StartGameLocation();
    ByteWriter w;
    WriteLocation(w);
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{4}, std::size_t{7}, std::size_t{8},
                            std::size_t{15}, std::size_t{16}, std::size_t{17}, std::size_t{27}, std::size_t{28},
                            std::size_t{29}, kLocFileBytes / 2, kLocFileBytes - 13, kLocFileBytes - 1}) {
        std::vector<std::uint8_t> part(w.bytes.begin(), w.bytes.begin() + cut);
        EXPECT_FALSE(ParseLocation(part)) << cut;
    }
    EXPECT_TRUE(ParseLocation(w.bytes));
}

TEST_F(FilesTest, FailedSaveKeepsTheOldFiles) {
    StartGameLocation();
    const std::string name = Path("etap9");
    ASSERT_TRUE(SaveLocation(name.c_str()));
    std::vector<std::uint8_t> oldLoc, oldFgr, now;
    ASSERT_EQ(ReadWholeFile(name.c_str(), oldLoc), FileStatus::Ok);
    ASSERT_EQ(ReadWholeFile((name + ".fgr").c_str(), oldFgr), FileStatus::Ok);
    ASSERT_EQ(oldLoc.size(), kLocFileBytes);
    // Change both, then fail the first write of the location file, then a
    // write of the figure file (the location is 13 chunks long).
    masKle.m[5000].tile = 77;
    FgrCreate(kKindStructPlain, 15, 15);
    for (int failAt : {1, 5, 13, 14}) {
        InjectWriteFailureAfter(failAt);
        EXPECT_FALSE(SaveLocation(name.c_str())) << failAt;
        InjectWriteFailureAfter(0);
        if (failAt <= 13) {
            ASSERT_EQ(ReadWholeFile(name.c_str(), now), FileStatus::Ok);
            EXPECT_EQ(now, oldLoc) << failAt;
        } else {
            ASSERT_EQ(ReadWholeFile((name + ".fgr").c_str(), now), FileStatus::Ok);
            EXPECT_EQ(now, oldFgr) << failAt;
        }
        EXPECT_FALSE(FileExists((name + ".tmp").c_str()));
        EXPECT_FALSE(FileExists((name + ".fgr.tmp").c_str()));
        // Put the old pair back for the next round.
        ASSERT_EQ(WriteFileSafely(name.c_str(), oldLoc), FileStatus::Ok);
        ASSERT_EQ(WriteFileSafely((name + ".fgr").c_str(), oldFgr), FileStatus::Ok);
    }
    // The saved pair loads back through the editor's open.
    ASSERT_TRUE(OpenLocationForEditor(name.c_str()));
    EXPECT_EQ(editorOpen, 1);
    EXPECT_STREQ(editorLocName, name.c_str());
    EXPECT_EQ(masKle.m[5000].tile, oldLoc[kLocHeaderBytes + 5000 * kLocCellBytes + 3]);
    EXPECT_GT(FigureTable[1].fgrKind, 0);
    EXPECT_EQ(LoadFigureFile(Path("nothing.fgr").c_str()), -1);

    // Leaving without an edit writes nothing and brings the hero back.
    masKle.m[5000].tile = 99;
    EXPECT_TRUE(LeaveEditor(name.c_str()));
    EXPECT_EQ(editorOpen, 0);
    ASSERT_EQ(ReadWholeFile(name.c_str(), now), FileStatus::Ok);
    EXPECT_EQ(now, oldLoc);
    EXPECT_TRUE(FgrAlive(fgrMainHero));
    // After an edit the pair is saved.
    editorOpen = editorEdited = 1;
    EXPECT_TRUE(LeaveEditor(name.c_str()));
    EXPECT_EQ(editorEdited, 0);
    ASSERT_EQ(ReadWholeFile(name.c_str(), now), FileStatus::Ok);
    EXPECT_EQ(now[kLocHeaderBytes + 5000 * kLocCellBytes + 3], 99);
}

}  // namespace

namespace {

// The generated start location loads cleanly: no bad words, no shared
// anchor cells, a populated world.
TEST_F(WorldTest, GeneratedStartLocationLoads) {
    const char* runtime = std::getenv("BD_RUNTIME_DIR");
    if (!runtime) GTEST_SKIP() << "no runtime folder";
    const std::string loc = std::string(runtime) + "/etap1";
    if (!FileExists(loc.c_str())) GTEST_SKIP() << "etap1 not generated";
    char here[1024];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(runtime), 0);
    StartGameLocation();
    ASSERT_EQ(chdir(here), 0);
    EXPECT_EQ(worldError, 0) << Log();
    EXPECT_EQ(Log().find("LoadMortFrom"), std::string::npos) << Log();
    EXPECT_TRUE(FgrAlive(fgrMainHero));
    EXPECT_NE(pBos, nullptr);
    int figures = 0;
    for (int s = 1; s <= kFigureSlots; ++s) figures += FigureTable[s].fgrKind != 0;
    EXPECT_GT(figures, 40);
    ExpectNoBorderFigures();
}

}  // namespace
