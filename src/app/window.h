// The game window: creation and teardown with its GL context, the window
// procedure, the cursor, dragging the borderless window, the Escape pause
// question and the file dialogs.
#pragma once

#include <cstdint>

inline constexpr const char* kWindowClass = "evBlokOpenGL";
inline constexpr const char* kWindowTitle = "RPG Brindoma";

// 1 on success. On failure a box names the failed step, what exists is torn
// down, and 0 is returned.
int  CreateGLWindow(int width, int height);
int  InitGL();
// Set by InitGL when the widget layer is ready for the game screen.
extern int widgetLayerReady;

// Tears down context, window and class; safe with any of them missing.
void KillGlWindow();

long WndProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// The cursor in window pixels, origin bottom-left, y up.
void GetCursorGL(int* x, int* y);
// Right button + Backspace held: moves the window with the cursor. 1 when it
// did so in this frame (the frame then does nothing else).
int  WindowDrag();
void WindowDragReset();

// Escape released: darkens the screen and asks "Exit ?? Выход"; Yes ends the game.
void PauseQuestion();

// 1 when the user chose a file; the path is then in dialogFileName.
// The start directory is made current again in every case.
int  OpenFileDialog();
int  SaveFileDialog();
