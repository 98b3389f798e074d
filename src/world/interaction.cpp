// Map interaction: the world step, hover, selection, orders, hero keys and
// the hero's walk.
#include "world/interaction.h"

#include "app/frame.h"
#include "app/input.h"
#include "app/signals.h"
#include "combat/hero_attack.h"
#include "platform/platform.h"
#include "ui/widget.h"
#include "editor/editor.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"

Fgr* hoveredFigure = nullptr;
int hoverTimerMs = 1;
Fgr* selection[kSelectionMax] = {};
int selectionCount = 0;
int lastOrderX = 0, lastOrderZ = 0;
int leftClickCount = 0, rightClickCount = 0;
int pendingPlacement = 0;
Fgr* carriedFigure = nullptr;

int heroPrevDir = 0;
int heroPrevDiagonal = 0;
int heroDir = 0;
int heroDirGraceMs = 0;

MapHooks mapHooks = {};

namespace {

// Placement word and point of a carried building (bunker layer).
constexpr int kPlacementWord = 0;      // kindWords[0]
constexpr int kPlacementXFloat = 0;    // kindFloats[0], [1]

int Fired(int sig) { return sig >= 0 && sig < kSigCount ? sigTable[sig].fired : 0; }

bool EditorOpen() { return editor.open != 0; }

bool CursorInView() {
    return cursorX >= viewX && cursorX <= viewX + viewWidth && cursorY >= viewY &&
           cursorY <= viewY + viewHeight;
}

bool CursorInMinimap() {
    return cursorX >= minimapX && cursorX <= minimapX + minimapSide && cursorY >= minimapY &&
           cursorY <= minimapY + minimapSide;
}

// The mouse picks what the player sees: the sprite's screen rectangle (drawn
// with the view's x scale for both sides, and the figure's sprite factors)
// against the cursor's box, touching counts. A box in world z units would
// miss the top of tall sprites whenever the two axes scale differently.
bool CursorMeetsSprite(const Fgr* f) {
    float x, y, w, h;
    FigureScreenRect(f, &x, &y, &w, &h);
    const float cx = float(cursorX), cy = float(cursorY), half = float(kCursorBoxHalf);
    return cx + half >= x && cx - half <= x + w && cy + half >= y && cy - half <= y + h;
}

// A figure with a draw operation: its own, or the map view's standing
// sprite, which every unit kind without one of its own gets.
bool Pickable(const Fgr* f) {
    return f->fgrKind != 0 && f->active && f->bornNow == 0 && f->fgrClass == kClassUnit;
}

Fgr* FirstPickedUnderCursor() {
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr* f = &FigureTable[s];
        if (Pickable(f) && CursorMeetsSprite(f)) return f;
    }
    return nullptr;
}

bool TargetableByPlayer(const Fgr* f) { return f->side == kSidePlayer || f->targetable != 0; }

void CursorWorld(float* wx, float* wz) { ScreenToWorld(float(cursorX), float(cursorY), wx, wz); }

// A forced attack order; a group hands it to at most 30 active members.
void AttackOrder(Fgr* f, Fgr* target) {
    if (!f) return;
    if (f->fgrClass == kClassGroup) {
        int given = 0, guard = 0;
        for (Fgr* m = f->members; m && given < kMaxGroupAttackers && guard++ <= kFigureSlots; m = m->next) {
            if (m == f || !m->active) continue;
            AttackOrder(m, target);
            ++given;
        }
        return;
    }
    if (FgrSameSide(f, target)) return;
    f->target1 = target;
    f->target2 = nullptr;
}

// Walkers whose kind has no behaviour installed yet (the hero before
// combat, townspeople before the quests, monsters before their thinking)
// still walk their orders: the hero with his camera and speed rules, the
// others plainly, planning a fresh order at once like the hero.
void GiveWalkersTheirWalk() {
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr& f = FigureTable[s];
        if (f.fgrKind == 0 || f.fnUpdate || f.fgrClass != kClassUnit || f.moveMode == 0) continue;
        f.fnUpdate = (&f == fgrMainHero) ? HeroUpdateWalkOnly : WalkerUpdateWalkOnly;
    }
}

}  // namespace

void InteractionReset() {
    hoveredFigure = nullptr;
    hoverTimerMs = 1;
    for (Fgr*& f : selection) f = nullptr;
    selectionCount = 0;
    lastOrderX = lastOrderZ = 0;
    leftClickCount = rightClickCount = 0;
    pendingPlacement = 0;
    carriedFigure = nullptr;
    heroPrevDir = heroPrevDiagonal = heroDir = heroDirGraceMs = 0;
    mapHooks = MapHooks{};
}

void WorldStepRun(int clickTaken) {
    ClearTooltipText();
    UpdateHoverCellAt(cursorX, cursorY);
    if (!clickTaken) MapInteraction();
    // The world stands still while the editor is open.
    if (EditorOpen()) {
        if (mapHooks.editorFrame) mapHooks.editorFrame();
        return;
    }
    GiveWalkersTheirWalk();
    PathWorldStep();
    if (mapHooks.beforeFigures && !worldPaused && !EditorOpen()) mapHooks.beforeFigures();
    FgrUpdateAll();
    if (mapHooks.gameRules) mapHooks.gameRules();
    if (mapHooks.itemRules && !worldPaused) mapHooks.itemRules();
}

void MapInteraction() {
    const bool editor = EditorOpen();
    if (CursorInMinimap()) {
        if (editor) {
            if (AsyncKeyHeld(VK_LBUTTON) && minimapSide > 0) {
                const float px = 2560.0f * float(cursorX - minimapX) / float(minimapSide);
                const float pz = 2560.0f * float(minimapY + minimapSide - cursorY) / float(minimapSide);
                camX = px - camWidth / 2;
                camZ = pz - camHeight / 2;
                return;
            }
        } else if (minimapShown && (Fired(1) || Fired(2))) {
            minimapShown = 0;
            return;
        }
    }

    if (Fired(1)) {
        ++leftClickCount;
        if (CursorInView()) LeftClickMap();
    } else if (Fired(2)) {
        ++rightClickCount;
        if (CursorInView()) RightClickMap();
    } else if (!AsyncKeyHeld(VK_LBUTTON) && !AsyncKeyHeld(VK_RBUTTON) && Countdown(&hoverTimerMs)) {
        hoverTimerMs = kHoverRefreshMs;
        HoverPick();
    }

    CameraInput in{};
    in.zoomOut = Fired(7);
    in.zoomIn = Fired(8);
    in.left = Fired(3);
    in.right = Fired(4);
    in.up = Fired(5);
    in.down = Fired(6);
    in.editor = editor ? 1 : 0;
    CameraControlBy(in);
    if (!editor) HeroKeyControl(fgrMainHero);

    if (editor && AsyncKeyHeld(VK_LBUTTON) && AsyncKeyHeld(VK_F1) && mapHooks.editorApplyTool)
        mapHooks.editorApplyTool(1);
}

void HoverPick() {
    if (!CursorInView()) {
        hoveredFigure = nullptr;
        return;
    }
    Fgr* f = FirstPickedUnderCursor();
    hoveredFigure = (f && TargetableByPlayer(f)) ? f : nullptr;
}

void LeftClickMap() {
    if (pendingPlacement) {
        if (carriedFigure && carriedFigure->fgrKind != 0) {
            float wx, wz;
            CursorWorld(&wx, &wz);
            carriedFigure->kindWords[kPlacementWord] = pendingPlacement + 100;
            carriedFigure->kindFloats[kPlacementXFloat] = wx;
            carriedFigure->kindFloats[kPlacementXFloat + 1] = wz;
        } else {
            pendingPlacement = 0;
        }
        return;
    }
    for (int i = 0; i < selectionCount; ++i) selection[i] = nullptr;
    selectionCount = 0;
    if (Fgr* f = FirstPickedUnderCursor()) {
        selection[0] = f->owner ? f->owner : f;
        selectionCount = 1;
    }
    TalkClick();
}

void RightClickMap() {
    if (EditorOpen()) {
        if (mapHooks.editorApplyTool) mapHooks.editorApplyTool(0);
        return;
    }
    if (selectionCount == 0) {
        HeroGoTo(cursorX, cursorY);
        return;
    }
    Fgr* one = selection[0];
    if (selectionCount == 1 && one && (one->fgrKind == kKindNpc || one->side != kSidePlayer)) {
        HeroGoTo(cursorX, cursorY);
        return;
    }
    float wx, wz;
    CursorWorld(&wx, &wz);
    if (selectionCount == 1 && one && one->fgrClass == kClassUnit && one->moveMode == 0 &&
        one->targPathKle != 0) {
        one->targPathKle = PointToCell(wx, wz);
        PlaceOrderMarker(wx, wz);
        return;
    }
    Fgr* target = FirstPickedUnderCursor();
    if (target && !TargetableByPlayer(target)) target = nullptr;
    float ox = wx, oz = wz;
    // The selection outlives its figures: orders go to the living only.
    if (target) {
        for (int i = 0; i < selectionCount; ++i)
            if (selection[i] && selection[i]->fgrKind != 0) AttackOrder(selection[i], target);
        ox = target->x;
        oz = target->z;
    } else {
        const int cell = PointToCell(wx, wz);
        for (int i = 0; i < selectionCount; ++i)
            if (selection[i] && selection[i]->fgrKind != 0) FgrMoveOrder(selection[i], cell, 0);
        lastOrderX = int(wx);
        lastOrderZ = int(wz);
    }
    PlaceOrderMarker(ox, oz);
}

void HeroGoTo(int sx, int sy) {
    Fgr* hero = fgrMainHero;
    if (!hero || hero->fgrKind == 0 || hero->dyingTimer != 0) return;
    float wx, wz;
    ScreenToWorld(float(sx), float(sy), &wx, &wz);
    const int cell = PointToCell(wx, wz);
    FgrMoveOrder(hero, cell, 0);
    // No cell there: the order has no target, and he stops where he is.
    if (cell < 0 && hero->onPath) StopPath(hero);
    lastOrderX = int(wx);
    lastOrderZ = int(wz);
    PlaceOrderMarker(wx, wz);
}

int DirectionCode(int left, int right, int up, int down) {
    if (left && up) return 7;
    if (left && down) return 1;
    if (right && up) return 9;
    if (right && down) return 3;
    if (left) return 4;
    if (right) return 6;
    if (up) return 8;
    if (down) return 2;
    return 0;
}

int DirectionCellOffset(int code) {
    switch (code) {
        case 7: return -257;
        case 8: return -256;
        case 9: return -255;
        case 4: return -1;
        case 6: return 1;
        case 1: return 255;
        case 2: return 256;
        case 3: return 257;
        default: return 0;
    }
}

namespace {
bool IsDiagonal(int code) { return code == 7 || code == 9 || code == 1 || code == 3; }
}  // namespace

void HeroKeyControl(Fgr* hero) {
    if (!hero || hero->fgrKind == 0) return;
    if (Fired(12)) HeroAction(1);
    else if (Fired(13)) HeroAction(2);
    else if (Fired(14)) HeroAction(3);
    else if (Fired(15)) HeroAction(1);

    if (heroDirGraceMs > 0) {
        Countdown(&heroDirGraceMs);
        return;
    }
    const int code = DirectionCode(Fired(3), Fired(4), Fired(5), Fired(6));
    if (heroPrevDiagonal && !IsDiagonal(code)) {
        heroDir = heroPrevDir;
        heroPrevDiagonal = 0;
        heroDirGraceMs = kDiagonalGraceMs;
        return;
    }
    heroPrevDiagonal = IsDiagonal(code) ? 1 : 0;
    if (code == heroPrevDir && hero->onPath) return;
    heroPrevDir = heroDir = code;
    if (code == 0) return;
    const int here = PointToCell(hero->x, hero->z);
    if (here < 0) return;
    const int target = here + DirectionCellOffset(code);
    if (KleInterior(target)) FgrMoveOrder(hero, target, 0);
}

void TalkClick() {
    if (mapHooks.talkClick) mapHooks.talkClick();
}

void PlaceOrderMarker(float x, float z) {
    Fgr* m = FgrCreateFigure(kKindEffect, x, z);
    if (!m) return;
    m->size = kOrderMarkerRadius;
    FgrSetSide(m, kSidePlayer);
}

void HeroWalk(Fgr* hero) {
    if (!hero) return;
    FollowHero(hero);
    if (hero->dead) return;
    if (mapHooks.heroMayWalk && !mapHooks.heroMayWalk(hero)) return;
    const float saved = hero->speed;
    const int k = KleAt(hero->x, hero->z);
    if (k >= 0 && masKle.m[k].landType == kLandDeepWater)
        hero->speed = saved * 0.5f;
    else if (mapHooks.heroSpeedFactor)
        hero->speed = saved * mapHooks.heroSpeedFactor(hero);
    // A fresh order is planned here at once, not at the next rebuild.
    PathStepFigure(hero);
    hero->speed = saved;
}

void HeroUpdateWalkOnly(Fgr* hero) { HeroWalk(hero); }

void WalkerUpdateWalkOnly(Fgr* f) { PathStepFigure(f); }
