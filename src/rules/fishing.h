// Fishing at the shore and the daily treasure dig.
//
// Fishing: using the rod casts (bait is paid at once); the fish bites once
// half of the wait has passed and one of the three "Где?" buttons catches.
// The dig: once a day, on the island's plain ground.
#pragma once

inline constexpr int kFishButtons = 3;

// fishState
inline constexpr int kFishIdle = 0;
inline constexpr int kFishWaiting = 1;
inline constexpr int kFishBiting = 2;
inline constexpr int kFishTooEarly = 3;

// What the fishing bar says about the last step (fishStatus).
enum FishStatus : int {
    kFishStatusNone = 0,
    kFishStatusCast,      // waiting for a bite
    kFishStatusBite,      // the buttons are up
    kFishStatusEarly,     // struck before the bite: the cast is lost
    kFishStatusCatch,
    kFishStatusBig,
    kFishStatusMissed,    // wrong button
};

struct FishingState {
    int fishState;
    int fishSkill;        // one per catch
    int fishStreak;       // catches in a row
    int fishStake;        // gold paid for bait when casting
    int fishWaitTotal;    // ms
    int fishWaitLeft;     // ms
    int fishRightButton;  // 1..3 while biting
    int fishingPlace;     // fishiness of the place of the last cast
    int fishStatus;       // FishStatus
    int lastGain;         // gold of the last strike
};
extern FishingState fishing;

struct TreasureState {
    int dugToday;            // cleared by the new day
    int treasureHintShown;   // once per game
};
extern TreasureState treasure;

// The island (rows and columns) whose plain ground holds the treasure.
inline constexpr int kIslandRowMin = 156, kIslandRowMax = 191;
inline constexpr int kIslandColMin = 8, kIslandColMax = 27;

void FishingReset();
void TreasureReset();
void TreasureNewDay();

// Fishiness of a cell, 0..3: the deep-water cells of its 3 x 3 block, a
// third of them rounded up. A place fishes as well as the best of its
// four neighbours.
int CellFishiness(int k);
int PlaceFishiness(int k);

// Using the fishing rod.
void StartFishing();
// Per frame while waiting for the bite.
void FishingTick();
// The "Где?" buttons 1..3.
void FishingStrike(int button);
// The fishing bar's line (a static buffer, rewritten by the next call).
const char* FishingBarText();

// 1 when cell k is treasure ground: plain ground (tiles 1..4) on the island.
int TreasureCell(int k);
// The dig button: 1 when the hero dug.
int DigTreasure();
