// Monsters and their behaviour: the per-frame think with death and
// rewards, the shared gun routine (the hero's auto-attack uses it too),
// the two spirit lairs with their spawning and poison ground, and the
// combat part of the world step (visibility, aura registration, timers).
#pragma once

struct Fgr;

inline constexpr int kVoiceStopMs = 19500;    // the hero stands while the voice timer is above
inline constexpr int kVoiceTimerMs = 24000;
inline constexpr int kDemonCallMs = 19000;
inline constexpr int kChaseRepathMs = 2000;
inline constexpr int kPoisonPauseMs = 15000;
inline constexpr int kForestLairMs = 24000;
inline constexpr int kWaterLairMs = 37000;
inline constexpr int kLairSlots = 9;
// The demon keeps to its clearing (its home cell): farther than this it
// lets its prey go and walks back.
inline constexpr float kDemonLeash = 300.0f;

// Words of a monster's kindWords.
inline constexpr int kWordBiteDone = 9;       // a dead wolf has had its last bite
inline constexpr int kWordClueShown = 9;      // the vagrant has shown himself (townsperson 5)

struct MonsterState {
    int voiceTimer = 0;           // forest creature's shout, ms
    int demonCallTimer = 0;       // ms until the demon calls a creature
    int demonCallFlag = 0;
    int poisonTimer = -1;         // poison ground: 0 ready, -1 restart, else ms
};
extern MonsterState monsterState;
void MonsterStateReset();

// Installs the behaviour of the fighting kinds, the hero, the lairs, the
// life step and the hooks of the map (once per game start; tests too).
void CombatInstall();

// The combat part of the world step, before the figure pass.
void CombatWorldStep();

// The hero's update: timers, death, regeneration, walk, auto-attack, auras.
void HeroUpdate(Fgr* hero);
// The dead hero lies until this (the new day) lifts him.
void HeroRevive();

// Figure life step: dead figures fade for gameParams.deadStayMs and go;
// the dead hero stays.
void CombatLifeStep(Fgr* f);

void MonsterThink(Fgr* m);
void GunThink(Fgr* f, int countReload);
void LairThink(Fgr* lair);
void HeroDefeated(Fgr* enemy);
// lairKind is 601 (forest) or 801 (water); near is the lair figure.
void SpiritSpawn(int lairKind, Fgr* near);
void WolfOnHero(Fgr* near);
void SkeletonOnHero();
void NewDayLair(Fgr* lair);

// True when a and b are on different sides (both 1..5).
bool Hostile(const Fgr* a, const Fgr* b);
// A fightable unit for a selected figure: the figure itself, or for a band
// the hero's current target among its members, else its nearest living one.
Fgr* FightableOf(Fgr* selected);
