// The day cycle, the quests' counters, the forest's anger and the win.
#include <cstdio>
#include <vector>

#include "app/frame.h"
#include "app/log.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/monsters.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/game_won.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "save/save_file.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/placement.h"
#include "world/bunker.h"
#include "world/spawn.h"

namespace {

constexpr int kBushType = 1, kCoinPickupType = 2;
constexpr int kForestCreature = 12;
constexpr int kHeroHpCap = 2000, kHeroManaCap = 800, kHeroHotCap = 800;
constexpr int kFirsToWake = 10, kRankToWake = 3;
constexpr int kSideEnergyGain = 10, kSideEnergyMax = 9999;

int* Stats(Fgr* f) { return f && f->kor.ph ? f->kor.ph->w : nullptr; }

int Smaller(int a, int b) { return a < b ? a : b; }

int HeroRank() { return fgrMainHero ? fgrMainHero->unitExpRang : 0; }

// A townsperson's rule for the new day's refresh.
bool NpcMayTalkAgain(int npc) {
    const int rank = HeroRank();
    switch (npc) {
        case 1: return questState.wildDogs < kQuestDone;
        case 2: return questState.garbage == kQuestNone;
        case 3: return true;
        case 4: return rank > 2;
        case 5: return questState.sailorState <= 1 && rank > 2;
        case 6: return questState.wood >= kQuestDone && rank > 1;
        default: return false;
    }
}

void RefreshStateFlags() {
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr* f = &FigureTable[s];
        if (f->fgrKind == kKindPlant && f->unitType == kBushType && f->stateFlag == 0) {
            f->stateFlag = 1;
        } else if (f->fgrKind == kKindNpc && f->talkFlag == 0 && NpcMayTalkAgain(f->unitType)) {
            f->talkFlag = f->stateFlag = 1;
            f->active = 1;
        } else if (f->fgrKind == kKindLoot && f->unitType == kCoinPickupType && f->stateFlag == 0) {
            // A new life of the kind's length: the value (5..12) in ms would be
            // gone before the hero could reach the heap.
            f->stateFlag = 1;
            f->period = f->countdown = RandRange(kGoldLifeMin, kGoldLifeMax);
        }
    }
}


}  // namespace

void NewDay() {
    dialogState.openNpc = 0;
    dayState.shopGiftTaken = 0;
    questState.wildDogsSameDay = 0;
    heroCombat.dailySpellUsed = 0;
    heroCombat.strikeCooldown = 0;
    heroCombat.autoAttack = 0;
    BackpackNewDay();
    CrystalsNewDay();
    TreasureNewDay();
    dayState.dayButtonCooldown = kDayButtonCooldownMs;
    EndDailySpell();
    ++dayState.dayNumber;

    if (Fgr* hero = fgrMainHero) {
        ApplyStatPoints();
        HeroRevive();
        if (int* st = Stats(hero)) {
            st[kStNormHP] = Smaller(kHeroHpCap, st[kStNormHPMax]);
            st[kStMana] = Smaller(kHeroManaCap, st[kStManaMax]);
            st[kStHot] = Smaller(kHeroHotCap, st[kStHotMax]);
        }
        if (backpack.assistantDroid)
            FgrPlaceNear(hero, kWakeDroidX, kWakeDroidZ);
        else
            FgrPlaceNear(hero, kWakeX, kWakeZ);
        RefreshStateFlags();
        NewDayLair(fgrLairForest);
        NewDayLair(fgrLairWater);
        PostMsg("Наступил новый день."_w);
        PostMsg("(Подсказ) Наступай на деревья - это должно разозлить ..."_w);
    }
    AutosaveAtNewDay();
}

int DayButton() {
    if (dayState.dayButtonCooldown > 0) return 0;
    NewDay();
    return 1;
}

void WildDogKilled() {
    if (questState.wildDogs != kQuestTaken) return;
    if (++questState.wildDogsKilled < kWildDogsGoal) return;
    QuestDone("дикие собаки"_w, &questState.wildDogs, 300);
    heroCombat.heroGold += questState.wildDogsSameDay ? 100 : 50;
}

void GarbageCollected() {
    if (questState.garbage != kQuestTaken) return;
    if (++questState.garbageCollected < kGarbageGoal) return;
    QuestDone("сбор мусора"_w, &questState.garbage, 500);
    heroCombat.heroGold += 10;
}

void VagrantFound() {
    questState.vagrantClueOpen = 0;
    if (questState.sailorState < 1) questState.sailorState = 1;
    if (Fgr* sailor = fgrNpc[5]) {
        sailor->talkFlag = sailor->stateFlag = 1;
        sailor->active = 1;
    }
}

void FirChopped(Fgr* tree) {
    if (questState.wood == kQuestTaken) {
        if (++questState.woodCut >= kWoodGoal) {
            questState.wood = kQuestDone;
            if (fgrNpc[6]) fgrNpc[6]->talkFlag = 1;
        } else {
            char line[96];
            std::snprintf(line, sizeof line, "Дров собрано %d / %d"_w, questState.woodCut, kWoodGoal);
            PostMsg(line);
        }
    }
    if (questState.wood == kQuestDone && !questState.woodNoticeShown) {
        questState.woodNoticeShown = 1;
        PostMsg("Можно сдать дрова Кузнецу и получить награду."_w);
    }
    ++dayState.firsChopped;
    if (Rand() % 2 == 0) {
        const int now = SideResource(kSidePlayer, 0);
        int next = now + kSideEnergyGain;
        if (next > kSideEnergyMax) next = kSideEnergyMax;
        if (next < 0) next = 0;
        SideResourceAdd(kSidePlayer, 0, next - now);
    }
    if (Fgr* hero = fgrMainHero) {
        if (Fgr* creature = SpawnMonster(kForestCreature, hero->x, hero->z, 0))
            FgrPlaceNear(hero, creature->x, creature->z);
    }
    if (tree && tree->fgrKind != 0) FgrRemove(tree);
}

void ForestAnger() {
    if (dayState.demonAwake) return;
    const int firs = dayState.firsChopped;
    if (firs <= kFirsToWake - 1 || HeroRank() < kRankToWake) {
        static const char* const kWarnings[kForestWarnings] = {
            "(свист ветра) отойди от моих деревьев"_w,
            "(свист ветра) ты доиграешся !"_w,
            "(свист ветра) я шя выйду !"_w,
        };
        const bool due[kForestWarnings] = {firs > 6, firs == 8, firs > 8};
        for (int i = 0; i < kForestWarnings; ++i) {
            if (due[i] && !dayState.forestWarned[i]) {
                dayState.forestWarned[i] = 1;
                PostMsg(kWarnings[i]);
            }
        }
        return;
    }
    dayState.demonAwake = 1;
    if (pBos) {
        pBos->stateFlag = 1;
        pBos->active = 1;
    }
    PostMsg("По лесу прогремел злобный рык - демон вылез из укрытия."_w);
}

void StoryStep() {
    Countdown(&dayState.dayButtonCooldown);
    ForestAnger();
}

void StoryWorldInit() {
    static constexpr int kTalkAtStart[kNpcCount + 1] = {0, 1, 1, 1, 0, 0, 1};
    for (int n = 1; n <= kNpcCount; ++n)
        if (Fgr* npc = fgrNpc[n]) npc->talkFlag = npc->stateFlag = kTalkAtStart[n];
    if (pBos) pBos->stateFlag = 0;
}

namespace {
void (*chainedWorldInit)() = nullptr;
void (*chainedRules)() = nullptr;
void WorldInitChain() {
    if (chainedWorldInit) chainedWorldInit();
    StoryWorldInit();
}
void RulesChain() {
    if (chainedRules) chainedRules();
    StoryStep();
}
}  // namespace

void StoryInstall() {
    if (worldRulesInit != WorldInitChain) {
        chainedWorldInit = worldRulesInit;
        worldRulesInit = WorldInitChain;
    }
    mapHooks.talkClick = TalkToSelected;
    if (mapHooks.gameRules != RulesChain) {
        chainedRules = mapHooks.gameRules;
        mapHooks.gameRules = RulesChain;
    }
}
