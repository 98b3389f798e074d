// The game screen: the widget tree built once on top of uiRoot (bottom bar,
// hero bars, hero window, ability, spell and item windows, dialog window,
// combo and fishing choices, the side bar of commands, window buttons, the
// tooltip bar) and what its buttons do. The editor bar is the editor's
// (editor/editor_bar.cpp). The painters live in
// ui/hud_draw.cpp and are installed into hudPainters before the tree is
// built, so the tree and its clicks run without GL.
#pragma once

#include "ui/widget.h"

// Window handles (null until BuildGameUI).
extern Widget *bottomBar, *treasureButton, *heroWindow, *abilityWindow, *spellWindow;
extern Widget *itemActionWindow, *topPanel, *testInfoPanel, *dialogWindow, *dialogText;
extern Widget *comboWindow, *fishChoiceWindow, *noticeBar, *titleLabel, *sideBar;
extern Widget *fishingBar, *infoButton;
// Cells the tests and the painters address directly.
extern Widget* backpackCells[9];      // by slot tag 1..8
extern Widget* attackCells[4];        // 1 melee, 2 fire add-on, 3 lightning
extern Widget* sideBarCells[11];      // 1..10, top first
extern Widget* answerCells[5];        // "п1".."п4"
extern Widget* abilityCells[5];
extern Widget* spellCells[5];
extern Widget* comboCells[4];
extern Widget* gemCells[5];
extern Widget* itemActionCells[4];     // "Применить", "Выбросить", "Отменить"
extern Widget* fishChoiceCells[4];     // the three "Где?"
extern Widget *rankWidget, *abilityPointsWidget, *hitBarWidget, *manaBarWidget, *dialogTitle;
extern Widget *dialogCloseButton, *closeButton, *minimiseButton, *mapButton, *heroButton;

// The painters of the tree, by widget. Null painters draw nothing.
struct HudPainters {
    WidgetFn panel, picture, tooltipBar, textList;
    WidgetFn fishBar, backpackSlot, attackButton, expLabel, rankLabel, collectionLabel;
    WidgetFn spellToggle, gem, treasure;
    WidgetFn mapButton, heroButton, infoButton, closeButton, minimiseButton;
    WidgetFn heroStrip, dayLabel, spellOfDay, gold, helmet, weapon, suit, boots, trousers;
    WidgetFn bloodStat, mindStat, angerStat, statPoints, abilPoints;
    WidgetFn abilityCell, spellCell, itemActionCell;
    WidgetFn manaBar, hitBar, selectedUnit, statusIcon;
    WidgetFn testInfoRow, dialogTitle, dialogClose, answer, comboCell, fishChoiceCell, notice;
    WidgetFn titleLabel, sideBarCell;
};
extern HudPainters hudPainters;

// The platform's minimise, installed by the shell (null: the button does nothing).
extern void (*hudMinimiseWindow)();
// The test-info flag: the info panel and the status line.
extern int testInfoShown;

// Builds the tree (once; nothing unless uiReady is 1). The dialog window
// shows "uni_files/_about.txt".
void BuildGameUI();
// Handles back to null (UIReset frees the widgets themselves).
void HudReset();
// Per frame, before drawing: windows that follow the rules' state (the
// combo choice, the treasure button, the fishing choice).
void HudSync();

// Labels of the grids, by tag (Windows-1251); the painters and the label
// fit test read them.
inline constexpr int kSideBarButtons = 10;
const char* SideBarLabel(int tag);
const char* SideBarTooltip(int tag);
const char* AbilityLabel(int tag);
const char* AbilityTooltip(int tag);
const char* SpellLabel(int tag);
const char* SpellTooltip(int tag);
const char* ItemActionLabel(int tag);
const char* ItemActionTooltip(int tag);
const char* GemLabel(int tag);
