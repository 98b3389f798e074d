// The hero's growth: experience and ranks, stat points that take effect at
// the next day, quest experience, regeneration and panic, and the hero's
// walking speed. The record holds the progression's own globals; the
// hero's rank, experience and stats live in his figure.
#pragma once

struct Fgr;

inline constexpr int kInvulnerableMs = 5000;
inline constexpr int kStatHighlightMs = 24000;

struct Progression {
    int statPoints = 0;           // unspent
    int angerPoints = 1, angerApplied = 1;
    int bloodPoints = 1, bloodApplied = 1;
    int mindPoints = 1, mindApplied = 1;
    int mindSkill = 0;            // 0 none, 1 "Отравитель", 2 "Угнетатель"
    int angerBase = 150, angerStart = 150;
    int bloodBase = 300, bloodStart = 300;
    int regenHit = 10;            // grows by 1 per rank-up
    int regenHot = 20;
    int regenMana = 30;
    int regenThreshold = 10;
    int statHighlightMs = 0;
    int invulnerable = 0;
    int invulnerableMs = 0;
    int abilityNotice = 0;        // a rank-up opened the ability window's notice
};

extern Progression progress;
// Start values from the parameter table.
void ProgressionReset();

// The stat words the hero initialiser writes (rank 1, blood, mana, Hot and
// their limits, panic exit, regeneration period).
void HeroStartValues(Fgr* hero);

// Experience for the hero: one rank at most per call.
void AddHeroExp(int n);
// Marks a quest done (state = 2), pays its experience (twice in suit 1).
void QuestDone(const char* name, int* state, int reward);
// 1 Anger, 2 mind, 3 Blood: one stat point waits for the next day.
void SpendStat(int which);
// At a new day: spent points change the bases and refill blood and mana.
void ApplyStatPoints();
// Every frame from the hero's update: panic, then regeneration.
void HeroRegen(Fgr* hero);
// Counts the progression's timers (invulnerability, highlight) down.
void ProgressionTimers();
