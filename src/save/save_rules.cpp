// Save sections of the game rules: every rule-state record, field by
// field. Each record's size is checked at build time, so a record that
// grows fails to build until its save code here grows with it (write,
// read and the value checks).
#include <array>
#include <climits>

#include "combat/filters.h"
#include "combat/hero_combat.h"
#include "combat/monsters.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/game_params.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story_state.h"
#include "save/save_sections.h"

static_assert(sizeof(HeroCombat) == 104, "HeroCombat changed: update its save section");
static_assert(sizeof(MonsterState) == 16, "MonsterState changed: update its save section");
static_assert(sizeof(HitPipeline) == 24, "HitPipeline changed: update its save section");
// The registry's emitters are rebuilt every round; only the round is saved.
static_assert(sizeof(AuraRegistry) == 12 * kAuraSlots + sizeof(AuraEmitter) * kAuraEmittersMax + 8,
              "AuraRegistry changed: update its save section");
static_assert(sizeof(GameParams) == 120, "GameParams changed: update its save section");
static_assert(sizeof(Progression) == 80, "Progression changed: update its save section");
static_assert(sizeof(DayState) == 36, "DayState changed: update its save section");
static_assert(sizeof(QuestState) == 40, "QuestState changed: update its save section");
static_assert(sizeof(DialogState) == 4, "DialogState changed: update its save section");
static_assert(sizeof(BackpackState) == 108, "BackpackState changed: update its save section");
static_assert(sizeof(FishingState) == 40, "FishingState changed: update its save section");
static_assert(sizeof(TreasureState) == 8, "TreasureState changed: update its save section");
static_assert(sizeof(CrystalState) == 56, "CrystalState changed: update its save section");

namespace {

// One int word of a record and the values a reader takes for it: words
// used as indices, kinds, states or slot numbers have their range, counters
// and timers take any value.
struct Word {
    int* p;
    int lo = INT_MIN, hi = INT_MAX;
};

template <std::size_t N>
void WriteWords(SaveOut& o, const std::array<Word, N>& words) {
    for (const Word& w : words) o.I32(*w.p);
}
template <std::size_t N>
bool ReadWords(SaveIn& in, const std::array<Word, N>& words) {
    for (const Word& w : words)
        if (!in.I32(*w.p, w.lo, w.hi)) return false;
    return true;
}

constexpr int kQuestMax = kQuestRewarded;
constexpr int kTexSlots = 501;

// --- combat ---------------------------------------------------------------------------

auto HeroCombatWords() {
    HeroCombat& h = heroCombat;
    return std::to_array<Word>({
        {&h.strikeCooldown},  {&h.strikeCooldownSaved}, {&h.actionCooldown},  {&h.autoAttack},
        {&h.lastStrikeDmg},   {&h.lastStrikeCrit},      {&h.comboTime},       {&h.comboButton, 0, 3},
        {&h.lightningCharged}, {&h.lastShotDmg},        {&h.optLightning},    {&h.fireAddOn},
        {&h.optCrystals},     {&h.treasureSeeker},      {&h.abilPoints},      {&h.dailySpell, 0, 4},
        {&h.dailySpellUsed},  {&h.dailySpellTimer},     {&h.spellRegenHit},   {&h.spellRegenHot},
        {&h.spellRegenMana},  {&h.spellDoubler},        {&h.spellMystic},     {&h.heroGold},
    });
}
void WriteHeroCombat(SaveOut& o) {
    WriteWords(o, HeroCombatWords());
    o.Slot(heroCombat.comboTarget);
}
bool ReadHeroCombat(SaveIn& in) { return ReadWords(in, HeroCombatWords()) && in.Slot(heroCombat.comboTarget); }

// Monster timers, the hit pipeline's words and the aura round. The aura
// registry's lists and the per-side visible lists are not saved: the
// combat step rebuilds both at the start of every world step, before any
// figure reads them. The round number is saved, since emitters remember
// the round they were last registered in.
auto CombatWords() {
    MonsterState& m = monsterState;
    HitPipeline& h = hitPipe;
    return std::to_array<Word>({
        {&m.voiceTimer},  {&m.demonCallTimer}, {&m.demonCallFlag}, {&m.poisonTimer},  {&h.dmgNow},
        {&h.dmgBase},     {&h.code},           {&h.dmgNormSum},    {&h.lastHitClock}, {&h.lastExp},
    });
}
void WriteCombat(SaveOut& o) {
    WriteWords(o, CombatWords());
    o.U32(auraReg.stamp);
}
bool ReadCombat(SaveIn& in) {
    return ReadWords(in, CombatWords()) && in.U32(auraReg.stamp);
}

auto GameParamsWords() {
    GameParams& g = gameParams;
    return std::to_array<Word>({
        {&g.strikeCooldownMs}, {&g.actionCooldownMs}, {&g.chargeCost},     {&g.shotCost},
        {&g.critCost},         {&g.spellDurationMs},  {&g.maxRank},        {&g.angerBase},
        {&g.bloodBase},        {&g.hitRegenBase},     {&g.hotRegenBase},   {&g.manaRegenBase},
        {&g.regenThreshold},   {&g.bloodPoints},      {&g.angerPoints},    {&g.deadStayMs},
    });
}
void WriteGameParams(SaveOut& o) {
    WriteWords(o, GameParamsWords());
    o.I32s(gameParams.appearance, kAppearanceKinds + 1);
}
bool ReadGameParams(SaveIn& in) {
    if (!ReadWords(in, GameParamsWords())) return false;
    for (int& picture : gameParams.appearance)
        if (!in.I32(picture, 0, kTexSlots - 1)) return false;
    return true;
}

// --- progression ---------------------------------------------------------------------

auto ProgressionWords() {
    Progression& p = progress;
    return std::to_array<Word>({
        {&p.statPoints},     {&p.angerPoints},  {&p.angerApplied},   {&p.bloodPoints},    {&p.bloodApplied},
        {&p.mindPoints},     {&p.mindApplied},  {&p.mindSkill, 0, 2}, {&p.angerBase},     {&p.angerStart},
        {&p.bloodBase},      {&p.bloodStart},   {&p.regenHit},       {&p.regenHot},       {&p.regenMana},
        {&p.regenThreshold}, {&p.statHighlightMs}, {&p.invulnerable}, {&p.invulnerableMs}, {&p.abilityNotice},
    });
}
void WriteProgression(SaveOut& o) { WriteWords(o, ProgressionWords()); }
bool ReadProgression(SaveIn& in) { return ReadWords(in, ProgressionWords()); }

// --- days, quests, the open dialog -----------------------------------------------------

auto StoryWords() {
    DayState& d = dayState;
    QuestState& q = questState;
    return std::to_array<Word>({
        {&d.dayNumber},           {&d.dayButtonCooldown},    {&d.firsChopped},      {&d.demonAwake, 0, 1},
        {&d.forestWarned[0]},     {&d.forestWarned[1]},      {&d.forestWarned[2]},  {&d.gameWon},
        {&d.shopGiftTaken},       {&q.wildDogs, 0, kQuestMax}, {&q.wildDogsSameDay}, {&q.wildDogsKilled},
        {&q.garbage, 0, kQuestMax}, {&q.garbageCollected},   {&q.wood, 0, kQuestMax}, {&q.woodCut},
        {&q.woodNoticeShown},     {&q.vagrantClueOpen},      {&q.sailorState},      {&dialogState.openNpc, 0, 6},
    });
}
void WriteStory(SaveOut& o) { WriteWords(o, StoryWords()); }
bool ReadStory(SaveIn& in) { return ReadWords(in, StoryWords()); }

// --- items: the backpack and what the hero wears ---------------------------------------

auto BackpackWords() {
    BackpackState& b = backpack;
    return std::to_array<Word>({
        {&b.selectedSlot, 0, kBackpackSlots}, {&b.wearInHand, 0, kItemKinds}, {&b.wearSuit, 0, kItemKinds},
        {&b.wearCap, 0, kItemKinds},          {&b.wearPants, 0, kItemKinds},  {&b.wearBoots, 0, kItemKinds},
        {&b.suitChangedToday},                {&b.kvassTimer},                {&b.assistantDroid, 0, kFigureSlots},
    });
}
void WriteBackpack(SaveOut& o) {
    o.I32s(backpack.slotKind, kBackpackSlots + 1);
    o.I32s(backpack.slotFigure, kBackpackSlots + 1);
    WriteWords(o, BackpackWords());
}
bool ReadBackpack(SaveIn& in) {
    for (int& kind : backpack.slotKind)
        if (!in.I32(kind, 0, kItemKinds)) return false;
    for (int& slot : backpack.slotFigure)
        if (!in.I32(slot, 0, kFigureSlots)) return false;
    return ReadWords(in, BackpackWords());
}

// --- fishing and the treasure dig --------------------------------------------------------

auto FishingWords() {
    FishingState& f = fishing;
    return std::to_array<Word>({
        {&f.fishState, kFishIdle, kFishTooEarly}, {&f.fishSkill},     {&f.fishStreak},
        {&f.fishStake},                           {&f.fishWaitTotal}, {&f.fishWaitLeft},
        {&f.fishRightButton, 0, kFishButtons},    {&f.fishingPlace},  {&f.fishStatus, kFishStatusNone, kFishStatusMissed},
        {&f.lastGain},                            {&treasure.dugToday}, {&treasure.treasureHintShown},
    });
}
void WriteFishing(SaveOut& o) { WriteWords(o, FishingWords()); }
bool ReadFishing(SaveIn& in) { return ReadWords(in, FishingWords()); }

// --- crystals, gems and вир-форс -------------------------------------------------------------

auto CrystalWords() {
    CrystalState& c = crystals;
    return std::to_array<Word>({
        {&c.chainColour, 0, kCrystalEcho}, {&c.chainLength},      {&c.pairColour, 0, kCrystalEcho},
        {&c.lastWasEcho},                  {&c.collections},      {&c.pairHintsLeft},
        {&c.rubies, 0, kGemMax},           {&c.emeralds, 0, kGemMax}, {&c.sapphires, 0, kGemMax},
        {&c.diamonds, 0, kGemMax},         {&c.virForce, 0, kVirForceMax}, {&c.hammerCooldown},
        {&c.clampAClosed},                 {&c.clampBClosed},
    });
}
void WriteCrystals(SaveOut& o) { WriteWords(o, CrystalWords()); }
bool ReadCrystals(SaveIn& in) { return ReadWords(in, CrystalWords()); }

}  // namespace

std::span<const SaveSection> RuleSaveSections() {
    static const SaveSection sections[] = {
        {"HERO", WriteHeroCombat, ReadHeroCombat}, {"CMBT", WriteCombat, ReadCombat},
        {"PARM", WriteGameParams, ReadGameParams},
        {"PROG", WriteProgression, ReadProgression}, {"STRY", WriteStory, ReadStory},
        {"BACK", WriteBackpack, ReadBackpack},     {"FISH", WriteFishing, ReadFishing},
        {"CRYS", WriteCrystals, ReadCrystals},
    };
    return sections;
}
