// The hero's combat state record.
#include "combat/hero_combat.h"

HeroCombat heroCombat;

void HeroCombatReset() { heroCombat = HeroCombat{}; }
