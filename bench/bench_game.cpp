// The running game and the bare window the benchmarks measure against.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/frame.h"
#include "app/game_hooks.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/paths.h"
#include "app/startup_files.h"
#include "app/window.h"
#include "bench_support.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"

namespace {
std::string oldDir;
long BareProc(unsigned, std::uintptr_t, std::intptr_t) { return 0; }
void Fail(benchmark::State* state, const char* why) {
    if (state) state->SkipWithError(why);
}
}  // namespace

bool OpenGame(benchmark::State* state) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    char buf[4096];
    if (!getcwd(buf, sizeof buf) || chdir(BD_RUNTIME_DIR) != 0) {
        Fail(state, "no runtime folder");
        return false;
    }
    oldDir = buf;
    ScriptReset();
    FrameReset();
    InputReset();
    MainLoopReset();
    asyncKeyProbe = PlatAsyncKeyHeld;
    MsgBaseLoadFile(kPathMsgBase);
    PinStartDirectory();
    if (!CreateGLWindow(winWidth, winHeight)) {
        Fail(state, "no window");
        return false;
    }
    StartAudio();
    if (widgetLayerReady) BuildGameWidgets();
    StartGame();
    while (PlatPeekMessage()) {}
    // Driver warm-up, each frame swapped as the main loop does: the swap
    // finishes the frame, or the driver would hold every frame's commands.
    for (int i = 0; i < 20; ++i) {
        DrawFrame(1);
        PlatSwapBuffers();
    }
    return true;
}

void CloseGame(benchmark::State* state) {
    ShutdownAudio();
    KillGlWindow();
    MsgBaseClear();
    ResetGameState();
    ScriptReset();
    if (chdir(oldDir.c_str()) != 0) Fail(state, "cannot go back");
}

bool OpenBareWindow(int width, int height) {
    ScriptReset();
    if (!PlatRegisterClass("bare", BareProc) || !PlatCreateWindow("bare", width, height) || !PlatGetDC())
        return false;
    const int format = PlatChoosePixelFormat(24, 16, 0, 1);
    return PlatSetPixelFormat(format) && PlatCreateGLContext() && PlatMakeCurrent(1);
}

void CloseBareWindow() {
    PlatMakeCurrent(0);
    PlatDeleteGLContext();
    PlatReleaseDC();
    PlatDestroyWindow();
    PlatUnregisterClass("bare");
}
