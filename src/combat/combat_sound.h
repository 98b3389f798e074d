// Combat sounds: effects by number on the first source, slightly varied.
#pragma once

#include "sound/sound.h"

inline constexpr int kSndCoin1 = 1, kSndCoin2 = 2, kSndStrike = 4, kSndCrit = 5, kSndMiss = 6, kSndShot = 7,
                     kSndMystic = 9;

inline void CombatSound(int id) { PlaySound(&sndSource1, id, 0, 0.8f, 0.9f, 1.0f, 10); }
