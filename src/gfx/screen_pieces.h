// The small pieces the frame draws itself: the fps counter, the pause
// screen, the message feed line, the screen tint, and numbered screenshots.
#pragma once

// "fps:%d" in font 2 at (37, 5), white.
void DrawFpsCounter(int fps);
// Tinted quad over the window and "PAUSE" in font 6 at (50, 150) with the
// colour codes "aqpcg". The caller swaps the buffers.
void DrawPauseScreen();
// One message-feed line in font 5 at (winWidth / 10, winHeight / 2), in the
// current colour.
void DrawFeedLine(const char* line);
// The screen tint over the whole window while its remaining count is not 0
// (inside the overlay).
void DrawScreenTint();
// Saves the current viewport as "screenshots/shotNNNN.bmp" with the first
// free number; the folder is made when missing. 1 when written.
int SaveNumberedScreenshot();
// Releases fonts and textures (GL teardown).
void ReleaseGraphics();
