// Experience, ranks, stat points, regeneration and panic.
#include "rules/progression.h"

#include <cstdio>

#include "app/frame.h"
#include "app/msgfeed.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/game_params.h"
#include "rules/items.h"
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

void AddHeroExp(int n) {
    Fgr* hero = fgrMainHero;
    if (!hero || hero->fgrKind == 0 || hero->dead || n <= 0) return;
    hero->unitExpNow += n;
    char text[kMsgLineBytes];
    std::snprintf(text, sizeof text, "Герою добавлен опыт (%d)"_w, n);
    PostMsg(text);
    if (hero->unitExpNow < hero->unitExpNext || hero->unitExpRang >= gameParams.maxRank) return;
    progress.invulnerable = 1;
    progress.invulnerableMs = kInvulnerableMs;
    hero->unitExpNow = 0;
    ++hero->unitExpRang;
    hero->unitExpNext = int(hero->unitExpNext * 1.6);
    ++heroCombat.abilPoints;
    progress.statPoints += 2;
    progress.statHighlightMs = kStatHighlightMs;
    std::snprintf(text, sizeof text, "Получен новый ранжыр (%d)"_w, hero->unitExpRang);
    PostMsg(text);
    progress.abilityNotice = 1;
    ++progress.regenHit;
    ++progress.regenHot;
    ++progress.regenMana;
}

void QuestDone(const char* name, int* state, int reward) {
    if (state) *state = 2;
    AddHeroExp(reward);
    char text[kMsgLineBytes];
    std::snprintf(text, sizeof text, "Герой исполнил квэст <%s>"_w, name ? name : "");
    PostMsg(text);
    if (backpack.wearSuit == kItemSuitChic) {
        PostMsg("Получился удвоеный опыт за квэст."_w);
        AddHeroExp(reward);
    }
}

void SpendStat(int which) {
    if (!fgrMainHero || fgrMainHero->fgrKind == 0 || progress.statPoints <= 0) return;
    int* points = nullptr;
    switch (which) {
        case 1: points = &progress.angerPoints; break;
        case 2: points = progress.mindSkill ? &progress.mindPoints : nullptr; break;
        case 3: points = &progress.bloodPoints; break;
        default: break;
    }
    if (!points) return;
    ++*points;
    --progress.statPoints;
    PostMsg("(+) Наступит новый День и перемены вступят в силу"_w);
}

void ApplyStatPoints() {
    Fgr* hero = fgrMainHero;
    if (!hero || hero->fgrKind == 0) return;
    std::int32_t* st = FgrStats(hero);
    Progression& p = progress;
    if (p.bloodPoints != p.bloodApplied) {
        p.bloodBase += (p.bloodPoints - p.bloodApplied) * 50;
        p.bloodApplied = p.bloodPoints;
        if (p.bloodBase > 0 && st) {
            st[StatLowOf(kStNormHPMax)] = LowLimit(p.bloodStart, p.bloodBase);
            st[StatHighOf(kStNormHPMax)] = p.bloodBase > 2000 ? p.bloodBase : 2000;
            st[kStNormHP] = st[kStNormHPMax] = p.bloodBase;
        }
    }
    if (p.angerPoints != p.angerApplied) {
        p.angerBase += (p.angerPoints - p.angerApplied) * 25;
        p.angerApplied = p.angerPoints;
        if (p.angerBase > 0 && st) {
            st[StatLowOf(kStManaMax)] = LowLimit(p.angerStart, p.angerBase);
            st[StatHighOf(kStManaMax)] = p.angerBase > 800 ? p.angerBase : 800;
            st[kStMana] = st[kStManaMax] = p.angerBase;
        }
    }
    p.mindApplied = p.mindPoints;
}

void HeroRegen(Fgr* hero) {
    if (!hero || hero->dead) return;
    const int hot = StatGet(hero, kStHot);
    if (hot < 3) hero->panic = 1;
    else if (hot >= hero->panicOut) hero->panic = 0;
    if (!Countdown(&hero->regenCountdown)) return;
    hero->regenCountdown = hero->regenPeriod > 0 ? hero->regenPeriod : 9000;
    const HeroCombat& hc = heroCombat;
    if (StatGet(hero, kStNormHP) >= progress.regenThreshold)
        StatAdd(hero, kStNormHP, progress.regenHit + hc.spellRegenHit);
    int hotGain = progress.regenHot;
    if (backpack.kvassTimer > 0) hotGain *= 2;
    StatAdd(hero, kStHot, hotGain + hc.spellRegenHot);
    StatAdd(hero, kStMana, progress.regenMana + hc.spellRegenMana);
}

void ProgressionTimers() {
    if (progress.invulnerable && Countdown(&progress.invulnerableMs)) progress.invulnerable = 0;
    Countdown(&progress.statHighlightMs);
}
