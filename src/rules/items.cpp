// Items, backpack, shop and forge.
#include "rules/items.h"

#include <cstdio>

#include "app/frame.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/filters.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "world/fgr.h"
#include "world/spawn.h"

BackpackState backpack;

namespace {

// Short names, places, hand types and the texture slots of the pictures
// (item kind k is drawn from slot 100 + k of the picture list).
constexpr ItemKindInfo kItems[kItemKinds] = {
    {"шикарня"_w, kPlaceSuit, 0, 101},
    {"отважный"_w, kPlaceSuit, 0, 102},
    {"броник"_w, kPlaceSuit, 0, 103},
    {"нож1"_w, kPlaceHand, 4, 104},
    {"меч2"_w, kPlaceHand, 5, 105},
    {"топор3"_w, kPlaceHand, 6, 106},
    {"аптеч"_w, kPlaceUsedUp, 0, 107},
    {"квас"_w, kPlaceUsedUp, 0, 108},
    {"кепка"_w, kPlaceCap, 0, 109},
    {"б-пила"_w, kPlaceHand, 10, 110},
    {"удочка"_w, kPlaceRod, 0, 111},
    {"штаны1"_w, kPlacePants, 0, 112},
    {"штаны2"_w, kPlacePants, 0, 113},
    {"сапоги"_w, kPlaceBoots, 0, 114},
};

constexpr int kMedkitHeal = 200;
constexpr int kChainsawDamage = 50;
constexpr int kSaleBladePrice = 5;
constexpr int kIngotDraws = 99;
constexpr int kWolfType = 11;

// The suits' filter groups: code, value, pct, spread, stage.
struct SuitFilter {
    int code, value, pct, spread, stage;
};
constexpr SuitFilter kSuitFilters[3][2] = {
    {{kStNormHP, -9, 0, 67, 3}, {kStHot, 50, 1, 100, 2}},
    {{kStNormHP, -30, 1, 50, 3}, {kStHot, -60, 1, 50, 3}},
    {{kStNormHP, -50, 1, 50, 3}, {0, 0, 0, 0, 0}},
};

// The mechanic's droids by option 1..3.
struct DroidInfo {
    int price, unitKind, hp, gunKind, range, reload;
    const char* name;
    int rank;
};
constexpr DroidInfo kDroids[3] = {
    {100, kKindUnitBandit, 250, kKindGun421, 70, 4200, "Дройд1"_w, 2},
    {200, kKindUnitBandit, 400, kKindGun421, 50, 3900, "Дройд2"_w, 3},
    {300, kKindUnitDog, 550, kKindGun421, 40, 3500, "Дройд3"_w, 4},
};
constexpr int kDroidTint = 0x9FC8FF;

void Post(const char* format, int value) {
    char line[128];
    std::snprintf(line, sizeof line, format, value);
    PostMsg(line);
}

bool HeroAlive() { return FgrAlive(fgrMainHero) && !fgrMainHero->dead; }

// An item figure of a backpack slot: the slot's figure when it is still an
// item figure with the expected role, else null.
Fgr* ItemFigure(int figureSlot, int role) {
    Fgr* f = FgrAt(figureSlot);
    return f && f->fgrKind == kKindHandItem && f->attachRole == role ? f : nullptr;
}

Fgr* MakeSuit(int kind) {
    Fgr* s = FgrCreateFigure(kKindHandItem, 0.0f, 0.0f);
    if (!s) return nullptr;
    s->attachRole = kRoleSuit;
    s->unitType = kind;
    for (const SuitFilter& f : kSuitFilters[kind - 1])
        if (f.code) PKuAdd(s->kor.pKu, f.code, f.value, f.pct, f.spread, f.stage);
    return s;
}

void EmptySlot(int s) {
    if (Fgr* f = FgrAt(backpack.slotFigure[s]); f && f->fgrKind == kKindHandItem && !f->owner) FgrRemove(f);
    backpack.slotKind[s] = 0;
    backpack.slotFigure[s] = 0;
}

// Swaps the selected slot's kind with a worn place.
void SwapWorn(int s, int* place) {
    const int old = *place;
    *place = backpack.slotKind[s];
    backpack.slotKind[s] = old;
    backpack.slotFigure[s] = 0;
}

Fgr* HeroSuitFigure() {
    Fgr* hero = fgrMainHero;
    return hero && hero->single2 && hero->single2->attachRole == kRoleSuit ? hero->single2 : nullptr;
}

// Adds a blade of type with damage to the backpack (the figure is made first).
int AddBlade(int type, int damage, int comboLevel = 0) {
    Fgr* item = MakeHandItem(type, comboLevel, damage);
    if (!item) return 0;
    return AddToBackpack(type, item);
}

Fgr* DroidAlive() {
    Fgr* d = FgrAt(backpack.assistantDroid);
    if (d && d->fgrKind != 0 && !d->dead && d->side == kSidePlayer && FgrIsUnit(d)) return d;
    backpack.assistantDroid = 0;
    return nullptr;
}

}  // namespace

const ItemKindInfo* ItemKindFind(int kind) {
    return kind >= 1 && kind <= kItemKinds ? &kItems[kind - 1] : nullptr;
}

Fgr* BackpackFigure(int slot) {
    if (slot < 1 || slot > kBackpackSlots) return nullptr;
    Fgr* f = FgrAt(backpack.slotFigure[slot]);
    return f && f->fgrKind == kKindHandItem ? f : nullptr;
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
    if (kind <= kItemSuitArmour && !figure) figure = MakeSuit(kind);
    if (kind == kItemChainsaw && !figure) figure = MakeHandItem(kItemChainsaw, 0, kChainsawDamage);
    if (figure && kItems[kind - 1].place == kPlaceHand) figure->attachRole = kRoleInHand;
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
    if (!HeroAlive() || s < 1 || s > kBackpackSlots) {
        backpack.selectedSlot = 0;
        return;
    }
    if (n == 1) {
        UseSelected();
    } else if (n == 2) {
        EmptySlot(s);
        PostMsg("Выкинули предмет."_w);
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
        case kItemSuitChic:
        case kItemSuitBrave:
        case kItemSuitArmour:
            WearSuit(FgrAt(backpack.slotFigure[s]));
            break;
        case kItemCap: SwapWorn(s, &backpack.wearCap); break;
        case kItemPantsApprentice:
        case kItemPantsFortune: SwapWorn(s, &backpack.wearPants); break;
        case kItemBoots: SwapWorn(s, &backpack.wearBoots); break;
        case kItemKnife:
        case kItemSword:
        case kItemAxe:
        case kItemChainsaw:
            EquipHand(FgrAt(backpack.slotFigure[s]));
            break;
        case kItemRod: StartFishing(); break;
        default: break;
    }
}

void WearSuit(Fgr* item) {
    const int s = backpack.selectedSlot;
    Fgr* hero = fgrMainHero;
    if (!hero || s < 1 || s > kBackpackSlots || !ItemFigure(FgrSlotOf(item), kRoleSuit)) return;
    if (backpack.suitChangedToday) {
        PostMsg("(Правила) В этот день костюм уже не сменить."_w);
        return;
    }
    backpack.suitChangedToday = 1;
    Fgr* old = HeroSuitFigure();
    if (old) {
        Detach(old);
        old->attachRole = kRoleSuit;
    }
    const int oldKind = backpack.wearSuit;
    backpack.wearSuit = backpack.slotKind[s];
    backpack.slotKind[s] = old ? oldKind : 0;
    backpack.slotFigure[s] = FgrSlotOf(old);
    item->attachRole = 0;
    if (!AttachByRole(hero, item, kRoleSuit)) item->attachRole = kRoleSuit;
}

void EquipHand(Fgr* item) {
    const int s = backpack.selectedSlot;
    Fgr* hero = fgrMainHero;
    if (!hero || s < 1 || s > kBackpackSlots || !ItemFigure(FgrSlotOf(item), kRoleInHand)) return;
    Fgr* held = HeroHandItem();
    if (held) {
        Detach(held);
        held->attachRole = kRoleInHand;
    }
    const int oldKind = backpack.wearInHand;
    backpack.wearInHand = backpack.slotKind[s];
    backpack.slotKind[s] = held ? (oldKind ? oldKind : held->unitType) : 0;
    backpack.slotFigure[s] = FgrSlotOf(held);
    item->attachRole = 0;
    if (!AttachByRole(hero, item, kRoleInHand)) item->attachRole = kRoleInHand;
}

void LootBag(Fgr* hero, Fgr* bag) {
    if (!hero || !bag) return;
    heroCombat.heroGold += RandRange(1, 3);
    if (bag->lootKind == kWolfType) {
        if (Rand() % 5 == 0) AddToBackpack(kItemCap, nullptr);
        return;
    }
    StatAdd(hero, kStNormHP, StatGet(hero, kStNormHPMax) * 5 / 100);
    if (backpack.wearInHand == 0 && !HeroHandItem()) {
        if (AddBlade(kItemKnife, RandRange(10, 11)))
            PostMsg("У героя появился нож - экипируй - кликни на нож"_w);
        return;
    }
    if (Rand() % 5 != 0) {
        if (Rand() % 2 == 0) AddBlade(kItemKnife, RandRange(10, 11));
        else AddBlade(kItemSword, RandRange(18, 20));
    } else if (Rand() % 3 != 0) {
        AddToBackpack(Rand() % 2 == 0 ? kItemPantsApprentice : kItemPantsFortune, nullptr);
    } else {
        AddToBackpack(kItemSuitBrave, nullptr);
    }
}

int MechanicDeal(Fgr* npc, int option) {
    if (option >= 1 && option <= 3) {
        if (!npc || DroidAlive()) return 0;
        const DroidInfo& d = kDroids[option - 1];
        if (heroCombat.heroGold < d.price) return 0;
        Fgr* droid = Fgrs_AddUnitHPGun(d.unitKind, d.hp, d.gunKind, d.range, d.reload, kSidePlayer,
                                       npc->x, npc->z, 0);
        if (!droid) return 0;
        heroCombat.heroGold -= d.price;
        FgrSetName(droid, d.name);
        droid->unitExpRang = d.rank;
        droid->useNormHP = 1;
        droid->colour[kColR] = (kDroidTint >> 16) & 255;
        droid->colour[kColG] = (kDroidTint >> 8) & 255;
        droid->colour[kColB] = kDroidTint & 255;
        backpack.assistantDroid = FgrSlotOf(droid);
        return 1;
    }
    if (option == 4) {
        int sold = 0;
        for (int s = 1; s <= kBackpackSlots; ++s)
            if (backpack.slotKind[s] == kItemKnife || backpack.slotKind[s] == kItemSword) {
                EmptySlot(s);
                ++sold;
            }
        heroCombat.heroGold += sold * kSaleBladePrice;
        PostMsg(sold ? "(Продажа) ножи и мечи сданы по 5 рублей за штуку"_w
                     : "(Продажа) нужны ножи и мечи - их не было у героя"_w);
    }
    return 0;
}

void DroidComeHere() {
    Fgr* d = DroidAlive();
    if (d && fgrMainHero) FgrMoveOrderXZ(d, fgrMainHero->x, fgrMainHero->z, 0);
}

int HasAssistantDroid() { return DroidAlive() != nullptr; }

void RepairAxes() {
    int repaired = 0;
    Fgr* held = HeroHandItem();
    if (held && held->unitType == kItemAxe) {
        held->wearNow = held->wearMax;
        ++repaired;
    }
    for (int s = 1; s <= kBackpackSlots; ++s)
        if (Fgr* f = ItemFigure(backpack.slotFigure[s], kRoleInHand); f && f->unitType == kItemAxe) {
            f->wearNow = f->wearMax;
            ++repaired;
        }
    PostMsg(repaired ? "Починили свой топор (все топоры, как новые)"_w
                     : "Чинятся только топоры - их не было у героя"_w);
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
    // Nothing is bought, so nothing is kept: the gems drawn go back.
    for (int c = 1; c <= 4; ++c) *GemCounter(c) += taken[c];
    PostMsg("(Кузня) вир-слитков не хватило"_w);
    return 0;
}

int Reforge(int type, int price) {
    Fgr* held = HeroHandItem();
    if (!held || held->unitType != type) {
        PostMsg("Экипируй на героя, одно из двух орудий синтэза"_w);
        return 0;
    }
    int twin = 0;
    for (int s = 1; s <= kBackpackSlots && !twin; ++s) {
        const Fgr* f = ItemFigure(backpack.slotFigure[s], kRoleInHand);
        if (f && f->unitType == type && f->damage == held->damage && f->comboLevel == held->comboLevel) twin = s;
    }
    if (!twin) return 0;
    EmptySlot(twin);
    const int level = held->comboLevel;
    const int gems = level == 0 ? 2 : level == 1 ? 4 : level == 2 ? 8 : 0;
    const int add = gems;
    if (gems && !PayIngots(gems)) {
        PostMsg("(Кузня) второе орудие сгорело в горне без вир-слитков"_w);
        return 0;
    }
    if (gems) heroCombat.heroGold -= price * (level + 1);
    held->comboLevel = level + 1;
    held->wearNow = held->wearMax;
    held->damage += add + Rand() % 2;
    return 1;
}
