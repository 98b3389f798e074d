// The whole game played through the real frame loop by a scripted player: a
// new hero, the fixed start seed, 100 ms frames of the virtual clock, input
// only. The player reads the game's state to plan (where the hero is, which
// monster is nearest, whether a window is open) and acts only through map
// clicks, keys and clicks on the HUD's widgets found by their rectangles. It
// saves with F5 on the second day, closes and continues the save, prepares,
// beats the forest demon and finds the win in the file.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "../rules/rules_fixture.h"
#include "../scripted/step_run.h"
#include "world/path_astar.h"

namespace {

constexpr int kMaxSwaps = 50000;   // frames of one run: 83 minutes of game time
constexpr int kSawPrice = 500, kMedkitPrice = 30, kMedkits = 4;

float Dist(const Fgr* a, float x, float z) { return std::hypot(a->x - x, a->z - z); }
float Dist(const Fgr* a, const Fgr* b) { return Dist(a, b->x, b->z); }
float CellX(int cell) { return float(cell % 256) * 10 + 5; }
float CellZ(int cell) { return float(cell / 256) * 10 + 5; }
int Hp(const Fgr* f) { return f && f->kor.ph ? f->kor.ph->w[kStNormHP] : 0; }
int HpMax(const Fgr* f) { return f && f->kor.ph ? f->kor.ph->w[kStNormHPMax] : 1; }
// Blood above tenths of its maximum.
bool Above(const Fgr* f, int tenths) { return Hp(f) * 10 > HpMax(f) * tenths; }
bool Living(const Fgr* f) { return f && f->fgrKind != 0 && f->active && !f->dead; }
bool Foe(const Fgr* f) {
    return Living(f) && f->fgrClass == kClassUnit && f->side != kSidePlayer && f->fgrKind != kKindNpc && f->targetable;
}

bool InWidget(const Widget* w, int x, int y) {
    return w->visible && (PointInWidget(w, x, y) || std::any_of(w->children.begin(), w->children.end(),
                                                                [=](const Widget* c) { return InWidget(c, x, y); }));
}

Widget* ChildDrawnBy(const Widget* parent, WidgetFn draw) {
    const auto& in = parent->children;
    const auto c = std::find_if(in.begin(), in.end(), [=](const Widget* w) { return w->draw == draw; });
    return c == in.end() ? nullptr : *c;
}

// The monsters a hero of this rank takes on (skeletons and the demon only
// by choice).
bool Fair(int type, int rank, bool blade) {
    switch (type) {
        case 5: case 7: return true;            // dog, drunkard
        case 10: case 11: return rank >= 2;     // giant fly, wolf
        case 6: case 12: return rank >= 3 && blade;
        case 8: return rank >= 4 && blade;
        case 9: return rank >= 5 && blade;      // a flyer: strikes seldom hit it
        default: return false;
    }
}

int BladeRank(int kind) {
    constexpr int kBlades[] = {kItemKnife, kItemAxe, kItemSword, kItemChainsaw};   // weakest first
    const int* at = std::find(kBlades, kBlades + 4, kind);
    return at == kBlades + 4 ? 0 : int(at - kBlades) + 1;
}

// A frame for review every 300 swaps when BD_PLAYTHROUGH_SHOTS names a folder.
// Without it the frames are drawn but not rasterised: the whole frame loop
// runs, the software rasteriser (nine tenths of the time) is skipped.
void Shot(int swap) {
    static const char* dir = std::getenv("BD_PLAYTHROUGH_SHOTS");
    if (!dir) {
        if (swap == 1) glEnable(0x8C89);   // GL_RASTERIZER_DISCARD
        return;
    }
    if (swap % 300) return;
    std::vector<unsigned char> px = ScriptReadPixels(0, 0, winWidth, winHeight);
    for (std::size_t i = 0, n = px.size() / 4; i < n; ++i) px[i * 4 + 3] = 255;
    stbi_flip_vertically_on_write(1);
    const std::string name = std::string(dir) + "/s" + std::to_string(swap) + ".png";
    stbi_write_png(name.c_str(), winWidth, winHeight, 4, px.data(), winWidth * 4);
}

// The day's spells as the player ranks them for the demon, by their cell in
// the spell window: "Мистик-урон" triples every blow on it, "Регенератор"
// heals, "Источник" refills mana, "Удвоитель" doubles the lightning.
struct SpellPick { int cell, virForce, price; int CrystalState::*gems; };
constexpr SpellPick kSpellPicks[] = {{1, 4, 4, &CrystalState::diamonds},
                                     {3, 2, 3, &CrystalState::rubies},
                                     {4, 3, 5, &CrystalState::sapphires},
                                     {2, 4, 2, &CrystalState::emeralds}};
const SpellPick* Castable() {
    for (const SpellPick& s : kSpellPicks)
        if (crystals.virForce >= s.virForce && crystals.*s.gems >= s.price) return &s;
    return nullptr;
}

struct DayLog { int day, kills, gold, rank, exp, minutes, demon; };

class Playthrough : public StepRun {
protected:
    // One run of the game: the player's turn is its only step, done when the
    // run ends (the game saved, or won).
    void Run(const char* dir, bool continueSave) {
        ResetShellAndGame(kMaxSwaps);
        ScriptSetDataFolder(data_);
        if (continueSave) ScriptQueueBoxAnswer(IDYES);
        everyFrame = [this](int swap) { Shot(swap); if (fgrMainHero) WatchSpell(); };
        Then([this] { return Turn(); });
        Play(dir, kMaxSwaps, 98, "400 300\n800 600\n");   // with the loop's 2 ms: 100 ms frames
    }
    // The second run is over the saved game: references into the world are stale.
    void NewRun() {
        enemy_ = nullptr, weed_ = nullptr, enemySerial_ = 0, aimX_ = aimZ_ = -1, clickedAt_ = -100, busyUntil_ = 0;
        stillSince_ = bestAt_ = 0, detour_ = 0, shunned_.clear();
    }

    __attribute__((format(printf, 2, 3))) void Log(const char* fmt, ...) {
        char line[300];
        va_list ap;
        va_start(ap, fmt);
        std::vsnprintf(line, sizeof line, fmt, ap);
        va_end(ap);
        char head[48];
        std::snprintf(head, sizeof head, "[d%d %dm s%d] ", dayState.dayNumber, gameClockMs / 60000, Swap());
        trace += std::string(head) + line + '\n';
        static const bool live = std::getenv("BD_PLAYTHROUGH_TRACE") != nullptr;
        if (live) std::fprintf(stderr, "%s%s\n", head, line);
    }
    // The state at the end of that day.
    void RecordDay(int day) {
        const Fgr* h = fgrMainHero;
        days.push_back({day, kills, heroCombat.heroGold, h ? h->unitExpRang : 0, h ? h->unitExpNow : 0,
                        gameClockMs / 60000, Hp(pBos)});
    }

    // ---- input

    bool Tap(const Widget* w) { return Press(w->x + w->width / 2, w->y + w->height / 2), true; }
    bool MapClickable(int ox, int oy) const {
        if (ox < viewX + 4 || oy < viewY + 4 || ox > viewX + viewWidth - 4 || oy > viewY + viewHeight - 4) return false;
        if (minimapShown && ox >= minimapX && ox <= minimapX + minimapSide && oy >= minimapY &&
            oy <= minimapY + minimapSide)
            return false;
        return std::none_of(uiRoot.children.begin(), uiRoot.children.end(),
                            [=](const Widget* w) { return InWidget(w, ox, oy); });
    }
    // Left click on a point of the figure's picture that the hero's picture
    // does not cover (the hero comes first in the table and would be picked).
    bool TapFigure(const Fgr* f) {
        float x, y, w, hh, hx, hy, hw, hhh;
        FigureScreenRect(f, &x, &y, &w, &hh);
        FigureScreenRect(fgrMainHero, &hx, &hy, &hw, &hhh);
        for (float fy : {0.5f, 0.8f, 0.2f, 0.95f})
            for (float fx : {0.5f, 0.15f, 0.85f}) {
                const int cx = int(x + w * fx), cy = int(y + hh * fy);
                if (!MapClickable(cx, cy) || (cx >= hx - 5 && cx <= hx + hw + 5 && cy >= hy - 5 && cy <= hy + hhh + 5))
                    continue;
                Press(cx, cy);
                return true;
            }
        return false;
    }

    // ---- finding

    // The nearest figure closer than range that pass accepts (not one given up).
    template <class Pass>
    Fgr* Nearest(Pass pass, float range = 1e9f) const {
        Fgr* best = nullptr;
        for (Fgr& f : FigureTable)   // slot 0 is never taken
            if (f.fgrKind && !Shunned(&f) && pass(&f) && Dist(fgrMainHero, &f) < range)
                range = Dist(fgrMainHero, &f), best = &f;
        return best;
    }
    Fgr* NearestEnemy() const {
        const int rank = fgrMainHero->unitExpRang;
        const bool blade = backpack.wearInHand != 0;
        return Nearest([&](const Fgr* f) { return Foe(f) && Fair(f->unitType, rank, blade); });
    }
    // What has the hero as its target (not the demon: that fight is chosen).
    Fgr* Attacker() const {
        const Fgr* h = fgrMainHero;
        return Nearest([h](const Fgr* f) { return Foe(f) && f != pBos && (f->target1 == h || f->target2 == h); }, 230);
    }
    bool Shunned(const Fgr* f) const {
        for (const auto& [serial, until] : shunned_)
            if (serial == f->serial && Swap() < until) return true;
        return false;
    }
    // Gives up a figure the hero cannot reach, for two game minutes.
    void Shun(const Fgr* f) {
        Log("cannot reach kind %d type %d at cell %d", f->fgrKind, f->unitType, PointToCell(f->x, f->z));
        shunned_.push_back({f->serial, Swap() + 1200});
        if (f == enemy_) enemy_ = nullptr, enemySerial_ = 0;
    }

    // ---- walking

    // Walks toward a world point; true while on the way (something was done
    // or is under way), false once within near of it.
    bool WalkTo(float wx, float wz, float near) {
        const Fgr* h = fgrMainHero;
        const int swap = Swap();
        if (Dist(h, wx, wz) <= near) return false;
        // Stuck: the hero has not moved for 3 s although he should.
        if (std::hypot(h->x - lastX_, h->z - lastZ_) > 4) {
            lastX_ = h->x, lastZ_ = h->z;
            stillSince_ = swap;
        } else if (swap - stillSince_ > 30) {
            detour_ = detour_ % 7 + 1, detourUntil_ = swap + 25;
            stillSince_ = swap, clickedAt_ = -100;
        }
        if (detour_ && swap > detourUntil_) detour_ = 0, clickedAt_ = -100;
        const bool newAim = std::hypot(wx - aimX_, wz - aimZ_) > 8;
        // No step closer for 20 s: the goal cannot be reached from here.
        const float left = Dist(h, wx, wz);
        if (newAim || left < bestLeft_ - 5) bestLeft_ = left, bestAt_ = swap;
        if (swap - bestAt_ > 200) giveUp_ = true, bestAt_ = swap;
        if (!newAim && swap - clickedAt_ < (h->onPath ? 25 : 4)) return true;
        // A point toward the goal inside the view, turned aside when stuck.
        // The way is planned with the world's own planner on a searcher the
        // figures do not use; only the click moves the hero.
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
            Press(int(sx), int(sy), VK_RBUTTON);
            aimX_ = wx, aimZ_ = wz, clickedAt_ = swap;
            return true;
        }
        detour_ = detour_ % 7 + 1, detourUntil_ = swap + 25;
        return true;
    }
    // Walks next to a figure that holds its cell: beside it on the hero's
    // side first; each time that side cannot be reached, the next quarter
    // round (a townsperson) or the figure is given up.
    bool WalkBeside(const Fgr* f, float near) {
        const Fgr* h = fgrMainHero;
        if (Dist(h, f) <= near) return false;
        const float d = std::max(1.0f, Dist(h, f)), a = 1.5708f * float(besideTry_ % 4);
        const float ux = (h->x - f->x) / d, uz = (h->z - f->z) / d;
        const float vx = ux * std::cos(a) - uz * std::sin(a), vz = ux * std::sin(a) + uz * std::cos(a);
        giveUp_ = false;
        const bool on = WalkTo(f->x + vx * 11, f->z + vz * 11, 4);
        if (giveUp_ && f->fgrKind == kKindNpc) ++besideTry_, Log("townsperson %d: another side", f->unitType);
        else if (giveUp_) Shun(f);
        return on;
    }
    // Walks onto the figure's cell (a pile, crystal, fir, weed or bag).
    bool WalkOnto(const Fgr* f, bool logged = true) {
        const int cell = PointToCell(f->x, f->z);
        if (cell != pickCell_ && logged)
            Log("to kind %d type %d at cell %d (hero at %d)", f->fgrKind, f->unitType, cell,
                PointToCell(fgrMainHero->x, fgrMainHero->z));
        pickCell_ = cell, giveUp_ = false;
        const bool on = WalkTo(CellX(cell), CellZ(cell), 3);
        if (giveUp_) Shun(f);
        return on;
    }
    // Picks a figure up by touch; standing on it without the touch, a step
    // off and back.
    bool PickUp(const Fgr* f) {
        if (WalkOnto(f) || fgrMainHero->onPath) return true;
        Log("step off cell %d", pickCell_);
        WalkTo(CellX(pickCell_ + 1), CellZ(pickCell_ + 1), 0);
        busyUntil_ = Swap() + 15;
        return true;
    }

    // ---- townspeople

    // Walks to townsperson npc, clicks him and answers option (0: no answer).
    bool TalkTo(int npc, int option) {
        const Fgr* p = fgrNpc[npc];
        if (!p) return false;
        if (dialogState.openNpc == npc) return option && Tap(answerCells[option]);
        if (Dist(fgrMainHero, p) > 19) return WalkBeside(p, 19);
        if (fgrMainHero->onPath || TapFigure(p)) return true;
        // The hero stands over him: a step aside.
        Log("townsperson %d: under the hero, a step aside", npc);
        WalkTo(p->x + 13, p->z + 4, 2);
        busyUntil_ = Swap() + 10;
        return true;
    }
    // Buys with answer option from a townsperson who talks today (each
    // answers once a day), when the gold is there.
    bool Buy(int npc, int option, int gold) {
        return fgrNpc[npc] && fgrNpc[npc]->talkFlag == 1 && heroCombat.heroGold >= gold && TalkTo(npc, option);
    }

    // ---- fighting

    bool Fight(Fgr* e) {
        const Fgr* h = fgrMainHero;
        const int swap = Swap();
        if (e == pBos && !heroCombat.dailySpellUsed && Castable() && Dist(h, e) < 400) return CastSpell();
        if (e != enemy_ || e->serial != enemySerial_) {
            enemy_ = e, enemySerial_ = e->serial, enemyHp_ = Hp(e), enemyHpAt_ = swap;
            Log("fight type %d at %d %d, %d hp", e->unitType, int(e->x), int(e->z), Hp(e));
        }
        // A fight that does not hurt it for a minute is given up.
        if (Hp(e) < enemyHp_) enemyHp_ = Hp(e), enemyHpAt_ = swap;
        if (swap - enemyHpAt_ > 600) return Shun(e), true;
        const float d = Dist(h, e);
        if (d > 80) return WalkBeside(e, 50);
        // A band's member is selected through its band.
        if (selectionCount != 1 || (selection[0] != e && (!e->owner || selection[0] != e->owner))) {
            if (TapFigure(e)) return true;
            if (d > 30) return WalkBeside(e, 20);
            const float dd = std::max(1.0f, d);
            return WalkTo(h->x + (h->x - e->x) / dd * 30, h->z + (h->z - e->z) / dd * 30, 5);
        }
        if (heroCombat.comboButton && comboWindow->visible) return Tap(comboCells[heroCombat.comboButton]);
        // Lightning first (it fires by itself from afar), then close in for
        // the blade and strike when it is ready.
        if (!heroCombat.autoAttack && !heroCombat.actionCooldown) return Tap(attackCells[3]);
        if (backpack.wearInHand) {
            if (d > 18) return WalkBeside(e, 18);
            if (!heroCombat.strikeCooldown && !heroCombat.actionCooldown) return Tap(attackCells[1]);
        }
        return true;
    }
    // The day button heals and wakes the hero at home; while it cools down,
    // away from the enemy.
    bool Retreat() {
        const Fgr* h = fgrMainHero;
        if (dayState.dayButtonCooldown > 0)
            return !Living(enemy_) || WalkTo(h->x + (h->x - enemy_->x) * 2, h->z + (h->z - enemy_->z) * 2, 5);
        Log("day button: hp %d/%d", Hp(h), HpMax(h));
        busyUntil_ = Swap() + 12;
        return Tap(sideBarCells[5]);
    }

    // ---- the backpack

    int Count(int kind) const {
        return int(std::count(backpack.slotKind + 1, backpack.slotKind + kBackpackSlots + 1, kind));
    }
    // Selects the slot holding kind, then "Применить" (action 1) or
    // "Выбросить" (2).
    bool Use(int kind, int action) {
        if (itemActionWindow->visible) return Tap(itemActionCells[itemAction_]);
        if (heroCombat.strikeCooldown) return false;
        for (int s = 1; s <= kBackpackSlots; ++s)
            if (backpack.slotKind[s] == kind) {
                Log("%s slot %d kind %d", action == 1 ? "use" : "throw away", s, kind);
                itemAction_ = action;
                return Tap(backpackCells[s]);
            }
        return false;
    }
    // Wears the clothes found, puts the best blade into the hand and throws
    // away what the hero will not use, so that bought goods find a place.
    bool Pack() {
        const BackpackState& b = backpack;
        int best = 0;
        for (int s = 1; s <= kBackpackSlots; ++s)
            if (BladeRank(b.slotKind[s]) > BladeRank(best)) best = b.slotKind[s];
        if (BladeRank(best) > BladeRank(b.wearInHand) && Use(best, 1)) return true;
        for (int s = 1; s <= kBackpackSlots; ++s) {
            const int k = b.slotKind[s];
            const bool suit = k >= kItemSuitChic && k <= kItemSuitArmour;
            const bool pants = k == kItemPantsApprentice || k == kItemPantsFortune;
            if ((suit && !b.wearSuit && !b.suitChangedToday) || (pants && !b.wearPants) ||
                (k == kItemCap && !b.wearCap) || (k == kItemBoots && !b.wearBoots) || k == kItemKvass)
                return Use(k, 1);
            if ((suit && b.wearSuit) || (pants && b.wearPants) || (k == kItemCap && b.wearCap) ||
                (BladeRank(k) && k != kItemChainsaw && BladeRank(k) <= BladeRank(b.wearInHand)))
                return Use(k, 2);
        }
        return false;
    }
    bool Heal() { return !Above(fgrMainHero, 5) && Use(kItemMedkit, 1); }

    // ---- earning

    // Pink weeds pay a coin or two a strike, up to rank 4.
    bool Weed(float range) {
        const Fgr* h = fgrMainHero;
        if (!backpack.wearInHand || h->unitExpRang > 4) return false;
        if (!weed_ || weed_->fgrKind != kKindPlant || weed_->stateFlag != 1 || Shunned(weed_)) {
            weedTries_ = 0;
            auto pink = [](const Fgr* f) { return f->fgrKind == kKindPlant && f->unitType == 1 && f->stateFlag == 1; };
            weed_ = Nearest(pink, range);
            if (!weed_) return false;
        }
        if (WalkOnto(weed_, false) || h->onPath) return true;
        // A left click on open ground beside the hero clears the selection
        // (a strike then goes to the bush under him).
        for (int i = 0; selectionCount && i < 8; ++i) {
            const float a = 0.785f * float(i + Swap() % 8);
            float sx, sy;
            WorldToScreen(h->x + 45 * std::cos(a), h->z + 45 * std::sin(a), &sx, &sy);
            if (MapClickable(int(sx), int(sy))) return Press(int(sx), int(sy)), true;
        }
        if (heroCombat.strikeCooldown || heroCombat.actionCooldown) return true;
        if (++weedTries_ > 4) return Shun(weed_), true;
        return Tap(attackCells[1]);
    }
    // Fishing from the fishiest shore cell near the sailor that the hero can
    // reach; when the three "Где?" buttons come up, a guess.
    bool Fish() {
        const Fgr* h = fgrMainHero;
        if (fishChoiceWindow->visible) {
            guess_ = guess_ * 1103515245u + 12345u;
            return Tap(fishChoiceCells[1 + (guess_ >> 16) % 3]);
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

    // ---- the story

    // Stat points alternately into Blood and Anger; the abilities "оптима
    // молнии", "добавка огня", "оптима кристалов", "кладо-искатель".
    bool Grow() {
        if (progress.statPoints > 0) {
            if (!heroWindow->visible) return Tap(heroButton);
            Log("stat point");
            const bool blood = progress.bloodPoints <= progress.angerPoints;
            return Tap(ChildDrawnBy(heroWindow, blood ? hudPainters.bloodStat : hudPainters.angerStat));
        }
        if (heroWindow->visible) return Tap(heroButton);
        if (heroCombat.abilPoints > 0) {
            if (!abilityWindow->visible) return Tap(rankWidget);
            const int pick = !heroCombat.optLightning ? 1 : !heroCombat.fireAddOn ? 2 : !heroCombat.optCrystals ? 4 : 3;
            Log("ability %d", pick);
            return Tap(abilityCells[pick]);
        }
        return abilityWindow->visible && Tap(rankWidget);
    }
    // Three crystals of one colour in a row make a gem (an echo crystal
    // repeats the running colour); each collection raises the day's
    // вир-форс. The running chain first, then the first colour of order
    // ('1' ruby .. '4' diamond) with three standing, an echo counting as one.
    bool Crystals(const char* order) {
        const CrystalState& c = crystals;
        auto standing = [](const Fgr* f) { return f->fgrKind == kKindCrystal && !f->collected; };
        int count[7] = {}, want = c.chainColour;
        for (int s = 1; s <= kFigureSlots; ++s) {
            const Fgr* f = FgrAt(s);
            if (standing(f) && f->unitType >= 1 && f->unitType <= 6 && !Shunned(f)) ++count[f->unitType];
        }
        const bool echo = want >= 1 && want <= 4 && !c.lastWasEcho && count[6];
        if (want < 1 || want > 4 || !(count[want] || echo)) want = 0;
        for (const char* o = order; !want && *o; ++o)
            if (count[*o - '0'] >= 2 && count[*o - '0'] + std::min(count[6], 1) >= 3) want = *o - '0';
        const Fgr* pick = Nearest([&](const Fgr* f) {
            return standing(f) && want && (f->unitType == want || (f->unitType == 6 && echo && want == c.chainColour));
        });
        return pick && PickUp(pick);
    }
    // The Hot is high enough for yellow crystals (a quarter of it each).
    static bool HotHigh() {
        const Fgr* h = fgrMainHero;
        return h->kor.ph->w[kStHot] * 10 > h->kor.ph->w[kStHotMax] * 7;
    }
    // One day of crystals for the spell: the four diamonds and the вир-форс
    // 4 (nine collections in the day) of "Мистик-урон"; for the regrowing
    // crystals it waits three minutes at most. Whatever the day allows is
    // cast at the demon. Every day the crystals' way would cost more than
    // the spell gives.
    bool SpellDay() {
        if (spellsCast || heroCombat.dailySpellUsed) return false;
        if (crystals.virForce >= 4 && crystals.diamonds >= 4) return false;
        if (Crystals(crystals.diamonds < 4 && HotHigh() ? "4123" : "123")) return true;
        if (waitDay_ != dayState.dayNumber) waitDay_ = dayState.dayNumber, waitUntil_ = Swap() + 1800;
        return Swap() < waitUntil_;
    }
    static Widget* SpellToggle() { return ChildDrawnBy(bottomBar, hudPainters.spellToggle); }
    // The spell window's cell of the best spell the day allows.
    bool CastSpell() {
        const SpellPick* s = Castable();
        if (!spellWindow->visible) return Tap(SpellToggle());
        Log("spell in cell %d: вир-форс %d, %d of its gems", s->cell, crystals.virForce, crystals.*s->gems);
        spellDemonHp_ = Hp(pBos), spellHealed_ = 0;
        return Tap(spellCells[s->cell]);
    }
    // What the spell of the day does while it lasts: the blood its
    // regeneration gives, the demon's blood lost.
    void WatchSpell() {
        const Fgr* h = fgrMainHero;
        const HeroCombat& hc = heroCombat;
        if (hc.dailySpell && h->regenCountdown > regenCountdown_)
            spellHealed_ += std::clamp(Hp(h) - lastHp_ - progress.regenHit, 0, hc.spellRegenHit);
        if (spellOn_ && !hc.dailySpell)
            Log("spell %d over: %d blood healed, the demon lost %d blood", spellOn_, spellHealed_,
                spellDemonHp_ - Hp(pBos));
        if (!spellOn_ && hc.dailySpell && ++spellsCast)
            Log("spell %d cast: %d blood a regeneration, mystic %d, doubler %d", hc.dailySpell, hc.spellRegenHit,
                hc.spellMystic, hc.spellDoubler);
        spellOn_ = hc.dailySpell, regenCountdown_ = h->regenCountdown, lastHp_ = Hp(h);
    }
    // The black firs of the wood quest until the forest answers.
    bool Firs() {
        if (dayState.firsChopped != firsLogged_) {
            firsLogged_ = dayState.firsChopped;
            Log("firs chopped %d, wood %d/%d", firsLogged_, questState.woodCut, kWoodGoal);
        }
        const Fgr* fir = Nearest([](const Fgr* f) {
            return f->fgrKind == kKindPlant && f->unitType == 3 && f->active && !f->runtime[0];
        });
        return fir && PickUp(fir);
    }
    // Before the demon: the rod from the sailor, fishing money, the chainsaw,
    // then a medkit whenever the shop opens.
    bool Prepare() {
        const int gold = heroCombat.heroGold;
        if (!Count(kItemRod)) return Buy(5, 4, 35);
        if (backpack.wearInHand != kItemChainsaw && !Count(kItemChainsaw)) {
            // Bait needs 10 gold: the weeds give the first coins again.
            if (gold < 10) return Weed(3000);
            return gold >= kSawPrice + kMedkitPrice * kMedkits ? Buy(3, 4, 0) : Fish();
        }
        return Count(kItemMedkit) < kMedkits && Buy(3, 1, kMedkitPrice);
    }
    // With the chainsaw in hand and blood enough, to the demon; the day
    // button brings the hero home when his blood runs low, and the demon does
    // not heal, so every visit counts.
    bool Demon() {
        if (!Living(pBos) || backpack.wearInHand != kItemChainsaw || !Above(fgrMainHero, 7)) return false;
        if (enemy_ != pBos) Log("to the demon: its hp %d, gold %d", Hp(pBos), heroCombat.heroGold);
        return Fight(pBos);
    }

    // The story in the order a player takes it; a stage counts from its
    // first action, chores (number 0) do not count.
    struct Stage { int number; const char* name; bool (*play)(Playthrough&); };
    bool Story() {
        static constexpr Stage kStages[] = {
            {1, "wild-dogs quest", [](Playthrough& p) { return questState.wildDogs == kQuestNone && p.TalkTo(1, 3); }},
            {2, "garbage quest", [](Playthrough& p) { return questState.garbage == kQuestNone && p.TalkTo(2, 3); }},
            {3, "garbage piles",
             [](Playthrough& p) {
                 const Fgr* pile = p.Nearest([](const Fgr* f) {
                     return f->fgrKind == kKindLoot && f->unitType == kPickupGarbage && f->active;
                 });
                 return questState.garbage == kQuestTaken && Above(fgrMainHero, 4) && pile && p.PickUp(pile);
             }},
            {0, "stats and abilities", [](Playthrough& p) { return p.Grow(); }},
            // Diamonds (each yellow crystal costs a quarter of the Hot) while
            // the Hot is high, a few other gems.
            {4, "crystals",
             [](Playthrough& p) {
                 const Fgr* h = fgrMainHero;
                 const int gems = crystals.rubies + crystals.emeralds + crystals.sapphires + crystals.diamonds;
                 const char* order = crystals.diamonds < 4 && HotHigh()            ? "4"
                                     : gems < 4 + 2 * (h->unitExpRang >= 4) ? "123"
                                                                            : "";
                 return h->unitExpRang >= 2 && !dayState.demonAwake && p.Crystals(order);
             }},
            {0, "weeds", [](Playthrough& p) { return p.Weed(90); }},
            {5, "wood quest",
             [](Playthrough& p) {
                 const bool ready = fgrMainHero->unitExpRang >= 3 && backpack.wearInHand;
                 return ((ready && questState.wood == kQuestNone) || questState.wood == kQuestDone) && p.TalkTo(6, 0);
             }},
            {6, "black firs",
             [](Playthrough& p) {
                 return fgrMainHero->unitExpRang >= 3 && backpack.wearInHand && questState.wood >= kQuestTaken &&
                        !dayState.demonAwake && Above(fgrMainHero, 6) && p.Firs();
             }},
            {7, "the forest is angry: preparing", [](Playthrough& p) { return dayState.demonAwake && p.Prepare(); }},
            {8, "crystals for the spell",
             [](Playthrough& p) {
                 return dayState.demonAwake && backpack.wearInHand == kItemChainsaw && p.SpellDay();
             }},
            {9, "the demon", [](Playthrough& p) { return dayState.demonAwake && p.Demon(); }},
        };
        for (const Stage& s : kStages) {
            if (!s.play(*this)) continue;
            if (s.number > stage) stage = s.number, Log("stage %d: %s", stage, s.name);
            return true;
        }
        return false;
    }

    // One decision.
    bool Act() {
        Fgr* h = fgrMainHero;
        if (h->dead || !Above(h, 3)) return Heal() || Retreat();
        if (Heal() || Pack()) return true;
        auto bag = [](const Fgr* f) { return f->fgrKind == kKindLoot && f->unitType == kPickupBag && f->active; };
        if (const Fgr* f = Nearest(bag, 200)) return PickUp(f);
        // The demon hunts the hero once it has seen him: with the chainsaw in
        // hand he stands and fights it, and once at it he stays at it (the
        // creatures round it would wear him down before it falls).
        if (backpack.wearInHand == kItemChainsaw && Living(pBos) && (pBos->target1 == h || enemy_ == pBos) &&
            Dist(h, pBos) < 250)
            return Fight(pBos);
        // Whatever attacks the hero is answered first, fair or not (walking on
        // under a bandit's shots costs more); the one in hand first.
        if (Living(enemy_) && enemy_ != pBos && (enemy_->target1 == h || enemy_->target2 == h) && Dist(h, enemy_) < 230)
            return Fight(enemy_);
        if (Fgr* e = Attacker()) return Fight(e);
        if (Fgr* e = NearestEnemy(); e && Dist(h, e) < 110 && e == enemy_) return Fight(e);
        if (Story()) return true;
        if (Fgr* e = NearestEnemy()) return Fight(e);
        return Retreat();
    }

    // Closes what the start opens over the map (the about text, the title,
    // the minimap, the hero window) and a spell window left open.
    bool Tidy() {
        const Widget* w = dialogWindow->visible && !dialogState.openNpc ? dialogCloseButton
                          : titleLabel->visible                         ? titleLabel
                          : minimapShown                                ? mapButton
                          : heroWindow->visible && !progress.statPoints ? heroButton
                          : spellWindow->visible && !Castable()          ? SpellToggle()
                                                                        : nullptr;
        if (!w) return false;
        if (++tidyClicks_ % 20 == 0) Log("tidy: still clicking %d %d", w->x, w->y);
        return Tap(w);
    }

    // The player's turn in a frame; true ends the run.
    bool Turn() {
        const Fgr* h = fgrMainHero;
        if (dayState.dayNumber != loggedDay_) {
            if (loggedDay_) {
                RecordDay(loggedDay_);
                const DayLog& d = days.back();
                Log("new day: kills %d gold %d rank %d exp %d, the demon %d", d.kills, d.gold, d.rank, d.exp, Hp(pBos));
            }
            loggedDay_ = dayState.dayNumber;
        }
        if (dayState.gameWon) return wins = ReadText(kWinsFile), won = true;
        // A dead enemy is a kill; one that left the world (the new day clears
        // the lairs' bands) is not.
        if (enemy_ && (enemy_->serial != enemySerial_ || !enemy_->fgrKind)) {
            enemy_ = nullptr;
        } else if (enemy_ && enemy_->dead) {
            ++kills;
            Log("enemy down (%d kills), gold %d, rank %d exp %d", kills, heroCombat.heroGold, h->unitExpRang,
                h->unitExpNow);
            enemy_ = nullptr;
        }
        if (Swap() % 300 == 0)
            Log("hero at %d %d (cell %d) hp %d/%d, path %d", int(h->x), int(h->z), PointToCell(h->x, h->z), Hp(h),
                HpMax(h), h->onPath);
        if (Swap() < busyUntil_ || Tidy()) return false;
        // Save once, the day after the first; the run ends when it is done.
        if (saveState == 1) return saveState = 2, true;
        if (dayState.dayNumber >= 2 && !saveState) {
            Log("F5");
            ScriptKeyDown(VK_F5), ScriptKeyUp(VK_F5);
            busyUntil_ = Swap() + 3, saveState = 1;
            return false;
        }
        Act();
        return false;
    }

    std::string data_;   // where the saves live
    int stage = 0, kills = 0, saveState = 0;   // 0 not saved, 1 F5 pressed, 2 saved
    int spellsCast = 0;
    bool won = false;
    std::vector<DayLog> days;
    std::string trace, wins;   // the player's decisions; z_game_wins.txt

private:
    int busyUntil_ = 0, loggedDay_ = 0, tidyClicks_ = 0;
    // walking
    float aimX_ = -1, aimZ_ = -1, lastX_ = 0, lastZ_ = 0, bestLeft_ = 1e9f;
    int clickedAt_ = -100, stillSince_ = 0, detour_ = 0, detourUntil_ = 0, bestAt_ = 0, besideTry_ = 0;
    int pickCell_ = -1, firsLogged_ = 0;
    bool giveUp_ = false;
    std::vector<std::pair<int, int>> shunned_;   // serial, swap until
    // fighting
    Fgr* enemy_ = nullptr;
    int enemySerial_ = 0, enemyHp_ = 0, enemyHpAt_ = 0;
    // earning
    const Fgr* weed_ = nullptr;
    int fishCell_ = -1, weedTries_ = 0, itemAction_ = 1;
    unsigned guess_ = 12345;   // the player's own dice for the fishing guess
    // the day's spell
    int waitDay_ = 0, waitUntil_ = 0, spellOn_ = 0, spellHealed_ = 0, spellDemonHp_ = 0;
    int regenCountdown_ = 0, lastHp_ = 0;
};

TEST_F(Playthrough, NewHeroWinsTheGame) {
    data_ = ::testing::TempDir() + "/bd_playthrough_data_" + std::to_string(getpid());
    std::filesystem::create_directories(data_);
    Run("playthrough", false);
    ASSERT_EQ(saveState, 2) << trace;
    NewRun();
    Run("playthrough2", true);
    // The saved game went on: the day count did not start again.
    EXPECT_GE(dayState.dayNumber, 2);
    RecordDay(dayState.dayNumber);
    std::printf("day  kills  gold  rank   exp  game minutes and the demon's blood at its end\n");
    for (const DayLog& d : days)
        std::printf("%3d %6d %5d %5d %5d %5d %5d\n", d.day, d.kills, d.gold, d.rank, d.exp, d.minutes, d.demon);
    std::printf("stage reached: %d, won %d on day %d after %d game minutes\n", stage, won, dayState.dayNumber,
                gameClockMs / 60000);
    ASSERT_TRUE(won) << trace;
    EXPECT_GE(spellsCast, 1) << trace;
    EXPECT_NE(wins.find("Игра пройдена за ("_w), std::string::npos) << wins;
    EXPECT_EQ(std::tuple(dayState.demonAwake != 0, questState.garbage, questState.wood),
              std::tuple(true, int(kQuestDone), int(kQuestRewarded)));
    EXPECT_GE(dayState.firsChopped, 10);
    EXPECT_GE(questState.wildDogs, kQuestTaken);
    EXPECT_GE(fgrMainHero->unitExpRang, 3);
    EXPECT_GE(kills, 5);
    std::filesystem::remove_all(data_);
}

}  // namespace
