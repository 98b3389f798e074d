// Crystal collection and the hammer.
#include "rules/crystals.h"

#include "app/msgfeed.h"
#include "io/cp1251.h"

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

void HammerStrike(int) { PostMsg("(Молот) молот ещё не выкован"_w); }
