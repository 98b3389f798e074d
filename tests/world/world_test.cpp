// The world model: the cell grid (coordinate rules, border codes, the
// location file and anchoring), the figure table (allocation, removal, the
// update pass, pools, sides, orders, the hero, monsters, the population) and
// figure files (renumbering, bad counts, kinds and words, truncations, start
// points). Globals reset, the log in a private file, a fixed seed.
#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "world/camera.h"
#include "world/pools.h"
#include "world_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST_F(WorldTest, PointToCellAndInteriorAtTheEdges) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct { float x, z; int cell, interior; } const cases[] = {
        {0.5f, 100.0f, -1, -1}, {1.0f, 1.0f, 0, -1}, {10.0f, 10.0f, 257, 257}, {19.99f, 19.99f, 257, 257},
        {2559.9f, 2559.9f, 65535, -1}, {2560.0f, 100.0f, -1, -1}, {-5.0f, 100.0f, -1, -1},
        {2549.0f, 2549.0f, 65278, 65278}, {2550.0f, 1200.0f, 30975, -1}, {nan, 50.0f, -1, -1},
        {50.0f, inf, -1, -1}, {3e9f, 50.0f, -1, -1},
    };
    for (const auto& c : cases)   // the camera's picking agrees with the grid
        EXPECT_TRUE(KleCellXZ(c.x, c.z) == c.cell && KleAt(c.x, c.z) == c.interior && PointToCell(c.x, c.z) == c.interior)
            << c.x << "," << c.z;
    EXPECT_EQ(KleCellOf(50, 50, 0, 0, 0, 10, 256, 256), -1);
    EXPECT_EQ(KleCellOf(25, 35, 0, 0, 5, 5, 8, 8), 7 * 8 + 5);
    for (auto [k, in] : {std::pair{-1, false}, {255, false}, {256, false}, {257, true}, {511, false},
                         {65278, true}, {65279, false}, {65536, false}})
        EXPECT_EQ(KleInterior(k), in) << k;
    float x, z;
    EXPECT_TRUE(KleCentre(257, &x, &z) && x == 15.0f && !KleCentre(255, &x, &z));
    EXPECT_FALSE(CreateHero(255, 0) || MakePlant(1, 65280));   // creators refuse border cells
}

Bytes RandomLocation(unsigned seed) {
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
    const std::function<bool()> operations[] = {
        [] {   // no etap1 here: the filled grid stays, said in the log and shown on the minimap
            const int serial = locationOverviewSerial;
            StartGameLocation();
            return locationOverviewSerial > serial;
        },
        [] { return ParseLocation(RandomLocation(3)); },   // garbage in the border cells
        [] { return NewGround(), true; }};
    for (const auto& op : operations) {
        ASSERT_TRUE(op());
        for (int k = 0; k < kKleCount; ++k) {
            const Kle& c = masKle.m[k];
            ASSERT_TRUE(KleInterior(k) || (c.tile && c.tile == KleBorderTile(k) && c.landType + c.landSub + c.landHint == 0)) << k;
        }
    }
    for (const char* said : {"\n\nStart ...", "etap1: ", "etap1.fgr: "}) EXPECT_NE(Log().find(said), std::string::npos) << said;
    for (int k = 257; k < 65279; ++k)
        ASSERT_TRUE(!KleInterior(k) || !masKle.m[k].tile || (masKle.m[k].landType == kLandGround && masKle.m[k].tile <= 4)) << k;
}

// Every interior byte and every cellParam survives; a loaded grid has no
// figure links and a new overview; bad files leave the grid as it was.
TEST_F(WorldTest, LocationFileRoundTripAndBadFiles) {
    Fgr* f = MakeAt(kKindNpc, 5000);
    masKle.m[5000].fgrKey = masKle.m[5001].fgrMove = f;
    const Bytes first = RandomLocation(11);
    ASSERT_EQ(WriteFileSafely(Path("loc").c_str(), first), FileStatus::Ok);
    const int serial = locationOverviewSerial;
    ASSERT_TRUE(LoadLocationFile(Path("loc").c_str()));
    EXPECT_EQ(locationOverviewSerial, serial + 1);
    for (const Kle& c : masKle.m) ASSERT_TRUE(c.fgrKey == nullptr && c.fgrMove == nullptr);
    EXPECT_EQ(masKle.tilesetNumber, 3);
    const Bytes once = Cells();
    ASSERT_EQ(once.size(), kLocFileBytes);
    for (int k = 0; k < kKleCount; ++k) {
        const std::size_t at = kLocHeaderBytes + k * kLocCellBytes, from = KleInterior(k) ? 0 : 4;
        ASSERT_TRUE(std::equal(first.begin() + at + from, first.begin() + at + 12, once.begin() + at + from)) << k;
    }
    std::vector<Bytes> bad(2, once);
    bad[0][0] = 255, bad[1][4] = 1;   // too wide, too tall
    for (std::size_t cut : std::vector<std::size_t>{0, 3, 4, 15, 16, 17, 28, kLocFileBytes / 2, kLocFileBytes - 1})
        bad.emplace_back(once.begin(), once.begin() + cut);
    ASSERT_TRUE(ParseLocation(RandomLocation(5)));
    const Bytes before = Cells();
    for (const auto& b : bad) EXPECT_FALSE(ParseLocation(b)) << b.size();
    EXPECT_FALSE(LoadLocationFile(Path("missing").c_str()));
    EXPECT_EQ(Cells(), before);
    Bytes longer = once;
    longer.push_back(1);   // extra bytes after a full grid are ignored
    ASSERT_TRUE(ParseLocation(longer));
    EXPECT_EQ(Cells(), once);
    const int shown = locationOverviewSerial;
    WorldReset();  // the map window compares serials: they never count back
    EXPECT_EQ(locationOverviewSerial, shown);
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
    EXPECT_EQ(KleAnchor(MakeAt(kKindCellBound, 2999), 2999), 0);   // landSub is not 16
}

TEST_F(WorldTest, SlotAllocationTheFullTableAndAFailedPopulation) {
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), i);
    nextSlot = 3;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), 6);
    FgrRemove(&FigureTable[2]);   // a freed slot behind the cursor is found after wrapping
    nextSlot = 6001;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 15, 15), 2);
    EXPECT_EQ(FigureTable[2].bornNow, 1);
    for (int kind : {0, 1, -5, 409, 414, 610, 99999}) EXPECT_EQ(FgrCreate(kind, 15, 15), 0) << kind;
    createLock = 1;
    EXPECT_EQ(FgrCreate(kKindHero, 15, 15), 0);
    createLock = 0;
    int made = 0;   // full table: the creation fails and no living figure is touched
    while (FgrCreate(kKindStructPlain, 15, 15)) ++made;
    EXPECT_EQ(made, kFigureSlots - 6);
    const int serialBefore = fgrSerial;
    EXPECT_EQ(FgrCreate(kKindStructPlain, 25, 25), 0);
    EXPECT_EQ(fgrSerial, serialBefore);
    EXPECT_EQ(FigureCount(kKindStructPlain), kFigureSlots);
    EXPECT_EQ(WorldPopulate(), 0);   // fatally
    EXPECT_NE(Log().find("\n не удалось создать fgrMainHero"_w), std::string::npos);
    EXPECT_EQ(worldError + isDone, 2);
    WorldReset(), isDone = 0;   // room for the hero and his gun only: the boss cannot be made
    for (int s = 1; s <= kFigureSlots - 2; ++s) FgrCreate(kKindStructPlain, 15, 15);
    EXPECT_EQ(WorldPopulate(), 0);
    EXPECT_TRUE(FgrAlive(fgrMainHero) && pBos == nullptr);
    EXPECT_NE(Log().find("\n не удалось создать главного врага pBos"_w), std::string::npos);
}

TEST_F(WorldTest, RemovalIsRecursiveAndGunsAttachOnce) {
    Fgr* group = MakeAt(kKindGroup213, 20000);
    Fgr *units[3], *guns[3];
    for (int i = 0; i < 3; ++i) {
        units[i] = MakeAt(kKindUnitBunker, 20001 + i);
        guns[i] = FgrCreateFigure(kKindGun1001, 0, 0);
        ASSERT_TRUE(FgrAttachGun(units[i], guns[i]));
        units[i]->owner = group, units[i]->next = group->members, group->members = units[i];
    }
    Fgr* single = group->single2 = MakeAt(kKindEffect, 20010);
    masKle.m[20000].fgrKey = group;
    Fgr* bystander = MakeAt(kKindNpc, 20020);
    FgrRemove(group);
    EXPECT_EQ(single->fgrKind, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(units[i]->fgrKind + guns[i]->fgrKind, 0) << i;
    EXPECT_TRUE(masKle.m[20000].fgrKey == nullptr && bystander->fgrKind == kKindNpc);
    EXPECT_EQ(units[0]->kor.ph->inUse, 1);   // records stay in use until the slot is reused
    // A removed gun leaves its unit, so a later figure in that slot is not removed with it.
    Fgr* u = MakeAt(kKindUnitBunker, 21000);
    Fgr* g = FgrCreateFigure(kKindGun1001, 0, 0);
    ASSERT_TRUE(FgrAttachGun(u, g));
    FgrRemove(g);
    EXPECT_TRUE(u->guns == nullptr && u->gunCount == 0);
    nextSlot = FgrSlotOf(g);
    ASSERT_EQ(MakeAt(kKindStructPlain, 21005), g);
    FgrRemove(u);
    EXPECT_EQ(g->fgrKind, kKindStructPlain);
    // Capacity, kind and ownership are checked: no cycles, no second owner.
    u = MakeAt(kKindUnitBunker, 20000);
    Fgr* g1 = FgrCreateFigure(kKindGun416, 0, 0);
    EXPECT_FALSE(FgrAttachGun(MakeAt(kKindNpc, 20001), g1) || FgrAttachGun(u, MakeAt(kKindStructPlain, 20002)));
    EXPECT_TRUE(FgrAttachGun(u, g1));
    EXPECT_FALSE(FgrAttachGun(u, FgrCreateFigure(kKindGun416, 0, 0)));   // capacity reached
    EXPECT_FALSE(FgrAttachGun(MakeAt(kKindUnitBunker, 20003), g1) || FgrAttachGun(u, u) || FgrAttachGun(nullptr, g1));
}

TEST_F(WorldTest, SideNameAndOrders) {
    Fgr* u = MakeAt(kKindUnitBunker, 20000);
    EXPECT_TRUE(FgrSetSide(u, 3) && FgrSetSide(u, 4));
    EXPECT_FALSE(FgrSetSide(u, 0) || FgrSetSide(u, 6) || FgrSetSide(u, -1));
    EXPECT_EQ(u->side * 10 + u->baseSide, 43);   // the first side of 2 or more is kept
    Fgr* grp = MakeAt(kKindGroup613, 20001);
    Fgr* m1 = grp->members = MakeAt(kKindUnitBunker, 20002);
    Fgr* m2 = m1->next = MakeAt(kKindUnitBunker, 20003);
    EXPECT_TRUE(FgrSetSide(grp, 5));
    EXPECT_EQ(grp->side * 100 + m1->side * 10 + m2->side, 55);   // the members take it
    FgrSetName(u, "123456789012");
    FgrSetName(u, "1234567890123");   // too long: refused
    EXPECT_STREQ(u->figureName, "123456789012");
    u->target1 = m1;
    FgrMoveOrder(u, 30001, 0);
    const bool dropped = u->target1 == nullptr;
    FgrMoveOrder(u, -1, 0);
    EXPECT_TRUE(dropped && u->targPathKle == 0);
    FgrMoveOrder(grp, 31000, 0);
    EXPECT_EQ(m1->targPathKle + m2->targPathKle, 62000);
    FgrMoveOrder(m1, 20002, 0);   // the cell it stands on: only claimed
    EXPECT_TRUE(m1->targPathKle == 31000 && masKle.m[20002].fgrMove == m1);
}

TEST_F(WorldTest, UpdatePassSkipsNewbornsAndLocksCreation) {
    static int calls, lifeCreated;
    calls = lifeCreated = 0;
    FgrSetKindOps(kKindStructPlain, [](Fgr*) { ++calls; FgrCreate(kKindStructPlain, 15, 15); }, nullptr, nullptr);
    MakeAt(kKindStructPlain, 20000);
    FgrUpdateAll();
    const int first = calls;   // the one made during the pass is skipped
    FgrUpdateAll();
    EXPECT_EQ(first * 10 + calls, 13);
    FgrKindOpsReset();
    const auto life = fgrLifeStep;
    fgrLifeStep = [](Fgr*) { lifeCreated += FgrCreate(kKindStructPlain, 15, 15) != 0; };
    FgrUpdateAll();
    EXPECT_TRUE(lifeCreated == 0 && createLock == 0);   // the life step cannot create
    fgrLifeStep = life;
    // Paused: targets are still cleaned, no updates.
    Fgr* a = MakeAt(kKindStructPlain, 20010);
    Fgr* b = MakeAt(kKindStructPlain, 20011);
    a->target1 = b, a->target3Slot = FgrSlotOf(b);
    FgrRemove(b);
    worldPaused = 1;
    FgrUpdateAll();
    EXPECT_TRUE(a->target1 == nullptr && a->target3Slot == 0);
    worldPaused = 0;
    // The dead are removed by the life step once their timer runs out.
    Fgr* d = MakeAt(kKindUnitBunker, 20000);
    d->bornNow = 0, d->dead = 1, d->dyingTimer = 30;
    frameDeltaMs = 20;
    FgrUpdateAll();
    const int after20 = d->fgrKind;
    FgrUpdateAll();
    EXPECT_EQ(after20 * 10 + d->fgrKind, kKindUnitBunker * 10);
}

TEST_F(WorldTest, PoolsExhaustLogAndReuse) {
    for (int i = 0; i < 1000; ++i) ASSERT_NE(MakeAt(kKindUnitBunker, 20000)->kor.ph, nullptr) << i;
    Fgr* extra = MakeAt(kKindUnitBunker, 20000);
    ASSERT_NE(extra, nullptr);   // the figure lives on without records
    EXPECT_EQ(extra->kor.ph, nullptr);
    for (const char* rec : {"ph", "pBuf", "pKu"}) EXPECT_EQ(LogCount("\n не выдали p->kor."_w + std::string(rec)), 1) << rec;
    // Reuse releases: a removed unit's records stay until its slot is reused.
    Fgr* victim = &FigureTable[500];
    PhRec* rec = victim->kor.ph;
    FgrRemove(victim);
    EXPECT_EQ(rec->inUse, 1);
    nextSlot = 500;
    ASSERT_EQ(MakeAt(kKindUnitBunker, 20000), victim);
    EXPECT_EQ(victim->kor.ph, rec);
    rec->w[5] = rec->w[300] = 77;   // words 201..401 are cleared when taken
    FgrReset(victim);
    EXPECT_EQ(rec->inUse, 0);
    EXPECT_EQ(TakePh(), rec);
    EXPECT_EQ(rec->w[5] * 1000 + rec->w[300], 77000);
    // The effect list holds 21 entries; a gun without an effect record lives on.
    PeRec* pe = TakePe();
    for (int i = 0; i < 30; ++i) PeAdd(pe, i + 1, 2, 0, 0, 0);
    EXPECT_EQ(pe->count, 21);
    PeAdd(nullptr, 1, 1, 1, 1, 1);
    while (TakePe()) {}
    EXPECT_EQ(FgrCreateFigure(kKindGun1316, 0, 0)->kor.pe, nullptr);
    EXPECT_EQ(LogCount("\n не выдали p->kor.pe"_w), 1);
}

TEST_F(WorldTest, HeroMonstersAndGunsThatCannotBeMade) {
    Fgr* hero = CreateHero(28975, 28980);
    ASSERT_TRUE(hero && hero->guns && hero->guns->kor.pe && hero->targPathKle == 28980);
    EXPECT_FALSE(SpawnMonster(0, 500, 500, 0) || SpawnMonster(14, 500, 500, 0) || SpawnMonster(5, 0.5f, 500, 0));
    EXPECT_EQ(SpawnMonster(13, 2151, 2101, 53977)->x, 2155.0f);   // snapped to the cell centre
    // A gun that cannot be made: logged, the unit is gone.
    const int before = nextSlot;
    EXPECT_EQ(Fgrs_AddUnitHPGun(kKindUnitBunker, 10, 409, 10, 10, 1, 500, 500, 0), nullptr);
    EXPECT_NE(Log().find("\n Err proc Fgrs_AddUnitHPGun"), std::string::npos);
    EXPECT_EQ(FigureTable[before].fgrKind, 0);
    // A gun with nowhere to go (unit without capacity): both removed.
    EXPECT_EQ(Fgrs_AddUnitHPGun(kKindNpc, 0, kKindGun416, 10, 10, 2, 500, 500, 0), nullptr);
    for (int s = 1; s <= kFigureSlots; ++s) ASSERT_FALSE(FigureTable[s].fgrKind == kKindGun416 && !FigureTable[s].owner) << s;
}

class FilesTest : public WorldTest {
protected:
    // Figures in slots 5, 9 and 4000: a unit with a path, a plant on its cell, a named NPC.
    Bytes ThreeFigures() {
        nextSlot = 5;
        Fgr* u = MakeAt(kKindUnitBunker, 20000);
        u->onPath = 1, u->onPathLen = 3, u->onPathNext = 1, u->targPathKle = 20003;
        for (int i = 0; i < 3; ++i) u->pathStep[i] = {KleCol(20000) + i + 1, KleRow(20000)};
        u->kindFloats[4] = 2.5f, u->kindWords[2] = -77;
        FgrSetName(u, "unit");
        nextSlot = 9;
        Fgr* p = MakeAt(kKindPlant, 20100);
        p->onMap = 1, p->unitType = 4;
        nextSlot = 4000;
        Fgr* n = MakeAt(kKindNpc, 20200);
        n->unitType = 3;
        FgrSetName(n, "npc3");
        EXPECT_EQ(FgrSlotOf(u) * 1000000 + FgrSlotOf(p) * 10000 + FgrSlotOf(n), 5094000);
        return Figures();
    }
};

// The reader writes back what it read: every word, name and path step.
TEST_F(FilesTest, ReloadRenumbersIntoTheFirstSlots) {
    const Bytes bytes = ThreeFigures();
    ASSERT_EQ(bytes.size(), 4 + 3 * kFgrRecordBytes);
    EXPECT_EQ(std::memcmp(bytes.data() + 4, "Fgr#----", 8), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + RecAt(0) + 876, "unit", 5), 0);
    const int serials = std::max({FigureTable[5].serial, FigureTable[9].serial, FigureTable[4000].serial});
    FgrCreate(kKindStructPlain, 15, 15);
    fgrSerial = 1;   // as in a fresh run
    ASSERT_EQ(ParseFigures(bytes), 3);
    EXPECT_EQ(nextSlot, 1);
    EXPECT_GT(fgrSerial, serials);   // new serials stay unique
    for (int s = 1; s <= kFigureSlots; ++s) ASSERT_EQ(FigureTable[s].fgrKind != 0, s <= 3) << s;
    for (int s = 1; s <= 3; ++s) EXPECT_EQ(FigureTable[s].slotIndex, s);
    EXPECT_EQ(masKle.m[20100].fgrKey, &FigureTable[2]);
    EXPECT_EQ(Figures(), bytes);
    EXPECT_NE(FigureTable[1].kor.ph, nullptr);   // fresh pool records from the initialiser
}

// Counts outside the table refuse the file; a kind 0 or unknown ends the load.
TEST_F(FilesTest, BadCountsAndKinds) {
    const Bytes bytes = ThreeFigures();
    ASSERT_EQ(ParseFigures(bytes), 3);
    for (std::int32_t n : {6001, std::numeric_limits<std::int32_t>::max(), -1, std::numeric_limits<std::int32_t>::min()}) {
        Bytes bad = bytes;
        PutI32(bad, 0, n);
        EXPECT_EQ(ParseFigures(bad), -1) << n;
        EXPECT_EQ(FigureTable[3].fgrKind, kKindNpc) << n;
    }
    EXPECT_EQ(ParseFigures(Bytes{0, 0, 0}), -1);
    EXPECT_EQ(LoadFigureFile(Path("nothing.fgr").c_str()), -1);
    EXPECT_EQ(ParseFigures(Bytes{0, 0, 0, 0}), 0);   // N = 0 frees every slot
    for (int s = 0; s <= kFigureSlots; ++s) ASSERT_EQ(FigureTable[s].fgrKind, 0);
    EXPECT_EQ(masKle.m[20100].fgrKey, nullptr);
    Bytes more = bytes;   // a count beyond the records present loads what is there
    PutI32(more, 0, 6000);
    EXPECT_EQ(ParseFigures(more), 3);
    for (std::int32_t kind : {0, 1, 409, -1, 99999}) {
        Bytes bad = bytes;
        PutI32(bad, RecAt(1) + 8, kind);
        EXPECT_EQ(ParseFigures(bad), 1) << kind;
        EXPECT_EQ(FigureTable[1].fgrKind * 10 + FigureTable[2].fgrKind + FigureTable[3].fgrKind, kKindUnitBunker * 10);
    }
}

TEST_F(FilesTest, BadWordsAreMendedAndLogged) {
    Bytes bytes = ThreeFigures();
    const std::pair<int, std::int32_t> words[] = {
        {1, 999}, {7, 2}, {69, 9}, {70, -4}, {59, 100000}, {68, 65535}, {53, 7000},
        {24, 70000}, {26, -3}, {75, 1 << 30}, {11, 5}, {66, 3},   // I66 onPathNext past the 3 steps
        {5, std::numeric_limits<std::int32_t>::max()}};   // a serial the counter could not pass
    for (auto [n, v] : words) PutI32(bytes, IntAt(0, n), v);
    PutI32(bytes, FloatAt(0, 5), std::bit_cast<std::int32_t>(std::numeric_limits<float>::infinity()));
    PutI32(bytes, FloatAt(0, 9), std::bit_cast<std::int32_t>(std::numeric_limits<float>::quiet_NaN()));
    PutI32(bytes, RecAt(1) + 556 + 8 * 39, -1);   // a path step off the grid
    for (int i = 0; i < 13; ++i) bytes[RecAt(2) + 876 + i] = 'A';   // name without zero
    ASSERT_EQ(ParseFigures(bytes), 3);
    const Fgr& u = FigureTable[1];
    EXPECT_TRUE(u.fgrKind == kKindUnitBunker && u.fgrClass == kClassUnit && u.moveMode == 3);
    const int cleared[] = {u.side, u.picture, u.targPathKle, u.target3Slot, u.firstAnchor, u.footprintCell,
                           u.unitType, u.gunCount, u.onPath, u.onPathNext, u.onPathLen, FigureTable[2].pathStep[39].x,
                           u.serial};
    for (int i = 0; i < 13; ++i) EXPECT_EQ(cleared[i], 0) << i;
    EXPECT_LT(fgrSerial, 1 << 30);
    EXPECT_TRUE(u.size == 1.0f && u.speed == 0.0f) << u.size << " " << u.speed;
    EXPECT_EQ(std::strlen(FigureTable[3].figureName), 12u);
    EXPECT_GE(LogCount("LoadMortFrom --> slot"), 15);
}

TEST_F(FilesTest, StartPointsAndTheOccupiedAnchor) {
    Bytes bytes = ThreeFigures();
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
    const Bytes bytes = ThreeFigures();
    std::vector<std::size_t> cuts = {0, 1, 3, 4, 5};
    for (int r = 0; r < 3; ++r)
        for (std::size_t f : {0, 8, 12, 16, 432, 556, 876, 889, 905})
            for (int d = -1; d <= 1; ++d) cuts.push_back(RecAt(r) + f + d);
    for (std::size_t c = 7; c < bytes.size(); c += 97) cuts.push_back(c);
    for (std::size_t cut : cuts) {
        if (cut > bytes.size()) continue;
        const int got = ParseFigures(Bytes(bytes.begin(), bytes.begin() + cut));
        ASSERT_EQ(got, cut < 4 ? -1 : static_cast<int>((cut - 4) / kFgrRecordBytes)) << cut;
        for (int s = got + 1; got >= 0 && s <= 3; ++s) ASSERT_EQ(FigureTable[s].fgrKind, 0) << cut;
    }
}

}  // namespace
