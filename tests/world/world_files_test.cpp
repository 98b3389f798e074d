// Figure files and LoadMortFrom: renumbering, counts, bad words, hostile
// and truncated files, start points, the occupied-anchor rule, safe saving.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "io/binary.h"
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

class FilesTest : public WorldTest {
protected:
    // Figures in slots 5, 9 and 4000: a unit with a path, a plant on its cell, a named NPC.
    std::vector<std::uint8_t> ThreeFigures() {
        nextSlot = 5;
        Fgr* u = MakeAt(kKindUnitBunker, 20000);
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
        p->onMap = 1;
        p->unitType = 4;
        nextSlot = 4000;
        Fgr* n = MakeAt(kKindNpc, 20200);
        n->unitType = 3;
        FgrSetName(n, "npc3");
        EXPECT_EQ(FgrSlotOf(u), 5);
        EXPECT_EQ(FgrSlotOf(p), 9);
        EXPECT_EQ(FgrSlotOf(n), 4000);
        ByteWriter w;
        WriteFigures(w);
        return w.bytes;
    }
};

TEST_F(FilesTest, ReloadRenumbersIntoTheFirstSlots) {
    const auto bytes = ThreeFigures();
    ASSERT_EQ(bytes.size(), 4 + 3 * kFgrRecordBytes);
    EXPECT_EQ(std::memcmp(bytes.data() + 4, "Fgr#----", 8), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + RecAt(0) + 876, "unit", 5), 0);
    const Fgr was[] = {FigureTable[5], FigureTable[9], FigureTable[4000]};
    FgrCreate(kKindStructPlain, 15, 15);
    fgrSerial = 1;   // as in a fresh run
    ASSERT_EQ(ParseFigures(bytes), 3);
    EXPECT_EQ(nextSlot, 1);
    EXPECT_GT(fgrSerial, std::max({was[0].serial, was[1].serial, was[2].serial}));   // new serials stay unique
    for (int i = 1; i <= 3; ++i) {
        const Fgr& f = FigureTable[i];
        EXPECT_EQ(f.slotIndex, i);
        for (int n = 0; n < kFgrIntWords; ++n) {
            if (n != 11) { ASSERT_EQ(FgrIntWord(&f, n), FgrIntWord(&was[i - 1], n)) << i << " I" << n; }   // gunCount zeroed
        }
        for (int n = 0; n < kFgrFloatWords; ++n) ASSERT_EQ(FgrFloatWord(&f, n), FgrFloatWord(&was[i - 1], n)) << i << " F" << n;
        EXPECT_STREQ(f.figureName, was[i - 1].figureName);
        EXPECT_EQ(std::memcmp(f.pathStep, was[i - 1].pathStep, sizeof f.pathStep), 0);
    }
    for (int s = 4; s <= kFigureSlots; ++s) ASSERT_EQ(FigureTable[s].fgrKind, 0) << s;
    EXPECT_EQ(masKle.m[20100].fgrKey, &FigureTable[2]);
    ByteWriter again;
    WriteFigures(again);
    EXPECT_EQ(again.bytes, bytes);
    EXPECT_NE(FigureTable[1].kor.ph, nullptr);   // fresh pool records from the initialiser
}

// Counts outside the table refuse the file; a kind 0 or unknown ends the load.
TEST_F(FilesTest, BadCountsAndKinds) {
    const auto bytes = ThreeFigures();
    ASSERT_EQ(ParseFigures(bytes), 3);
    for (std::int32_t n : {6001, std::numeric_limits<std::int32_t>::max(), -1, std::numeric_limits<std::int32_t>::min()}) {
        auto bad = bytes;
        PutI32(bad, 0, n);
        EXPECT_EQ(ParseFigures(bad), -1) << n;
        EXPECT_EQ(FigureTable[3].fgrKind, kKindNpc) << n;
    }
    EXPECT_EQ(ParseFigures(std::vector<std::uint8_t>{0, 0, 0}), -1);
    EXPECT_EQ(LoadFigureFile(Path("nothing.fgr").c_str()), -1);
    EXPECT_EQ(ParseFigures(std::vector<std::uint8_t>{0, 0, 0, 0}), 0);   // N = 0 frees every slot
    for (int s = 0; s <= kFigureSlots; ++s) ASSERT_EQ(FigureTable[s].fgrKind, 0);
    EXPECT_EQ(masKle.m[20100].fgrKey, nullptr);
    auto more = bytes;   // a count beyond the records present loads what is there
    PutI32(more, 0, 6000);
    EXPECT_EQ(ParseFigures(more), 3);
    for (std::int32_t kind : {0, 1, 409, -1, 99999}) {
        auto bad = bytes;
        PutI32(bad, RecAt(1) + 8, kind);
        EXPECT_EQ(ParseFigures(bad), 1) << kind;
        EXPECT_EQ(FigureTable[1].fgrKind * 10 + FigureTable[2].fgrKind + FigureTable[3].fgrKind, kKindUnitBunker * 10);
    }
}

TEST_F(FilesTest, BadWordsAreMendedAndLogged) {
    auto bytes = ThreeFigures();
    const std::pair<int, std::int32_t> words[] = {
        {1, 999}, {7, 2}, {69, 9}, {70, -4}, {59, 100000}, {68, 65535}, {53, 7000},
        {24, 70000}, {26, -3}, {75, 1 << 30}, {11, 5}, {66, 3},   // I66 onPathNext past the 3 steps
        {5, std::numeric_limits<std::int32_t>::max()}};   // a serial the counter could not pass
    for (auto [n, v] : words) PutI32(bytes, IntAt(0, n), v);
    PutF32(bytes, FloatAt(0, 5), std::numeric_limits<float>::infinity());
    PutF32(bytes, FloatAt(0, 9), std::numeric_limits<float>::quiet_NaN());
    PutI32(bytes, RecAt(1) + 556 + 8 * 39, -1);   // a path step off the grid
    for (int i = 0; i < 13; ++i) bytes[RecAt(2) + 876 + i] = 'A';   // name without zero
    ASSERT_EQ(ParseFigures(bytes), 3);
    const Fgr& u = FigureTable[1];
    EXPECT_EQ(u.fgrKind, kKindUnitBunker);
    EXPECT_EQ(u.fgrClass, kClassUnit);
    EXPECT_EQ(u.moveMode, 3);
    const int cleared[] = {u.side, u.picture, u.targPathKle, u.target3Slot, u.firstAnchor, u.footprintCell,
                           u.unitType, u.gunCount, u.onPath, u.onPathNext, u.onPathLen, FigureTable[2].pathStep[39].x,
                           u.serial};
    for (int i = 0; i < 13; ++i) EXPECT_EQ(cleared[i], 0) << i;
    EXPECT_LT(fgrSerial, 1 << 30);
    EXPECT_FLOAT_EQ(u.size, 1.0f);
    EXPECT_FLOAT_EQ(u.speed, 0.0f);
    EXPECT_EQ(std::strlen(FigureTable[3].figureName), 12u);
    EXPECT_GE(Count(Log(), "LoadMortFrom --> slot"), 15);
}

TEST_F(FilesTest, StartPointsAndTheOccupiedAnchor) {
    auto bytes = ThreeFigures();
    PutI32(bytes, IntAt(0, 75), 6);   // the unit becomes a wild dog start point
    std::memcpy(bytes.data() + FloatAt(2, 3), bytes.data() + FloatAt(1, 3), 8);   // NPC on the plant's cell
    PutI32(bytes, IntAt(2, 76), 1);
    PutI32(bytes, IntAt(2, 75), 5);   // townsperson 5 is no start point
    ASSERT_EQ(ParseFigures(bytes), 3);
    EXPECT_EQ(startPoints.count[5], 0);
    EXPECT_EQ(FigureTable[1].active, 0);
    ASSERT_EQ(startPoints.count[6], 1);
    EXPECT_NE(Log().find("\nFgr::LoadMortFrom --> masKle.m[k].fgrKey занят"_w), std::string::npos);
    EXPECT_EQ(worldError + isDone, 2);
    SpawnAtStartPoints();
    int dogs = 0;
    for (int s = 1; s <= kFigureSlots; ++s) dogs += FigureTable[s].unitType == 6 && FigureTable[s].active;
    EXPECT_EQ(dogs, 1);
}

TEST_F(FilesTest, TruncationsAtEveryFieldBoundary) {
    const auto bytes = ThreeFigures();
    std::vector<std::size_t> cuts = {0, 1, 3, 4, 5};
    for (int r = 0; r < 3; ++r)
        for (std::size_t f : {0, 8, 12, 16, 432, 556, 876, 889, 905})
            for (int d = -1; d <= 1; ++d) cuts.push_back(RecAt(r) + f + d);
    for (std::size_t c = 7; c < bytes.size(); c += 97) cuts.push_back(c);
    for (std::size_t cut : cuts) {
        if (cut > bytes.size()) continue;
        const int got = ParseFigures(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + cut));
        ASSERT_EQ(got, cut < 4 ? -1 : static_cast<int>((cut - 4) / kFgrRecordBytes)) << cut;
        for (int s = got + 1; got >= 0 && s <= 3; ++s) ASSERT_EQ(FigureTable[s].fgrKind, 0) << cut;
    }
}

}  // namespace
