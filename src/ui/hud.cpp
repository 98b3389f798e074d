// The game screen's widget tree, its grids and what its buttons do.
#include "ui/hud.h"

#include "app/frame.h"
#include "app/input.h"
#include "app/msgfeed.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "editor/editor.h"
#include "io/cp1251.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story.h"
#include "ui/text_list.h"
#include "world/camera.h"
#include "world/interaction.h"
#include "world/fgr.h"
#include "world/terrain.h"

Widget *bottomBar, *treasureButton, *heroWindow, *abilityWindow, *spellWindow;
Widget *itemActionWindow, *topPanel, *testInfoPanel, *dialogWindow, *dialogText;
Widget *comboWindow, *fishChoiceWindow, *noticeBar, *titleLabel, *sideBar;
Widget *fishingBar, *infoButton;
Widget* backpackCells[9];
Widget* attackCells[4];
Widget* sideBarCells[11];
Widget* answerCells[5];
Widget* abilityCells[5];
Widget* spellCells[5];
Widget* comboCells[4];
Widget* gemCells[5];
Widget* itemActionCells[4];
Widget* fishChoiceCells[4];
Widget *rankWidget, *abilityPointsWidget, *hitBarWidget, *manaBarWidget, *dialogTitle;
Widget *dialogCloseButton, *closeButton, *minimiseButton, *mapButton, *heroButton;
HudPainters hudPainters;
void (*hudMinimiseWindow)() = nullptr;
int testInfoShown = 0;

namespace {

constexpr const char* kAboutFile = "uni_files/_about.txt";

const char* const kSideBarLabel[kSideBarButtons + 1] = {
    "", "файл"_w, "новь"_w, "Карта"_w, "Герой"_w, "День"_w,
    "сокол"_w, "рюкзак"_w, "реТайл"_w, "реНакл"_w, "камера"_w,
};
const char* const kSideBarTooltip[kSideBarButtons + 1] = {
    "",
    "открыть файл локацыи без три-буквия"_w,
    "сделать пустую локацыю"_w,
    "включить или отключить Мини-мэпку"_w,
    "включить или отключить окно героя"_w,
    "пусть наступит Новый день в игре"_w,
    "включить или отключить окно Сокола вверху"_w,
    "включить или отключить окно Рюкзака героя внизу"_w,
    "перезагруз Тайлов земли"_w,
    "перезагруз алфа-накладки на землю"_w,
    "режим камеры (жми также на клаве PageUp Down)"_w,
};

// The ability window lists its switches in its own order; each names the
// ability TakeAbility knows by number.
struct Labelled {
    const char* label;
    const char* tooltip;
    int number;
};
const Labelled kAbilities[5] = {
    {"", "", 0},
    {"оптима молнии"_w, "заполовинить затраты маны на авто-молнию."_w, 2},
    {"добавка огня"_w, "включить доп-абилку меж ударом и молнией"_w, 3},
    {"кладо-искатель"_w, "раз в день, искать клад, ради денег."_w, 1},
    {"оптима кристалов"_w, "включить пасивку - эфект при сборе цветных кри"_w, 4},
};
const Labelled kSpells[5] = {
    {"", "", 0},
    {"(р4) Мистик-урон [4 алмаза]"_w, "Против босов +200% мистического урона"_w, 4},
    {"(р4) Удвоитель [2 изумруда]"_w, "Удвоить урон абилки авто-молнии"_w, 3},
    {"(р2) Регенератор [3 рубина]"_w, "(р2) Регенератор [3 рубина]"_w, 1},
    {"(р3) Источник [5 сапфиров]"_w, "(р3) Источник [5 сапфиров]"_w, 2},
};
const Labelled kItemActions[4] = {
    {"", "", 0},
    {"Применить"_w, "Использовать предмет или одеть на героя."_w, 1},
    {"Выбросить"_w, "Выкинуть, чтобы освободить слот рюкзака."_w, 2},
    {"Отменить"_w, "Закрыть это окно и ничего не менять."_w, 3},
};
const char* const kGems[5] = {"", "РУБИНЫ"_w, "ИЗУМРУДЫ"_w, "САПФИРЫ"_w, "АЛМАЗЫ"_w};

bool InRange(int tag, int hi) { return tag >= 1 && tag <= hi; }

void Toggle(Widget* w) {
    if (w) w->visible = !w->visible;
}
void ToggleInt(int* v) { *v = !*v; }

// ---- builders

Widget* Top(WidgetFn draw, WidgetFn click, float fx, float fy, float fw, float fh, int anchor, int visible) {
    Widget* w = CreateWidget(&uiRoot, draw, click, fx, fy, fw, fh, anchor, 0);
    w->visible = visible;
    return w;
}
Widget* Child(Widget* parent, WidgetFn draw, WidgetFn click, float fx, float fy, float fw, float fh,
              int anchor) {
    Widget* w = CreateWidget(parent, draw, click, fx, fy, fw, fh, anchor, 1);
    w->visible = 1;
    return w;
}
// A grid of columns x rows cells in parent; cells[tag] gets each cell.
void Grid(Widget* parent, WidgetFn draw, WidgetFn click, float fx, float fy, float fw, float fh,
          int columns, int rows, Widget** cells) {
    Widget* first = Child(parent, draw, click, fx, fy, fw, fh, 11);
    const std::size_t before = parent->children.size() - 1;
    MakeWidgetGrid(first, columns, rows, 1, 0);
    if (!cells) return;
    for (std::size_t i = before; i < parent->children.size(); ++i) {
        Widget* c = parent->children[i];
        if (InRange(c->tag, columns * rows)) cells[c->tag] = c;
    }
}

// ---- clicks

void ClickMapButton(Widget*) { ToggleInt(&minimapShown); }
void ClickHeroButton(Widget*) { Toggle(heroWindow); }
void ClickHideHeroWindow(Widget*) { if (heroWindow) heroWindow->visible = 0; }
void ClickRank(Widget*) { Toggle(abilityWindow); }
void ClickAbilPoints(Widget*) {
    if (abilityWindow) abilityWindow->visible = 1;
    if (heroWindow) heroWindow->visible = 0;
}
void ClickSpellToggle(Widget*) { Toggle(spellWindow); }
// Opens the item window for a slot that holds an item, unless another
// item action is pending.
void ClickBackpackSlot(Widget* w) {
    const int n = w->tag;
    if (!InRange(n, kBackpackSlots) || !backpack.slotKind[n] || backpack.selectedSlot) return;
    if (SelectSlot(n) && itemActionWindow) itemActionWindow->visible = 1;
}
void ClickAttack(Widget* w) { HeroAction(w->tag); }
void ClickTreasure(Widget*) { DigTreasure(); }
void ClickGem(Widget* w) { HammerStrike(w->tag); }
void ClickBloodStat(Widget*) { SpendStat(3); }
void ClickMindStat(Widget*) { SpendStat(2); }
void ClickAngerStat(Widget*) { SpendStat(1); }
void ClickAbility(Widget* w) {
    if (InRange(w->tag, 4)) TakeAbility(kAbilities[w->tag].number);
}
void ClickSpell(Widget* w) {
    if (!InRange(w->tag, 4)) return;
    if (spellWindow) spellWindow->visible = 0;
    CastDailySpell(kSpells[w->tag].number);
}
void ClickItemAction(Widget* w) {
    if (itemActionWindow) itemActionWindow->visible = 0;
    ItemWindowButton(w->tag);
}
void ClickInfo(Widget*) {
    Fgr* droid = FgrAt(backpack.assistantDroid);
    if (FgrAlive(droid) && fgrMainHero)
        FgrMoveOrderXZ(droid, fgrMainHero->x, fgrMainHero->z, 1);
    else if (testInfoPanel)
        testInfoShown = testInfoPanel->visible = !testInfoPanel->visible;
}
void ClickDialogTitle(Widget*) {
    if (dialogWindow) dialogWindow->visible = 0;
    if (titleLabel) titleLabel->visible = 0;
}
void ClickAnswer(Widget* w) { DialogChoice(w->tag); }
// Only the live "бей" strikes, as the combo strike.
void ClickCombo(Widget* w) {
    if (heroCombat.comboButton != 0 && w->tag == heroCombat.comboButton) ComboStrike(w->tag);
}
void ClickFishChoice(Widget* w) { FishingStrike(w->tag); }
void ClickTitle(Widget* w) { w->visible = 0; }
void ClickMinimise(Widget*) {
    if (hudMinimiseWindow) hudMinimiseWindow();
}
void ClickClose(Widget*) { isDone = 1; }
// A list click takes the focus; the upper and lower quarter page the text.
void ClickDialogText(Widget* w) {
    TextListClick(w);
    const int quarter = w->height / 4, y = cursorY - w->y;
    if (y < quarter)
        TextListScrollDown(w, 0);
    else if (y > w->height - quarter)
        TextListScrollUp(w, 0);
}
void ClickSideBar(Widget* w) {
    switch (w->tag) {
        case 1: EditorOpenFile(); break;
        case 2: EditorNewLocation(); break;
        case 3: ToggleInt(&minimapShown); break;
        case 4: Toggle(heroWindow); break;
        case 5: DayButton(); break;
        case 6: Toggle(topPanel); break;
        case 7: Toggle(bottomBar); break;
        case 8: ReloadTileSet(); break;
        case 9: ReloadOverlay(); break;
        case 10: cameraGlide = cameraGlide ? 0 : 1; break;
        default: break;
    }
}

// One placed piece of a window: its painter and click, its rectangle in the
// window's fractions, its tag and the handle that keeps it. A piece with
// columns is a group of that many equal cells in one row, kept in cells[tag].
struct Piece {
    WidgetFn HudPainters::*draw;
    WidgetFn click;
    float x, y, w, h;
    int tag = 0;
    Widget** handle = nullptr;
    int columns = 0;
    Widget** cells = nullptr;
};

template <std::size_t N>
void Place(Widget* parent, const Piece (&pieces)[N]) {
    const HudPainters& p = hudPainters;
    for (const Piece& c : pieces) {
        const WidgetFn draw = c.draw ? p.*c.draw : nullptr;
        Widget* w;
        if (c.columns) {
            w = Child(parent, nullptr, nullptr, c.x, c.y, c.w, c.h, 7);
            Grid(w, draw, c.click, 0, 0, 1.0f / float(c.columns), 1.0f, c.columns, 1, c.cells);
        } else {
            w = Child(parent, draw, c.click, c.x, c.y, c.w, c.h, 7);
            w->tag = c.tag;
        }
        if (c.handle) *c.handle = w;
    }
}

using P = HudPainters;
Widget* statusLeft;   // the top panel's left icon row, while building

const Piece kBottomBar[] = {
    {&P::picture, nullptr, 0.18f, 0, 0.64f, 1.0f, 86},
    {&P::backpackSlot, ClickBackpackSlot, 0.21f, 0.3f, 0.58f, 0.45f, 0, nullptr, kBackpackSlots, backpackCells},
    {&P::attackButton, ClickAttack, 0.26f, 0.75f, 0.48f, 0.35f, 0, nullptr, 3, attackCells},
    {&P::picture, nullptr, 0.035f, 0.35f, 0.173f, 0.4f, 87},
    {&P::treasure, ClickTreasure, 0.042f, 0.27f, 0.06f, 0.17f, 0, &treasureButton},
    {&P::expLabel, nullptr, 0.035f, 0.46f, 0.13f, 0.16f},
    {&P::rankLabel, ClickRank, 0.165f, 0.37f, 0.03f, 0.32f, 0, &rankWidget},
    {&P::picture, nullptr, 0.785f, 0.26f, 0.17f, 0.75f, 88},
    {&P::collectionLabel, nullptr, 0.825f, 0.538f, 0.12f, 0.16f},
    {&P::spellToggle, ClickSpellToggle, 0.795f, 0.485f, 0.025f, 0.3f},
    {&P::gem, ClickGem, 0.824f, 0.35f, 0.12f, 0.17f, 0, nullptr, 4, gemCells},
};

const Piece kHeroWindow[] = {
    {&P::heroStrip, ClickHideHeroWindow, 0.35f, 0.9f, 0.64f, 0.1f},
    {&P::dayLabel, nullptr, 0.03f, 0.9f, 0.3f, 0.1f},
    {&P::spellOfDay, nullptr, 0.55f, 0.68f, 0.3f, 0.09f},
    {&P::gold, nullptr, 0.5f, 0.78f, 0.48f, 0.09f},
    {&P::helmet, nullptr, 0.1f, 0.67f, 0.3f, 0.21f},
    {&P::weapon, nullptr, 0.55f, 0.41f, 0.35f, 0.2f},
    {&P::suit, nullptr, 0.05f, 0.41f, 0.4f, 0.25f},
    {&P::boots, nullptr, 0.45f, 0.22f, 0.3f, 0.18f},
    {&P::trousers, nullptr, 0.1f, 0.22f, 0.3f, 0.18f},
    {&P::bloodStat, ClickBloodStat, 0.69f, 0.08f, 0.3f, 0.12f},
    {&P::mindStat, ClickMindStat, 0.37f, 0.08f, 0.3f, 0.12f},
    {&P::angerStat, ClickAngerStat, 0.05f, 0.08f, 0.3f, 0.12f},
    {&P::statPoints, nullptr, 0.1f, 0.01f, 0.4f, 0.06f},
    {&P::abilPoints, ClickAbilPoints, 0.55f, 0.01f, 0.4f, 0.06f, 0, &abilityPointsWidget},
};

const Piece kTopPanel[] = {
    {&P::picture, nullptr, 0, 0.2f, 0.5f, 0.8f, 89},
    {&P::picture, nullptr, 0.5f, 0.2f, 0.5f, 0.8f, 90},
    {&P::manaBar, nullptr, 0, 0.5f, 0.4f, 0.5f, 0, &manaBarWidget},
    {&P::hitBar, nullptr, 0.6f, 0.5f, 0.4f, 0.5f, 0, &hitBarWidget},
    {&P::selectedUnit, nullptr, 0.27f, 0.26f, 0.46f, 0.21f},
    {&P::statusIcon, nullptr, 0.52f, 0, 0.19f, 0.23f, 0, nullptr, 4},
    {&P::statusIcon, nullptr, 0.28f, 0, 0.19f, 0.23f, 0, &statusLeft, 4},
};

void BuildBottomBar() {
    bottomBar = Top(nullptr, nullptr, 0.1f, 0, 0.8f, 0.13f, 7, 1);
    Place(bottomBar, kBottomBar);
    treasureButton->visible = 0;
}

void BuildHeroWindow() {
    heroWindow = Top(hudPainters.panel, nullptr, 0.01f, 0.11f, 0.19f, 0.38f, 7, 1);
    Place(heroWindow, kHeroWindow);
}

void BuildTopPanel() {
    topPanel = Top(nullptr, nullptr, 0.22f, 0.87f, 0.56f, 0.13f, 7, 1);
    Place(topPanel, kTopPanel);
    // The left row shows icons 5..8.
    for (Widget* c : statusLeft->children) c->tag += 4;
}

void BuildDialogWindow() {
    const HudPainters& p = hudPainters;
    dialogWindow = Top(p.panel, nullptr, 0.01f, 0.25f, 0.32f, 0.6f, 7, 1);
    dialogText = Child(dialogWindow, p.textList, ClickDialogText, 0, 0.1f, 1.0f, 0.8f, 7);
    dialogText->tag = 1;
    dialogTitle = Child(dialogWindow, p.dialogTitle, ClickDialogTitle, 0, 0.9f, 1.0f, 0.1f, 7);
    dialogCloseButton = Child(dialogWindow, p.dialogClose, ClickDialogTitle, 0, 0, 0.1f, 0.1f, 1);
    Grid(dialogWindow, p.answer, ClickAnswer, 0, -0.9f, 0.25f, 0.1f, 4, 1, answerCells);
    LoadTextList(dialogText, kAboutFile);
    if (!dialogText->list) LoadTextListBytes(dialogText, {});
    RecolourList(dialogText);
}

}  // namespace

const char* SideBarLabel(int tag) { return InRange(tag, kSideBarButtons) ? kSideBarLabel[tag] : ""; }
const char* SideBarTooltip(int tag) { return InRange(tag, kSideBarButtons) ? kSideBarTooltip[tag] : ""; }
const char* AbilityLabel(int tag) { return InRange(tag, 4) ? kAbilities[tag].label : "пусто"_w; }
const char* AbilityTooltip(int tag) { return InRange(tag, 4) ? kAbilities[tag].tooltip : ""; }
const char* SpellLabel(int tag) { return InRange(tag, 4) ? kSpells[tag].label : ""; }
const char* SpellTooltip(int tag) { return InRange(tag, 4) ? kSpells[tag].tooltip : ""; }
const char* ItemActionLabel(int tag) { return InRange(tag, 3) ? kItemActions[tag].label : ""; }
const char* ItemActionTooltip(int tag) { return InRange(tag, 3) ? kItemActions[tag].tooltip : ""; }
const char* GemLabel(int tag) { return InRange(tag, 4) ? kGems[tag] : ""; }

void HudReset() {
    bottomBar = treasureButton = heroWindow = abilityWindow = spellWindow = nullptr;
    itemActionWindow = topPanel = testInfoPanel = dialogWindow = dialogText = nullptr;
    comboWindow = fishChoiceWindow = noticeBar = titleLabel = sideBar = nullptr;
    fishingBar = infoButton = nullptr;
    rankWidget = abilityPointsWidget = hitBarWidget = manaBarWidget = dialogTitle = nullptr;
    dialogCloseButton = closeButton = minimiseButton = mapButton = heroButton = nullptr;
    for (Widget*& w : backpackCells) w = nullptr;
    for (Widget*& w : attackCells) w = nullptr;
    for (Widget*& w : sideBarCells) w = nullptr;
    for (Widget*& w : answerCells) w = nullptr;
    for (Widget*& w : abilityCells) w = nullptr;
    for (Widget*& w : spellCells) w = nullptr;
    for (Widget*& w : comboCells) w = nullptr;
    for (Widget*& w : gemCells) w = nullptr;
    for (Widget*& w : itemActionCells) w = nullptr;
    for (Widget*& w : fishChoiceCells) w = nullptr;
    testInfoShown = 0;
    noticeBarVisible = nullptr;
}

void BuildGameUI() {
    if (!uiReady || bottomBar) return;
    const HudPainters& p = hudPainters;
    uiRoot.visible = 1;
    fishingBar = Top(p.fishBar, nullptr, 0.25f, 0.18f, 0.5f, 0.034f, 7, 1);
    BuildBottomBar();
    mapButton = Top(p.mapButton, ClickMapButton, 0, 0, 0.04f, 0.03f, 5, 1);
    heroButton = Top(p.heroButton, ClickHeroButton, 0, 0, 0.04f, 0.03f, 7, 1);
    BuildHeroWindow();

    abilityWindow = Top(p.panel, nullptr, 0.2f, 0.3f, 0.3f, 0.2f, 7, 0);
    Grid(abilityWindow, p.abilityCell, ClickAbility, 0, 0, 1.0f, 0.25f, 1, 4, abilityCells);
    spellWindow = Top(p.panel, nullptr, 0.5f, 0.3f, 0.4f, 0.2f, 7, 0);
    Grid(spellWindow, p.spellCell, ClickSpell, 0, 0, 1.0f, 0.25f, 1, 4, spellCells);
    itemActionWindow = Top(nullptr, nullptr, 0.25f, 0.15f, 0.5f, 0.05f, 7, 0);
    Grid(itemActionWindow, p.itemActionCell, ClickItemAction, 0, 0, 1.0f / 3, 1.0f, 3, 1, itemActionCells);

    BuildTopPanel();
    infoButton = Top(p.infoButton, ClickInfo, 0, 0, 0.06f, 0.035f, 11, 1);
    testInfoPanel = Top(p.panel, nullptr, 0, -0.03f, 0.25f, 0.3f, 11, 0);
    for (int row = 0; row < 10; ++row)
        Child(testInfoPanel, p.testInfoRow, nullptr, 0, 0.9f - 0.1f * float(row), 1.0f, 0.1f, 7)->tag = row + 1;

    BuildDialogWindow();
    comboWindow = Top(nullptr, nullptr, 0.25f, 0.3f, 0.5f, 0.2f, 7, 0);
    Grid(comboWindow, p.comboCell, ClickCombo, 0, -0.1f, 1.0f / 3, 0.8f, 3, 1, comboCells);
    fishChoiceWindow = Top(nullptr, nullptr, 0.2f, 0.3f, 0.6f, 0.4f, 7, 0);
    Grid(fishChoiceWindow, p.fishChoiceCell, ClickFishChoice, 0, -0.1f, 1.0f / 3, 0.8f, 3, 1, fishChoiceCells);
    noticeBar = Top(p.notice, nullptr, 0, 0.49f, 0.8f, 0.07f, 7, 0);
    noticeBar->clickThrough = true;   // a notice must not swallow the fishing choice under it
    noticeBarVisible = &noticeBar->visible;
    titleLabel = Top(p.titleLabel, ClickTitle, 0.25f, 0.885f, 0.5f, 0.06f, 7, 1);
    sideBar = Top(p.panel, nullptr, 0, -0.03f, 0.06f, 0.27f, 1, 1);
    Grid(sideBar, p.sideBarCell, ClickSideBar, 0, 0, 1.0f, 0.1f, 1, kSideBarButtons, sideBarCells);
    minimiseButton = Top(p.minimiseButton, ClickMinimise, -0.04f, 0, 0.03f, 0.03f, 1, 1);
    closeButton = Top(p.closeButton, ClickClose, 0, 0, 0.03f, 0.03f, 1, 1);
    tooltipBar = Top(p.tooltipBar, nullptr, 0.18f, 0, 0.64f, 0.035f, 7, 1);
}

void HudSync() {
    if (!bottomBar) return;
    if (comboWindow) comboWindow->visible = heroCombat.comboButton != 0 && heroCombat.comboTime > 0;
    if (treasureButton) treasureButton->visible = heroCombat.treasureSeeker != 0;
    if (fishChoiceWindow) fishChoiceWindow->visible = fishing.fishState == kFishBiting;
    if (testInfoPanel) testInfoShown = testInfoPanel->visible;
}
