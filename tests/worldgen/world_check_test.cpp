// Checks of the generated start location "etap1" / "etap1.fgr": loaded the
// way a game starts, then walked over with the planner's own rules.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/log.h"
#include "app/random.h"
#include "io/binary.h"
#include "io/files.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/path_grid.h"
#include "world/spawn.h"
#include "world/terrain.h"

namespace {

constexpr int Cell(int row, int col) { return row * 256 + col; }

std::string RuntimeDir() {
    const char* d = std::getenv("BD_RUNTIME_DIR");
    return d ? d : ".";
}

std::vector<std::uint8_t> ReadRuntime(const char* name) {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile((RuntimeDir() + "/" + name).c_str(), bytes), FileStatus::Ok) << name;
    return bytes;
}

// Cells reachable from start for a movement class, with the planner's
// neighbour rule: 8 directions, no diagonal past a blocked orthogonal cell.
std::vector<char> Reachable(int cls, int startCell) {
    std::vector<char> seen(65536, 0);
    std::deque<int> open;
    const int sx = KleCol(startCell), sy = KleRow(startCell);
    if (PathIsBlocked(cls, sx, sy)) return seen;
    seen[std::size_t(startCell)] = 1;
    open.push_back(startCell);
    while (!open.empty()) {
        const int k = open.front();
        open.pop_front();
        const int gx = KleCol(k), gy = KleRow(k);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if (!dx && !dy) continue;
                const int nx = gx + dx, ny = gy + dy;
                if (PathIsBlocked(cls, nx, ny)) continue;
                if (dx && dy && (PathIsBlocked(cls, gx + dx, gy) || PathIsBlocked(cls, gx, gy + dy))) continue;
                const int n = Cell(ny, nx);
                if (seen[std::size_t(n)]) continue;
                seen[std::size_t(n)] = 1;
                open.push_back(n);
            }
    }
    return seen;
}

struct StartedWorld : ::testing::Test {
    static void SetUpTestSuite() {
        ASSERT_EQ(chdir(RuntimeDir().c_str()), 0);
        LogReset();
        LogSetPath("world_check_log.txt");
        WorldReset();
        PathReset();
        RandSeed(7);
        worldError = 0;
        StartGameLocation();
        PathRebuild();
    }
    static int HeroCell() { return Cell(113, 47); }

    static std::vector<const Fgr*> Figures(int kind, int type = -1) {
        std::vector<const Fgr*> out;
        for (int s = 1; s <= kFigureSlots; ++s) {
            const Fgr& f = FigureTable[s];
            if (f.fgrKind == kind && (type < 0 || f.unitType == type)) out.push_back(&f);
        }
        return out;
    }
    static const Fgr* FigureAtCell(int kind, int cell) {
        for (int s = 1; s <= kFigureSlots; ++s) {
            const Fgr& f = FigureTable[s];
            if (f.fgrKind == kind && KleAt(f.x, f.z) == cell) return &f;
        }
        return nullptr;
    }
    // A cell next to a blocking footprint: the hero reaches something when he
    // can stand on it or on one of its neighbours.
    static bool Touchable(const std::vector<char>& seen, int cell) {
        for (int d : {0, -257, -256, -255, -1, 1, 255, 256, 257})
            if (KleInterior(cell + d) && seen[std::size_t(cell + d)]) return true;
        return false;
    }
};

TEST_F(StartedWorld, LoadsWithoutErrors) {
    EXPECT_EQ(worldError, 0);
    ASSERT_NE(fgrMainHero, nullptr);
    EXPECT_EQ(KleAt(fgrMainHero->x, fgrMainHero->z), HeroCell());
    EXPECT_EQ(fgrMainHero->targPathKle, Cell(113, 52));
    ASSERT_NE(pBos, nullptr);
    EXPECT_EQ(KleAt(pBos->x, pBos->z), 53975);
    EXPECT_EQ(pBos->targPathKle, 53977);
}

TEST_F(StartedWorld, TownspeopleAndQuestPlacesReachableOnFoot) {
    const std::vector<char> walk = Reachable(3, HeroCell());
    struct Place {
        const char* what;
        int cell;
    };
    const Place places[] = {
        {"Кармашкин", 28754}, {"Чистяков", 27263}, {"Продавец", 35430}, {"Механик", 24937},
        {"Моряк", 45606},     {"Кузнец", 53013},   {"wake-up", 32878},  {"wake-up with droid", 32368},
        {"clamp A", 46894},   {"clamp B", 49752},  {"first walk", 28980},
        {"vagrant weed", 45349}, {"vagrant weed", 46373}, {"forest lair", 57570},
        {"forest band home", 58329}, {"demon", 53975},
    };
    for (const Place& p : places) EXPECT_TRUE(Touchable(walk, p.cell)) << p.what << " " << p.cell;
    for (int i = 1; i <= kNpcCount; ++i) {
        ASSERT_NE(fgrNpc[i], nullptr);
        EXPECT_TRUE(walk[std::size_t(KleAt(fgrNpc[i]->x, fgrNpc[i]->z))]) << "NPC " << i;
    }
    // The water lair stands on its shore.
    EXPECT_TRUE(Touchable(walk, 15818));
    EXPECT_TRUE(Touchable(walk, 13005));
}

TEST_F(StartedWorld, QuestPiecesReachable) {
    const std::vector<char> walk = Reachable(3, HeroCell());
    int firs = 0, garbage = 0;
    for (const Fgr* f : Figures(kKindPlant, 3)) firs += Touchable(walk, KleAt(f->x, f->z));
    for (const Fgr* f : Figures(kKindLoot, 3)) garbage += walk[std::size_t(KleAt(f->x, f->z))];
    EXPECT_GE(firs, 12);
    EXPECT_GE(garbage, 5);
    std::set<int> colours;
    for (const Fgr* f : Figures(kKindCrystal))
        if (walk[std::size_t(KleAt(f->x, f->z))]) colours.insert(f->unitType);
    EXPECT_EQ(colours, (std::set<int>{1, 2, 3, 4, 5, 6}));
    int pinkWeeds = 0;
    for (const Fgr* f : Figures(kKindPlant, 1)) pinkWeeds += walk[std::size_t(KleAt(f->x, f->z))];
    EXPECT_GE(pinkWeeds, 10);
    // A fishing place: a shore cell beside deep water the hero can stand on,
    // next to the sailor.
    bool fishing = false;
    for (int r = 170; r <= 186 && !fishing; ++r)
        for (int c = 30; c <= 40 && !fishing; ++c) {
            const int k = Cell(r, c);
            if (!walk[std::size_t(k)] || masKle.m[k].landType == kLandDeepWater) continue;
            for (int d : {-1, 1, -256, 256})
                if (masKle.m[k + d].landType == kLandDeepWater) fishing = true;
        }
    EXPECT_TRUE(fishing);
}

TEST_F(StartedWorld, IslandOnlyBySwimming) {
    const int heart = Cell(172, 17);
    EXPECT_FALSE(Reachable(3, HeroCell())[std::size_t(heart)]);
    EXPECT_TRUE(Reachable(2, HeroCell())[std::size_t(heart)]);
    // Plain ground: what the dig rule calls terrain type 1, with plain ground
    // all round, so the dig's dirt brush can paint there.
    for (int r = 165; r <= 182; ++r)
        for (int c = 13; c <= 22; ++c) {
            EXPECT_GE(masKle.m[Cell(r, c)].tile, 1);
            EXPECT_LE(masKle.m[Cell(r, c)].tile, 4) << r << "," << c;
            EXPECT_EQ(masKle.m[Cell(r, c)].landType, kLandGround);
        }
    EXPECT_NE(PaintTileKeys(heart, kBrushDirt, 0, 0), 0);
}

TEST_F(StartedWorld, MonsterRoutesWalkable) {
    struct Route {
        int from, to, cls;
    };
    const Route routes[] = {
        {28090, 26720, 2}, {33900, 19300, 2},   // drunkards (unit kind 415)
        {8160, 19302, 2},  {43575, 26172, 2}, {34321, 37860, 2},   // bandits
        {53975, 53977, 3},                      // the demon
        {28987, HeroCell(), 3},                 // the dog east of the hero
    };
    for (const Route& r : routes) EXPECT_TRUE(Reachable(r.cls, r.from)[std::size_t(r.to)]) << r.from << " -> " << r.to;
}

TEST_F(StartedWorld, BandDestinationsMarkedAndReachable) {
    ASSERT_NE(fgrLairForest, nullptr);
    ASSERT_NE(fgrLairWater, nullptr);
    struct Band {
        const Fgr* lair;
        int group, home, cls;
    };
    for (const Band& b : {Band{fgrLairForest, 601, 58329, 3}, Band{fgrLairWater, 801, 13005, 2}}) {
        std::set<int> marked, carried;
        for (int k = 0; k < kKleCount; ++k)
            if (masKle.m[k].cellParam == b.group) marked.insert(k);
        for (int i = 0; i < 9; ++i) carried.insert(b.lair->lairDest[i]);
        EXPECT_EQ(marked.size(), 9u);
        EXPECT_EQ(marked, carried) << b.group;
        const std::vector<char> walk = Reachable(b.cls, b.home);
        for (int k : marked) EXPECT_TRUE(walk[std::size_t(k)]) << b.group << " cell " << k;
    }
}

TEST_F(StartedWorld, FixedCellsHoldWhatTheyShould) {
    for (int cell : {44075, 44078, 46891, 50490, 50504, 49722, 49736, 50520, 54618, 54621}) {
        const Fgr* p = KleKeyOf(cell);
        ASSERT_NE(p, nullptr) << cell;
        EXPECT_EQ(p->fgrKind, kKindPlant);
        EXPECT_EQ(p->unitType, 7);
    }
    for (int cell : {49984, 50242}) {
        const Fgr* p = KleKeyOf(cell);
        ASSERT_NE(p, nullptr) << cell;
        EXPECT_EQ(p->unitType, 6);
    }
    for (int cell : {45349, 46373}) {
        const Fgr* p = KleKeyOf(cell);
        ASSERT_NE(p, nullptr) << cell;
        EXPECT_EQ(p->fgrKind, kKindPlant);
        EXPECT_EQ(p->unitType, 1);
    }
    for (int cell : {11986, 12241, 12243, 12498}) {
        const Fgr* g = FigureAtCell(kKindLoot, cell);
        ASSERT_NE(g, nullptr) << cell;
        EXPECT_EQ(g->unitType, 2);
    }
    const int npcCells[] = {28754, 27263, 35430, 24937, 45606, 53013};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(KleAt(fgrNpc[i + 1]->x, fgrNpc[i + 1]->z), npcCells[i]);
        EXPECT_EQ(masKle.m[npcCells[i]].landType, kLandGround);
    }
    EXPECT_EQ(KleAt(fgrLairForest->x, fgrLairForest->z), 57570);
    EXPECT_EQ(KleAt(fgrLairWater->x, fgrLairWater->z), 15818);
    // The sailor on sand, the wake-up points on the market's concrete.
    const int sailorTile = masKle.m[45606].tile;
    EXPECT_TRUE(sailorTile >= 101 && sailorTile <= 132) << sailorTile;
    for (int cell : {32878, 32368}) EXPECT_TRUE(masKle.m[cell].tile >= 133 && masKle.m[cell].tile <= 164);
}

TEST_F(StartedWorld, PocketClosedUntilTheChainRemovesThePlants) {
    const int inside = Cell(200, 65);
    EXPECT_FALSE(Reachable(3, HeroCell())[std::size_t(inside)]);
    EXPECT_FALSE(Reachable(2, HeroCell())[std::size_t(inside)]);
    // The reward really is in there.
    int chests = 0;
    for (const Fgr* f : Figures(kKindLoot, 1)) {
        const int r = KleRow(KleAt(f->x, f->z)), c = KleCol(KleAt(f->x, f->z));
        chests += r >= 197 && r <= 210 && c >= 62 && c <= 69;
    }
    EXPECT_GE(chests, 3);
    // Closing the chain removes both grey plants; then the pocket opens.
    Fgr* a = KleKeyOf(49984);
    Fgr* b = KleKeyOf(50242);
    ASSERT_TRUE(a && b);
    FgrRemove(a);
    FgrRemove(b);
    PathRebuild();
    EXPECT_TRUE(Reachable(3, HeroCell())[std::size_t(inside)]);
    // Put the world back for the other checks of this suite.
    MakePlant(6, 49984);
    MakePlant(6, 50242);
    PathRebuild();
}

TEST_F(StartedWorld, PiecesTheRulesCount) {
    std::set<int> variants;
    for (const Fgr* f : Figures(kKindLoot, 1)) variants.insert(f->variant);
    EXPECT_TRUE(variants.count(1) && variants.count(2) && variants.count(3));
    EXPECT_GE(Figures(kKindLoot, 3).size(), 5u);
    // Black firs in the dark forest.
    int forestFirs = 0;
    for (const Fgr* f : Figures(kKindPlant, 3)) {
        const int k = KleAt(f->x, f->z);
        forestFirs += KleRow(k) >= 180 && KleCol(k) >= 170;
    }
    EXPECT_GE(forestFirs, 12);
    // Monster start points: dogs, at least five wild dogs, drunkards, bandits,
    // none closer than 15 cells to the hero's start.
    EXPECT_GE(startPoints.count[5], 1);
    EXPECT_GE(startPoints.count[6], 5);
    EXPECT_GE(startPoints.count[7], 1);
    EXPECT_GE(startPoints.count[8], 1);
    for (int type = 5; type <= 8; ++type)
        for (int i = 0; i < startPoints.count[type]; ++i) {
            const float dx = (startPoints.x[type][i] - 475.0f) / 10.0f;
            const float dz = (startPoints.z[type][i] - 1135.0f) / 10.0f;
            EXPECT_GE(std::sqrt(dx * dx + dz * dz), 15.0f) << "type " << type << " #" << i;
        }
}

TEST_F(StartedWorld, EveryTerrainFamilyIsThere) {
    std::set<int> families, landTypes;
    for (int k = 0; k < kKleCount; ++k) {
        const int t = masKle.m[k].tile;
        if (t >= 5 && t <= 196) families.insert((t - 5) / 32);
        if (KleInterior(k)) landTypes.insert(masKle.m[k].landType);
    }
    EXPECT_EQ(families, (std::set<int>{0, 1, 2, 3, 4, 5}));   // dirt, hole, rock, sand, concrete, water
    EXPECT_EQ(landTypes, (std::set<int>{kLandHole, kLandGround, kLandDeepWater, kLandRock}));
    // Deep water carries its hover hint and brush mark, as the editor paints it.
    for (int k = 0; k < kKleCount; ++k)
        if (masKle.m[k].landType == kLandDeepWater) {
            EXPECT_EQ(masKle.m[k].landHint, 2);
            EXPECT_EQ(masKle.m[k].brushMark, 2);
            break;
        }
}

TEST_F(StartedWorld, NoFigureWhereItCannotStand) {
    for (int s = 1; s <= kFigureSlots; ++s) {
        const Fgr& f = FigureTable[s];
        if (f.fgrKind == 0 || f.fgrClass == kClassGun || f.fgrClass == kClassGroup) continue;
        const int k = KleAt(f.x, f.z);
        ASSERT_GE(k, 0) << "slot " << s;
        const int lt = masKle.m[k].landType;
        if (f.fgrClass == kClassUnit && f.moveMode) {
            // Terrain only: footprints of neighbours do not count here.
            EXPECT_EQ(PathLandTypeMask(lt) & (1 << (f.moveMode - 1)), 0) << "slot " << s << " kind " << f.fgrKind;
        } else {
            EXPECT_EQ(lt, kLandGround) << "slot " << s << " kind " << f.fgrKind;
        }
    }
}

TEST(WorldFiles, LocationAndFiguresRoundTripByteForByte) {
    const std::vector<std::uint8_t> loc = ReadRuntime("etap1");
    ASSERT_EQ(loc.size(), kLocFileBytes);
    WorldReset();
    ASSERT_TRUE(ParseLocation(loc));
    ByteWriter w;
    WriteLocation(w);
    EXPECT_EQ(w.bytes, loc);

    const std::vector<std::uint8_t> figs = ReadRuntime("etap1.fgr");
    const int n = ParseFigures(figs);
    ASSERT_GT(n, 100);
    EXPECT_EQ(std::size_t(n) * kFgrRecordBytes + 4, figs.size());
    ByteWriter wf;
    WriteFigures(wf);
    EXPECT_EQ(wf.bytes, figs);
    EXPECT_EQ(worldError, 0);
}

}  // namespace

namespace {

// The roadside monsters of the population really walk their routes with the
// game's own movement: planning, 40-step pieces, replans at every rebuild.
TEST(WorldRoutes, RoadMonstersArriveWhereTheyWereSent) {
    ASSERT_EQ(chdir(RuntimeDir().c_str()), 0);
    LogReset();
    LogSetPath("world_routes_log.txt");
    WorldReset();
    PathReset();
    InteractionReset();
    RandSeed(9);
    StartGameLocation();
    struct Walker {
        Fgr* f;
        int target;
    };
    std::vector<Walker> walkers;
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr& f = FigureTable[s];
        if (f.fgrKind && f.active && (f.unitType == 7 || f.unitType == 8) && f.targPathKle)
            walkers.push_back({&f, f.targPathKle});
    }
    ASSERT_EQ(walkers.size(), 5u);   // two drunkards, three bandits
    frameDeltaMs = 100;
    frameDeltaF = 100.0f;
    cursorX = cursorY = -100;       // the mouse is elsewhere
    int frame = 0;
    auto arrived = [&] {
        for (const Walker& w : walkers)
            if (w.f->onPath || w.f->targPathKle) return false;
        return true;
    };
    for (; frame < 3000 && !arrived(); ++frame) WorldStepRun(0);
    for (const Walker& w : walkers) {
        const int at = KleAt(w.f->x, w.f->z);
        // A claimed cell makes an arriving walker step aside by one cell.
        EXPECT_LE(std::abs(KleRow(at) - KleRow(w.target)), 1) << w.f->unitType << " to " << w.target;
        EXPECT_LE(std::abs(KleCol(at) - KleCol(w.target)), 1) << w.f->unitType << " to " << w.target;
    }
    EXPECT_LT(frame, 3000);
    std::printf("routes walked in %d frames\n", frame);
}

}  // namespace
