// The desktop backend: SDL2 window and GL context on X11, SDL events turned
// into the window messages of platform.h, SDL message boxes, zenity file
// dialogs.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "io/cp1251.h"
#include "platform/msg_queue.h"
#include "platform/platform.h"
#include "platform/sdl/file_dialog.h"
#include "platform/sdl_gl.h"

// ---- SDL scancode -> Windows virtual-key code: the one mapping table
struct KeyPair { SDL_Scancode scancode; unsigned char vk; };
static constexpr KeyPair kKeyPairs[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK}, {SDL_SCANCODE_TAB, VK_TAB}, {SDL_SCANCODE_RETURN, VK_RETURN},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN}, {SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT}, {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL}, {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU}, {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_PAUSE, VK_PAUSE}, {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_END, VK_END}, {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT}, {SDL_SCANCODE_UP, VK_UP}, {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_DOWN, VK_DOWN}, {SDL_SCANCODE_INSERT, VK_INSERT}, {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_A, 'A'}, {SDL_SCANCODE_B, 'B'}, {SDL_SCANCODE_C, 'C'}, {SDL_SCANCODE_D, 'D'},
    {SDL_SCANCODE_E, 'E'}, {SDL_SCANCODE_F, 'F'}, {SDL_SCANCODE_G, 'G'}, {SDL_SCANCODE_H, 'H'},
    {SDL_SCANCODE_I, 'I'}, {SDL_SCANCODE_J, 'J'}, {SDL_SCANCODE_K, 'K'}, {SDL_SCANCODE_L, 'L'},
    {SDL_SCANCODE_M, 'M'}, {SDL_SCANCODE_N, 'N'}, {SDL_SCANCODE_O, 'O'}, {SDL_SCANCODE_P, 'P'},
    {SDL_SCANCODE_Q, 'Q'}, {SDL_SCANCODE_R, 'R'}, {SDL_SCANCODE_S, 'S'}, {SDL_SCANCODE_T, 'T'},
    {SDL_SCANCODE_U, 'U'}, {SDL_SCANCODE_V, 'V'}, {SDL_SCANCODE_W, 'W'}, {SDL_SCANCODE_X, 'X'},
    {SDL_SCANCODE_Y, 'Y'}, {SDL_SCANCODE_Z, 'Z'},
    {SDL_SCANCODE_0, '0'}, {SDL_SCANCODE_1, '1'}, {SDL_SCANCODE_2, '2'}, {SDL_SCANCODE_3, '3'},
    {SDL_SCANCODE_4, '4'}, {SDL_SCANCODE_5, '5'}, {SDL_SCANCODE_6, '6'}, {SDL_SCANCODE_7, '7'},
    {SDL_SCANCODE_8, '8'}, {SDL_SCANCODE_9, '9'},
    {SDL_SCANCODE_F1, VK_F1}, {SDL_SCANCODE_F2, VK_F2}, {SDL_SCANCODE_F3, VK_F3}, {SDL_SCANCODE_F4, VK_F4},
    {SDL_SCANCODE_F5, VK_F5}, {SDL_SCANCODE_F6, VK_F6}, {SDL_SCANCODE_F7, VK_F7}, {SDL_SCANCODE_F8, VK_F8},
    {SDL_SCANCODE_F9, VK_F9}, {SDL_SCANCODE_F10, VK_F10}, {SDL_SCANCODE_F11, VK_F11},
    {SDL_SCANCODE_F12, VK_F12},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0}, {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1}, {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2},
    {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3}, {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4}, {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5},
    {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6}, {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7}, {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8},
    {SDL_SCANCODE_KP_9, VK_NUMPAD9}, {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY}, {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT}, {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE}, {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1}, {SDL_SCANCODE_EQUALS, VK_OEM_PLUS}, {SDL_SCANCODE_COMMA, VK_OEM_COMMA},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS}, {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD}, {SDL_SCANCODE_SLASH, VK_OEM_2},
    {SDL_SCANCODE_GRAVE, VK_OEM_3}, {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5}, {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
};

static int VkOfScancode(SDL_Scancode sc) {
    for (const KeyPair& k : kKeyPairs)
        if (k.scancode == sc) return k.vk;
    return 0;
}

// ---- backend state
static PlatWndProc wndProc;
static SDL_Window* window;
static void* glContext;
static int hasDC;
static sdlgl::PixelFormat pixelFormat;   // what the window was made for
static PlatMessageRing<128> pending;

static void Dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (wndProc) wndProc(message, wParam, lParam);
}

int PlatRegisterClass(const char* className, PlatWndProc proc) {
    (void)className;
    if (!proc || wndProc) return 0;
    if (!sdlgl::VideoUp(nullptr)) return 0;
    wndProc = proc;
    pending.Clear();
    return 1;
}

int PlatUnregisterClass(const char* className) {
    (void)className;
    if (!wndProc || window) return 0;   // as on Windows: not while a window of the class exists
    wndProc = nullptr;
    sdlgl::VideoDown();
    return 1;
}

int PlatCreateWindow(const char* title, int width, int height) {
    if (!wndProc || window) return 0;
    sdlgl::ApplyPixelFormat(pixelFormat);
    std::string utf8 = cp1251::ToUtf8(title ? title : "");
    window = sdlgl::CreateWindow(utf8.c_str(), 0, 0, width, height, true);
    if (!window) return 0;
    Dispatch(WM_CREATE, 0, 0);
    return 1;
}

int PlatGetDC() {
    if (!window) return 0;
    hasDC = 1;
    return 1;
}

int PlatReleaseDC() {
    if (!hasDC) return 0;
    hasDC = 0;
    return 1;
}

int PlatChoosePixelFormat(int colourBits, int depthBits, int stencilBits, int doubleBuffer) {
    if (!hasDC || colourBits < 1 || colourBits > 32 || depthBits < 0 || depthBits > 32 || stencilBits < 0 ||
        stencilBits > 8)
        return 0;
    pixelFormat = sdlgl::PixelFormat{colourBits, depthBits, stencilBits, doubleBuffer};
    sdlgl::ApplyPixelFormat(pixelFormat);
    return 1;
}

int PlatSetPixelFormat(int format) { return hasDC && format >= 1 ? 1 : 0; }

int PlatCreateGLContext() {
    if (!hasDC || glContext) return 0;
    glContext = sdlgl::CreateContext(window);
    return glContext ? 1 : 0;
}

int PlatMakeCurrent(int bind) {
    if (bind) return glContext && sdlgl::MakeCurrent(window, glContext) ? 1 : 0;
    return sdlgl::MakeCurrent(window, nullptr) ? 1 : 0;
}

int PlatDeleteGLContext() {
    if (!glContext) return 0;
    sdlgl::DeleteContext(glContext);
    glContext = nullptr;
    return 1;
}

int PlatDestroyWindow() {
    if (!window) return 0;
    Dispatch(WM_DESTROY, 0, 0);
    SDL_StopTextInput();
    SDL_DestroyWindow(window);
    window = nullptr;
    hasDC = 0;
    pending.Clear();
    return 1;
}

void PlatShowWindow() {
    if (!window) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_StartTextInput();
    // Windows sends these while showing a window; X11 without a window
    // manager never gives focus, and frames must run anyway.
    Dispatch(WM_ACTIVATE, WA_ACTIVE, 0);
    Dispatch(WM_SETFOCUS, 0, 0);
    Dispatch(WM_SIZE, SIZE_RESTORED, 0);
}

void PlatMinimizeWindow() {
    if (window) SDL_MinimizeWindow(window);
}

void PlatSetWindowPos(int x, int y, int width, int height) {
    if (!window) return;
    SDL_SetWindowPosition(window, x, y);
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (w != width || h != height) SDL_SetWindowSize(window, width, height);
}

void PlatGetWindowRect(int* left, int* top, int* right, int* bottom) {
    int x = 0, y = 0, w = 0, h = 0;
    if (window) {
        SDL_GetWindowPosition(window, &x, &y);
        SDL_GetWindowSize(window, &w, &h);
    }
    if (left) *left = x;
    if (top) *top = y;
    if (right) *right = x + w;
    if (bottom) *bottom = y + h;
}

void PlatSwapBuffers() { sdlgl::Swap(window); }

void PlatShowCursor(int show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

// ---- message pump
static void QueueChars(const char* utf8) {
    std::string_view s(utf8);
    for (std::size_t i = 0; i < s.size();) {
        int byte = cp1251::FromCodePoint(cp1251::DecodeUtf8(s, i));
        pending.Push(WM_CHAR, static_cast<std::uintptr_t>(byte < 0 ? '?' : byte), 1);
    }
}

static void QueueMouse(const SDL_MouseButtonEvent& b, bool down) {
    unsigned msg = 0;
    switch (b.button) {
    case SDL_BUTTON_LEFT: msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case SDL_BUTTON_RIGHT: msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case SDL_BUTTON_MIDDLE: msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: return;
    }
    pending.Push(msg, 0, PackPoint(b.x, b.y));
}

static void Translate(const SDL_Event& e) {
    switch (e.type) {
    case SDL_QUIT: pending.Push(WM_CLOSE, 0, 0); break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            pending.Push(WM_ACTIVATE, WA_ACTIVE, 0);
            pending.Push(WM_SETFOCUS, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            pending.Push(WM_ACTIVATE, WA_INACTIVE, 0);
            pending.Push(WM_KILLFOCUS, 0, 0);
            break;
        case SDL_WINDOWEVENT_MINIMIZED: pending.Push(WM_SIZE, SIZE_MINIMIZED, 0); break;
        case SDL_WINDOWEVENT_MAXIMIZED: pending.Push(WM_SIZE, SIZE_MAXIMIZED, 0); break;
        case SDL_WINDOWEVENT_RESTORED: pending.Push(WM_SIZE, SIZE_RESTORED, 0); break;
        case SDL_WINDOWEVENT_CLOSE: pending.Push(WM_CLOSE, 0, 0); break;
        default: break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int vk = VkOfScancode(e.key.keysym.scancode);
        if (!vk) break;
        bool down = e.type == SDL_KEYDOWN;
        pending.Push(down ? WM_KEYDOWN : WM_KEYUP, static_cast<std::uintptr_t>(vk), e.key.repeat ? 1 : 0);
        // Keys whose characters SDL's text input leaves out (TranslateMessage gives them).
        if (down && (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN))
            pending.Push(WM_CHAR, static_cast<std::uintptr_t>(vk), 1);
        break;
    }
    case SDL_TEXTINPUT: QueueChars(e.text.text); break;
    case SDL_MOUSEBUTTONDOWN: QueueMouse(e.button, true); break;
    case SDL_MOUSEBUTTONUP: QueueMouse(e.button, false); break;
    default: break;
    }
}

int PlatPeekMessage() {
    if (pending.Empty()) {
        if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
        SDL_Event e;
        if (!SDL_PollEvent(&e)) return 0;
        Translate(e);
        if (pending.Empty()) return 1;   // a message the window procedure does not see
    }
    PlatMessage m = pending.Pop();
    Dispatch(m.message, m.wParam, m.lParam);
    return 1;
}

// ---- input state
// Over the window its own motion and button events are the freshest news:
// the global query may answer from a cache that only raw input events
// refresh, and synthetic or remote pointers need not send those.
static Uint32 MouseState(int* x, int* y) {
    int gx = 0, gy = 0;
    Uint32 buttons;
    if (window && SDL_GetMouseFocus() == window) {
        int wx = 0, wy = 0;
        buttons = SDL_GetMouseState(&gx, &gy);
        SDL_GetWindowPosition(window, &wx, &wy);
        gx += wx;
        gy += wy;
    } else {
        buttons = SDL_GetGlobalMouseState(&gx, &gy);
    }
    if (x) *x = gx;
    if (y) *y = gy;
    return buttons;
}

void PlatGetCursorPos(int* x, int* y) { MouseState(x, y); }

int PlatAsyncKeyHeld(int vk) {
    if (vk < 1 || vk > 255) return 0;
    if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON) {
        Uint32 buttons = MouseState(nullptr, nullptr);
        Uint32 mask = vk == VK_LBUTTON ? SDL_BUTTON_LMASK : vk == VK_RBUTTON ? SDL_BUTTON_RMASK : SDL_BUTTON_MMASK;
        return (buttons & mask) ? 1 : 0;
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    SDL_PumpEvents();
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (const KeyPair& k : kKeyPairs)
        if (k.vk == vk && k.scancode < count && state[k.scancode]) return 1;
    return 0;
}

// ---- clocks
unsigned PlatTimeGetTime() { return SDL_GetTicks(); }
unsigned PlatGetTickCount() { return SDL_GetTicks(); }

int PlatUserDataFolder(char* buffer, int bufferSize) {
    if (!buffer || bufferSize < 2) return 0;
    std::string path;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && xdg[0] == '/') path = xdg;   // the XDG rules ignore relative paths
    else if (home && home[0] == '/') path = std::string(home) + "/.local/share";
    else return 0;
    if (path.size() + 1 > static_cast<std::size_t>(bufferSize)) return 0;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<int>(path.size());
}
void PlatSleep(int ms) { SDL_Delay(ms > 0 ? static_cast<Uint32>(ms) : 0); }

// ---- message boxes
// As on Windows, the game window gets the focus back when a box or a file
// dialog is gone (without a window manager nobody else would give it, and
// the game draws nothing while it lacks the focus).
static void RegainFocus() {
    if (window && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN)) {
        SDL_RaiseWindow(window);
        SDL_SetWindowInputFocus(window);
    }
}

int PlatMessageBox(const char* text, const char* caption, int flags) {
    std::string textUtf8 = cp1251::ToUtf8(text ? text : "");
    std::string captionUtf8 = cp1251::ToUtf8(caption ? caption : "");
    bool yesNo = (flags & 0x0F) == MB_YESNO;
    Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
    switch (flags & 0xF0) {
    case MB_ICONERROR: kind = SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONEXCLAMATION: kind = SDL_MESSAGEBOX_WARNING; break;
    default: break;
    }
    const SDL_MessageBoxButtonData okButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"}};
    // Return answers Yes, Escape answers No.
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"}};
    SDL_MessageBoxData box{};
    box.flags = kind;
    box.window = nullptr;
    box.title = captionUtf8.c_str();
    box.message = textUtf8.c_str();
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : okButtons;
    int answer = -1;
    int shown = SDL_ShowMessageBox(&box, &answer);
    RegainFocus();
    if (shown != 0 || answer < 0) {
        // No display for a box: say it on stderr and take the safe answer.
        std::fprintf(stderr, "%s: %s\n", captionUtf8.c_str(), textUtf8.c_str());
        return yesNo ? IDNO : IDOK;
    }
    return answer;
}

// ---- file dialogs
static int FileDialog(int save, char* buffer, int bufferSize) {
    if (!buffer || bufferSize < 1) return 0;
    const char* argv[10];
    char filenameArg[300];
    std::string start(buffer, strnlen(buffer, static_cast<std::size_t>(bufferSize)));
    ZenityArgs(save, start.c_str(), argv, filenameArg, sizeof filenameArg);
    const int chosen = RunFileDialog(argv, buffer, bufferSize);
    RegainFocus();
    return chosen;
}

int PlatOpenFileDialog(char* buffer, int bufferSize) { return FileDialog(0, buffer, bufferSize); }
int PlatSaveFileDialog(char* buffer, int bufferSize) { return FileDialog(1, buffer, bufferSize); }

// ---- current directory
