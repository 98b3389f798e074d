// Items, backpack, shop and forge.
#include "rules/items.h"

#include "app/frame.h"
#include "app/msgfeed.h"
#include "io/cp1251.h"

BackpackState backpack;

namespace {

// Pictures: texture slots of the item pictures (see the picture list).
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
