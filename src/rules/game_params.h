// The game's numbers: costs, cooldowns, bases and the monsters' pictures,
// in one table read by combat and the rules.
#pragma once

inline constexpr int kAppearanceKinds = 13;

struct GameParams {
    int strikeCooldownMs = 3000;
    int actionCooldownMs = 900;
    int chargeCost = 96;          // fire-lightning charge, mana
    int shotCost = 24;            // one lightning shot, mana
    int critCost = 32;            // mana
    int spellDurationMs = 315000;
    int maxRank = 9;
    int angerBase = 150;          // mana tank
    int bloodBase = 300;
    int hitRegenBase = 10;
    int hotRegenBase = 20;
    int manaRegenBase = 30;
    int regenThreshold = 10;      // no hit-point regeneration below it
    int bloodPoints = 1;
    int angerPoints = 1;
    int deadStayMs = 3000;        // a dead monster fades this long before it goes
    // Picture (texture slot) of each monster kind 1..13.
    int appearance[kAppearanceKinds + 1] = {0,   141, 142, 143, 144, 145, 146,
                                            147, 148, 149, 150, 151, 152, 153};
};

extern GameParams gameParams;
void GameParamsReset();
