// Widgets on screen: the tree pass with its scissor boxes and the shared
// painters (button, panel, tooltip bar, text list).
// Reads widget state and never changes game state; the text list keeps its
// own page size and row count, which only its scrolling reads.
#include "ui/widget_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/frame.h"
#include "gfx/draw2d.h"
#include "gfx/draw_capture.h"
#include "gfx/fonts.h"
#include "gfx/screen_layer.h"
#include "gfx/textures.h"
#include "ui/widget.h"

bool widgetPictureKept = true;
int widgetPictureRedrawn;

namespace {

constexpr int kTooltipCapSlot = 85;
constexpr int kTooltipFont = 4;
constexpr int kListFont = 1;

// The tree's picture is kept in a layer (gfx/screen_layer.h): most frames
// it shows the same buttons and texts, and software GL pays for every
// blended pixel. Each frame every painter is captured (draw_capture.h);
// only the boxes of widgets whose capture changed, or that came, went or
// moved, are drawn into the layer again (the whole tree, clipped to them).
struct Box {
    int x, y, w, h;
};
enum class Pass { Live, Capture, StateOnly, Redraw };

constexpr int kMaxDirty = 16, kMaxBoxes = 512, kMaxCover = 256;
Pass pass = Pass::Live;
Box clip;
Box dirty[kMaxDirty];
int dirtyCount;
bool dirtyAll;
Box boxes[kMaxBoxes];   // what the widgets drew this frame
int boxCount;
int cover[4 * kMaxCover];   // the same as disjoint rectangles
int coverCount;
unsigned passSerial;
unsigned keptTree = ~0u, keptTextures;
int keptW, keptH;

Box Intersect(const Box& a, const Box& b) {
    const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

bool Touch(const Box& a, const Box& b) {
    return a.x <= b.x + b.w && b.x <= a.x + a.w && a.y <= b.y + b.h && b.y <= a.y + a.h;
}

Box Join(const Box& a, const Box& b) {
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    return {x0, y0, std::max(a.x + a.w, b.x + b.w) - x0, std::max(a.y + a.h, b.y + b.h) - y0};
}

// Adds a box to the dirty rectangles, joining the ones it touches.
void AddDirty(Box b) {
    b = Intersect(b, Box{0, 0, uiRoot.width, uiRoot.height});
    if (b.w <= 0 || b.h <= 0 || dirtyAll) return;
    for (int i = 0; i < dirtyCount;) {
        if (Touch(dirty[i], b)) {
            b = Join(b, dirty[i]);
            dirty[i] = dirty[--dirtyCount];
            i = 0;
        } else {
            ++i;
        }
    }
    if (dirtyCount == kMaxDirty) {
        for (int i = 0; i < dirtyCount; ++i) b = Join(b, dirty[i]);
        dirtyCount = 0;
    }
    dirty[dirtyCount++] = b;
}

// A captured widget: its box becomes dirty where what it draws changed.
void Note(Widget* w, const Box& b, std::uint64_t hash, bool shows) {
    const bool same = w->painted == shows &&
                      (!shows || (w->paintHash == hash && w->paintX == b.x && w->paintY == b.y &&
                                  w->paintW == b.w && w->paintH == b.h));
    if (!same) {
        if (w->painted) AddDirty(Box{w->paintX, w->paintY, w->paintW, w->paintH});
        if (shows) AddDirty(b);
    }
    w->painted = shows;
    w->paintHash = hash;
    w->paintX = b.x;
    w->paintY = b.y;
    w->paintW = b.w;
    w->paintH = b.h;
    w->paintPass = passSerial;
    if (!shows) return;
    const Box c = Intersect(b, Box{0, 0, uiRoot.width, uiRoot.height});
    // Past the last box the cover is the whole screen (ComputeCover).
    if (c.w > 0 && c.h > 0 && boxCount < kMaxBoxes) boxes[boxCount++] = c;
}

// Widgets drawn before and not this time (hidden, or under a hidden parent).
void ForgetGone(Widget* w) {
    if (w->painted && w->paintPass != passSerial) {
        AddDirty(Box{w->paintX, w->paintY, w->paintW, w->paintH});
        w->painted = false;
    }
    for (Widget* c : w->children) ForgetGone(c);
}

// The union of the boxes as disjoint rectangles: bands between the boxes'
// edges, the spans in each band merged, equal spans of touching bands joined.
void ComputeCover() {
    coverCount = 0;
    if (boxCount == kMaxBoxes) {
        const int full[4] = {0, 0, uiRoot.width, uiRoot.height};
        std::memcpy(cover, full, sizeof full);
        coverCount = 1;
        return;
    }
    static int ys[2 * kMaxBoxes];
    int n = 0;
    for (int i = 0; i < boxCount; ++i) ys[n++] = boxes[i].y, ys[n++] = boxes[i].y + boxes[i].h;
    std::sort(ys, ys + n);
    n = int(std::unique(ys, ys + n) - ys);
    static int spans[kMaxBoxes];
    for (int k = 0; k + 1 < n; ++k) {
        const int y0 = ys[k], y1 = ys[k + 1];
        int m = 0;
        for (int i = 0; i < boxCount; ++i)
            if (boxes[i].y <= y0 && boxes[i].y + boxes[i].h >= y1) spans[m++] = i;
        std::sort(spans, spans + m, [](int a, int b) { return boxes[a].x < boxes[b].x; });
        for (int j = 0; j < m;) {
            const int x0 = boxes[spans[j]].x;
            int x1 = x0 + boxes[spans[j]].w;
            for (++j; j < m && boxes[spans[j]].x <= x1; ++j) x1 = std::max(x1, boxes[spans[j]].x + boxes[spans[j]].w);
            int* r = nullptr;   // the same span ending where this band starts
            for (int p = 0; p < coverCount && !r; ++p)
                if (cover[4 * p] == x0 && cover[4 * p + 2] == x1 - x0 && cover[4 * p + 1] + cover[4 * p + 3] == y0)
                    r = cover + 4 * p;
            if (r) {
                r[3] += y1 - y0;
                continue;
            }
            if (coverCount == kMaxCover) {
                boxCount = kMaxBoxes;
                return ComputeCover();
            }
            r = cover + 4 * coverCount++;
            r[0] = x0, r[1] = y0, r[2] = x1 - x0, r[3] = y1 - y0;
        }
    }
}

void DrawWidgetTree(Widget* w) {
    if (!w->visible) return;
    const Box box{w->x - 1, w->y - 1, w->width + 2, w->height + 2};
    if (pass == Pass::Redraw) {
        // Outside the rectangle being drawn again a painter only sets its state.
        const Box c = Intersect(box, clip);
        drawCapture = c.w == 0 || c.h == 0;
        glScissor(c.x, c.y, c.w, c.h);
    } else {
        glScissor(box.x, box.y, box.w, box.h);
    }
    glEnable(GL_SCISSOR_TEST);
    if (pass == Pass::Capture && w->draw) {
        drawHash = 0;
        captureShapes = 0;
        CaptureGlState();
        w->draw(w);
        Note(w, box, drawHash, captureShapes > 0);
    } else if (w->draw) {
        w->draw(w);
    }
    // Index loop: a painter must not add widgets, but a stale iterator would crash.
    for (std::size_t i = 0; i < w->children.size(); ++i) DrawWidgetTree(w->children[i]);
    glDisable(GL_SCISSOR_TEST);
}

void RunPass(Pass p) {
    pass = p;
    drawCapture = p == Pass::Capture || p == Pass::StateOnly;
    DrawWidgetTree(&uiRoot);
    drawCapture = false;
    pass = Pass::Live;
}

// The kept picture: capture, draw again what changed, then the layer over the frame.
void DrawKeptTree() {
    ++passSerial;
    dirtyCount = boxCount = 0;
    dirtyAll = false;
    // Painters publish the tooltip; every pass starts from the frame's.
    char tooltip[kTooltipCapacity];
    std::memcpy(tooltip, tooltipText, sizeof tooltip);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    RunPass(Pass::Capture);
    glPopAttrib();
    ForgetGone(&uiRoot);
    if (keptTree != uiTreeSerial || keptTextures != texUploadSerial || keptW != uiRoot.width ||
        keptH != uiRoot.height)
        dirtyAll = true;
    keptTree = uiTreeSerial;
    keptTextures = texUploadSerial;
    keptW = uiRoot.width;
    keptH = uiRoot.height;
    if (dirtyAll) {
        dirtyCount = 1;
        dirty[0] = Box{0, 0, uiRoot.width, uiRoot.height};
    }
    if (dirtyCount > 0) ComputeCover();
    widgetPictureRedrawn = dirtyCount;
    for (int i = 0; i < dirtyCount; ++i) {
        std::memcpy(tooltipText, tooltip, sizeof tooltip);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        LayerBegin(dirty[i].x, dirty[i].y, dirty[i].w, dirty[i].h);
        clip = dirty[i];
        RunPass(Pass::Redraw);
        LayerEnd();
        glPopAttrib();
    }
    // The state a drawn tree leaves (what the frame draws next inherits it).
    std::memcpy(tooltipText, tooltip, sizeof tooltip);
    RunPass(Pass::StateOnly);
    LayerComposite(cover, coverCount);
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

namespace {
void CollectOpaque(const Widget* w, int* rects, int max, int* n) {
    if (!w->visible) return;
    if (OpaqueChild(w) && *n < max) {
        int* r = rects + 4 * (*n)++;
        r[0] = w->x, r[1] = w->y, r[2] = w->width, r[3] = w->height;
    }
    for (const Widget* c : w->children) CollectOpaque(c, rects, max, n);
}
}  // namespace

int OpaqueWidgetRects(int* rects, int max) {
    int n = 0;
    CollectOpaque(&uiRoot, rects, max, &n);
    return n;
}

void DrawWidgets() {
    glViewport(0, 0, uiRoot.width, uiRoot.height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, uiRoot.width, 0, uiRoot.height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    bool fresh = false;
    widgetPictureRedrawn = 0;
    if (widgetPictureKept && LayerReady(uiRoot.width, uiRoot.height, &fresh)) {
        if (fresh) keptTree = ~0u;
        DrawKeptTree();
    } else {
        DrawWidgetTree(&uiRoot);
    }

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

    SetLineWidth(2);
    SetDrawColor(0.8f, 0.1f, 0.1f, 0.1f);
    DrawTexRect(x + capWidth + 1, y + 1, innerWidth - 2, h - 2, 0, 0, 1);
    SetLineWidth(1);

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
