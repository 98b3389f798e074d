// Widgets on screen: the tree pass with its scissor boxes and the shared
// painters (button, panel, tooltip bar, text list).
// Reads widget state and never changes game state; the text list keeps its
// own page size and row count, which only its scrolling reads.
#include "ui/widget_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

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

}  // namespace

void DrawWidgets() {
    glViewport(0, 0, uiRoot.width, uiRoot.height);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
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
    FillWidget(w, 1);
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
    SetDrawColor(1, 0.83f, 0.87f, 0.92f);
    FillWidget(w, 1);

    w->pageSize = w->height / kTextListRowHeight;
    const int count = int(list->entries.size());
    if (w->firstVisible < 0 || w->firstVisible >= count) w->firstVisible = 0;

    // First pass: row backgrounds, the cursor bar and the caret.
    int rows = 0, fullRows = 0;
    for (int e = w->firstVisible; e < count; ++e, ++rows) {
        const int bottom = w->y + w->height - kTextListRowHeight * (rows + 1);
        if (bottom + kTextListRowHeight < w->y) break;
        const TextListEntry& entry = list->entries[std::size_t(e)];
        SetBlendMode(0);
        if (bottom - w->y >= kTextListRowHeight) {
            ++fullRows;
            if (e % 2 == 0)
                SetDrawColor(1, 0.8f, 0.85f, 0.95f);
            else
                SetDrawColor(1, 0.85f, 0.85f, 0.9f);
            const int textW = TextWidth(fontSet, kListFont, entry.text.c_str(), 0, -1);
            DrawTexRect(float(w->x), float(bottom), float(textW + 5), float(kTextListRowHeight), 1, 0, 1);
        } else {
            SetDrawColor(1, 0.6f, 0.65f, 0.75f);
            DrawTexRect(float(w->x), float(bottom), float(w->width), float(kTextListRowHeight), 1, 0, 1);
        }
        if (w == focusedList && e == w->cursorEntry) {
            SetBlendMode(38);
            SetDrawColor(Pulse(0.2f, 0.6f, 1200), 0.7f, 0.7f, 0.7f);
            DrawTexRect(float(w->x + 3), float(bottom + 4), float(w->width - 6), 10, 1, 0, 1);
            const int caretX = w->x + 5 + TextWidth(fontSet, kListFont, entry.text.c_str(), 0, w->caretColumn);
            SetDrawColor(Pulse(0.3f, 0.7f, 700), 1.0f, 0.5f, 0.6f);
            DrawTexRect(float(caretX), float(bottom - 4), 3, 26, 1, 0, 1);
        }
    }
    w->rowsDrawn = fullRows;

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
