// The game window: creation and teardown with its GL context, the window
// procedure, cursor, dragging, the pause question and the file dialogs.
#include "app/window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "app/frame.h"
#include "app/game_hooks.h"
#include "app/input.h"
#include "app/paths.h"
#include "app/signals.h"
#include "gfx/screen_pieces.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "ui/hud.h"

// What exists of the window; teardown releases only that.
static int classRegistered, haveWindow, haveDC, haveContext;
int widgetLayerReady;

// Pixel format: the bit counts are written in on the first creation only.
static struct {
    int colourBits, depthBits, stencilBits, doubleBuffer;
    int set;
} pixelFormat;

static void ErrorBox(const char* text) { PlatMessageBox(text, "Error", MB_OK | MB_ICONEXCLAMATION); }

static int CreateFailed(const char* text) {
    ErrorBox(text);
    KillGlWindow();
    return 0;
}

int CreateGLWindow(int width, int height) {
    if (!PlatRegisterClass(kWindowClass, WndProc)) {
        ErrorBox("not RegisterClass");
        return 0;
    }
    classRegistered = 1;
    if (!PlatCreateWindow(kWindowTitle, width, height)) return CreateFailed("not CreateWindowEx");
    haveWindow = 1;
    if (!pixelFormat.set) {
        pixelFormat.colourBits = 24;
        pixelFormat.depthBits = 0;   // everything is drawn in order, in 2D: nothing tests depth
        pixelFormat.stencilBits = 0;
        pixelFormat.doubleBuffer = 1;
        pixelFormat.set = 1;
    }
    if (!PlatGetDC()) return CreateFailed("not GetDC");
    haveDC = 1;
    int format = PlatChoosePixelFormat(pixelFormat.colourBits, pixelFormat.depthBits, pixelFormat.stencilBits,
                                       pixelFormat.doubleBuffer);
    if (!format) return CreateFailed("not ChoosePixelFormat");
    if (!PlatSetPixelFormat(format)) return CreateFailed("not SetPixelFormat");
    if (!PlatCreateGLContext()) return CreateFailed("not wglCreateContext");
    haveContext = 1;
    if (!PlatMakeCurrent(1)) return CreateFailed("not wglMakeCurrent");
    if (!InitGL()) return CreateFailed("not InitGL");
    PlatShowWindow();
    return 1;
}

int InitGL() {
    glViewport(0, 0, winWidth, winHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, winHeight ? double(winWidth) / winHeight : 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glLineWidth(1.0f);
    glEnable(GL_COLOR_MATERIAL);

    if (!GameLoadFonts()) return 0;
    if (!GameLoadTextures()) {
        PlatMessageBox("not Load TGA", "err", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    KeysClear();
    if (!SigLoadFile(kPathSig)) return 0;
    widgetLayerReady = GameInitWidgetLayer(winWidth, winHeight);
    // The game draws its own cursor sprite; the desktop's would show twice.
    PlatShowCursor(0);
    hudMinimiseWindow = PlatMinimizeWindow;
    return 1;
}

void KillGlWindow() {
    if (haveContext) ReleaseGraphics();   // no context: nothing was loaded
    PlatShowCursor(1);
    if (haveContext) {
        int released = PlatMakeCurrent(0);
        if (!PlatDeleteGLContext() || !released)
            PlatMessageBox("KillGlWindow", "Err", MB_OK | MB_ICONINFORMATION);
        haveContext = 0;
    }
    if (haveDC) {
        if (!PlatReleaseDC()) PlatMessageBox("-", "Err", MB_OK | MB_ICONINFORMATION);
        haveDC = 0;
    }
    if (haveWindow) {
        if (!PlatDestroyWindow()) PlatMessageBox("-", "Err", MB_OK | MB_ICONINFORMATION);
        haveWindow = 0;
    }
    if (classRegistered) {
        if (!PlatUnregisterClass(kWindowClass)) PlatMessageBox("-", "Err", MB_OK | MB_ICONINFORMATION);
        classRegistered = 0;
    }
    widgetLayerReady = 0;
}

// ---- window procedure

static void SetKey(std::uintptr_t vk, int down) {
    if (vk >= kKeyCount) return;
    if (down) KeyPress(int(vk));
    else KeyRelease(int(vk));
}

long WndProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    (void)lParam;
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY: return 0;
    case WM_ACTIVATE:
        drawEnabled = 1;
        if (((wParam >> 16) & 0xFFFF) == 0) isActive = 1;
        return 0;
    case WM_SETFOCUS:
        drawEnabled = isActive = 1;
        return 0;
    case WM_KILLFOCUS:
        drawEnabled = 0;
        return 0;
    case WM_SIZE:
        switch (wParam) {
        case SIZE_RESTORED: drawEnabled = isActive = 1; break;
        case SIZE_MINIMIZED: drawEnabled = isActive = 0; break;
        case SIZE_MAXIMIZED: drawEnabled = 1; break;
        default: break;
        }
        return 0;
    case WM_CLOSE:
        isDone = 1;   // the loop ends on isDone; no quit message is needed
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_SIZE: case SC_MOVE: case SC_MAXIMIZE: case SC_KEYMENU: case SC_SCREENSAVE:
        case SC_HOTKEY: case SC_MONITORPOWER: case SC_CONTEXTHELP: return 0;
        default: return 1;   // left to the platform
        }
    case WM_KEYDOWN:
        if (wParam != VK_ESCAPE) SetKey(wParam, 1);
        return 0;
    case WM_KEYUP:
        SetKey(wParam, 0);
        if (wParam == VK_ESCAPE) PauseQuestion();
        return 0;
    case WM_CHAR:
        TypeChar(static_cast<int>(wParam & 0xFF));
        return 0;
    case WM_LBUTTONDOWN: SetKey(VK_LBUTTON, 1); return 0;
    case WM_LBUTTONUP: SetKey(VK_LBUTTON, 0); return 0;
    case WM_RBUTTONDOWN: SetKey(VK_RBUTTON, 1); return 0;
    case WM_RBUTTONUP: SetKey(VK_RBUTTON, 0); return 0;
    case WM_MBUTTONDOWN: SetKey(VK_MBUTTON, 1); return 0;
    case WM_MBUTTONUP: SetKey(VK_MBUTTON, 0); return 0;
    default: return 1;   // left to the platform
    }
}

void PauseQuestion() {
    DrawPauseScreen();
    PlatSwapBuffers();
    if (PlatMessageBox("Exit ?? Выход"_w, "Pause", MB_YESNO) == IDYES) isDone = 1;
}

// ---- cursor and dragging

void GetCursorGL(int* x, int* y) {
    int cx = 0, cy = 0, left = 0, top = 0, right = 0, bottom = 0;
    PlatGetCursorPos(&cx, &cy);
    PlatGetWindowRect(&left, &top, &right, &bottom);
    *x = cx - left;
    *y = winHeight - (cy - top);
}

static struct {
    int dragging, lastX, lastY, winX, winY;
} drag;

void WindowDragReset() { drag = {}; }

static int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

int WindowDrag() {
    if (drawEnabled && keyDown[VK_RBUTTON] && AsyncKeyHeld(VK_BACK)) {
        int cx = 0, cy = 0;
        PlatGetCursorPos(&cx, &cy);
        if (!drag.dragging) {
            drag.lastX = cx;
            drag.lastY = cy;
            drag.dragging = 1;
            return 1;
        }
        drag.winX = Clamp(drag.winX + cx - drag.lastX, 0, winWidth / 2);
        drag.winY = Clamp(drag.winY + cy - drag.lastY, 0, winHeight / 2);
        drag.lastX = cx;
        drag.lastY = cy;
        PlatSetWindowPos(drag.winX, drag.winY, winWidth, winHeight);
        return 1;
    }
    drag.dragging = 0;
    return 0;
}

// ---- file dialogs

static int FileDialog(int (*dialog)(char*, int)) {
    char buffer[kDirBufferSize];
    std::memcpy(buffer, dialogFileName, sizeof buffer);
    buffer[kDirBufferSize - 1] = 0;
    int chosen = dialog(buffer, kDirBufferSize);
    if (chosen) {
        std::memset(dialogFileName, 0, sizeof dialogFileName);
        std::memcpy(dialogFileName, buffer, std::strlen(buffer) + 1);
    }
    PlatSetCurrentDirectory(startDirectory);
    return chosen;
}

int OpenFileDialog() { return FileDialog(PlatOpenFileDialog); }
int SaveFileDialog() { return FileDialog(PlatSaveFileDialog); }
