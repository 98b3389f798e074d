// Items, backpack, shop and forge.
#include "rules/items.h"

#include <cstdio>

#include "app/frame.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "world/fgr.h"

BackpackState backpack;

namespace {

// Texture slots of the item pictures (the picture list names them).
constexpr ItemKindInfo kItems[kItemKinds] = {
    {"шикарня"_w, kPlaceSuit, 0, 0},
    {"отважный"_w, kPlaceSuit, 0, 0},
    {"броник"_w, kPlaceSuit, 0, 0},
    {"нож1"_w, kPlaceHand, 4, 0},
    {"меч2"_w, kPlaceHand, 5, 0},
    {"топор3"_w, kPlaceHand, 6, 0},
    {"аптеч"_w, kPlaceUsedUp, 0, 0},
    {"квас"_w, kPlaceUsedUp, 0, 0},
    {"кепка"_w, kPlaceCap, 0, 0},
    {"б-пила"_w, kPlaceHand, 10, 0},
    {"удочка"_w, kPlaceRod, 0, 0},
    {"штаны1"_w, kPlacePants, 0, 0},
    {"штаны2"_w, kPlacePants, 0, 0},
    {"сапоги"_w, kPlaceBoots, 0, 0},
};

constexpr int kMedkitHeal = 200;
constexpr int kIngotDraws = 99;

void Post(const char* format, int value) {
    char line[128];
    std::snprintf(line, sizeof line, format, value);
    PostMsg(line);
}

bool HeroAlive() { return FgrAlive(fgrMainHero) && !fgrMainHero->dead; }

void EmptySlot(int s) {
    if (Fgr* f = FgrAt(backpack.slotFigure[s]); f && f->fgrKind == kKindHandItem && !f->owner) FgrRemove(f);
    backpack.slotKind[s] = 0;
    backpack.slotFigure[s] = 0;
}

// Swaps the slot's kind with a worn place.
void SwapWorn(int s, int* place) {
    const int old = *place;
    *place = backpack.slotKind[s];
    backpack.slotKind[s] = old;
    backpack.slotFigure[s] = 0;
}

}  // namespace

const ItemKindInfo* ItemKindFind(int kind) {
    return kind >= 1 && kind <= kItemKinds ? &kItems[kind - 1] : nullptr;
}

void BackpackReset() { backpack = BackpackState{}; }

void BackpackNewDay() {
    backpack.suitChangedToday = 0;
    backpack.kvassTimer = 0;
}

void BackpackTick() {
    if (backpack.kvassTimer > 0) Countdown(&backpack.kvassTimer);
}

int FreeSlot() {
    backpack.selectedSlot = 0;
    for (int s = 1; s <= kBackpackSlots; ++s)
        if (backpack.slotKind[s] == 0) {
            backpack.slotFigure[s] = 0;
            return s;
        }
    PostMsg("(Рюкзак героя) Нет свободных мест."_w);
    return 0;
}

int AddToBackpack(int kind, Fgr* figure) {
    const int s = kind >= 1 && kind <= kItemKinds ? FreeSlot() : 0;
    if (s == 0) {
        // A figure made for the backpack would stay behind unowned.
        if (figure && !figure->owner) FgrRemove(figure);
        return 0;
    }
    backpack.slotKind[s] = kind;
    backpack.slotFigure[s] = FgrSlotOf(figure);
    return 1;
}

int Buy(int kind, int price) {
    int& gold = heroCombat.heroGold;
    if (gold < price) {
        PostMsg("(Магазин) не хватает денег у героя."_w);
        return 0;
    }
    gold -= price;
    return AddToBackpack(kind, nullptr);
}

int BackpackHolds(int kind) {
    for (int s = 1; s <= kBackpackSlots; ++s)
        if (backpack.slotKind[s] == kind) return s;
    return 0;
}

int SelectSlot(int slot) {
    if (!HeroAlive() || heroCombat.strikeCooldown > 0 || worldPaused || backpack.selectedSlot != 0) return 0;
    if (slot < 1 || slot > kBackpackSlots || backpack.slotKind[slot] == 0) return 0;
    backpack.selectedSlot = slot;
    return 1;
}

void ItemWindowButton(int n) {
    const int s = backpack.selectedSlot;
    if (HeroAlive() && s >= 1 && s <= kBackpackSlots) {
        if (n == 1) {
            UseSelected();
        } else if (n == 2) {
            EmptySlot(s);
            PostMsg("Выкинули предмет."_w);
        }
    }
    backpack.selectedSlot = 0;
}

void UseSelected() {
    const int s = backpack.selectedSlot;
    Fgr* hero = fgrMainHero;
    if (!HeroAlive() || s < 1 || s > kBackpackSlots || heroCombat.strikeCooldown > 0) return;
    if (fishing.fishState == kFishWaiting || fishing.fishState == kFishBiting) return;
    switch (backpack.slotKind[s]) {
        case kItemMedkit:
            StatAdd(hero, kStNormHP, kMedkitHeal);
            EmptySlot(s);
            Post("Применили аптечку - подлечились на %d"_w, kMedkitHeal);
            break;
        case kItemKvass:
            backpack.kvassTimer = kKvassMs;
            EmptySlot(s);
            PostMsg("Квас - у героя повышена скорость движения и уверености"_w);
            break;
        case kItemCap: SwapWorn(s, &backpack.wearCap); break;
        case kItemPantsApprentice:
        case kItemPantsFortune: SwapWorn(s, &backpack.wearPants); break;
        case kItemBoots: SwapWorn(s, &backpack.wearBoots); break;
        case kItemRod: StartFishing(); break;
        default: break;
    }
}

int PayIngots(int n) {
    if (backpack.wearPants == kItemPantsApprentice) {
        PostMsg("(Кузня) экономия вир-слитков от штанов"_w);
        n /= 2;
    }
    int taken[5] = {};
    for (int draw = 0; draw < kIngotDraws && n > 0; ++draw) {
        const int colour = 1 + Rand() % 4;
        int* gem = GemCounter(colour);
        if (*gem > 0) {
            --*gem;
            ++taken[colour];
            --n;
        }
    }
    if (n <= 0) return 1;
    // Nothing is made, so nothing is kept: the gems drawn go back.
    for (int c = 1; c <= 4; ++c) *GemCounter(c) += taken[c];
    PostMsg("(Кузня) вир-слитков не хватило"_w);
    return 0;
}

int MechanicDeal(Fgr*, int) {
    PostMsg("(Механик) дройды ещё в сборке"_w);
    return 0;
}

void RepairAxes() { PostMsg("(Кузня) горн ещё не разожжён"_w); }

int Reforge(int, int) {
    PostMsg("(Кузня) горн ещё не разожжён"_w);
    return 0;
}
