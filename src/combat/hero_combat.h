// The hero's combat state: cooldowns, the last strike and shot, the combo
// window, the fire-lightning charge, abilities, the daily spell and money.
// One record, one global instance; only the combat code writes it.
#pragma once

struct Fgr;

struct HeroCombat {
    int strikeCooldown = 3000;    // ms to the next strike (0 at a new day)
    int strikeCooldownSaved = 0;  // cooldown of the last normal strike, for the combo strike
    int actionCooldown = 0;       // ms the action buttons are ignored
    int autoAttack = 0;
    int lastStrikeDmg = 0;        // 1 = hit a bush (or sure hit), 2 = missed
    int lastStrikeCrit = 0;
    int comboTime = 0;
    int comboButton = 0;          // 1 or 3, 0 = closed
    Fgr* comboTarget = nullptr;
    int lightningCharged = 0;
    int lastShotDmg = 0;
    int optLightning = 0;         // "оптима молнии"
    int fireAddOn = 0;            // "добавка огня"
    int optCrystals = 0;          // "оптима кристалов"
    int treasureSeeker = 0;       // "кладо-искатель"
    int abilPoints = 0;
    int dailySpell = 0;           // 1..4 while active
    int dailySpellUsed = 0;
    int dailySpellTimer = 0;      // ms
    int spellRegenHit = 0;
    int spellRegenHot = 0;
    int spellRegenMana = 0;
    int spellDoubler = 0;
    int spellMystic = 0;
    int heroGold = 50;
};

extern HeroCombat heroCombat;
void HeroCombatReset();
