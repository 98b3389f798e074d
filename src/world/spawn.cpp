// The hero, monsters, plants, loot, townspeople and the world population.
#include "world/spawn.h"

#include <cstring>

#include "app/log.h"
#include "app/random.h"
#include "combat/weapons.h"
#include "io/cp1251.h"
#include "world/fgr_ops.h"
#include "world/path_follow.h"
#include "world/kle.h"

Fgr* fgrNpc[kNpcCount + 1];
Fgr* fgrLairForest = nullptr;
Fgr* fgrLairWater = nullptr;
void (*worldRulesInit)() = nullptr;
StartPoints startPoints;

namespace {

const MonsterInfo kMonsters[kMonsterTypes] = {
    {"Скел-крис"_w, 211, 333, 333, 212, 60, 4300, 5, 3, 0xFF5555},
    {"Скел-крис"_w, 211, 333, 333, 212, 60, 4300, 5, 3, 0x55FF55},
    {"Скел-крис"_w, 211, 333, 333, 212, 60, 4300, 5, 3, 0x5555FF},
    {"Скел-крис"_w, 211, 333, 333, 212, 60, 4300, 5, 3, 0xFAFA55},
    {"Собака"_w, 420, 50, 70, 416, 30, 5500, 1, 1, 0},
    {"Дикая собака"_w, 420, 100, 150, 416, 40, 2500, 1, 3, 0},
    {"Алкаш"_w, 415, 100, 150, 421, 90, 7200, 1, 2, 0},
    {"Разбойник"_w, 415, 210, 270, 612, 210, 2900, 1, 4, 0},
    {"Пчело-жуть"_w, 811, 122, 233, 812, 140, 1900, 3, 4, 0},
    {"Мухила"_w, 811, 70, 95, 416, 70, 2500, 3, 3, 0},
    {"Волк"_w, 420, 120, 160, 421, 45, 4500, 4, 2, 0},
    {"Леснушник"_w, 611, 170, 210, 612, 60, 5200, 4, 3, 0},
    {"Лесной демон"_w, 614, 4800, 4800, 212, 90, 6650, 4, 5, 0},
};

// Fixed places of the start world.
constexpr int kHeroCell = 28975, kHeroFirstMove = 28980;
constexpr int kDemonCell = 47806, kDemonMove = 47808;
constexpr int kLairForestCell = 57570, kLairWaterCell = 15818;
constexpr int kBandForestHome = 58329, kBandWaterHome = 13005;
constexpr int kHeroGunReach = 60, kHeroGunPeriod = 2500;

// Nine destination cells of each camp's band (row, column).
constexpr int kForestDest[9][2] = {{215, 212}, {218, 220}, {222, 225}, {226, 213}, {229, 221},
                                   {212, 224}, {220, 215}, {224, 228}, {208, 218}};
constexpr int kWaterDest[9][2] = {{35, 205}, {40, 215}, {45, 225}, {55, 210}, {60, 220},
                                  {65, 205}, {70, 215}, {48, 228}, {32, 222}};

struct PlantPlace {
    int cell;
    bool red;
};
constexpr PlantPlace kScenery7[] = {{44075, false}, {44078, false}, {46891, false}, {50490, true},
                                    {50504, true},  {49722, true},  {49736, true},  {50520, false},
                                    {54618, false}, {54621, false}};
constexpr int kScenery6[] = {49984, 50242};
constexpr int kGoldHeaps[] = {11986, 12241, 12243, 12498};
constexpr int kGoldHeapPeriod = 1800555;

struct NpcPlace {
    int cell;
    const char* name;
    bool dormant;
    int tint;   // 0 = untinted
};
const NpcPlace kNpcs[kNpcCount] = {
    {28754, "Кармашкин"_w, false, 0},
    {27263, "Чистяков"_w, false, 0},
    {35430, "Продавец"_w, false, 0},
    {24937, "Механик"_w, true, 0xC8C8FF},
    {45606, "Моряк"_w, true, 0xA0C8FF},
    {53013, "Кузнец"_w, false, 0xFFBE96},
};
// Townspeople 4..6 have pictures of their own (texture slots 160 + number).
constexpr int kNpcPicture[kNpcCount] = {0, 0, 0, 164, 165, 166};

struct RoadMonster {
    int type;
    int cornerCell;
    int dest;
};
constexpr RoadMonster kRoadMonsters[] = {{7, 28090, 26720}, {7, 33900, 19300}, {8, 8160, 19302},
                                        {8, 43575, 26172}, {8, 34321, 37860}};

void SetTint(Fgr* f, int rgb) {
    f->colour[kColR] = (rgb >> 16) & 255;
    f->colour[kColG] = (rgb >> 8) & 255;
    f->colour[kColB] = rgb & 255;
}

Fgr* CreateAtCell(int kind, int cell) {
    float x, z;
    if (!KleCentre(cell, &x, &z)) return nullptr;
    return FgrCreateFigure(kind, x, z);
}

Fgr* MakeLair(int kind, int cell, int side, int home, const int (*dest)[2]) {
    Fgr* lair = CreateAtCell(kind, cell);
    if (!lair) return nullptr;
    FgrSetSide(lair, side);
    lair->reach *= 2;
    FgrSetName(lair, "(логово)"_w);
    lair->groupNumber = kind;
    lair->homeCell = home;
    for (int i = 0; i < 9; ++i) lair->lairDest[i] = KleIndex(dest[i][0], dest[i][1]);
    return lair;
}

}  // namespace

const MonsterInfo* MonsterFind(int type) {
    return type >= 1 && type <= kMonsterTypes ? &kMonsters[type - 1] : nullptr;
}

Fgr* CreateHero(int cell, int moveCell) {
    Fgr* hero = CreateAtCell(kKindHero, cell);
    if (!hero) return nullptr;
    if (!FgrIsUnit(hero)) {
        FgrRemove(hero);
        return nullptr;
    }
    FgrSetSide(hero, kSidePlayer);
    if (moveCell) FgrMoveOrder(hero, moveCell, 0);
    Fgr* gun = FgrCreateFigure(kKindGun416, 0.0f, 0.0f);
    if (gun) {
        gun->reach = kHeroGunReach;
        gun->period = gun->countdown = kHeroGunPeriod;
        PeAdd(gun->kor.pe, 15, 20, 1, 1, 1);
    }
    if (!gun || !FgrAttachGun(hero, gun)) {
        FgrRemove(gun);
        FgrRemove(hero);
        return nullptr;
    }
    return hero;
}

Fgr* Fgrs_AddUnitHPGun(int unitKind, int hitPoints, int gunKind, int gunReach, int gunPeriod,
                       int side, float x, float z, int targetCell) {
    const int k = KleAt(x, z);
    if (k < 0) return nullptr;
    Fgr* unit = FgrCreateFigure(unitKind, masKle.m[k].x + 5.0f, masKle.m[k].z + 5.0f);
    if (!unit) return nullptr;
    if (hitPoints > 0 && unit->kor.ph) {
        unit->kor.ph->w[kStatNormHP] = hitPoints;
        unit->kor.ph->w[kStatNormHPMax] = hitPoints;
        unit->kor.ph->w[200 + kStatNormHPMax] = 0;
        unit->kor.ph->w[201 + kStatNormHPMax] = 0;
    }
    FgrSetSide(unit, side);
    if (targetCell != 0) FgrMoveOrder(unit, targetCell, 0);
    Fgr* gun = FgrCreateFigure(gunKind, 0.0f, 0.0f);
    if (!gun || !FgrAttachGun(unit, gun)) {
        LogPrintf("\n Err proc Fgrs_AddUnitHPGun");
        // A gun that was made but not attached would stay behind unowned.
        FgrRemove(gun);
        FgrRemove(unit);
        return nullptr;
    }
    gun->reach = gunReach;
    gun->period = gunPeriod;
    gun->countdown = gunPeriod;
    return unit;
}

Fgr* SpawnMonster(int type, float x, float z, int destCell) {
    const MonsterInfo* m = MonsterFind(type);
    if (!m) return nullptr;
    const int hp = m->hpLow == m->hpHigh ? m->hpLow : RandRange(m->hpLow, m->hpHigh);
    Fgr* unit = Fgrs_AddUnitHPGun(m->unitKind, hp, m->gunKind, m->gunReach, m->gunPeriod, m->side, x,
                                  z, destCell);
    if (!unit) return nullptr;
    FgrSetName(unit, m->name);
    unit->unitType = type;
    unit->unitExpRang = m->grade;
    unit->useNormHP = 1;
    if (m->tint) SetTint(unit, m->tint);
    ArmMonster(unit, type);
    return unit;
}

Fgr* MakePlant(int type, int cell) {
    if (type < 1 || type > 7 || !KleInterior(cell)) return nullptr;
    float x, z;
    KleCentre(cell, &x, &z);
    x += static_cast<float>(RandRange(-2, 2));
    z += static_cast<float>(RandRange(-2, 2));
    Fgr* p = FgrCreateFigure(kKindPlant, x, z);
    if (!p) return nullptr;
    p->unitType = type;
    p->variant = Rand() % 2;
    p->colour[kColR] = RandRange(200, 255);
    p->colour[kColG] = RandRange(200, 255);
    p->colour[kColB] = RandRange(200, 255);
    p->drawW = 0.8f + static_cast<float>(Rand() % 40) / 100.0f;
    p->drawH = 0.8f + static_cast<float>(Rand() % 40) / 100.0f;
    p->size = 8.0f;
    p->reach = 20;
    p->stateFlag = type == 1 ? 1 : 0;   // coin bushes are born ready to be struck
    Kle& c = masKle.m[cell];
    c.fgrKey = p;
    p->onMap = 1;
    p->firstAnchor = cell;
    if (type >= 4) {
        p->footprintCell = cell;
        p->footprintShape = 1;
    }
    return p;
}

namespace {

// Anchors a figure in its cell, as plants are: the editor's toggle and the
// hero's touch find it there.
void AnchorInCell(Fgr* f, int cell) {
    masKle.m[cell].fgrKey = f;
    f->onMap = 1;
    f->firstAnchor = cell;
}

}  // namespace

Fgr* MakePickup(int type, int cell, float x, float z) {
    if (type < kPickupChest || type > kPickupInert || !KleInterior(cell) || masKle.m[cell].fgrKey)
        return nullptr;
    if (KleAt(x, z) != cell) KleCentre(cell, &x, &z);
    Fgr* p = FgrCreateFigure(kKindLoot, x, z);
    if (!p) return nullptr;
    p->unitType = type;
    p->stateFlag = 1;
    switch (type) {
        case kPickupGold:
            p->period = p->countdown = RandRange(kGoldLifeMin, kGoldLifeMax);
            p->pickValue = RandRange(kGoldValueMin, kGoldValueMax);
            p->variant = Rand() % 2;   // one of two looks
            break;
        case kPickupGarbage:
            p->period = p->countdown = RandRange(kGarbageBlinkMin, kGarbageBlinkMax);
            break;
        case kPickupBag: p->period = p->countdown = kBagLifeMs; break;
        default: break;
    }
    AnchorInCell(p, cell);
    return p;
}

Fgr* MakeLoot(int type, int cell) {
    float x, z;
    if (!KleCentre(cell, &x, &z)) return nullptr;
    return MakePickup(type, cell, x, z);
}

Fgr* MakeCrystal(int colour, int cell) {
    if (colour < 1 || colour > 6 || !KleInterior(cell) || masKle.m[cell].fgrKey) return nullptr;
    float x, z;
    KleCentre(cell, &x, &z);
    Fgr* c = FgrCreateFigure(kKindCrystal, x, z);
    if (!c) return nullptr;
    c->unitType = colour;
    AnchorInCell(c, cell);
    return c;
}

void StartPointsReset() {
    for (int& c : startPoints.count) c = 0;
}

void StartPointAdd(int type, float x, float z) {
    if (type < 5 || type > 8) return;
    int& n = startPoints.count[type];
    if (n >= kStartPointMax) return;
    startPoints.x[type][n] = x;
    startPoints.z[type][n] = z;
    ++n;
}

void SpawnAtStartPoints() {
    for (int type = 5; type <= 8; ++type)
        for (int i = 0; i < startPoints.count[type]; ++i)
            SpawnMonster(type, startPoints.x[type][i], startPoints.z[type][i], 0);
}

void SpawnReset() {
    for (Fgr*& n : fgrNpc) n = nullptr;
    fgrLairForest = fgrLairWater = nullptr;
    StartPointsReset();
}

int WorldPopulate() {
    fgrMainHero = CreateHero(kHeroCell, kHeroFirstMove);
    if (!fgrMainHero) {
        LogPrintf("%s", "\n не удалось создать fgrMainHero"_w);
        SetWorldError();
        return 0;
    }
    FgrSetName(fgrMainHero, "Глав-герой"_w);

    float x, z;
    KleCentre(kDemonCell, &x, &z);
    pBos = SpawnMonster(13, x, z, kDemonMove);
    if (!pBos) {
        LogPrintf("%s", "\n не удалось создать главного врага pBos"_w);
        SetWorldError();
        return 0;
    }
    pBos->active = 0;
    pBos->homeCell = kDemonMove;

    fgrLairForest = MakeLair(kKindLairForest, kLairForestCell, 4, kBandForestHome, kForestDest);
    if (fgrLairForest) fgrLairForest->colour[kColB] = 190;
    fgrLairWater = MakeLair(kKindLairWater, kLairWaterCell, 3, kBandWaterHome, kWaterDest);
    if (fgrLairWater) fgrLairWater->colour[kColR] = 190;

    for (const PlantPlace& pp : kScenery7) {
        Fgr* p = MakePlant(7, pp.cell);
        if (!p) continue;
        SetTint(p, pp.red ? 0xFF6464 : (Rand() % 2 ? 0x78FF8C : 0x82A0FF));
        p->colour[kColA] = 180;
    }
    for (int cell : kScenery6) {
        Fgr* p = MakePlant(6, cell);
        if (p) SetTint(p, 0xB9B9B9);
    }
    for (int cell : kGoldHeaps) {
        Fgr* g = MakeLoot(2, cell);
        if (g) g->period = g->countdown = kGoldHeapPeriod;
    }

    for (int i = 0; i < kNpcCount; ++i) {
        const NpcPlace& np = kNpcs[i];
        Fgr* n = CreateAtCell(kKindNpc, np.cell);
        fgrNpc[i + 1] = n;
        if (!n) continue;
        n->unitType = i + 1;
        FgrSetSide(n, kSidePlayer);
        FgrSetName(n, np.name);
        if (i < 3) FgrStepAside(n, np.cell);
        if (np.dormant) n->active = 0;
        if (np.tint) SetTint(n, np.tint);
        if (kNpcPicture[i]) n->picture = kNpcPicture[i];
    }

    if (worldRulesInit) worldRulesInit();

    SpawnMonster(5, fgrMainHero->x + 120.0f, fgrMainHero->z, 0);
    for (const RoadMonster& rm : kRoadMonsters) {
        const float cx = static_cast<float>(KleCol(rm.cornerCell)) * kKleSize;
        const float cz = static_cast<float>(KleRow(rm.cornerCell)) * kKleSize;
        SpawnMonster(rm.type, cx, cz, rm.dest);
    }
    return 1;
}
