// Crystal collection and the hammer.
#include "rules/crystals.h"

CrystalState crystals;

void CrystalsReset() {
    crystals = CrystalState{};
    crystals.pairHintsLeft = kPairHints;
    crystals.virForce = 1;
}

void CrystalsNewDay() {
    crystals.virForce = 1;
    crystals.hammerCooldown = 0;
}

int* GemCounter(int colour) {
    switch (colour) {
        case 1: return &crystals.rubies;
        case 2: return &crystals.emeralds;
        case 3: return &crystals.sapphires;
        case 4: return &crystals.diamonds;
        default: return nullptr;
    }
}
