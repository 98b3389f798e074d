// Making the figures the world starts with: the hero, monsters by type,
// plants, loot and townspeople, and the world population that places them.
#pragma once

#include "world/fgr.h"

inline constexpr int kMonsterTypes = 13;
inline constexpr int kNpcCount = 6;

struct MonsterInfo {
    const char* name;      // Windows-1251
    int unitKind;
    int hpLow, hpHigh;     // inclusive range
    int gunKind;
    int gunReach;
    int gunPeriod;
    int side;
    int grade;             // rank 1..5
    int tint;              // 0 = none, else 0xRRGGBB
};
// Row of a monster type 1..13, or null.
const MonsterInfo* MonsterFind(int type);

// Hero creation at cell with an optional first move order (0 = none).
Fgr* CreateHero(int cell, int moveCell);

Fgr* Fgrs_AddUnitHPGun(int unitKind, int hitPoints, int gunKind, int gunReach, int gunPeriod,
                       int side, float x, float z, int targetCell);
Fgr* SpawnMonster(int type, float x, float z, int destCell);

// A plant (kind 32) of type 1..7 anchored in an interior cell, or null.
Fgr* MakePlant(int type, int cell);
// Pickups (kind 25): 1 chest (variant 1 coins, 2 a found item, else a
// trap), 2 coin heap, 3 garbage pile, 4 loot bag of a defeated enemy, 5 inert.
inline constexpr int kPickupChest = 1, kPickupGold = 2, kPickupGarbage = 3, kPickupBag = 4,
                     kPickupInert = 5;
inline constexpr int kGoldLifeMin = 45000, kGoldLifeMax = 55000;
inline constexpr int kGoldValueMin = 5, kGoldValueMax = 12;     // a heap pays twice its value
inline constexpr int kBagLifeMs = 15000;
inline constexpr int kGarbageBlinkMin = 9000, kGarbageBlinkMax = 16000;

// A pickup of type 1..5 anchored in interior cell k, standing at (x, z)
// (the cell centre when the point lies outside the cell). Null when the
// type or the cell is not valid or the cell already holds an anchored figure:
// one pickup per cell.
Fgr* MakePickup(int type, int cell, float x, float z);
// The same at the cell centre.
Fgr* MakeLoot(int type, int cell);
// A crystal (kind 33) of colour 1..6 anchored in an interior cell, with the
// kind's regrow bounds; null as for pickups.
Fgr* MakeCrystal(int colour, int cell);

// The townspeople by NPC number 1..6 (null when not placed).
extern Fgr* fgrNpc[kNpcCount + 1];
// The two lair buildings placed at start.
extern Fgr* fgrLairForest;
extern Fgr* fgrLairWater;

// The game-rule initialisation that runs inside the population before the
// monsters are placed (installed by the rules; may be null).
extern void (*worldRulesInit)();

// World population. Returns 0 after a fatal failure (logged, error set).
int WorldPopulate();

// Start points of dormant monsters collected by the figure reader, by type
// 5..8, in file order.
inline constexpr int kStartPointMax = kFigureSlots;
struct StartPoints {
    int count[9];
    float x[9][kStartPointMax];
    float z[9][kStartPointMax];
};
extern StartPoints startPoints;
void StartPointsReset();
void StartPointAdd(int type, float x, float z);
// One monster of each type 5, 6, 7, 8 at every collected point.
void SpawnAtStartPoints();

// Globals of this file back to their start values.
void SpawnReset();
