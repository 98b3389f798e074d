// Checks of the generated start location "etap1" / "etap1.fgr": loaded the
// way a game starts, then walked over with the planner's own rules.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>
#include <vector>

#include "app/log.h"
#include "app/random.h"
#include "io/binary.h"
#include "io/files.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/path_grid.h"
#include "world/spawn.h"

namespace {

constexpr int Cell(int row, int col) { return row * 256 + col; }
constexpr int kHero = Cell(113, 47);

// Cells reachable for a movement class with the planner's neighbour rule:
// 8 directions, no diagonal past a blocked orthogonal cell.
std::vector<char> Reachable(int cls, int start) {
    std::vector<char> seen(65536, 0);
    if (PathIsBlocked(cls, KleCol(start), KleRow(start))) return seen;
    std::deque<int> open{start};
    seen[std::size_t(start)] = 1;
    while (!open.empty()) {
        const int k = open.front(), gx = KleCol(k), gy = KleRow(k);
        open.pop_front();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int n = Cell(gy + dy, gx + dx);
                if ((!dx && !dy) || PathIsBlocked(cls, gx + dx, gy + dy) || seen[std::size_t(n)]) continue;
                if (dx && dy && (PathIsBlocked(cls, gx + dx, gy) || PathIsBlocked(cls, gx, gy + dy))) continue;
                seen[std::size_t(n)] = 1;
                open.push_back(n);
            }
    }
    return seen;
}

int At(const Fgr* f) { return KleAt(f->x, f->z); }

struct StartedWorld : ::testing::Test {
    static void SetUpTestSuite() {
        LogReset(), LogSetPath("world_check_log.txt"), WorldReset(), PathReset(), RandSeed(7);
        StartGameLocation(), PathRebuild();
    }
    static std::vector<const Fgr*> Figures(int kind, int type = -1) {
        std::vector<const Fgr*> out;
        for (int s = 1; s <= kFigureSlots; ++s)
            if (FigureTable[s].fgrKind == kind && (type < 0 || FigureTable[s].unitType == type)) out.push_back(&FigureTable[s]);
        return out;
    }
    // Next to a blocking footprint: reached when it or a neighbour can be stood on.
    static bool Touchable(const std::vector<char>& seen, int cell) {
        for (int d : {0, -257, -256, -255, -1, 1, 255, 256, 257})
            if (KleInterior(cell + d) && seen[std::size_t(cell + d)]) return true;
        return false;
    }
};

TEST_F(StartedWorld, FixedCellsHoldWhatTheyShould) {
    EXPECT_EQ(worldError, 0);
    ASSERT_TRUE(fgrMainHero && pBos && fgrLairForest && fgrLairWater);
    EXPECT_TRUE(At(fgrMainHero) == kHero && fgrMainHero->targPathKle == Cell(113, 52));
    for (int cell : {45349, 46373})   // the vagrant's coin bushes
        ASSERT_TRUE(KleKeyOf(cell) && KleKeyOf(cell)->fgrKind == kKindPlant && KleKeyOf(cell)->unitType == 1) << cell;
    for (int i = 1; i <= kNpcCount; ++i) EXPECT_EQ(masKle.m[At(fgrNpc[i])].landType, kLandGround) << i;
    // Coin bushes are born ready (the vagrant's two included); serials stay unique
    // past the load, the hero's and the townspeople's too.
    const auto bushes = Figures(kKindPlant, 1);
    ASSERT_GE(bushes.size(), 10u);
    for (const Fgr* f : bushes) EXPECT_EQ(f->stateFlag, 1) << At(f);
    std::set<int> serials;
    int figures = 0;
    for (int s = 1; s <= kFigureSlots; ++s)
        if (FigureTable[s].fgrKind != 0) ++figures, serials.insert(FigureTable[s].serial);
    EXPECT_EQ(int(serials.size()), figures);
    EXPECT_GE(fgrSerial, *serials.rbegin() + 1);
}

// On foot: the townspeople, the quest pieces, the firs of the dark forest and
// crystals of every colour; the island only by swimming (plain ground all
// round it, so the dig's dirt brush can paint); the pocket only once the
// chain has removed its two plants. The monsters' routes and the bands'
// nine destinations are open to their movement class.
TEST_F(StartedWorld, WhatThePlayerAndTheMonstersMustReach) {
    const std::vector<char> walk = Reachable(3, kHero), swim = Reachable(2, kHero);
    for (int cell : {32878, 32368, 46894, 49752, 28980, 45349, 46373, 57570, 58329, 47806, 15818, 13005})
        EXPECT_TRUE(Touchable(walk, cell)) << cell;
    for (int i = 1; i <= kNpcCount; ++i) EXPECT_TRUE(walk[std::size_t(At(fgrNpc[i]))]) << "NPC " << i;
    int firs = 0, pinkWeeds = 0;
    for (const Fgr* f : Figures(kKindPlant, 3)) firs += KleRow(At(f)) >= 180 && KleCol(At(f)) >= 170 && Touchable(walk, At(f));
    for (const Fgr* f : Figures(kKindPlant, 1)) pinkWeeds += walk[std::size_t(At(f))];
    EXPECT_GE(firs, 12);
    EXPECT_GE(pinkWeeds, 10);
    std::set<int> colours;
    for (const Fgr* f : Figures(kKindCrystal))
        if (walk[std::size_t(At(f))]) colours.insert(f->unitType);
    EXPECT_EQ(colours, (std::set<int>{1, 2, 3, 4, 5, 6}));
    const int heart = Cell(172, 17), inside = Cell(200, 65);
    EXPECT_TRUE(!walk[std::size_t(heart)] && swim[std::size_t(heart)]);
    for (int r = 165; r <= 182; ++r)
        for (int c = 13; c <= 22; ++c)
            EXPECT_TRUE(masKle.m[Cell(r, c)].tile >= 1 && masKle.m[Cell(r, c)].tile <= 4 &&
                        masKle.m[Cell(r, c)].landType == kLandGround) << r << "," << c;
    EXPECT_FALSE(walk[std::size_t(inside)] || swim[std::size_t(inside)]);
    const int chain[] = {49984, 50242};   // the two plants the chain removes
    ASSERT_TRUE(KleKeyOf(chain[0]) && KleKeyOf(chain[1]));
    for (int k : chain) FgrRemove(KleKeyOf(k));
    PathRebuild();
    EXPECT_TRUE(Reachable(3, kHero)[std::size_t(inside)]);
    for (int k : chain) MakePlant(6, k);   // put the world back for the other checks
    PathRebuild();
    struct { int from, to, cls; } const routes[] = {
        {28090, 26720, 2}, {33900, 19300, 2}, {8160, 19302, 2}, {43575, 26172, 2},
        {34321, 37860, 2}, {47806, 47808, 3}, {28987, kHero, 3}};
    for (const auto& r : routes) EXPECT_TRUE(Reachable(r.cls, r.from)[std::size_t(r.to)]) << r.from << " -> " << r.to;
    struct { const Fgr* lair; int group, home, cls; } const bands[] = {{fgrLairForest, 601, 58329, 3}, {fgrLairWater, 801, 13005, 2}};
    for (const auto& b : bands) {
        std::set<int> marked, carried;
        for (int k = 0; k < kKleCount; ++k)
            if (masKle.m[k].cellParam == b.group) marked.insert(k);
        for (int i = 0; i < 9; ++i) carried.insert(b.lair->lairDest[i]);
        EXPECT_EQ(marked.size(), 9u);
        EXPECT_EQ(marked, carried) << b.group;
        const std::vector<char> home = Reachable(b.cls, b.home);
        for (int k : marked) EXPECT_TRUE(home[std::size_t(k)]) << b.group << " cell " << k;
    }
}

TEST_F(StartedWorld, StartPointsTerrainAndStanding) {
    // Dogs, at least five wild dogs, drunkards, bandits, none within 15 cells of the hero.
    for (int type = 5; type <= 8; ++type) {
        EXPECT_GE(startPoints.count[type], type == 6 ? 5 : 1) << type;
        for (int i = 0; i < startPoints.count[type]; ++i)
            EXPECT_GE(std::hypot(startPoints.x[type][i] - 475.0f, startPoints.z[type][i] - 1135.0f), 150.0f) << type << " #" << i;
    }
    for (int k = 0; k < kKleCount; ++k)   // deep water as the editor paints it
        ASSERT_TRUE(masKle.m[k].landType != kLandDeepWater || (masKle.m[k].landHint == 2 && masKle.m[k].brushMark == 2)) << k;
    for (int s = 1; s <= kFigureSlots; ++s) {   // no figure where its class cannot stand
        const Fgr& f = FigureTable[s];
        if (f.fgrKind == 0 || f.fgrClass == kClassGun || f.fgrClass == kClassGroup) continue;
        ASSERT_GE(At(&f), 0) << "slot " << s;
        const int lt = masKle.m[At(&f)].landType;
        if (f.fgrClass == kClassUnit && f.moveMode)
            EXPECT_EQ(PathLandTypeMask(lt) & (1 << (f.moveMode - 1)), 0) << "slot " << s << " kind " << f.fgrKind;
        else
            EXPECT_EQ(lt, kLandGround) << "slot " << s << " kind " << f.fgrKind;
    }
}

// The generated files go through the game's reader and writer byte for byte.
TEST(StartFiles, LocationAndFiguresRoundTripByteForByte) {
    std::vector<std::uint8_t> loc, figs;
    ASSERT_EQ(ReadWholeFile("etap1", loc), FileStatus::Ok);
    ASSERT_EQ(ReadWholeFile("etap1.fgr", figs), FileStatus::Ok);
    WorldReset();
    ASSERT_TRUE(ParseLocation(loc));
    ASSERT_GT(ParseFigures(figs), 100);
    ByteWriter w;
    ByteWriter wf;
    WriteLocation(w);
    WriteFigures(wf);
    EXPECT_TRUE(w.bytes == loc && wf.bytes == figs && worldError == 0);
}

}  // namespace
