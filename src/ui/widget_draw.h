// Drawing of the widget tree and the shared painters (bd_gl).
// DrawWidgets runs inside the main loop's 2D overlay.
#pragma once

struct Widget;

void DrawWidgets();
// The tree's picture is kept in a layer between frames and drawn again only
// where it changed (on by default; off draws every widget every frame).
extern bool widgetPictureKept;
// Rectangles the last DrawWidgets drew into the layer again.
extern int widgetPictureRedrawn;
// The rectangles (x, y, w, h) the tree will paint over opaquely (its shown
// text lists), at most max; returns how many.
int OpaqueWidgetRects(int* rects, int max);
// The shared button painter: translucent box, hover frame, label; publishes
// tooltip to the tooltip bar while hovered. font 1 for ordinary buttons.
void DrawButton(Widget* w, const char* label, const char* tooltip, int font);
void DrawPanel(Widget* w);
void DrawTooltipBar(Widget* w);
void DrawTextList(Widget* w);
