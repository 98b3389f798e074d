// Crystal collection: chains of three colours make gems, collections raise
// the day's вир-форс; the hammer closes the two clamps and smites crystal
// skeletons.
#pragma once

// Crystal colours (unitType of kind 33).
inline constexpr int kCrystalRed = 1;
inline constexpr int kCrystalGreen = 2;
inline constexpr int kCrystalBlue = 3;
inline constexpr int kCrystalYellow = 4;
inline constexpr int kCrystalRandom = 5;
inline constexpr int kCrystalEcho = 6;

inline constexpr int kGemMax = 9;
inline constexpr int kVirForceMax = 5;
inline constexpr int kPairHints = 4;
inline constexpr int kHammerCooldownMs = 18000;

struct CrystalState {
    int chainColour;      // 0 = none
    int chainLength;
    int pairColour;       // colour of a chain of two, 0 = none
    int lastWasEcho;
    int collections;      // since the last level-up
    int pairHintsLeft;
    int rubies, emeralds, sapphires, diamonds;   // 0..9
    int virForce;         // 1..5, 1 at the start of each day
    int hammerCooldown;   // ms
    int clampAClosed, clampBClosed;
};
extern CrystalState crystals;

void CrystalsReset();
void CrystalsNewDay();
// Counter of gem colour 1..4 (rubies, emeralds, sapphires, diamonds), or null.
int* GemCounter(int colour);
// The hammer buttons 1..4 (gem colours).
void HammerStrike(int colour);
