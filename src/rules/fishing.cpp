// Fishing and the treasure dig.
#include "rules/fishing.h"

#include <cstdio>

#include "app/frame.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/hero_combat.h"
#include "io/cp1251.h"
#include "rules/items.h"
#include "sound/sound.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/terrain.h"

FishingState fishing;
TreasureState treasure;

namespace {

constexpr int kFishGoldMin = 10;
constexpr int kNoviceSkill = 4;        // up to this skill the wait is fixed
constexpr int kNoviceWaitMs = 12000;
constexpr int kKvassShortensMs = 2000;
constexpr int kRichWaterShortensMs = 2000;
constexpr int kQuietSkill = 7;         // above it the lost catch is not announced
constexpr int kBigFishStreak = 3;
constexpr int kDigSound = 8;
constexpr int kTreasureChance = 8;

void Post2(const char* format, int a, int b) {
    char line[128];
    std::snprintf(line, sizeof line, format, a, b);
    PostMsg(line);
}

void RulesSound(int id) { PlaySound(&sndSource1, id, 0, 0.8f, 0.9f, 1.0f, 10); }

bool HeroAlive() { return FgrAlive(fgrMainHero) && !fgrMainHero->dead; }

bool DeepWater(int k) { return k >= 0 && k < kKleCount && masKle.m[k].landType == kLandDeepWater; }

}  // namespace

int CellFishiness(int k) {
    if (!KleInterior(k)) return 0;
    int water = 0;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) water += DeepWater(k + dr * kKleCols + dc);
    return (water + 2) / 3;
}

int PlaceFishiness(int k) {
    if (!KleInterior(k)) return 0;
    const int around[4] = {k - 1, k + 1, k - kKleCols, k + kKleCols};
    int best = 0;
    for (int n : around) {
        const int f = CellFishiness(n);
        if (f > best) best = f;
    }
    return best;
}

void FishingReset() { fishing = FishingState{}; }
void TreasureReset() { treasure = TreasureState{}; }
void TreasureNewDay() { treasure.dugToday = 0; }

void StartFishing() {
    Fgr* hero = fgrMainHero;
    if (!HeroAlive()) return;
    FishingState& s = fishing;
    if (s.fishState == kFishWaiting || s.fishState == kFishBiting) return;
    if (heroCombat.heroGold < kFishGoldMin) {
        PostMsg("Нету денег - пока нажывку и прикорм только покупаем."_w);
        return;
    }
    const int k = KleAt(hero->x, hero->z);
    if (DeepWater(k)) {
        PostMsg("Герой должен быть на берегу."_w);
        return;
    }
    const int place = PlaceFishiness(k);
    if (place <= 0) {
        PostMsg("Что-то здесь не рыбное место."_w);
        return;
    }
    s.fishingPlace = place;
    if (s.fishSkill <= kNoviceSkill) {
        s.fishStake = RandRange(2, 4);
        s.fishWaitTotal = kNoviceWaitMs;
    } else {
        // A skilled angler still buys bait, or his catches would pay nothing.
        s.fishStake = RandRange(3, 5);
        s.fishWaitTotal = RandRange(6000, 10000);
    }
    heroCombat.heroGold -= s.fishStake;
    if (backpack.kvassTimer > 0) s.fishWaitTotal -= kKvassShortensMs;
    if (place >= 3 && s.fishSkill <= 9) s.fishWaitTotal -= kRichWaterShortensMs;
    s.fishWaitLeft = s.fishWaitTotal;
    s.fishState = kFishWaiting;
    s.fishStatus = kFishStatusCast;
}

void FishingTick() {
    FishingState& s = fishing;
    if (s.fishState != kFishWaiting) return;
    Countdown(&s.fishWaitLeft);
    if (s.fishWaitLeft * 2 < s.fishWaitTotal) {
        s.fishState = kFishBiting;
        s.fishRightButton = RandRange(1, kFishButtons);
        s.fishStatus = kFishStatusBite;
    }
}

void FishingStrike(int button) {
    FishingState& s = fishing;
    if (!HeroAlive() || (s.fishState != kFishWaiting && s.fishState != kFishBiting)) return;
    s.lastGain = 0;
    if (s.fishState == kFishWaiting) {
        PostMsg("(Рыбалка) рано ..."_w);
        s.fishState = kFishTooEarly;
        s.fishStatus = kFishStatusEarly;
    } else if (button == s.fishRightButton) {
        ++s.fishSkill;
        ++s.fishStreak;
        int gain;
        if (s.fishStreak >= kBigFishStreak) {
            s.fishStreak = 0;
            gain = RandRange(10, 15) * s.fishStake;
            Post2("(имита БОЛЬШОЙ рыбы) +%d злата (навык %d)"_w, gain, s.fishSkill);
            s.fishStatus = kFishStatusBig;
        } else {
            gain = (s.fishStreak == 1 ? RandRange(3, 5) : RandRange(4, 6)) * s.fishStake;
            Post2("(имита улова) +%d злата (навык %d)"_w, gain, s.fishSkill);
            s.fishStatus = kFishStatusCatch;
        }
        heroCombat.heroGold += gain;
        s.lastGain = gain;
    } else {
        s.fishStreak = 0;
        const int back = RandRange(0, 2) * s.fishStake;
        heroCombat.heroGold += back;
        if (s.fishSkill <= kQuietSkill && backpack.kvassTimer <= 0) Post2("(не поймали) %d злата вернулось"_w, back, 0);
        s.fishStatus = kFishStatusMissed;
        s.lastGain = back;
    }
    s.fishState = kFishIdle;
    s.fishStake = 0;
    s.fishRightButton = 0;
}

int TreasureCell(int k) {
    if (!KleInterior(k)) return 0;
    const int row = KleRow(k), col = KleCol(k);
    if (row < kIslandRowMin || row > kIslandRowMax || col < kIslandColMin || col > kIslandColMax) return 0;
    const Kle& c = masKle.m[k];
    return c.tile >= 1 && c.tile <= 4 && c.landType == kLandGround;
}

int DigTreasure() {
    Fgr* hero = fgrMainHero;
    if (!HeroAlive() || treasure.dugToday) return 0;
    const int k = KleAt(hero->x, hero->z);
    if (!TreasureCell(k)) {
        PostMsg("(Клад) здесь копать без толку."_w);
        return 0;
    }
    treasure.dugToday = 1;
    RulesSound(kDigSound);
    // The dug cell turns to bare dirt, so it shows it was dug.
    PaintTileKeys(k, kBrushDirt, 0, 0);
    if (Rand() % kTreasureChance == 0) {
        const int gold = RandRange(30, 50);
        heroCombat.heroGold += gold;
        Post2("Нашли клад (%d монет)"_w, gold, 0);
    } else if (!treasure.treasureHintShown) {
        treasure.treasureHintShown = 1;
        PostMsg("(эго героя) наверно, на острове есть большой клад."_w);
    }
    return 1;
}

const char* FishingBarText() {
    static char line[96];
    const FishingState& s = fishing;
    switch (s.fishState == kFishWaiting ? kFishStatusCast : s.fishState == kFishBiting ? kFishStatusBite : s.fishStatus) {
        case kFishStatusCast:
            if (s.fishSkill < 5) std::snprintf(line, sizeof line, "(%d) Пробуем (навык < 5)"_w, s.fishingPlace);
            else std::snprintf(line, sizeof line, "(%d) Рыбычим ... -%d злата"_w, s.fishingPlace, s.fishStake);
            return line;
        case kFishStatusBite: return "Клюёт! Жми одну из трёх кнопок"_w;
        case kFishStatusEarly: return "обломилось"_w;
        case kFishStatusCatch: return "откат или кастинг"_w;
        case kFishStatusBig: return "КРИТ"_w;
        case kFishStatusMissed: return "МИМО"_w;
        default: return "(рыбность места) Смотри телик. Жди включения доп кнопок"_w;
    }
}
