// Widgets: the tree of rectangles that makes up the game screen's interface.
//
// Every widget is laid out as fractions of its parent (or of the screen)
// around one of nine anchor points, and carries a draw and a click callback.
// Once per frame UIProcess() hands the frame's click to the tree; later the
// draw pass walks the same tree (ui/widget_draw.cpp, bd_gl).
// Overlay coordinates: origin bottom-left, y up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Widget;
using WidgetFn = void (*)(Widget*);

// One line of a text list: its text (Windows-1251) and its colour codes.
struct TextListEntry {
    std::string text;
    std::string colours;
};
struct TextList {
    std::vector<TextListEntry> entries;
};

struct Widget {
    int x = 0, y = 0, width = 0, height = 0;
    int anchor = 0;
    int hover = 0;          // 1 while the mouse is over this widget
    int clickButton = 0;    // button of the click being delivered, else 0
    int tag = 0;
    Widget* parent = nullptr;
    TextList* list = nullptr;
    bool ownsList = false;  // list made by the text list loader, freed with the widget
    std::vector<Widget*> children;   // drawing order = insertion order
    WidgetFn draw = nullptr;
    WidgetFn click = nullptr;
    int visible = 0;
    // A display-only widget (a notice over other windows) lets the hover and
    // click go on to the widgets below it.
    bool clickThrough = false;
    // list state, used only with an attached list
    int listModified = 0;
    int caretColumn = 0;
    int firstVisible = 0;
    int cursorEntry = 0;
    int rowsDrawn = 0;
    int pageSize = 0;
    // Kept by the draw pass for the tree's cached picture: what the painter
    // drew last (a hash of its calls and the state it started from) and where.
    std::uint64_t paintHash = 0;
    int paintX = 0, paintY = 0, paintW = 0, paintH = 0;
    bool painted = false;
    unsigned paintPass = 0;
};

inline constexpr int kTooltipCapacity = 256;
inline constexpr int kTextListRowHeight = 18;

extern Widget uiRoot;
extern int uiReady;
extern char tooltipText[kTooltipCapacity];
extern Widget* tooltipBar;
extern int hoverTaken;
extern int clickTaken;
extern Widget* focusedList;   // the text list that takes typed keys, or null
// Counts changes to the tree's shape (widgets made, cloned, freed).
extern unsigned uiTreeSerial;

// Frees every widget below uiRoot and puts the globals back to their start
// values (tests build many trees in one process).
void UIReset();

void UIInit(int width, int height);
Widget* CreateWidget(Widget* parent, WidgetFn draw, WidgetFn click, float fx, float fy, float fw,
                     float fh, int anchor, int relativeToParent);
void PlaceWidget(Widget* w, int relativeToParent, float fx, float fy, float fw, float fh, int anchor);
void SetWidgetTag(Widget* w, int tag, int recursive);
void CloneWidget(Widget* target, const Widget* source, int dx, int dy, Widget* newParent);
Widget* CloneWidgetAbove(const Widget* source);
Widget* CloneWidgetLeft(const Widget* source);
Widget* CloneWidgetBelow(const Widget* source);
Widget* CloneWidgetRight(const Widget* source);
void MakeWidgetGrid(Widget* first, int columns, int rows, int firstTag, int descending);

// The hover-and-click pass with the mouse at (mouseX, mouseY) in overlay
// pixels; button 1 left, 2 right, 0 none. Returns 1 when a click callback ran.
int UIProcessAt(int button, int mouseX, int mouseY);
// The same with the frame's cursor position (app input state).
int UIProcess(int button);

// Sets the tooltip bar's text for this frame (cut to fit).
void SetTooltipText(const char* text);
// The world update empties the tooltip every frame.
void ClearTooltipText();

// Inclusive on every edge.
inline bool PointInWidget(const Widget* w, int px, int py) {
    return px >= w->x && px <= w->x + w->width && py >= w->y && py <= w->y + w->height;
}

// ---- Text list widgets
// Click callback of list widgets: the clicked list takes the focus unless
// the focused list carries the same tag.
void TextListClick(Widget* w);
// Scrolls by n entries (n < 1: by a page less one row).
void TextListScrollDown(Widget* w, int n);
void TextListScrollUp(Widget* w, int n);
