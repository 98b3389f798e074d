// Fishing at the shore and the daily treasure dig.
#pragma once

inline constexpr int kFishButtons = 3;

// fishState
inline constexpr int kFishIdle = 0;
inline constexpr int kFishWaiting = 1;
inline constexpr int kFishBiting = 2;
inline constexpr int kFishTooEarly = 3;

struct FishingState {
    int fishState;
    int fishSkill;        // one per catch
    int fishStreak;       // catches in a row
    int fishStake;        // gold paid for bait when casting
    int fishWaitTotal;    // ms
    int fishWaitLeft;     // ms
    int fishRightButton;  // 1..3 while biting
    int fishingPlace;     // fishiness of the place of the last cast
    int lastGain;         // gold of the last strike (the fishing bar shows it)
};
extern FishingState fishing;

struct TreasureState {
    int dugToday;            // cleared by the new day
    int treasureHintShown;   // once per game
};
extern TreasureState treasure;

void FishingReset();
void TreasureReset();
void TreasureNewDay();
