// The script backend: the platform layer for tests.
//
// A virtual clock that only moves when the test (or PlatSleep) moves it;
// input events queued as window messages that the game's message pump
// delivers in order; prepared answers for message boxes and file dialogs and
// a record of every box shown; a switch that makes one window/GL creation
// step fail; and a real GL context on SDL's offscreen driver (EGL, llvmpipe)
// so scripted frames draw and can be read back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Back to the start state: clock 10000 ms, empty queues and records, no
// failure, cursor at 0,0, all keys up, GL on. Tears down a left-over window.
void ScriptReset();

// ---- virtual clock (PlatTimeGetTime, PlatGetTickCount; PlatSleep advances it)
void     ScriptAdvanceClock(unsigned ms);
unsigned ScriptClock();
unsigned ScriptSleptMs();          // total of all PlatSleep calls since reset
int      ScriptSleepCalls();
// fn runs inside every PlatSleep, after the clock moved (e.g. to restore a
// minimised window: no frames, so no swaps, happen meanwhile).
void     ScriptOnSleep(std::function<void(int ms)> fn);

// ---- scripted input, queued as window messages in call order
void ScriptKeyDown(int vk);
void ScriptKeyUp(int vk);
void ScriptKeyTap(int vk);         // down then up, in one pump pass (see ScriptClick)
void ScriptChar(int ch);           // WM_CHAR with a Windows-1251 code
void ScriptMouseDown(int button);  // VK_LBUTTON, VK_RBUTTON or VK_MBUTTON
void ScriptMouseUp(int button);
void ScriptClick(int button);      // a tap: down and up in one pump pass, between two frames
void ScriptMoveCursor(int screenX, int screenY);   // takes effect when pumped
void ScriptPost(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
int  ScriptPendingMessages();
// Held state seen by PlatAsyncKeyHeld, set at once (not queued).
void ScriptSetAsyncKey(int vk, bool held);

// ---- message boxes: answers are taken from the queue, then the default.
struct ScriptBox {
    std::string caption, text;   // Windows-1251 bytes, as the game passed them
    int flags = 0;
    int answer = 0;
};
void ScriptQueueBoxAnswer(int answer);       // IDYES, IDNO, IDOK
void ScriptSetDefaultBoxAnswer(int answer);  // IDOK (Yes/No boxes: IDNO) unless set
const std::vector<ScriptBox>& ScriptBoxes();
// Called when a box is shown, before it is answered (e.g. to read pixels).
void ScriptOnBox(std::function<void(const ScriptBox&)> fn);

// ---- file dialogs: a path (file-system bytes) or nullptr for cancel.
void ScriptQueueFileAnswer(const char* path);
void ScriptSetDefaultFileAnswer(const char* path);   // cancel unless set
struct ScriptDialog {
    bool save = false;
    std::string startName;    // the buffer's contents when the dialog opened
};
const std::vector<ScriptDialog>& ScriptDialogs();

// ---- the player's data folder (PlatUserDataFolder). By default a private
// folder of this process under the system's temporary folder, emptied by
// every ScriptReset, so a game saved by one run never reaches the next one
// (nor the real home folder). A test that carries a save from one run to
// the next sets its own folder after each reset.
void ScriptSetDataFolder(const std::string& path);
std::string ScriptDataFolder();

// ---- window and GL creation failures
enum class ScriptStep {
    None, RegisterClass, CreateWindow, GetDC, ChoosePixelFormat, SetPixelFormat, CreateGLContext, MakeCurrent,
    // teardown steps
    ReleaseContext, DeleteContext, ReleaseDC, DestroyWindow, UnregisterClass,
};
void ScriptFailStep(ScriptStep step);
// Without GL the window steps still succeed but no context exists (GL calls
// must then not be made); default on.
void ScriptUseGL(bool on);

// ---- window state
struct ScriptWindowState {
    bool classRegistered = false, exists = false, shown = false, minimized = false, hasDC = false,
         hasContext = false, current = false;
    int x = 0, y = 0, width = 0, height = 0;
    int cursorShown = 1;
    std::string title;        // Windows-1251
    int colourBits = 0, depthBits = 0, stencilBits = 0, doubleBuffer = 0;
};
const ScriptWindowState& ScriptWindow();

// ---- frames: fn runs inside every PlatSwapBuffers, before the swap, so it
// can read the finished frame and queue input for the next ones.
void ScriptOnSwap(std::function<void(int swapIndex)> fn);
int  ScriptSwapCount();
// Queues WM_CLOSE once this many swaps happened (a safety net for loops).
void ScriptCloseAfterSwaps(int swaps);
// RGBA pixels of the current frame (bottom row first); empty without GL.
std::vector<unsigned char> ScriptReadPixels(int x, int y, int width, int height);
