// Widgets on screen: the tree pass with its scissor boxes and the shared
// painters (button, panel, tooltip bar, text list).
// Reads widget state and never changes game state; the text list keeps its
// own page size and row count, which only its scrolling reads.
#include "ui/widget_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "app/frame.h"
#include "gfx/draw2d.h"
#include "gfx/fonts.h"
#include "gfx/textures.h"
#include "ui/widget.h"

namespace {

constexpr int kTooltipCapSlot = 85;
constexpr int kTooltipFont = 4;
constexpr int kListFont = 1;

void DrawWidgetTree(Widget* w) {
    if (!w->visible) return;
    glScissor(w->x - 1, w->y - 1, w->width + 2, w->height + 2);
    glEnable(GL_SCISSOR_TEST);
    if (w->draw) w->draw(w);
    // Index loop: a painter must not add widgets, but a stale iterator would crash.
    for (std::size_t i = 0; i < w->children.size(); ++i) DrawWidgetTree(w->children[i]);
    glDisable(GL_SCISSOR_TEST);
}

void FillWidget(const Widget* w, int filled) {
    DrawTexRect(float(w->x), float(w->y), float(w->width), float(w->height), filled, 0, 1);
}

// A slow pulse between lo and hi; the phase comes from the frame clock.
float Pulse(float lo, float hi, float periodMs) {
    const float phase = float(frameStampMs % unsigned(periodMs)) / periodMs;
    const float s = 0.5f + 0.5f * std::sin(phase * 6.2831853f);
    return lo + (hi - lo) * s;
}

// A child drawn later that covers its whole rectangle with opaque colour.
bool OpaqueChild(const Widget* c) { return c->visible && c->draw == DrawTextList && c->list; }

// The rectangle less the holes from `first` on, as pieces of the open fill run.
void AddRectLess(int x, int y, int w, int h, const float* rgba, const Widget* const* holes, int first, int count) {
    if (w <= 0 || h <= 0) return;
    for (int k = first; k < count; ++k) {
        const Widget* c = holes[k];
        const int hx0 = std::max(x, c->x), hx1 = std::min(x + w, c->x + c->width);
        const int hy0 = std::max(y, c->y), hy1 = std::min(y + h, c->y + c->height);
        if (hx0 >= hx1 || hy0 >= hy1) continue;
        AddRectLess(x, y, w, hy0 - y, rgba, holes, k + 1, count);                  // below
        AddRectLess(x, hy1, w, y + h - hy1, rgba, holes, k + 1, count);            // above
        AddRectLess(x, hy0, hx0 - x, hy1 - hy0, rgba, holes, k + 1, count);        // left
        AddRectLess(hx1, hy0, x + w - hx1, hy1 - hy0, rgba, holes, k + 1, count);  // right
        return;
    }
    FillRectAdd(float(x), float(y), float(w), float(h), rgba[0], rgba[1], rgba[2], rgba[3]);
}

}  // namespace

void DrawWidgets() {
    glViewport(0, 0, uiRoot.width, uiRoot.height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, uiRoot.width, 0, uiRoot.height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    DrawWidgetTree(&uiRoot);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void DrawButton(Widget* w, const char* label, const char* tooltip, int font) {
    DisableTexturing();
    SetBlendMode(38);
    SetDrawColor(0.5f, 0.5f, 0.4f, 0.3f);
    FillWidget(w, 1);
    if (w->hover) {
        SetBlendMode(34);
        SetDrawColor(0.5f, 1, 1, 1);
        FillWidget(w, 0);
    }
    SetDrawColor(1, 1, 1, 1);
    if (label) DrawTextAt(label, font, w->x + 5, w->y + 2);
    if (tooltipBar && w->hover) SetTooltipText(tooltip);
}

void DrawPanel(Widget* w) {
    DisableTexturing();
    SetBlendMode(38);
    SetDrawColor(0.3f, 0.5f, 0.2f, 0.0f);
    // The translucent fill leaves out what opaque children paint over anyway.
    const Widget* holes[8];
    int holeCount = 0;
    for (const Widget* c : w->children)
        if (holeCount < 8 && OpaqueChild(c)) holes[holeCount++] = c;
    static constexpr float kFill[4] = {0.5f, 0.2f, 0.0f, 0.3f};
    FillRectsBegin();
    AddRectLess(w->x, w->y, w->width, w->height, kFill, holes, 0, holeCount);
    FillRectsEnd();
    SetBlendMode(0);
    if (w->hover)
        SetDrawColor(1, 1, 1, 0);
    else
        SetDrawColor(1, 1, 0, 0);
    FillWidget(w, 0);
}

void DrawTooltipBar(Widget* w) {
    const float capWidth = 0.65f * float(w->height);
    const float innerWidth = float(w->width) - 2 * capWidth;
    const float x = float(w->x), y = float(w->y), h = float(w->height);

    SetBlendMode(38);
    DisableTexturing();
    SetDrawColor(0.8f, 0.2f, 0.1f, 0.1f);
    DrawTexRect(x + capWidth, y, innerWidth, h, 1, 0, 1);

    glLineWidth(2);
    SetDrawColor(0.8f, 0.1f, 0.1f, 0.1f);
    DrawTexRect(x + capWidth + 1, y + 1, innerWidth - 2, h - 2, 0, 0, 1);
    glLineWidth(1);

    SetBlendMode(38);
    TexBindIndex(texTable, kTooltipCapSlot);
    SetDrawColor(1, 0.2f, 0.1f, 0.1f);
    DrawTexRect(x, y, capWidth, h, 1, 0, 1);
    DrawTexRectMirrored(x + capWidth + innerWidth, y, capWidth, h, 0, 1);

    DisableTexturing();
    SetDrawColor(1, 1, 1, 1);
    DrawTextAt(tooltipText, kTooltipFont, int(x + capWidth), int(y + 4));
}

void DrawTextList(Widget* w) {
    TextList* list = w->list;
    if (!list) return;
    DisableTexturing();
    SetBlendMode(0);

    w->pageSize = w->height / kTextListRowHeight;
    const int count = int(list->entries.size());
    if (w->firstVisible < 0 || w->firstVisible >= count) w->firstVisible = 0;
    int rows = 0;
    while (w->firstVisible + rows < count && w->height - kTextListRowHeight * rows >= 0) ++rows;
    const int cursorRow = w == focusedList ? w->cursorEntry - w->firstVisible : -1;

    // First pass: the rows' opaque backgrounds, the list's own colour only
    // where no row covers it; rows after the cursor's wait for its bar.
    const float x = float(w->x), width = float(w->width), rowH = float(kTextListRowHeight);
    int fullRows = 0;
    FillRectsBegin();
    for (int k = 0; k < rows; ++k) {
        const TextListEntry& entry = list->entries[std::size_t(w->firstVisible + k)];
        const float bottom = float(w->y + w->height - kTextListRowHeight * (k + 1));
        if (bottom - float(w->y) < rowH) {
            if (k <= cursorRow || cursorRow < 0) FillRectAdd(x, bottom, width, rowH, 0.6f, 0.65f, 0.75f, 1);
            continue;
        }
        ++fullRows;
        const float textW = float(TextWidth(fontSet, kListFont, entry.text.c_str(), 0, -1) + 5);
        if (textW < width) FillRectAdd(x + textW, bottom, width - textW, rowH, 0.83f, 0.87f, 0.92f, 1);
        if (k > cursorRow && cursorRow >= 0) continue;
        if ((w->firstVisible + k) % 2 == 0)
            FillRectAdd(x, bottom, textW, rowH, 0.8f, 0.85f, 0.95f, 1);
        else
            FillRectAdd(x, bottom, textW, rowH, 0.85f, 0.85f, 0.9f, 1);
    }
    const int below = w->height - kTextListRowHeight * rows;
    if (below > 0) FillRectAdd(x, float(w->y), width, float(below), 0.83f, 0.87f, 0.92f, 1);
    FillRectsEnd();
    w->rowsDrawn = fullRows;

    if (cursorRow >= 0 && cursorRow < rows) {
        const TextListEntry& entry = list->entries[std::size_t(w->cursorEntry)];
        const int bottom = w->y + w->height - kTextListRowHeight * (cursorRow + 1);
        SetBlendMode(38);
        SetDrawColor(Pulse(0.2f, 0.6f, 1200), 0.7f, 0.7f, 0.7f);
        DrawTexRect(float(w->x + 3), float(bottom + 4), float(w->width - 6), 10, 1, 0, 1);
        const int caretX = w->x + 5 + TextWidth(fontSet, kListFont, entry.text.c_str(), 0, w->caretColumn);
        SetDrawColor(Pulse(0.3f, 0.7f, 700), 1.0f, 0.5f, 0.6f);
        DrawTexRect(float(caretX), float(bottom - 4), 3, 26, 1, 0, 1);
        SetBlendMode(0);
        FillRectsBegin();
        for (int k = cursorRow + 1; k < rows; ++k) {
            const TextListEntry& e = list->entries[std::size_t(w->firstVisible + k)];
            const float b = float(w->y + w->height - kTextListRowHeight * (k + 1));
            if (b - float(w->y) < rowH) {
                FillRectAdd(x, b, width, rowH, 0.6f, 0.65f, 0.75f, 1);
                continue;
            }
            const float textW = float(TextWidth(fontSet, kListFont, e.text.c_str(), 0, -1) + 5);
            if ((w->firstVisible + k) % 2 == 0)
                FillRectAdd(x, b, textW, rowH, 0.8f, 0.85f, 0.95f, 1);
            else
                FillRectAdd(x, b, textW, rowH, 0.85f, 0.85f, 0.9f, 1);
        }
        FillRectsEnd();
    }

    // Second pass: the texts with their colour codes.
    SetBlendMode(38);
    SetDrawColor(1, 0.2f, 0.1f, 0.1f);
    for (int k = 0; k < rows; ++k) {
        const TextListEntry& entry = list->entries[std::size_t(w->firstVisible + k)];
        const int bottom = w->y + w->height - kTextListRowHeight * (k + 1);
        DrawTextAt(entry.text.c_str(), kListFont, w->x + 5, bottom,
                   entry.colours.empty() ? nullptr : entry.colours.c_str());
    }
}
