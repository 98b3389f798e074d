// The player's hands on the map: the world step's order, mouse hover and
// selection, move and attack orders with the right button, the hero's
// direction keys, and the hero's walk (camera, replan, speed rules).
//
// Each frame, after the widget tree had the click, WorldStepRun() maps the
// cursor to a cell, lets MapInteraction() act on it unless a widget took the
// click, rebuilds passability on its timer and runs the figure pass.
#pragma once

struct Fgr;

inline constexpr int kSelectionMax = 199;
inline constexpr int kHoverRefreshMs = 300;
inline constexpr int kDiagonalGraceMs = 250;
inline constexpr int kMaxGroupAttackers = 30;
inline constexpr float kOrderMarkerRadius = 5.0f;
inline constexpr int kCursorBoxHalf = 4;   // pixels around the cursor that pick

// Mouse and selection state.
extern Fgr* hoveredFigure;
extern int hoverTimerMs;
extern Fgr* selection[kSelectionMax];
extern int selectionCount;
extern int lastOrderX, lastOrderZ;
extern int leftClickCount, rightClickCount;
// Bunker layer: a building that follows the cursor until placed.
extern int pendingPlacement;
extern Fgr* carriedFigure;

// Hero key state.
extern int heroPrevDir;        // keypad code of the previous frame, 0..9
extern int heroPrevDiagonal;
extern int heroDir;            // current direction (the hero drawing shows it)
extern int heroDirGraceMs;

// Hooks that later parts fill; null means "nothing yet".
struct MapHooks {
    void (*talkClick)();                  // talk to the selected townsperson
    void (*editorApplyTool)(int drag);    // right click (0) or F1 drag (1) in the editor
    void (*editorFrame)();                // the editor's step; the world stands still meanwhile
    int (*heroMayWalk)(const Fgr* hero);  // e.g. stunned by a forest creature's shout
    float (*heroSpeedFactor)(const Fgr* hero);   // kvass, the demon's gaze (dry land only)
    void (*gameRules)();                  // rules that run after the figure pass
    void (*beforeFigures)();              // combat: visibility and auras, before the figure pass
    void (*itemRules)();                  // items, fishing, crystals: their timers, after the figure pass
};
extern MapHooks mapHooks;

// Everything above back to its start value (tests).
void InteractionReset();

// The world update of a frame (the shell's WorldStep hook).
void WorldStepRun(int clickTaken);

void MapInteraction();
void HoverPick();
void LeftClickMap();
void RightClickMap();
void HeroGoTo(int sx, int sy);
void HeroKeyControl(Fgr* hero);

// The named operation that the quests fill through mapHooks (the hero's
// actions are combat's HeroAction).
void TalkClick();

// The order marker at a world point.
void PlaceOrderMarker(float x, float z);

// The hero's walk for one frame: camera, a fresh order planned at once, the
// path step at the hero's speed (half on deep water). The hero's behaviour
// calls it from its update.
void HeroWalk(Fgr* hero);
// The hero's update until combat installs its own (it only walks).
void HeroUpdateWalkOnly(Fgr* hero);
// Any other walker's update until its kind's behaviour is installed: a fresh
// order is planned at once, then the path step.
void WalkerUpdateWalkOnly(Fgr* f);

// Keypad direction code of the four direction signals (3 left, 4 right,
// 5 up, 6 down): 7 9 1 3 diagonals, 4 6 8 2 straight, 0 none.
int DirectionCode(int left, int right, int up, int down);
// Cell offset of a keypad code (0 for 0, 5 and anything else).
int DirectionCellOffset(int code);
