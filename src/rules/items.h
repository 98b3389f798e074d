// Items the hero owns: the item kinds with their short names, the backpack's
// eight slots, the five worn places, the kvass timer, and the operations of
// buying, using, wearing and throwing away, loot bags, the mechanic's trade
// and the smith's repair and reforge.
//
// Figures are remembered by slot number (0 = none), so the record is plain
// words; every user checks the slot still holds an item figure.
#pragma once

struct Fgr;

inline constexpr int kBackpackSlots = 8;
inline constexpr int kItemKinds = 14;
inline constexpr int kKvassMs = 300100;

// Item kind codes.
enum ItemKind : int {
    kItemSuitChic = 1,      // "шикарня"
    kItemSuitBrave = 2,     // "отважный"
    kItemSuitArmour = 3,    // "броник"
    kItemKnife = 4,
    kItemSword = 5,
    kItemAxe = 6,
    kItemMedkit = 7,
    kItemKvass = 8,
    kItemCap = 9,
    kItemChainsaw = 10,
    kItemRod = 11,
    kItemPantsApprentice = 12,
    kItemPantsFortune = 13,
    kItemBoots = 14,
};

// Where an item goes when it is used.
enum ItemPlace : int {
    kPlaceSuit = 1,
    kPlaceHand,
    kPlaceUsedUp,
    kPlaceCap,
    kPlaceRod,
    kPlacePants,
    kPlaceBoots,
};

struct ItemKindInfo {
    const char* shortName;   // Windows-1251, as the backpack shows it
    int place;
    int handType;            // hand item type (4, 5, 6, 10), else 0
    int picture;             // texture slot of the item's picture
};
// Row of an item kind 1..14, or null.
const ItemKindInfo* ItemKindFind(int kind);

struct BackpackState {
    int slotKind[kBackpackSlots + 1];     // 1..8, 0 = empty
    int slotFigure[kBackpackSlots + 1];   // item figure slot, 0 = none
    int selectedSlot;                     // 0 = none
    int wearInHand, wearSuit, wearCap, wearPants, wearBoots;   // item kinds, 0 = nothing
    int suitChangedToday;
    int kvassTimer;                       // ms
    int assistantDroid;                   // the mechanic's droid (unit slot), 0 = none
};
extern BackpackState backpack;

void BackpackReset();
// The new day's part: the suit may change again, the kvass wears off.
void BackpackNewDay();
// Per frame: the kvass timer.
void BackpackTick();

// First empty slot 1..8 (its figure cleared), or 0 with a message; clears
// the selection.
int FreeSlot();
// Stores an item of kind 1..14 (suits and a chainsaw without a figure get
// a new one). 0 when refused; a figure passed in is then removed.
int AddToBackpack(int kind, Fgr* figure);
// Pays price and adds the item. The money stays paid when the backpack is
// full. 1 when the item was added.
int Buy(int kind, int price);
// First slot holding kind, or 0.
int BackpackHolds(int kind);
// The item figure of slot 1..8 while it still is one, else null.
Fgr* BackpackFigure(int slot);

// A click on backpack slot 1..8: 1 when the item window opens for it.
int SelectSlot(int slot);
// The item window's buttons: 1 use, 2 throw away, else cancel. Closes the
// selection.
void ItemWindowButton(int n);
void UseSelected();

// Takes n gems of random colours (half with the apprentice pants), in at
// most 99 draws; 0 when they were not enough (nothing is then taken).
int PayIngots(int n);

// Puts on the suit figure of the selected slot (once a day); the worn one
// goes into the slot.
void WearSuit(Fgr* item);
// Takes the hand item of the selected slot into the hero's hand; the held
// one goes into the slot.
void EquipHand(Fgr* item);
// The hero picks up a loot bag.
void LootBag(Fgr* hero, Fgr* bag);
// The mechanic's options: 1..3 buy a droid (1 when bought), 4 sells the
// backpack's knives and swords.
int MechanicDeal(Fgr* npc, int option);
// The "ко мне" button: the droid walks to the hero.
void DroidComeHere();
int HasAssistantDroid();
void RepairAxes();
// The smith's reforge of the held blade of type with a twin from the
// backpack; 1 when a new blade was made. Without the gems the twin is lost.
int Reforge(int type, int price);
