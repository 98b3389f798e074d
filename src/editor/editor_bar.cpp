// The editor bar: 9 x 3 tool cells in tool-code order, "Начать игру", the
// keep-visuals, brush-size and grid toggles, the selected tool's label and
// the hovered cell's status line. Painters read the editor state only.
#include "editor/editor_bar.h"

#include <cstdio>

#include "editor/editor.h"
#include "gfx/draw2d.h"
#include "gfx/fonts.h"
#include "io/cp1251.h"
#include "ui/widget.h"
#include "ui/widget_draw.h"
#include "world/fgr.h"
#include "world/kle.h"

namespace {

constexpr int kFont = 1;

void DrawBar(Widget* w) {
    DisableTexturing();
    SetBlendMode(38);
    SetDrawColor(0.75f, 0.12f, 0.1f, 0.08f);
    DrawTexRect(float(w->x), float(w->y), float(w->width), float(w->height), 1, 0, 1);
}

void DrawToolCell(Widget* w) {
    const EditorTool* t = EditorToolOf(w->tag);
    if (!t) return;
    if (editor.selectedTool == w->tag) {
        DisableTexturing();
        SetBlendMode(38);
        SetDrawColor(0.6f, 0.9f, 0.7f, 0.2f);
        DrawTexRect(float(w->x), float(w->y), float(w->width), float(w->height), 1, 0, 1);
    }
    DrawButton(w, t->label, t->tooltip, kFont);
}

void DrawLeave(Widget* w) {
    DrawButton(w, "Начать игру"_w, "выйти из редактора (авто-сохран, если редактировали)"_w, kFont);
}

void DrawKeepVisuals(Widget* w) {
    if (editor.keepVisuals)
        DrawButton(w, "No V"_w, "клик по клеткам не изменит Визуалку (только для 1х1)"_w, kFont);
    else
        DrawButton(w, "Vis"_w, "клик по клеткам меняет их Визуалку."_w, kFont);
}

void DrawBrush(Widget* w) {
    const char* label = editor.brushSize == 5 ? "k5x5" : editor.brushSize == 3 ? "k3x3" : "k1x1";
    DrawButton(w, label, "рамер закраски 1 3 5"_w, kFont);
}

void DrawGrid(Widget* w) { DrawButton(w, "grid", "Включить или отключить сетку над плитками"_w, kFont); }

// The selected tool's label and tooltip, then the hovered cell.
void DrawStatus(Widget* w) {
    char line[320];
    const EditorTool* t = EditorToolOf(editor.selectedTool);
    std::snprintf(line, sizeof line, "%s: %s", t ? t->label : "-", t ? t->tooltip : "");
    SetDrawColor(1, 1, 1, 0.6f);
    DrawTextAt(line, kFont, w->x + 4, w->y + 3);
    const int k = editor.hoveredCell;
    if (KleInterior(k)) {
        const Kle& c = masKle.m[k];
        const Fgr* f = c.fgrKey;
        const int n = std::snprintf(line, sizeof line, "%s %d  %d/%d/%d  %s %d", "клетка"_w, k, c.landType,
                                    c.landSub, c.landHint, "плитка"_w, c.tile);
        if (f && n > 0 && n < int(sizeof line))
            std::snprintf(line + n, sizeof line - std::size_t(n), "  %s %d", "фигура"_w, f->fgrKind);
    } else {
        std::snprintf(line, sizeof line, "%s", "клетка -"_w);
    }
    SetDrawColor(1, 1, 1, 1);
    DrawTextAt(line, kFont, w->x + w->width / 2, w->y + 3);
}

void SelectTool(Widget* w) { EditorSelectTool(w->tag); }
void Leave(Widget*) { EditorLeave(); }
void KeepVisuals(Widget*) { EditorToggleKeepVisuals(); }
void Brush(Widget*) { EditorCycleBrush(); }
void Grid(Widget*) { EditorToggleGrid(); }
void Swallow(Widget*) {}   // a click on the bar's background never reaches the map

}  // namespace

void BuildEditorBar() {
    if (!uiReady) return;
    uiRoot.visible = 1;   // the bar lives in the drawn tree
    // The game's tree may have made the (empty) window already.
    if (!editorBar) editorBar = CreateWidget(&uiRoot, nullptr, nullptr, 0.0f, 0.1f, 0.7f, 0.15f, 7, 0);
    if (!editorBar->children.empty()) return;
    editorBar->draw = DrawBar;
    editorBar->click = Swallow;
    editorBar->visible = editor.open;
    Widget* status = CreateWidget(editorBar, DrawStatus, Swallow, 0.0f, 0.75f, 1.0f, 0.25f, 7, 1);
    status->visible = 1;
    Widget* first = CreateWidget(editorBar, DrawToolCell, SelectTool, 0.0f, 0.5f, 0.0885f, 0.25f, 7, 1);
    first->visible = 1;
    MakeWidgetGrid(first, 9, 3, 1, 0);
    struct Button {
        int tag;
        WidgetFn draw, click;
        float fx, fy, fw;
    };
    const Button buttons[] = {
        {kBarLeave, DrawLeave, Leave, 0.8f, 0.5f, 0.2f},
        {kBarKeepVisuals, DrawKeepVisuals, KeepVisuals, 0.8f, 0.25f, 0.1f},
        {kBarBrush, DrawBrush, Brush, 0.9f, 0.25f, 0.1f},
        {kBarGrid, DrawGrid, Grid, 0.8f, 0.0f, 0.1f},
    };
    for (const Button& b : buttons) {
        Widget* w = CreateWidget(editorBar, b.draw, b.click, b.fx, b.fy, b.fw, 0.25f, 7, 1);
        w->visible = 1;
        w->tag = b.tag;
    }
}
