// The scripted player: plans from the game's state, acts through input.
#include "player.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdlib>

#include "app/frame.h"
#include "app/signals.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/items.h"
#include "rules/pickups.h"
#include "rules/progression.h"
#include "rules/story_state.h"
#include "ui/hud.h"
#include "ui/widget.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/path_astar.h"
#include "world/spawn.h"

namespace {

constexpr int kSettle = 3;   // frames an action is given to take effect
constexpr int kSawPrice = 500, kMedkitPrice = 30, kMedkits = 4;

float Dist(const Fgr* a, float x, float z) { return std::hypot(a->x - x, a->z - z); }
float Dist(const Fgr* a, const Fgr* b) { return Dist(a, b->x, b->z); }
float CellX(int cell) { return float(cell % 256) * 10 + 5; }
float CellZ(int cell) { return float(cell / 256) * 10 + 5; }

int Hp(const Fgr* f) { return f && f->kor.ph ? f->kor.ph->w[kStNormHP] : 0; }
int HpMax(const Fgr* f) { return f && f->kor.ph ? f->kor.ph->w[kStNormHPMax] : 1; }
bool Living(const Fgr* f) { return f && f->fgrKind != 0 && f->active && !f->dead; }

bool InWidget(const Widget* w, int x, int y) {
    if (!w->visible) return false;
    if (x >= w->x && x <= w->x + w->width && y >= w->y && y <= w->y + w->height) return true;
    for (const Widget* c : w->children)
        if (InWidget(c, x, y)) return true;
    return false;
}

Widget* ChildDrawnBy(Widget* parent, WidgetFn draw) {
    if (!parent) return nullptr;
    for (Widget* c : parent->children)
        if (c->draw == draw) return c;
    return nullptr;
}

// What a kill of this monster type costs a hero of this rank (0 = avoid).
bool Fair(int type, int rank, bool blade) {
    switch (type) {
        case 5: case 7: return true;            // dog, drunkard
        case 10: case 11: return rank >= 2;     // giant fly, wolf
        case 6: case 12: return rank >= 3 && blade;
        case 8: return rank >= 4 && blade;
        case 9: return rank >= 5 && blade;      // a flyer: strikes seldom hit it
        default: return false;                  // skeletons, the demon
    }
}

int BladeRank(int kind) {
    switch (kind) {
        case kItemKnife: return 1;
        case kItemAxe: return 2;
        case kItemSword: return 3;
        case kItemChainsaw: return 4;
        default: return 0;
    }
}

}  // namespace

void Player::Log(const char* fmt, ...) {
    char line[300];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(line, sizeof line, fmt, ap);
    va_end(ap);
    char head[48];
    std::snprintf(head, sizeof head, "[d%d %dm s%d] ", dayState.dayNumber, gameClockMs / 60000, swap_);
    trace += head;
    trace += line;
    trace += '\n';
    static const bool live = std::getenv("BD_PLAYTHROUGH_TRACE") != nullptr;
    if (live) std::fprintf(stderr, "%s%s\n", head, line);
}

void Player::RecordDay(int day) {
    const Fgr* h = fgrMainHero;
    DayLog d;
    d.day = day;
    d.kills = kills;
    d.gold = heroCombat.heroGold;
    d.rank = h ? h->unitExpRang : 0;
    d.exp = h ? h->unitExpNow : 0;
    d.minutes = gameClockMs / 60000;
    days.push_back(d);
}

// ---- input --------------------------------------------------------------

void Player::Click(int button, int ox, int oy) {
    ScriptMoveCursor(ox, winHeight - 1 - oy);
    ScriptMouseDown(button);
    releaseButton_ = button;
    releaseAt_ = swap_ + 2;
    busyUntil_ = swap_ + kSettle;
}

void Player::ClickWidget(const Widget* w) { Click(VK_LBUTTON, w->x + w->width / 2, w->y + w->height / 2); }

void Player::Key(int vk) {
    ScriptKeyDown(vk);
    ScriptKeyUp(vk);
    busyUntil_ = swap_ + kSettle;
}

bool Player::MapClickable(int ox, int oy) const {
    if (ox < viewX + 4 || oy < viewY + 4 || ox > viewX + viewWidth - 4 || oy > viewY + viewHeight - 4) return false;
    if (minimapShown && ox >= minimapX && ox <= minimapX + minimapSide && oy >= minimapY &&
        oy <= minimapY + minimapSide)
        return false;
    for (const Widget* w : uiRoot.children)
        if (InWidget(w, ox, oy)) return false;
    return true;
}

// ---- plans ----------------------------------------------------------------

// Closes what the start opens over the map: the about text, the title, the
// minimap, the hero window.
bool Player::Tidy() {
    const Widget* w = dialogWindow->visible && !dialogState.openNpc ? dialogCloseButton
                      : titleLabel->visible                         ? titleLabel
                      : minimapShown                                ? mapButton
                      : heroWindow->visible && !progress.statPoints ? heroButton
                                                                    : nullptr;
    if (!w) return false;
    if (++tidyClicks_ % 20 == 0) Log("tidy: still clicking %d %d", w->x, w->y);
    ClickWidget(w);
    return true;
}

// Walks toward a world point; true while on the way (something was done or
// is under way), false once within near of it.
bool Player::WalkTo(float wx, float wz, float near) {
    Fgr* h = fgrMainHero;
    if (Dist(h, wx, wz) <= near) return false;
    // Stuck: the hero has not moved for 3 s although he should.
    if (std::hypot(h->x - lastX_, h->z - lastZ_) > 4) {
        lastX_ = h->x, lastZ_ = h->z;
        stillSince_ = swap_;
    } else if (swap_ - stillSince_ > 30) {
        detour_ = detour_ % 7 + 1;
        detourUntil_ = swap_ + 25;
        stillSince_ = swap_;
        clickedAt_ = -100;
    }
    if (detour_ && swap_ > detourUntil_) detour_ = 0, clickedAt_ = -100;
    const bool newAim = std::hypot(wx - aimX_, wz - aimZ_) > 8;
    // No step closer for 20 s: the goal cannot be reached from here.
    const float left = Dist(h, wx, wz);
    if (newAim || left < bestLeft_ - 5) bestLeft_ = left, bestAt_ = swap_;
    if (swap_ - bestAt_ > 200) {
        giveUp_ = true;
        bestAt_ = swap_;
    }
    if (!newAim && h->onPath && swap_ - clickedAt_ < 25) return true;
    if (!newAim && !h->onPath && swap_ - clickedAt_ < 4) return true;
    // A point toward the goal inside the view, turned aside when stuck. The
    // way is planned with the world's own planner on a searcher the figures
    // do not use; only the click moves the hero.
    float dx = wx - h->x, dz = wz - h->z;
    const float reach = 0.42f * std::min(camWidth, camHeight);
    if (!detour_ && FindPath(h->moveMode, 3, int(h->x), int(h->z), int(wx), int(wz)) == kPathFound) {
        const PathSearcher& ps = pathSearchers[3];
        for (int i = std::min(ps.length, kPathBankSteps) - 1; i >= 0; --i) {
            const float sx = float(ps.bank[i].gx) * 10 + 5, sz = float(ps.bank[i].gy) * 10 + 5;
            if (std::hypot(sx - h->x, sz - h->z) <= reach) {
                dx = sx - h->x, dz = sz - h->z;
                break;
            }
        }
    }
    if (detour_) {
        const float a = float(detour_) * 0.8f * (detour_ % 2 ? 1.0f : -1.0f);
        const float rx = dx * std::cos(a) - dz * std::sin(a), rz = dx * std::sin(a) + dz * std::cos(a);
        dx = rx, dz = rz;
    }
    const float len = std::hypot(dx, dz);
    if (len > reach) dx *= reach / len, dz *= reach / len;
    for (float f = 1.0f; f > 0.05f; f -= 0.15f) {
        float sx, sy;
        WorldToScreen(h->x + dx * f, h->z + dz * f, &sx, &sy);
        if (!MapClickable(int(sx), int(sy))) continue;
        Click(VK_RBUTTON, int(sx), int(sy));
        aimX_ = wx, aimZ_ = wz;
        clickedAt_ = swap_;
        return true;
    }
    detour_ = detour_ % 7 + 1;
    detourUntil_ = swap_ + 25;
    return true;
}

// Walks to townsperson npc, clicks him and answers option (0: no answer).
bool Player::TalkTo(int npc, int option) {
    Fgr* p = fgrNpc[npc];
    Fgr* h = fgrMainHero;
    if (!p) return false;
    if (dialogState.openNpc == npc) {
        if (option) return ClickWidget(answerCells[option]), true;
        return false;
    }
    if (Dist(h, p) > 19) return WalkBeside(p, 19);
    if (h->onPath) return true;
    if (ClickFigure(p)) return true;
    // The hero stands over him: a step aside.
    Log("townsperson %d: under the hero, a step aside", npc);
    WalkTo(p->x + 13, p->z + 4, 2);
    busyUntil_ = swap_ + 10;
    return true;
}

// Left click on a point of the figure's picture that the hero's picture
// does not cover (the hero comes first in the table and would be picked).
bool Player::ClickFigure(const Fgr* f) {
    const Fgr* h = fgrMainHero;
    float x, y, w, hh, hx, hy, hw, hhh;
    FigureScreenRect(f, &x, &y, &w, &hh);
    FigureScreenRect(h, &hx, &hy, &hw, &hhh);
    for (float fy : {0.5f, 0.8f, 0.2f, 0.95f})
        for (float fx : {0.5f, 0.15f, 0.85f}) {
            const int cx = int(x + w * fx), cy = int(y + hh * fy);
            if (!MapClickable(cx, cy) || (cx >= hx - 5 && cx <= hx + hw + 5 && cy >= hy - 5 && cy <= hy + hhh + 5))
                continue;
            Click(VK_LBUTTON, cx, cy);
            return true;
        }
    return false;
}

Fgr* Player::NearestEnemy(int) const {
    Fgr* h = fgrMainHero;
    const bool blade = backpack.wearInHand != 0;
    Fgr* best = nullptr;
    float bestD = 1e9f;
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr* f = FgrAt(s);
        if (!Living(f) || f->fgrClass != kClassUnit || f->side == kSidePlayer || f->fgrKind == kKindNpc) continue;
        if (!f->targetable || !Fair(f->unitType, h->unitExpRang, blade) || Shunned(f)) continue;
        const float d = Dist(h, f);
        if (d < bestD) bestD = d, best = f;
    }
    return best;
}

// The nearest monster that has the hero as its target (not the demon:
// that fight is chosen, not answered).
Fgr* Player::Attacker() const {
    Fgr* h = fgrMainHero;
    Fgr* best = nullptr;
    float bestD = 1e9f;
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr* f = FgrAt(s);
        if (!Living(f) || f->fgrClass != kClassUnit || f->side == kSidePlayer || f->fgrKind == kKindNpc) continue;
        if (f == pBos || !f->targetable || Shunned(f) || (f->target1 != h && f->target2 != h)) continue;
        const float d = Dist(h, f);
        if (d < 230 && d < bestD) bestD = d, best = f;
    }
    return best;
}

bool Player::Fight(Fgr* e) {
    Fgr* h = fgrMainHero;
    if (e != enemy_ || e->serial != enemySerial_) {
        enemy_ = e, enemySerial_ = e->serial;
        enemyHp_ = Hp(e), enemyHpAt_ = swap_;
        char name[16];
        std::snprintf(name, sizeof name, "%.12s", e->figureName);
        Log("fight type %d at %d %d, %d hp", e->unitType, int(e->x), int(e->z), Hp(e));
    }
    // A fight that does not hurt it for a minute is given up.
    if (Hp(e) < enemyHp_) enemyHp_ = Hp(e), enemyHpAt_ = swap_;
    if (swap_ - enemyHpAt_ > 600) {
        Shun(e);
        return true;
    }
    const float d = Dist(h, e);
    if (d > 80) return WalkBeside(e, 50);
    // A band's member is selected through its band.
    if (selectionCount != 1 || (selection[0] != e && (!e->owner || selection[0] != e->owner))) {
        if (ClickFigure(e)) return true;
        if (d > 30) return WalkBeside(e, 20);
        const float dd = std::max(1.0f, d);
        return WalkTo(h->x + (h->x - e->x) / dd * 30, h->z + (h->z - e->z) / dd * 30, 5);
    }
    if (heroCombat.comboButton && comboWindow->visible) return ClickWidget(comboCells[heroCombat.comboButton]), true;
    // Lightning first (it fires by itself from afar), then close in for
    // the blade and strike when it is ready.
    if (!heroCombat.autoAttack && !heroCombat.actionCooldown) return ClickWidget(attackCells[3]), true;
    if (backpack.wearInHand) {
        if (d > 18) return WalkBeside(e, 18);
        if (!heroCombat.strikeCooldown && !heroCombat.actionCooldown) return ClickWidget(attackCells[1]), true;
    }
    return true;
}

// The day button heals and wakes the hero at home.
bool Player::Retreat() {
    if (dayState.dayButtonCooldown > 0) {
        if (enemy_ && Living(enemy_)) {
            Fgr* h = fgrMainHero;
            return WalkTo(h->x + (h->x - enemy_->x) * 2, h->z + (h->z - enemy_->z) * 2, 5);
        }
        return true;
    }
    Log("day button: hp %d/%d", Hp(fgrMainHero), HpMax(fgrMainHero));
    ClickWidget(sideBarCells[5]);
    busyUntil_ = swap_ + 12;
    return true;
}

bool Player::Shunned(const Fgr* f) const {
    for (const auto& [serial, until] : shunned_)
        if (serial == f->serial && swap_ < until) return true;
    return false;
}

// Gives up a figure the hero cannot reach, for two game minutes.
void Player::Shun(const Fgr* f) {
    Log("cannot reach kind %d type %d at cell %d", f->fgrKind, f->unitType, PointToCell(f->x, f->z));
    shunned_.push_back({f->serial, swap_ + 1200});
    if (f == enemy_) enemy_ = nullptr, enemySerial_ = 0;
}

// Walks next to a figure that holds its cell: to the cell beside it on
// the hero's side.
bool Player::WalkBeside(const Fgr* f, float near) {
    Fgr* h = fgrMainHero;
    if (Dist(h, f) <= near) return false;
    // From the hero's side first; each time that side cannot be reached,
    // the next quarter round.
    const float d = std::max(1.0f, Dist(h, f));
    const float a = 1.5708f * float(besideTry_ % 4);
    const float ux = (h->x - f->x) / d, uz = (h->z - f->z) / d;
    const float vx = ux * std::cos(a) - uz * std::sin(a), vz = ux * std::sin(a) + uz * std::cos(a);
    giveUp_ = false;
    const bool on = WalkTo(f->x + vx * 11, f->z + vz * 11, 4);
    if (giveUp_) {
        if (f->fgrKind == kKindNpc) {
            ++besideTry_;
            Log("townsperson %d: trying another side", f->unitType);
        } else {
            Shun(f);
        }
    }
    return on;
}

bool Player::PickUp(Fgr* p) {
    const int cell = PointToCell(p->x, p->z);
    if (cell != pickCell_) {
        pickCell_ = cell;
        Log("to pick up kind %d type %d at cell %d (hero at %d)", p->fgrKind, p->unitType, cell,
            PointToCell(fgrMainHero->x, fgrMainHero->z));
    }
    giveUp_ = false;
    const bool on = WalkTo(CellX(cell), CellZ(cell), 3);
    if (giveUp_) Shun(p);
    if (on) return true;
    // Standing on it without the touch: step off and come back.
    Fgr* h = fgrMainHero;
    if (!h->onPath) {
        Log("step off cell %d", cell);
        WalkTo(CellX(cell + 1), CellZ(cell + 1), 0);
        busyUntil_ = swap_ + 15;
    }
    return true;
}

int Player::Count(int kind) const {
    int n = 0;
    for (int s = 1; s <= kBackpackSlots; ++s) n += backpack.slotKind[s] == kind;
    return n;
}

bool Player::HaveItem(int kind) const { return Count(kind) > 0 || backpack.wearInHand == kind; }

// Selects the backpack slot holding kind, then "Применить" (action 1) or
// "Выбросить" (2).
bool Player::Use(int kind, int action) {
    if (itemActionWindow->visible) return ClickWidget(itemActionCells[itemAction_]), true;
    if (heroCombat.strikeCooldown) return false;
    for (int s = 1; s <= kBackpackSlots; ++s)
        if (backpack.slotKind[s] == kind) {
            Log("%s slot %d kind %d", action == 1 ? "use" : "throw away", s, kind);
            itemAction_ = action;
            return ClickWidget(backpackCells[s]), true;
        }
    return false;
}

// Wears the clothes found and throws away what the hero will not use, so
// that bought goods find a place.
bool Player::Pack() {
    const BackpackState& b = backpack;
    for (int s = 1; s <= kBackpackSlots; ++s) {
        const int k = b.slotKind[s];
        const bool suit = k >= kItemSuitChic && k <= kItemSuitArmour;
        const bool pants = k == kItemPantsApprentice || k == kItemPantsFortune;
        if ((suit && !b.wearSuit && !b.suitChangedToday) || (pants && !b.wearPants) || (k == kItemCap && !b.wearCap) ||
            (k == kItemBoots && !b.wearBoots) || k == kItemKvass)
            return Use(k, 1);
        const bool blade = k == kItemKnife || k == kItemSword || k == kItemAxe;
        if ((suit && b.wearSuit) || (pants && b.wearPants) || (k == kItemCap && b.wearCap) ||
            (blade && BladeRank(k) <= BladeRank(b.wearInHand)))
            return Use(k, 2);
    }
    return false;
}

// Puts the best blade from the backpack into the hand.
bool Player::EquipBest() {
    int best = 0;
    for (int s = 1; s <= kBackpackSlots; ++s)
        if (BladeRank(backpack.slotKind[s]) > BladeRank(best)) best = backpack.slotKind[s];
    return BladeRank(best) > BladeRank(backpack.wearInHand) && Use(best, 1);
}

bool Player::Heal() {
    Fgr* h = fgrMainHero;
    return Hp(h) * 2 <= HpMax(h) && Use(kItemMedkit, 1);
}

// A left click on open ground beside the hero clears the selection (a
// strike then goes to the bush under him).
bool Player::Deselect() {
    if (!selectionCount) return false;
    Fgr* h = fgrMainHero;
    for (int i = 0; i < 8; ++i) {
        const float a = 0.785f * float(i + swap_ % 8);
        float sx, sy;
        WorldToScreen(h->x + 45 * std::cos(a), h->z + 45 * std::sin(a), &sx, &sy);
        if (MapClickable(int(sx), int(sy))) return Click(VK_LBUTTON, int(sx), int(sy)), true;
    }
    return false;
}

// Pink weeds near the way pay a coin or two a strike, up to rank 4.
bool Player::Weed(float range) {
    Fgr* h = fgrMainHero;
    if (!backpack.wearInHand || h->unitExpRang > 4) return false;
    if (!weed_ || weed_->fgrKind != kKindPlant || weed_->stateFlag != 1 || Shunned(weed_)) {
        weed_ = nullptr, weedTries_ = 0;
        float bestD = range;
        for (int s = 1; s <= kFigureSlots; ++s) {
            const Fgr* f = FgrAt(s);
            if (f->fgrKind == kKindPlant && f->unitType == 1 && f->stateFlag == 1 && !Shunned(f) && Dist(h, f) < bestD)
                bestD = Dist(h, f), weed_ = f;
        }
        if (!weed_) return false;
    }
    const int cell = PointToCell(weed_->x, weed_->z);
    giveUp_ = false;
    if (WalkTo(CellX(cell), CellZ(cell), 3)) {
        if (giveUp_) Shun(weed_);
        return true;
    }
    if (h->onPath || Deselect() || heroCombat.strikeCooldown || heroCombat.actionCooldown) return true;
    if (++weedTries_ > 4) return Shun(weed_), true;
    ClickWidget(attackCells[1]);
    return true;
}

// Fishing from the fishiest shore cell near the sailor that the hero can
// reach; when the three "Где?" buttons come up, a guess.
bool Player::Fish() {
    Fgr* h = fgrMainHero;
    if (fishChoiceWindow->visible) {
        guess_ = guess_ * 1103515245u + 12345u;
        return ClickWidget(fishChoiceCells[1 + (guess_ >> 16) % 3]), true;
    }
    if (fishing.fishState == kFishWaiting) return true;
    if (fishCell_ < 0) {
        std::vector<std::pair<int, int>> shore;   // -score, cell
        const int home = fgrNpc[5] ? PointToCell(fgrNpc[5]->x, fgrNpc[5]->z) : 45606;
        for (int dr = -15; dr <= 15; ++dr)
            for (int dc = -15; dc <= 15; ++dc) {
                const int k = home + dr * 256 + dc;
                if (!KleInterior(k) || masKle.m[k].landType == kLandDeepWater || masKle.m[k].fgrKey) continue;
                if (const int f = PlaceFishiness(k)) shore.push_back({-(f * 100 - std::abs(dr) - std::abs(dc)), k});
            }
        std::sort(shore.begin(), shore.end());
        for (const auto& [score, k] : shore)
            if (FindPath(h->moveMode, 3, int(h->x), int(h->z), int(CellX(k)), int(CellZ(k))) == kPathFound) {
                fishCell_ = k;
                break;
            }
        Log("fishing place: cell %d", fishCell_);
        if (fishCell_ < 0) return false;
    }
    if (WalkTo(CellX(fishCell_), CellZ(fishCell_), 3) || h->onPath) return true;
    return Use(kItemRod, 1);
}

// Before the demon: the rod from the sailor, fishing money, the chainsaw,
// then a medkit whenever the shop opens (each townsperson answers once a
// day).
bool Player::Prepare() {
    const int gold = heroCombat.heroGold;
    const bool shop = fgrNpc[3] && fgrNpc[3]->talkFlag == 1;
    if (!HaveItem(kItemRod))
        return fgrNpc[5] && fgrNpc[5]->talkFlag == 1 && gold >= 35 && TalkTo(5, 4);
    if (!HaveItem(kItemChainsaw)) {
        // Bait needs 10 gold: the weeds give the first coins again.
        if (gold < 10) return Weed(3000);
        if (gold >= kSawPrice + kMedkitPrice * kMedkits) return shop && TalkTo(3, 4);
        return Fish();
    }
    return Count(kItemMedkit) < kMedkits && shop && gold >= kMedkitPrice && TalkTo(3, 1);
}

// The story, in the order a player would take it.
bool Player::Stage() {
    Fgr* h = fgrMainHero;
    const int rank = h->unitExpRang;
    // 1. The wild-dogs quest from Кармашкин.
    if (questState.wildDogs == kQuestNone) {
        if (stage < 1) stage = 1, Log("stage 1: wild-dogs quest");
        return TalkTo(1, 3);
    }
    // 2. The garbage quest from Чистяков, then its piles.
    if (questState.garbage == kQuestNone) {
        if (stage < 2) stage = 2, Log("stage 2: garbage quest");
        return TalkTo(2, 3);
    }
    if (questState.garbage == kQuestTaken && Hp(h) * 10 > HpMax(h) * 4) {
        Fgr* pile = nullptr;
        float bestD = 1e9f;
        for (int s = 1; s <= kFigureSlots; ++s) {
            Fgr* f = FgrAt(s);
            if (f->fgrKind != kKindLoot || f->unitType != kPickupGarbage || !f->active || Shunned(f)) continue;
            if (Dist(h, f) < bestD) bestD = Dist(h, f), pile = f;
        }
        if (pile) {
            if (stage < 3) stage = 3, Log("stage 3: garbage piles");
            return PickUp(pile);
        }
    }
    // 3. Stat and ability points as soon as they come.
    if (progress.statPoints > 0) {
        if (!heroWindow->visible) return ClickWidget(heroButton), true;
        // Blood and Anger in turn: blood to last, anger for the crits.
        Widget* w = ChildDrawnBy(heroWindow, progress.bloodPoints <= progress.angerPoints ? hudPainters.bloodStat
                                                                                           : hudPainters.angerStat);
        Log("stat point");
        return ClickWidget(w), true;
    }
    if (heroWindow->visible) return ClickWidget(heroButton), true;
    if (heroCombat.abilPoints > 0) {
        if (!abilityWindow->visible) return ClickWidget(rankWidget), true;
        const int pick = !heroCombat.optLightning ? 1 : !heroCombat.fireAddOn ? 2 : !heroCombat.optCrystals ? 4 : 3;
        Log("ability %d", pick);
        return ClickWidget(abilityCells[pick]), true;
    }
    if (abilityWindow->visible) return ClickWidget(rankWidget), true;
    // 4. Crystals into gems from rank 2: three of one colour in a row.
    const int gems = crystals.rubies + crystals.emeralds + crystals.sapphires + crystals.diamonds;
    if (rank >= 2 && gems < 4 + 2 * (rank >= 4)) {
        int want = crystals.chainColour, best = -1;
        if (!want || want > 4) want = 0;
        Fgr* pick = nullptr;
        float pickD = 1e9f;
        int count[5] = {};
        for (int s = 1; s <= kFigureSlots; ++s) {
            Fgr* f = FgrAt(s);
            if (f->fgrKind == kKindCrystal && !f->collected && f->unitType >= 1 && f->unitType <= 4 && !Shunned(f))
                ++count[f->unitType];
        }
        if (!want || count[want] == 0)
            for (int c = 1; c <= 4; ++c)
                if (count[c] >= 3 && (best < 0 || count[c] > count[best])) best = c;
        if (want && count[want]) best = want;
        if (best > 0)
            for (int s = 1; s <= kFigureSlots; ++s) {
                Fgr* f = FgrAt(s);
                if (f->fgrKind == kKindCrystal && !f->collected && f->unitType == best && !Shunned(f) &&
                    Dist(h, f) < pickD)
                    pickD = Dist(h, f), pick = f;
            }
        if (pick) {
            if (stage < 4) stage = 4, Log("stage 4: crystals");
            return PickUp(pick);
        }
    }
    if (Weed(90)) return true;
    // 5. The wood quest from the smith, then the black firs until the
    //    forest answers.
    const bool blade = backpack.wearInHand != 0;
    if (rank >= 3 && blade && questState.wood == kQuestNone) {
        if (stage < 5) stage = 5, Log("stage 5: wood quest");
        return TalkTo(6, 0);
    }
    if (questState.wood == kQuestDone) return TalkTo(6, 0);
    if (rank >= 3 && blade && questState.wood >= kQuestTaken && !dayState.demonAwake &&
        Hp(h) * 10 > HpMax(h) * 6) {
        Fgr* fir = nullptr;
        float firD = 1e9f;
        for (int s = 1; s <= kFigureSlots; ++s) {
            Fgr* f = FgrAt(s);
            if (f->fgrKind == kKindPlant && f->unitType == 3 && f->active && !f->runtime[0] && !Shunned(f) &&
                Dist(h, f) < firD)
                firD = Dist(h, f), fir = f;
        }
        if (dayState.firsChopped != firsLogged_)
            firsLogged_ = dayState.firsChopped, Log("firs chopped %d, wood %d/%d", firsLogged_, questState.woodCut,
                                                    kWoodGoal);
        if (fir) {
            if (stage < 6) stage = 6, Log("stage 6: black firs (%d chopped)", dayState.firsChopped);
            return PickUp(fir);
        }
    }
    // 6. The chainsaw when the money is there (it always hits the demon
    //    hard), then the demon with whatever blade is in hand. The day
    //    button brings the hero home when his blood runs low; the demon does
    //    not heal, so every visit counts.
    if (dayState.demonAwake && stage < 7) stage = 7, Log("stage 7: the forest is angry (gold %d)", heroCombat.heroGold);
    if (dayState.demonAwake && Prepare()) return true;
    if (dayState.demonAwake && pBos && Living(pBos) && backpack.wearInHand == kItemChainsaw &&
        Hp(h) * 10 > HpMax(h) * 7) {
        if (stage < 8) stage = 8, Log("stage 8: the demon, %d hp", Hp(pBos));
        if (enemy_ != pBos) Log("to the demon: its hp %d, rank %d gold %d", Hp(pBos), rank, heroCombat.heroGold);
        return Fight(pBos);
    }
    return false;
}

bool Player::Turn(int swap) {
    swap_ = swap;
    if (swap == releaseAt_) ScriptMouseUp(releaseButton_);
    ScriptAdvanceClock(98);   // with the loop's 2 ms pause: 100 ms frames
    Fgr* h = fgrMainHero;
    if (!h) return true;
    if (dayState.dayNumber != loggedDay_) {
        if (loggedDay_) {
            RecordDay(loggedDay_);
            const DayLog& d = days.back();
            Log("new day: kills %d gold %d rank %d exp %d, the demon %d", d.kills, d.gold, d.rank, d.exp, Hp(pBos));
        }
        loggedDay_ = dayState.dayNumber;
    }
    if (dayState.gameWon) {
        won = true;
        return false;
    }
    // A dead enemy is a kill; one that left the world (the new day clears
    // the lairs' bands) is not.
    if (enemy_ && enemySerial_ && (enemy_->serial != enemySerial_ || !enemy_->fgrKind)) {
        enemy_ = nullptr, enemySerial_ = 0;
    } else if (enemy_ && enemySerial_ && enemy_->dead) {
        ++kills;
        Log("enemy down (%d kills), gold %d, rank %d exp %d", kills, heroCombat.heroGold, h->unitExpRang,
            h->unitExpNow);
        enemy_ = nullptr, enemySerial_ = 0;
    }
    if (swap % 300 == 0)
        Log("hero at %d %d (cell %d) hp %d/%d, path %d", int(h->x), int(h->z), PointToCell(h->x, h->z), Hp(h), HpMax(h),
            h->onPath);
    if (stage >= stopStage) {
        Log("stage %d reached", stage);
        return false;
    }
    if (swap < busyUntil_) return true;
    if (Tidy()) return true;
    // Save once, the day after the first.
    if (dayState.dayNumber >= 2 && !saveRequested) {
        saveRequested = true;
        Log("F5");
        Key(VK_F5);
        return true;
    }
    if (saveRequested && !saved) {
        saved = true;
        return false;   // end this run; the test continues the saved game
    }
    Act();
    return true;
}

// One decision; false when nothing needed doing.
bool Player::Act() {
    Fgr* h = fgrMainHero;
    if (h->dead || Hp(h) * 10 < HpMax(h) * 3) {
        if (Heal()) return true;
        return Retreat();
    }
    if (EquipBest() || Heal() || Pack()) return true;
    // A loot bag nearby.
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr* f = FgrAt(s);
        if (f->fgrKind == kKindLoot && f->unitType == kPickupBag && f->active && !Shunned(f) && Dist(h, f) < 200)
            return PickUp(f);
    }
    // The demon hunts the hero once it has seen him: with the chainsaw in
    // hand he stands and fights it.
    if (backpack.wearInHand == kItemChainsaw && Living(pBos) && pBos->target1 == h && Dist(h, pBos) < 250) {
        if (stage < 8) stage = 8, Log("stage 8: the demon, %d hp", Hp(pBos));
        return Fight(pBos);
    }
    // Whatever attacks the hero is answered first, fair or not (walking on
    // under a bandit's shots costs more); the one in hand is finished first.
    if (Living(enemy_) && enemy_ != pBos && (enemy_->target1 == h || enemy_->target2 == h) && Dist(h, enemy_) < 230)
        return Fight(enemy_);
    if (Fgr* e = Attacker()) return Fight(e);
    if (Fgr* e = NearestEnemy(0); e && Dist(h, e) < 110 && e == enemy_) return Fight(e);
    if (Stage()) return true;
    if (Fgr* e = NearestEnemy(0)) return Fight(e);
    return Retreat();
}
