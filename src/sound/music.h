// Background music and the dark forest's wind, each looping quietly on a
// source of its own so effects on the three game sources never cut them,
// and the sound switch (signal 9, key M) that silences everything.
#pragma once

#include <cstdint>

inline constexpr int kMusicEffect = 10, kWindEffect = 11;
inline constexpr float kMusicGain = 0.25f;
inline constexpr float kWindGainMax = 0.5f;
inline constexpr float kWindReach = 700.0f;   // world units from the forest's heart

extern std::uint32_t musicSource, windSource;   // 0 = none
extern int soundMuted;                          // 1: music and effects are off

// Creates the two sources (game start, after the sound list).
void MusicStart();
// Per frame: the switch, the music loop, the wind by the hero's distance
// from (forestX, forestZ).
void MusicStep(int switchFired, float heroX, float heroZ, int haveHero, float forestX, float forestZ);
// Flips soundMuted and stops or restarts the loops.
void SoundSwitch();
// Shut-down: both sources stopped and released.
void MusicStop();
void MusicReset();
