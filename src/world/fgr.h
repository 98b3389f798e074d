// Figures: the Fgr record, the figure table of 6000 usable slots and the
// operations every kind shares (create, reset, remove, attach, side, name,
// move orders) plus the world update pass that runs fnUpdate.
//
// The saved part of a figure is two flat blocks, the integer words I0..I104
// and the float words F0..F30, written and read by position. Every word that
// any part of the game gives a meaning has a name below; the comment after
// it is its position. docs/figure-words.md holds the same map as a table.
// Do not move a field: the figure files depend on these positions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "world/pools.h"

struct Fgr;
using FgrFn = void (*)(Fgr*);

inline constexpr int kFigureSlots = 6000;        // usable slots 1..6000
inline constexpr int kFgrIntWords = 105;         // I0..I104
inline constexpr int kFgrFloatWords = 31;        // F0..F30
inline constexpr int kFgrPathSteps = 40;
inline constexpr int kFgrNameBytes = 13;         // 12 characters and a zero
inline constexpr int kFgrResetTailWords = 31;    // I74..I104 are zeroed by reset

// fgrClass
inline constexpr int kClassObject = 0;
inline constexpr int kClassUnit = 1;
inline constexpr int kClassGun = 2;
inline constexpr int kClassGroup = 3;

inline constexpr int kSidePlayer = 2;
inline constexpr int kAnchorNone = 9999;         // kind 6 anchors before placing

// Kind codes the game names.
enum FgrKind : int {
    kKindEffect = 3,          // animated effect
    kKindMarker = 5,          // marker pair
    kKindCellBound = 6,       // treasure and trap figure
    kKindStructBig = 21,      // bunker layer: adds to its side's first resource
    kKindStructBig2 = 31,
    kKindStructPlain = 22,    // structure without operations
    kKindStructTurn = 24,     // turns towards the mouse point
    kKindStructDeposit = 26,  // produces on deposit cells
    kKindLoot = 25,           // unitType 1 chest, 2 gold heap, 3 trash, 4 drop bag
    kKindPlant = 32,          // unitType 1..4 bushes, 5 palm, 6 and 7 scenery
    kKindCrystal = 33,
    kKindHero = 100,
    kKindLair201 = 201,
    kKindLair401 = 401,
    kKindLairForest = 601,
    kKindLairWater = 801,
    kKindLairPartBare = 804,
    kKindUnitSkeleton = 211,
    kKindNpc = 411,
    kKindUnitBandit = 415,
    kKindUnitDog = 420,
    kKindUnitBunker = 501,
    kKindUnitForest = 611,
    kKindUnitDemon = 614,
    kKindUnitWater = 811,
    kKindGun212 = 212,
    kKindGun416 = 416,        // the hero's first gun
    kKindHandItem = 417,      // items: in-hand weapons, suits
    kKindGun421 = 421,
    kKindGun612 = 612,
    kKindGun812 = 812,
    kKindGun1001 = 1001,
    kKindGun1201 = 1201,
    kKindGun1202 = 1202,
    kKindGun1316 = 1316,
    kKindGun1317 = 1317,
    kKindGroup213 = 213,
    kKindBand = 422,          // "Лесные духи" / "Водные духи"
    kKindGroup613 = 613,
    kKindGroup813 = 813,
};

// A collected crystal grows back after a while drawn between these (ms).
inline constexpr int kCrystalRegrowMin = 90000;
inline constexpr int kCrystalRegrowMax = 150000;

// colour[] order
inline constexpr int kColA = 0, kColR = 1, kColG = 2, kColB = 3;

struct FgrPathStep {
    std::int32_t x;   // column
    std::int32_t z;   // row
};

struct Fgr {
    // --- runtime, not saved ---------------------------------------------------
    FgrFn fnUpdate;
    FgrFn fnDraw;
    FgrFn fnDrawOver;
    Fgr* target1;
    Fgr* target2;
    std::int32_t scratch[4];
    Fgr* owner;               // unit for a gun, group for a unit
    std::int32_t ownerWord;
    Fgr* next;                // next sibling in the owner's list
    Fgr* single1;             // three single children, removed with the figure
    Fgr* single2;
    Fgr* single3;
    Fgr* members;             // member list of a group
    Fgr* list2;
    Fgr* list3;
    Fgr* guns;                // attached guns (the weapon chain)
    Fgr* list5;
    Fgr* list6;
    std::int32_t slotIndex;

    // --- saved integer block I0..I104 ----------------------------------------
    std::int32_t attachRole;      // I0   role in the owner's chains (2 weapon, 3, 4 in hand, 6 suit)
    std::int32_t fgrKind;         // I1   0 = free slot
    std::int32_t active;          // I2
    std::int32_t bornNow;         // I3
    std::int32_t frameFlag;       // I4   cleared after the figure's update
    std::int32_t serial;          // I5
    std::int32_t groupNumber;     // I6   group link's number (601, 801; aura mode 4)
    std::int32_t fgrClass;        // I7
    std::int32_t useNormHP;       // I8
    std::int32_t useCaptHP;       // I9
    std::int32_t useTehnHP;       // I10
    std::int32_t gunCount;        // I11
    std::int32_t unitExpRang;     // I12  rank, 0 = gives no experience
    std::int32_t unitExpNow;      // I13
    std::int32_t unitExpNext;     // I14
    std::int32_t expReward;       // I15  0 means 100
    std::int32_t firstHitBy;      // I16  serial of the first figure that hit it, 0 = none
    std::int32_t gunCapacity;     // I17
    std::int32_t panic;           // I18
    std::int32_t panicOut;        // I19
    std::int32_t tactic;          // I20  aura groups counted in the last aura pass
    std::int32_t auraMode;        // I21
    std::int32_t dead;            // I22  dead state
    std::int32_t stateFlag;       // I23  bushes, townspeople, the boss
    std::int32_t firstAnchor;     // I24
    std::int32_t secondAnchor;    // I25
    std::int32_t footprintCell;   // I26
    std::int32_t footprintShape;  // I27
    std::int32_t talkFlag;        // I28  townsperson may talk
    std::int32_t chaseTimer;      // I29  ms
    std::int32_t baseSide;        // I30
    std::int32_t voiceTimer;      // I31  creature-voice timer, ms
    std::int32_t regenPeriod;     // I32  ms
    std::int32_t regenCountdown;  // I33  ms
    std::int32_t seenBySide[5];   // I34..I38  index side - 1
    std::int32_t visibleToPlayer; // I39
    std::int32_t variant;         // I40  pickup variant
    std::int32_t pickValue;       // I41  pickup value
    std::int32_t collected;       // I42  crystal collected state
    std::int32_t regrowTimer;     // I43  crystal, ms
    std::int32_t regrowMin;       // I44  crystal regrow bounds, ms
    std::int32_t period;          // I45
    std::int32_t countdown;       // I46
    std::int32_t regrowMax;       // I47
    std::int32_t lootKind;        // I48  drop bag: monster type it came from
    std::int32_t lairTimer;       // I49  ms
    std::int32_t homeCell;        // I50  band home cell
    std::int32_t wearNow;         // I51  hand item
    std::int32_t wearMax;         // I52  hand item
    std::int32_t target3Slot;     // I53  third target as a slot number
    std::int32_t comboLevel;      // I54  hand item
    std::int32_t runFlag;         // I55  move order with running
    std::int32_t damage;          // I56  hand item
    std::int32_t dyingTimer;      // I57
    std::int32_t iw58;            // I58
    std::int32_t picture;         // I59
    std::int32_t colour[4];       // I60..I63  alpha, red, green, blue
    std::int32_t reach;           // I64  also a gun's range / auraRadius
    std::int32_t onPath;          // I65
    std::int32_t onPathNext;      // I66
    std::int32_t onPathLen;       // I67
    std::int32_t targPathKle;     // I68
    std::int32_t moveMode;        // I69
    std::int32_t side;            // I70
    std::int32_t removeRequest;   // I71  pending removal
    std::int32_t iw72;            // I72
    std::int32_t targetable;      // I73  may be hovered/selected by another side
    std::int32_t iw74;            // I74
    std::int32_t unitType;        // I75  monster type, NPC number, plant/loot/crystal/item type
    std::int32_t onMap;           // I76  holds a cell's fgrKey
    std::int32_t lairSlot[9];     // I77..I85   slot numbers of the band's monsters
    std::int32_t lairDest[9];     // I86..I94   their destination cells
    std::int32_t kindWords[10];   // I95..I104  free for a kind's own use

    // --- saved float block F0..F30 -------------------------------------------
    float angle;                  // F0   heading (hero angle, turning structures)
    float drawW;                  // F1   sprite width factor (plants)
    float drawH;                  // F2   sprite height factor
    float x;                      // F3
    float z;                      // F4
    float size;                   // F5   collision radius
    float baseSpeed;              // F6   walking speed before terrain changes it
    float segmentLength;          // F7
    float segmentDone;            // F8
    float speed;                  // F9
    float kindFloats[21];         // F10..F30

    // --- runtime -----------------------------------------------------------------
    std::int32_t runtime[5];

    // --- saved ---------------------------------------------------------------------
    FgrPathStep pathStep[kFgrPathSteps];
    char figureName[kFgrNameBytes];
    float segmentStartX, segmentStartZ;
    float segmentDirX, segmentDirZ;

    Kor kor;
};

// The saved blocks are read and written as flat words.
inline constexpr std::size_t kFgrIntBlock = offsetof(Fgr, attachRole);
inline constexpr std::size_t kFgrFloatBlock = offsetof(Fgr, angle);
#define BD_FGR_WORD(field, n) static_assert(offsetof(Fgr, field) == kFgrIntBlock + 4 * (n), #field)
BD_FGR_WORD(fgrKind, 1);
BD_FGR_WORD(fgrClass, 7);
BD_FGR_WORD(gunCount, 11);
BD_FGR_WORD(gunCapacity, 17);
BD_FGR_WORD(firstAnchor, 24);
BD_FGR_WORD(baseSide, 30);
BD_FGR_WORD(seenBySide, 34);
BD_FGR_WORD(period, 45);
BD_FGR_WORD(target3Slot, 53);
BD_FGR_WORD(runFlag, 55);
BD_FGR_WORD(dyingTimer, 57);
BD_FGR_WORD(picture, 59);
BD_FGR_WORD(colour, 60);
BD_FGR_WORD(reach, 64);
BD_FGR_WORD(targPathKle, 68);
BD_FGR_WORD(side, 70);
BD_FGR_WORD(targetable, 73);
BD_FGR_WORD(unitType, 75);
BD_FGR_WORD(onMap, 76);
BD_FGR_WORD(lairSlot, 77);
BD_FGR_WORD(kindWords, 95);
#undef BD_FGR_WORD
static_assert(kFgrFloatBlock == kFgrIntBlock + 4 * kFgrIntWords, "float block follows I104");
static_assert(offsetof(Fgr, x) == kFgrFloatBlock + 4 * 3, "x is F3");
static_assert(offsetof(Fgr, size) == kFgrFloatBlock + 4 * 5, "size is F5");
static_assert(offsetof(Fgr, speed) == kFgrFloatBlock + 4 * 9, "speed is F9");
static_assert(offsetof(Fgr, runtime) == kFgrFloatBlock + 4 * kFgrFloatWords, "F30 is last");

// Word access by position (the file code and the validators use these).
std::int32_t FgrIntWord(const Fgr* f, int n);
void FgrSetIntWord(Fgr* f, int n, std::int32_t v);
float FgrFloatWord(const Fgr* f, int n);
void FgrSetFloatWord(Fgr* f, int n, float v);

// --- the table ------------------------------------------------------------------

extern Fgr FigureTable[kFigureSlots + 1];   // slot 0 is never handed out
extern int nextSlot;       // cyclic cursor, starts at 1
extern int createLock;     // creation fails while non-zero
extern int fgrSerial;      // next serial number, starts at 1
extern Fgr* fgrMainHero;
extern Fgr* pBos;          // the forest demon

inline Fgr* FgrAt(int slot) {
    return slot >= 1 && slot <= kFigureSlots ? &FigureTable[slot] : nullptr;
}
inline int FgrSlotOf(const Fgr* f) {
    return f ? static_cast<int>(f - FigureTable) : 0;
}

// The table, its cursors, the hero and boss links back to the start values;
// every slot free and reset, slotIndex set (tests, game start).
void FiguresReset();
// Sets slotIndex of every slot (game start).
void FgrNumberSlots();

// --- the kind table -----------------------------------------------------------------

inline constexpr int kKindDormant = 1;       // initialiser leaves active 0
inline constexpr int kKindAnchorsNone = 2;   // both anchors start at 9999

struct FgrKindInfo {
    std::int16_t kind;
    std::int8_t fgrClass;
    std::int8_t korSet;        // kKorNone / kKorFull / kKorLight
    std::int8_t needs;         // kNeed* bits logged when missing
    std::int8_t flags;         // kKindDormant, kKindAnchorsNone
    std::int8_t moveMode;
    std::int8_t gunCapacity;
    std::int8_t footprintShape;
    std::int16_t alpha;        // 0 = keep 255
    std::int16_t size;         // 0 = keep reset 1.0
    std::int16_t reach;
    std::int32_t period;       // period and countdown
    std::int32_t tint;         // 0 = none, else 0xRRGGBB
    float speed;
    FgrFn fnUpdate;
    FgrFn fnDraw;
    FgrFn fnDrawOver;
};

// Row of a kind code, or null for an unrecognised code.
const FgrKindInfo* FgrKindFind(int kind);

// Behaviour hooks: other subsystems install their operations per kind at
// start-up (the world keeps empty ones until then). Null clears.
void FgrSetKindOps(int kind, FgrFn update, FgrFn draw, FgrFn drawOver);
// The same for one side only, leaving the other as it is.
void FgrSetKindUpdate(int kind, FgrFn update);
void FgrSetKindDraw(int kind, FgrFn draw, FgrFn drawOver);
// Reinstalls the world's own operations (tests).
void FgrKindOpsReset();

// --- operations ---------------------------------------------------------------------

// Creates a figure of kind at (x, z): slot 1..6000, or 0 on failure
// (lock set, unknown kind, table full).
int FgrCreate(int kind, float x, float z);
Fgr* FgrCreateFigure(int kind, float x, float z);   // same, as a record or null

// Reset to a free, zeroed slot (releases its pool records).
void FgrReset(Fgr* f);
// Recursive removal: children, guns, members; kind becomes 0.
void FgrRemove(Fgr* f);
// Takes f out of its owner's list or single slot (owner and next cleared).
void FgrUnlink(Fgr* f);

// A reference is alive while its slot has a kind and is active.
inline bool FgrAlive(const Fgr* f) { return f && f->fgrKind != 0 && f->active != 0; }
inline bool FgrIsUnit(const Fgr* f) { return f && f->fgrClass == kClassUnit; }
inline bool FgrIsGun(const Fgr* f) { return f && f->fgrClass == kClassGun; }
inline bool FgrIsGroup(const Fgr* f) { return f && f->fgrClass == kClassGroup; }
inline bool FgrSameSide(const Fgr* a, const Fgr* b) { return a && b && a->side == b->side; }

// Appends gun to unit's guns. Fails on capacity, a non-gun, a gun that
// already has an owner or a next link.
bool FgrAttachGun(Fgr* unit, Fgr* gun);
// Side 1..5 (groups pass it to every member). False for other values.
bool FgrSetSide(Fgr* f, int side);
// Names longer than 12 bytes are ignored.
void FgrSetName(Fgr* f, const char* text);
// Move order to a cell (negative: no target). run != 0 sets the run word;
// run 0 also drops both targets.
void FgrMoveOrder(Fgr* f, int cell, int run);
void FgrMoveOrderXZ(Fgr* f, float x, float z, int run);

// One world update pass over all figures (once per frame).
void FgrUpdateAll();
// The life step of a figure (death timers, removal of dead figures). The
// combat code installs its own; the world's default runs dyingTimer down.
extern FgrFn fgrLifeStep;

// --- errors -------------------------------------------------------------------------
// The program's fatal world error: also sets isDone.
extern int worldError;
void SetWorldError();
