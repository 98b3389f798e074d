// Weak stand-ins of combat operations (see story_links.h): the plain
// effect of each, so the story runs before combat's code is linked in.
#include "rules/story_links.h"

#include "app/msgfeed.h"
#include "combat/hero_combat.h"
#include "rules/progression.h"
#include "world/fgr.h"
#include "world/path_follow.h"

#define BD_STAND_IN __attribute__((weak))

BD_STAND_IN int ComboStrike(int) {
    heroCombat.comboButton = 0;
    return 0;
}

BD_STAND_IN int CastDailySpell(int n) {
    if (heroCombat.dailySpellUsed || n < 1 || n > 4) return 0;
    heroCombat.dailySpell = n;
    heroCombat.dailySpellUsed = 1;
    return 1;
}

BD_STAND_IN void EndDailySpell() { heroCombat.dailySpell = 0; }

BD_STAND_IN int TakeAbility(int n) {
    int* const flags[5] = {nullptr, &heroCombat.treasureSeeker, &heroCombat.optLightning,
                           &heroCombat.fireAddOn, &heroCombat.optCrystals};
    if (n < 1 || n > 4 || heroCombat.abilPoints <= 0 || *flags[n]) return 0;
    *flags[n] = 1;
    --heroCombat.abilPoints;
    return 1;
}

BD_STAND_IN void HeroRevive() {
    if (!fgrMainHero) return;
    fgrMainHero->dead = 0;
    fgrMainHero->colour[kColA] = 255;
}

BD_STAND_IN void NewDayLair(Fgr*) {}

BD_STAND_IN int FgrPlaceNear(Fgr* f, float x, float z) {
    f->x = x;
    f->z = z;
    StopPath(f);
    return 0;
}

BD_STAND_IN void AddHeroExp(int n) {
    if (fgrMainHero && n > 0) fgrMainHero->unitExpNow += n;
}

BD_STAND_IN void QuestDone(const char*, int* state, int reward) {
    *state = 2;
    AddHeroExp(reward);
}

BD_STAND_IN void SpendStat(int) {}
BD_STAND_IN void ApplyStatPoints() {}
