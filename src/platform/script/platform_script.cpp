// The script backend: virtual clock, scripted input, prepared answers and a
// record of boxes, and a real GL context on SDL's offscreen driver.
#include "platform/script/script_platform.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "platform/msg_queue.h"
#include "platform/platform.h"
#include "platform/sdl_gl.h"

namespace {

constexpr unsigned kStartClock = 10000;
constexpr unsigned kCursorMove = 0x7FFF0001;   // backend-internal: moves the cursor, not dispatched

struct State {
    unsigned clock = kStartClock;
    unsigned slept = 0;
    int sleepCalls = 0;
    PlatWndProc wndProc = nullptr;
    std::deque<PlatMessage> queue;
    int cursorX = 0, cursorY = 0;
    bool async[256] = {};
    std::deque<int> boxAnswers;
    std::optional<int> defaultBoxAnswer;
    std::vector<ScriptBox> boxes;
    std::function<void(const ScriptBox&)> onBox;
    std::deque<std::optional<std::string>> fileAnswers;
    std::optional<std::string> defaultFileAnswer;
    std::vector<ScriptDialog> dialogs;
    ScriptStep failStep = ScriptStep::None;
    bool useGL = true;
    ScriptWindowState win;
    SDL_Window* sdlWindow = nullptr;
    void* glContext = nullptr;
    sdlgl::PixelFormat format;
    std::function<void(int)> onSwap;
    std::function<void(int)> onSleep;
    int swaps = 0;
    int closeAfterSwaps = 0;
    std::string dataFolder;   // empty: the private default
};

State& S() {
    static State state;
    return state;
}

bool Fails(ScriptStep step) { return S().failStep == step; }

void SetAsync(unsigned message, std::uintptr_t wParam) {
    auto& s = S();
    switch (message) {
    case WM_KEYDOWN: case WM_KEYUP:
        if (wParam < 256) s.async[wParam] = message == WM_KEYDOWN;
        break;
    case WM_LBUTTONDOWN: s.async[VK_LBUTTON] = true; break;
    case WM_LBUTTONUP: s.async[VK_LBUTTON] = false; break;
    case WM_RBUTTONDOWN: s.async[VK_RBUTTON] = true; break;
    case WM_RBUTTONUP: s.async[VK_RBUTTON] = false; break;
    case WM_MBUTTONDOWN: s.async[VK_MBUTTON] = true; break;
    case WM_MBUTTONUP: s.async[VK_MBUTTON] = false; break;
    default: break;
    }
}

void Dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (S().wndProc) S().wndProc(message, wParam, lParam);
}

void Queue(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    S().queue.push_back(PlatMessage{message, wParam, lParam});
}

std::intptr_t ClientPoint() {
    auto& s = S();
    return PackPoint(s.cursorX - s.win.x, s.cursorY - s.win.y);
}

void TearDownGL() {
    auto& s = S();
    if (s.glContext) {
        sdlgl::MakeCurrent(s.sdlWindow, nullptr);
        sdlgl::DeleteContext(s.glContext);
        s.glContext = nullptr;
    }
    if (s.sdlWindow) {
        SDL_DestroyWindow(s.sdlWindow);
        s.sdlWindow = nullptr;
    }
}

}  // namespace

// ---- test side
// The private default data folder of this process; removed with its
// contents at every reset and at exit.
static void RemoveDefaultDataFolder();

// A plain buffer, not a std::string: the folder is removed by an exit handler
// that must not outlive the name it removes.
static const char* DefaultDataFolder() {
    static char path[512] = "";
    if (!path[0]) {
        std::error_code ec;
        std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
        if (ec) tmp = "/tmp";
        std::string full = (tmp / ("bd_script_data_" + std::to_string(getpid()))).string();
        std::snprintf(path, sizeof path, "%s", full.c_str());
        std::atexit(RemoveDefaultDataFolder);
    }
    return path;
}

static void RemoveDefaultDataFolder() {
    std::error_code e;
    std::filesystem::remove_all(DefaultDataFolder(), e);
}

void ScriptReset() {
    TearDownGL();
    S() = State{};
    std::error_code ec;
    std::filesystem::remove_all(DefaultDataFolder(), ec);
}

void ScriptSetDataFolder(const std::string& path) { S().dataFolder = path; }
std::string ScriptDataFolder() { return S().dataFolder.empty() ? DefaultDataFolder() : S().dataFolder; }

// SDL's video and its GL library stay loaded for the whole test process:
// many runs share them, and a driver unloaded mid-process leaves its
// allocations without a name for the leak checker.
static bool OffscreenVideoUp() {
    static bool up = false;
    if (up) return true;
    sdlgl::NoDesktopSession();
    if (!sdlgl::VideoUp("offscreen")) return false;
    SDL_GL_LoadLibrary(nullptr);   // one reference more than windows take and give back
    up = true;
    return true;
}

void ScriptAdvanceClock(unsigned ms) { S().clock += ms; }
unsigned ScriptClock() { return S().clock; }
unsigned ScriptSleptMs() { return S().slept; }
int ScriptSleepCalls() { return S().sleepCalls; }
void ScriptOnSleep(std::function<void(int)> fn) { S().onSleep = std::move(fn); }

void ScriptKeyDown(int vk) { Queue(WM_KEYDOWN, static_cast<std::uintptr_t>(vk), 0); }
void ScriptKeyUp(int vk) { Queue(WM_KEYUP, static_cast<std::uintptr_t>(vk), 0); }
void ScriptKeyTap(int vk) {
    ScriptKeyDown(vk);
    ScriptKeyUp(vk);
}
void ScriptChar(int ch) { Queue(WM_CHAR, static_cast<std::uintptr_t>(ch & 0xFF), 1); }

static unsigned ButtonMessage(int button, bool down) {
    switch (button) {
    case VK_LBUTTON: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case VK_RBUTTON: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    }
}
void ScriptMouseDown(int button) { Queue(ButtonMessage(button, true), 0, -1); }
void ScriptMouseUp(int button) { Queue(ButtonMessage(button, false), 0, -1); }
void ScriptClick(int button) {
    ScriptMouseDown(button);
    ScriptMouseUp(button);
}
void ScriptMoveCursor(int screenX, int screenY) { Queue(kCursorMove, static_cast<std::uintptr_t>(screenX), screenY); }
void ScriptPost(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) { Queue(message, wParam, lParam); }
int ScriptPendingMessages() { return static_cast<int>(S().queue.size()); }
void ScriptSetAsyncKey(int vk, bool held) {
    if (vk >= 0 && vk < 256) S().async[vk] = held;
}

void ScriptQueueBoxAnswer(int answer) { S().boxAnswers.push_back(answer); }
void ScriptSetDefaultBoxAnswer(int answer) { S().defaultBoxAnswer = answer; }
const std::vector<ScriptBox>& ScriptBoxes() { return S().boxes; }
void ScriptOnBox(std::function<void(const ScriptBox&)> fn) { S().onBox = std::move(fn); }

void ScriptQueueFileAnswer(const char* path) {
    S().fileAnswers.push_back(path ? std::optional<std::string>(path) : std::nullopt);
}
void ScriptSetDefaultFileAnswer(const char* path) {
    S().defaultFileAnswer = path ? std::optional<std::string>(path) : std::nullopt;
}
const std::vector<ScriptDialog>& ScriptDialogs() { return S().dialogs; }

void ScriptFailStep(ScriptStep step) { S().failStep = step; }
void ScriptUseGL(bool on) { S().useGL = on; }
const ScriptWindowState& ScriptWindow() { return S().win; }

void ScriptOnSwap(std::function<void(int)> fn) { S().onSwap = std::move(fn); }
int ScriptSwapCount() { return S().swaps; }
void ScriptCloseAfterSwaps(int swaps) { S().closeAfterSwaps = swaps; }

std::vector<unsigned char> ScriptReadPixels(int x, int y, int width, int height) {
    std::vector<unsigned char> out;
    if (!S().glContext || width < 1 || height < 1) return out;
    out.resize(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

// ---- the platform interface
int PlatRegisterClass(const char* className, PlatWndProc proc) {
    (void)className;
    auto& s = S();
    if (Fails(ScriptStep::RegisterClass) || !proc || s.wndProc) return 0;
    s.wndProc = proc;
    s.win.classRegistered = true;
    return 1;
}

int PlatUnregisterClass(const char* className) {
    (void)className;
    auto& s = S();
    if (Fails(ScriptStep::UnregisterClass) || !s.wndProc || s.win.exists) return 0;
    s.wndProc = nullptr;
    s.win.classRegistered = false;
    return 1;
}

int PlatCreateWindow(const char* title, int width, int height) {
    auto& s = S();
    if (Fails(ScriptStep::CreateWindow) || !s.wndProc || s.win.exists) return 0;
    if (s.useGL) {
        if (!OffscreenVideoUp()) return 0;
        sdlgl::ApplyPixelFormat(s.format);
        s.sdlWindow = sdlgl::CreateWindow("script", 0, 0, width, height, true);
        if (!s.sdlWindow) return 0;
    }
    s.win.exists = true;
    s.win.title = title ? title : "";
    s.win.x = s.win.y = 0;
    s.win.width = width;
    s.win.height = height;
    Dispatch(WM_CREATE, 0, 0);
    return 1;
}

int PlatGetDC() {
    auto& s = S();
    if (Fails(ScriptStep::GetDC) || !s.win.exists) return 0;
    s.win.hasDC = true;
    return 1;
}

int PlatReleaseDC() {
    auto& s = S();
    if (Fails(ScriptStep::ReleaseDC) || !s.win.hasDC) return 0;
    s.win.hasDC = false;
    return 1;
}

int PlatChoosePixelFormat(int colourBits, int depthBits, int stencilBits, int doubleBuffer) {
    auto& s = S();
    if (Fails(ScriptStep::ChoosePixelFormat) || !s.win.hasDC) return 0;
    s.win.colourBits = colourBits;
    s.win.depthBits = depthBits;
    s.win.stencilBits = stencilBits;
    s.win.doubleBuffer = doubleBuffer;
    s.format = sdlgl::PixelFormat{colourBits, depthBits, stencilBits, doubleBuffer};
    return 1;
}

int PlatSetPixelFormat(int format) {
    return !Fails(ScriptStep::SetPixelFormat) && S().win.hasDC && format >= 1 ? 1 : 0;
}

int PlatCreateGLContext() {
    auto& s = S();
    if (Fails(ScriptStep::CreateGLContext) || !s.win.hasDC || s.win.hasContext) return 0;
    if (s.useGL) {
        s.glContext = sdlgl::CreateContext(s.sdlWindow);
        if (!s.glContext) return 0;
    }
    s.win.hasContext = true;
    return 1;
}

int PlatMakeCurrent(int bind) {
    auto& s = S();
    if (bind) {
        if (Fails(ScriptStep::MakeCurrent) || !s.win.hasContext) return 0;
        if (s.useGL && !sdlgl::MakeCurrent(s.sdlWindow, s.glContext)) return 0;
        s.win.current = true;
        return 1;
    }
    if (Fails(ScriptStep::ReleaseContext)) return 0;
    if (s.useGL && s.sdlWindow) sdlgl::MakeCurrent(s.sdlWindow, nullptr);
    s.win.current = false;
    return 1;
}

int PlatDeleteGLContext() {
    auto& s = S();
    if (Fails(ScriptStep::DeleteContext) || !s.win.hasContext) return 0;
    if (s.glContext) {
        sdlgl::DeleteContext(s.glContext);
        s.glContext = nullptr;
    }
    s.win.hasContext = s.win.current = false;
    return 1;
}

int PlatDestroyWindow() {
    auto& s = S();
    if (Fails(ScriptStep::DestroyWindow) || !s.win.exists) return 0;
    Dispatch(WM_DESTROY, 0, 0);
    TearDownGL();
    s.win.exists = s.win.shown = s.win.minimized = s.win.hasDC = false;
    return 1;
}

void PlatShowWindow() {
    auto& s = S();
    if (!s.win.exists) return;
    s.win.shown = true;
    s.win.minimized = false;
    Dispatch(WM_ACTIVATE, WA_ACTIVE, 0);
    Dispatch(WM_SETFOCUS, 0, 0);
    Dispatch(WM_SIZE, SIZE_RESTORED, 0);
}

void PlatMinimizeWindow() {
    auto& s = S();
    if (!s.win.exists || s.win.minimized) return;
    s.win.minimized = true;
    Queue(WM_SIZE, SIZE_MINIMIZED, 0);
}

void PlatSetWindowPos(int x, int y, int width, int height) {
    auto& s = S();
    if (!s.win.exists) return;
    s.win.x = x;
    s.win.y = y;
    s.win.width = width;
    s.win.height = height;
}

void PlatGetWindowRect(int* left, int* top, int* right, int* bottom) {
    const auto& w = S().win;
    if (left) *left = w.exists ? w.x : 0;
    if (top) *top = w.exists ? w.y : 0;
    if (right) *right = w.exists ? w.x + w.width : 0;
    if (bottom) *bottom = w.exists ? w.y + w.height : 0;
}

void PlatSwapBuffers() {
    auto& s = S();
    int index = s.swaps++;
    if (s.onSwap) s.onSwap(index);
    if (s.sdlWindow) {
        sdlgl::Swap(s.sdlWindow);
        // The offscreen surface is a pbuffer, whose swap does nothing: without
        // a finish the driver keeps every frame's commands queued (and their
        // memory held) until something reads the pixels back.
        if (s.glContext) glFinish();
    }
    if (s.closeAfterSwaps > 0 && s.swaps == s.closeAfterSwaps) Queue(WM_CLOSE, 0, 0);
}

void PlatShowCursor(int show) { S().win.cursorShown += show ? 1 : -1; }

int PlatPeekMessage() {
    auto& s = S();
    if (s.queue.empty()) return 0;
    PlatMessage m = s.queue.front();
    s.queue.pop_front();
    if (m.message == kCursorMove) {
        s.cursorX = static_cast<int>(m.wParam);
        s.cursorY = static_cast<int>(m.lParam);
        return 1;
    }
    if (m.lParam == -1) m.lParam = ClientPoint();   // mouse buttons at the cursor
    SetAsync(m.message, m.wParam);
    Dispatch(m.message, m.wParam, m.lParam);
    return 1;
}

void PlatGetCursorPos(int* x, int* y) {
    if (x) *x = S().cursorX;
    if (y) *y = S().cursorY;
}

int PlatAsyncKeyHeld(int vk) { return vk >= 1 && vk < 256 && S().async[vk] ? 1 : 0; }

unsigned PlatTimeGetTime() { return S().clock; }
unsigned PlatGetTickCount() { return S().clock; }
void PlatSleep(int ms) {
    auto& s = S();
    unsigned d = ms > 0 ? static_cast<unsigned>(ms) : 0;
    s.clock += d;
    s.slept += d;
    ++s.sleepCalls;
    if (s.onSleep) s.onSleep(ms);
}

int PlatUserDataFolder(char* buffer, int bufferSize) {
    const std::string path = ScriptDataFolder();
    if (!buffer || bufferSize < 2 || path.size() + 1 > static_cast<std::size_t>(bufferSize)) return 0;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<int>(path.size());
}

int PlatMessageBox(const char* text, const char* caption, int flags) {
    auto& s = S();
    ScriptBox box;
    box.caption = caption ? caption : "";
    box.text = text ? text : "";
    box.flags = flags;
    if (s.onBox) s.onBox(box);
    bool yesNo = (flags & 0x0F) == MB_YESNO;
    if (!s.boxAnswers.empty()) {
        box.answer = s.boxAnswers.front();
        s.boxAnswers.pop_front();
    } else if (s.defaultBoxAnswer) {
        box.answer = *s.defaultBoxAnswer;
    } else {
        box.answer = yesNo ? IDNO : IDOK;
    }
    if (!yesNo) box.answer = IDOK;
    s.boxes.push_back(box);
    return box.answer;
}

static int FileDialog(bool save, char* buffer, int bufferSize) {
    auto& s = S();
    if (!buffer || bufferSize < 1) return 0;
    s.dialogs.push_back(ScriptDialog{save, std::string(buffer, strnlen(buffer, static_cast<std::size_t>(bufferSize)))});
    std::optional<std::string> answer = s.defaultFileAnswer;
    if (!s.fileAnswers.empty()) {
        answer = s.fileAnswers.front();
        s.fileAnswers.pop_front();
    }
    if (!answer || answer->empty() || answer->size() >= static_cast<std::size_t>(bufferSize)) return 0;
    std::memcpy(buffer, answer->c_str(), answer->size() + 1);
    return 1;
}

int PlatOpenFileDialog(char* buffer, int bufferSize) { return FileDialog(false, buffer, bufferSize); }
int PlatSaveFileDialog(char* buffer, int bufferSize) { return FileDialog(true, buffer, bufferSize); }

