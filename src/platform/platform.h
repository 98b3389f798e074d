// Platform layer: the one interface between the game and the desktop.
//
// The game was designed against Win32/WGL/GDI; this header keeps that
// vocabulary (virtual-key codes, window messages, message boxes, tick
// clocks) so game code reads like the design. Two backends implement it and
// one is chosen at link time:
//   sdl/    the real desktop (SDL2 window, GL context, zenity file dialogs)
//   script/ tests: virtual clock, scripted input, canned answers, offscreen GL
// Nothing outside src/platform/ includes SDL.
#pragma once

#include <cstdint>

// ---- Windows virtual-key codes the game uses (keyDown[] is indexed by them)
enum : int {
    VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_MBUTTON = 0x04,
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D,
    VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
    VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    // '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as on Windows
    VK_NUMPAD0 = 0x60, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
    VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74,
    VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79,
    VK_F11 = 0x7A, VK_F12 = 0x7B, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
    VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
};

// ---- Window messages delivered to the window procedure (Windows values)
enum : unsigned {
    WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008,
    WM_CLOSE = 0x0010, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102, WM_SYSCOMMAND = 0x0112,
    WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
    WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
    WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
};
// WM_SIZE wParam kinds
enum : unsigned { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };
// WM_ACTIVATE: low word WA_INACTIVE / WA_ACTIVE; the high word of wParam is
// non-zero when the window is minimised
enum : unsigned { WA_INACTIVE = 0, WA_ACTIVE = 1 };
// WM_SYSCOMMAND wParam values (low four bits masked off, as on Windows)
enum : unsigned {
    SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020,
    SC_MAXIMIZE = 0xF030, SC_KEYMENU = 0xF100, SC_SCREENSAVE = 0xF140,
    SC_HOTKEY = 0xF150, SC_MONITORPOWER = 0xF170, SC_CONTEXTHELP = 0xF180,
};

// ---- Message boxes
enum : int {
    MB_OK = 0x0000, MB_YESNO = 0x0004,
    MB_ICONERROR = 0x0010, MB_ICONQUESTION = 0x0020,
    MB_ICONEXCLAMATION = 0x0030, MB_ICONINFORMATION = 0x0040,
};
enum : int { IDOK = 1, IDYES = 6, IDNO = 7 };

// The window procedure: every message of the pump goes through it.
using PlatWndProc = long (*)(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// ---- Window and GL context. Each step mirrors one Win32/WGL call so the
// caller can report the step that failed. All return 1 on success, 0 on failure.
int  PlatRegisterClass(const char* className, PlatWndProc proc);
int  PlatUnregisterClass(const char* className);
// Borderless window at the top-left of the screen with a client area of
// width x height; title in Windows-1251. Not shown yet.
int  PlatCreateWindow(const char* title, int width, int height);
int  PlatGetDC();                        // the window's drawing surface
int  PlatReleaseDC();
// Pixel format: colour, depth and stencil bits, double buffering. Returns a
// format number (>= 1), 0 when no such format exists.
int  PlatChoosePixelFormat(int colourBits, int depthBits, int stencilBits, int doubleBuffer);
int  PlatSetPixelFormat(int format);
int  PlatCreateGLContext();              // compatibility (1.x) context on the window
int  PlatMakeCurrent(int bind);          // bind = 0 releases the context
int  PlatDeleteGLContext();
int  PlatDestroyWindow();
// Shows the window and raises it; delivers WM_ACTIVATE, WM_SETFOCUS and
// WM_SIZE(SIZE_RESTORED) as Windows does, so frames run without a window manager.
void PlatShowWindow();
void PlatMinimizeWindow();
void PlatSetWindowPos(int x, int y, int width, int height);
void PlatGetWindowRect(int* left, int* top, int* right, int* bottom);
void PlatSwapBuffers();
void PlatShowCursor(int show);

// ---- Message pump. Takes one pending message, if any, and dispatches it to
// the window procedure; returns 1 when a message was handled, 0 when idle.
int  PlatPeekMessage();

// ---- Input state
void PlatGetCursorPos(int* x, int* y);   // screen pixels, origin top-left
int  PlatAsyncKeyHeld(int vk);           // GetAsyncKeyState(vk) < 0; vk < 1 is never held

// ---- Clocks (milliseconds since an arbitrary start, wrapping like Windows)
unsigned PlatTimeGetTime();
unsigned PlatGetTickCount();
void     PlatSleep(int ms);

// ---- Message boxes with no owner; caption and text are Windows-1251.
// Returns IDOK, IDYES or IDNO.
int  PlatMessageBox(const char* text, const char* caption, int flags);

// ---- File dialogs. buffer holds the start name (Windows-1251 / file-system
// bytes) and receives the chosen path; returns 1 when a file was chosen, 0 on
// cancel or when the path does not fit in bufferSize bytes with its zero.
int  PlatOpenFileDialog(char* buffer, int bufferSize);
int  PlatSaveFileDialog(char* buffer, int bufferSize);

// ---- The player's data folder: $XDG_DATA_HOME when it is an absolute
// path, else $HOME/.local/share (the script backend: a private temporary
// folder, see script_platform.h). Not created here. Returns the length, 0
// when there is none or it does not fit in bufferSize bytes with its zero.
int  PlatUserDataFolder(char* buffer, int bufferSize);

// ---- Current directory
int  PlatGetCurrentDirectory(char* buffer, int bufferSize);  // length, 0 on failure
int  PlatSetCurrentDirectory(const char* path);
