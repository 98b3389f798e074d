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

struct Fgr;

inline constexpr int kClampACell = 46894;   // sapphire, blue marker
inline constexpr int kClampBCell = 49752;   // emerald, green marker
inline constexpr int kBarrierCellA = 49984;
inline constexpr int kBarrierCellB = 50242;
inline constexpr int kHammerReach = 40;

inline constexpr int kCrystalFlashMs = 600;
inline constexpr int kCrystalHidden = 2;   // reach of a collected crystal: not drawn

// The hero touches a crystal (rank 2 checked by the caller); randomColour
// 1..4 is the one drawn for a crystal of colour 5. 1 when collected (a
// collected crystal or one of an unknown colour is ignored).
int CollectCrystal(Fgr* hero, Fgr* crystal, int randomColour);
void AddCrystalColour(int colour);
// The hammer buttons 1..4.
void HammerStrike(int colour);
// Per frame: the hammer's cooldown.
void CrystalsTick();
// The crystal kind's update: the flash and the regrow timer.
void CrystalUpdate(Fgr* crystal);
