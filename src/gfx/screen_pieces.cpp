// Fps counter, pause screen, feed line, screen tint, screenshots.
#include "gfx/screen_pieces.h"

#include <GL/gl.h>

#include <cstdio>

#include "app/frame.h"
#include "gfx/draw2d.h"
#include "gfx/fonts.h"
#include "gfx/screen_layer.h"
#include "gfx/screen_tint.h"
#include "gfx/textures.h"
#include "io/files.h"

void DrawFpsCounter(int fps) {
    char text[32];
    std::snprintf(text, sizeof text, "fps:%d", fps);
    glColor4f(1, 1, 1, 1);
    DrawTextAt(text, 2, 37, 5);
}

void DrawPauseScreen() {
    if (Ortho2DBegin(0, winWidth, 0, winHeight)) {
        SetBlendMode(38);
        SetDrawColor(0.7f, 0.0f, 0.2f, 0.4f);
        DisableTexturing();
        DrawTexRect(0, 0, float(winWidth), float(winHeight), 1, 0, 1);
        Ortho2DEnd();
    }
    DrawTextAt("PAUSE", 6, 50, 150, "aqpcg");
}

void DrawFeedLine(const char* line) {
    if (!line) return;
    DrawTextAt(line, 5, winWidth / 10, winHeight / 2);
}

void DrawScreenTint() {
    if (screenTint.remaining == 0) return;
    SetBlendMode(38);
    DisableTexturing();
    glColor4f(screenTint.red, screenTint.green, screenTint.blue, ScreenTintAlpha(screenTint));
    DrawTexRect(0, 0, float(winWidth), float(winHeight), 1, 0, 1);
}

int SaveNumberedScreenshot() {
    if (!MakeDirectory("screenshots")) return 0;
    char path[64];
    for (int n = 1; n <= 9999; ++n) {
        std::snprintf(path, sizeof path, "screenshots/shot%04d.bmp", n);
        if (!FileExists(path)) return SaveScreenshot(path);
    }
    return 0;
}

void ReleaseGraphics() {
    LayerRelease();
    FreeFontSet(fontSet);
    TexTableFree(texTable);
}
