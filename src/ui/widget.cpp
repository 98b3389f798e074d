// Widgets: layout, cloning and grids, the hover-and-click pass, list scrolling.
#include "ui/widget.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/input.h"

Widget uiRoot;
int uiReady = 0;
char tooltipText[kTooltipCapacity] = {};
Widget* tooltipBar = nullptr;
int hoverTaken = 0;
int clickTaken = 0;
Widget* focusedList = nullptr;
unsigned uiTreeSerial = 0;

namespace {

void FreeSubtree(Widget* w) {
    for (Widget* c : w->children) {
        FreeSubtree(c);
        if (c->ownsList) delete c->list;
        delete c;
    }
    w->children.clear();
}

int RoundToInt(double v) { return static_cast<int>(std::lround(v)); }

bool IsStoredAnchor(int anchor) {
    switch (anchor) {
        case 1: case 3: case 5: case 6: case 7: case 9: case 11: case 12:
        case 25: case 45: case 65: case 85:
            return true;
        default:
            return false;
    }
}

}  // namespace

void UIReset() {
    ++uiTreeSerial;   // never back to 0: a kept picture of the old tree must not match
    FreeSubtree(&uiRoot);
    uiRoot = Widget{};
    uiReady = 0;
    tooltipText[0] = 0;
    tooltipBar = nullptr;
    hoverTaken = 0;
    clickTaken = 0;
    focusedList = nullptr;
}

void UIInit(int width, int height) {
    uiRoot.x = 0;
    uiRoot.y = 0;
    uiRoot.width = width;
    uiRoot.height = height;
    uiRoot.visible = 1;   // the hover and draw passes skip an invisible root with all below it
    uiReady = 1;
}

Widget* CreateWidget(Widget* parent, WidgetFn draw, WidgetFn click, float fx, float fy, float fw,
                     float fh, int anchor, int relativeToParent) {
    auto* w = new Widget{};
    ++uiTreeSerial;
    w->draw = draw;
    w->click = click;
    w->parent = parent;
    PlaceWidget(w, relativeToParent, fx, fy, fw, fh, anchor);
    if (parent) parent->children.push_back(w);
    return w;
}

void PlaceWidget(Widget* w, int relativeToParent, float fx, float fy, float fw, float fh, int anchor) {
    const Widget* ref = (relativeToParent && w->parent) ? w->parent : &uiRoot;
    const int refX = ref->x, refY = ref->y, refW = ref->width, refH = ref->height;

    w->anchor = IsStoredAnchor(anchor) ? anchor : 0;
    const int width = RoundToInt(std::fabs(static_cast<double>(fw)) * refW);
    const int height = RoundToInt(std::fabs(static_cast<double>(fh)) * refH);

    const int centreX = refX + refW / 2 - width / 2;
    const int centreY = refY + refH / 2 - height / 2;
    const int right = refX + refW - width;
    const int top = refY + refH - height;
    int x0 = centreX, y0 = centreY;   // 0 and every code above 12
    switch (w->anchor) {
        case 1:  x0 = right;   y0 = top;     break;
        case 3:  x0 = right;   y0 = centreY; break;
        case 5:  x0 = right;   y0 = refY;    break;
        case 6:  x0 = centreX; y0 = refY;    break;
        case 7:  x0 = refX;    y0 = refY;    break;
        case 9:  x0 = refX;    y0 = centreY; break;
        case 11: x0 = refX;    y0 = top;     break;
        case 12: x0 = centreX; y0 = top;     break;
        default: break;
    }
    w->width = width;
    w->height = height;
    w->x = RoundToInt(x0 + static_cast<double>(refW) * fx);
    w->y = RoundToInt(y0 + static_cast<double>(refH) * fy);
}

void SetWidgetTag(Widget* w, int tag, int recursive) {
    if (!w) return;
    w->tag = tag;
    if (recursive)
        for (Widget* c : w->children) SetWidgetTag(c, tag, 1);
}

void CloneWidget(Widget* target, const Widget* source, int dx, int dy, Widget* newParent) {
    ++uiTreeSerial;
    target->x = source->x + dx;
    target->y = source->y + dy;
    target->width = source->width;
    target->height = source->height;
    target->anchor = source->anchor;
    target->hover = source->hover;
    target->clickButton = source->clickButton;
    target->tag = source->tag;
    target->visible = source->visible;
    target->draw = source->draw;
    target->click = source->click;
    target->parent = newParent ? newParent : source->parent;
    if (target->parent) target->parent->children.push_back(target);
    // Index loop: cloning into the source's own parent may grow that vector.
    for (std::size_t i = 0; i < source->children.size(); ++i) {
        const Widget* child = source->children[i];
        if (!child) continue;
        CloneWidget(new Widget{}, child, dx, dy, target);
    }
}

namespace {
Widget* CloneMoved(const Widget* source, int dx, int dy) {
    if (!source || !source->parent) return nullptr;
    auto* w = new Widget{};
    CloneWidget(w, source, dx, dy, nullptr);
    return w;
}
}  // namespace

Widget* CloneWidgetAbove(const Widget* s) { return s ? CloneMoved(s, 0, s->height) : nullptr; }
Widget* CloneWidgetLeft(const Widget* s) { return s ? CloneMoved(s, -s->width, 0) : nullptr; }
Widget* CloneWidgetBelow(const Widget* s) { return s ? CloneMoved(s, 0, -s->height) : nullptr; }
Widget* CloneWidgetRight(const Widget* s) { return s ? CloneMoved(s, s->width, 0) : nullptr; }

void MakeWidgetGrid(Widget* first, int columns, int rows, int firstTag, int descending) {
    if (!first) return;
    const int step = descending ? -1 : 1;
    first->tag = firstTag;
    int t = firstTag + step;
    Widget* rowStart = first;
    for (int r = 0; r < rows; ++r) {
        if (r > 0) {
            Widget* next = CloneWidgetBelow(rowStart);
            if (!next) return;   // a grid needs a parent to live in
            rowStart = next;
            SetWidgetTag(rowStart, t, 1);
            t += step;
        }
        Widget* cell = rowStart;
        for (int c = 1; c < columns; ++c) {
            Widget* next = CloneWidgetRight(cell);
            if (!next) return;
            cell = next;
            SetWidgetTag(cell, t, 1);
            t += step;
        }
    }
}

namespace {

void VisitForHover(Widget* w, int button, int mx, int my) {
    if (!w->visible) return;
    w->hover = 0;
    if (!hoverTaken && !w->clickThrough && PointInWidget(w, mx, my)) {
        bool inChild = false;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
            if (PointInWidget(*it, mx, my)) { inChild = true; break; }
        if (!inChild) {
            w->hover = 1;
            if (button != 0 && w->click) {
                w->clickButton = button;
                w->click(w);
                clickTaken = 1;
            } else {
                w->clickButton = 0;
            }
            hoverTaken = 1;
        }
    }
    // Index loop from the back: a click callback may add widgets.
    for (std::size_t i = w->children.size(); i-- > 0;) {
        if (i >= w->children.size()) continue;
        VisitForHover(w->children[i], button, mx, my);
    }
}

}  // namespace

int UIProcessAt(int button, int mouseX, int mouseY) {
    clickTaken = 0;
    hoverTaken = 0;
    VisitForHover(&uiRoot, button, mouseX, mouseY);
    return clickTaken;
}

int UIProcess(int button) { return UIProcessAt(button, cursorX, cursorY); }

void SetTooltipText(const char* text) {
    if (!text) text = "";
    std::size_t n = std::strlen(text);
    if (n >= sizeof tooltipText) n = sizeof tooltipText - 1;
    std::memcpy(tooltipText, text, n);
    tooltipText[n] = 0;
}

void ClearTooltipText() { tooltipText[0] = 0; }

// ---- Text lists

void TextListClick(Widget* w) {
    if (!w) return;
    if (focusedList && focusedList->tag == w->tag) return;
    focusedList = w;
}

namespace {
int ListSize(const Widget* w) { return w->list ? static_cast<int>(w->list->entries.size()) : 0; }

// Clamps to lo..hi with the lower bound applied last: an empty range (one
// entry gives 0..-1 for downward scrolling) must never yield a negative index.
int ClampIndex(int v, int lo, int hi) {
    if (v > hi) v = hi;
    if (v < lo) v = lo;
    return v;
}

bool ListFitsOnScreen(Widget* w) {
    if (w->rowsDrawn >= ListSize(w)) {
        w->firstVisible = 0;
        return true;
    }
    return false;
}
}  // namespace

void TextListScrollDown(Widget* w, int n) {
    if (!w || !w->list || ListFitsOnScreen(w)) return;
    const int by = n < 1 ? w->pageSize - 1 : n;
    w->firstVisible = ClampIndex(w->firstVisible + by, 0, ListSize(w) - 2);
}

void TextListScrollUp(Widget* w, int n) {
    if (!w || !w->list || ListFitsOnScreen(w)) return;
    const int by = n < 1 ? w->pageSize - 1 : n;
    w->firstVisible = ClampIndex(w->firstVisible - by, 0, ListSize(w) - 1);
}
