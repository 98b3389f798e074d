// Experience, ranks, stat points, regeneration and panic.
#include "rules/progression.h"

#include "combat/stats.h"
#include "rules/game_params.h"
#include "world/fgr.h"

Progression progress;

void ProgressionReset() {
    progress = Progression{};
    const GameParams& gp = gameParams;
    progress.angerPoints = progress.angerApplied = gp.angerPoints;
    progress.bloodPoints = progress.bloodApplied = gp.bloodPoints;
    progress.angerBase = progress.angerStart = gp.angerBase;
    progress.bloodBase = progress.bloodStart = gp.bloodBase;
    progress.regenHit = gp.hitRegenBase;
    progress.regenHot = gp.hotRegenBase;
    progress.regenMana = gp.manaRegenBase;
    progress.regenThreshold = gp.regenThreshold;
}

namespace {

// Low limit of a maximum: the starting base when positive and smaller.
int LowLimit(int start, int base) { return start > 0 && start < base ? start : base; }

}  // namespace

void HeroStartValues(Fgr* hero) {
    hero->unitExpRang = 1;
    hero->unitExpNow = 0;
    hero->unitExpNext = 400;
    hero->panicOut = 100;
    hero->regenPeriod = hero->regenCountdown = 9000;
    hero->moveMode = 3;
    hero->useNormHP = 1;
    std::int32_t* st = FgrStats(hero);
    if (!st) return;
    const int blood = progress.bloodBase, anger = progress.angerBase;
    st[kStNormHP] = st[kStNormHPMax] = blood;
    st[StatLowOf(kStNormHPMax)] = LowLimit(progress.bloodStart, blood);
    st[StatHighOf(kStNormHPMax)] = blood > 2000 ? blood : 2000;
    st[kStMana] = anger / 2;
    st[kStManaMax] = anger;
    st[StatLowOf(kStManaMax)] = LowLimit(progress.angerStart, anger);
    st[StatHighOf(kStManaMax)] = anger > 800 ? anger : 800;
    st[kStHot] = 150;
    st[kStHotMax] = 300;
    st[StatLowOf(kStHotMax)] = 300;
    st[StatHighOf(kStHotMax)] = 400;
}

