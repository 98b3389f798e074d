// The game screen's painters (bd_gl): the second button painter, the HUD's
// bars, labels and slots, and the cursor with the status line.
#pragma once

struct Widget;

// Fills hudPainters; called before the tree is built.
void HudInstallPainters();

// The HUD's button painter; the caller sets the fill colour first.
void DrawHudButton(Widget* w, const char* label, const char* tooltip, int font, int textureSlot,
                   int centred, float lineWidth, float r, float g, float b);
// The label's offset inside the widget as DrawHudButton places it.
void HudLabelOffset(const Widget* w, const char* label, int font, int centred, int* dx, int* dy);

// The font of a side bar label: 1, or the small 7 where 1 does not fit.
int SideBarFont(const Widget* w, const char* label);

// The mouse cursor sprite and the test-info status line, last in the overlay.
void DrawCursorAndStatus();
