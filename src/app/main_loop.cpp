// Start-up, main loop, one frame, shut-down.
#include "app/main_loop.h"

#include <GL/gl.h>

#include <cstring>
#include <vector>

#include "app/frame.h"
#include "app/game_hooks.h"
#include "app/input.h"
#include "app/msgfeed.h"
#include "app/paths.h"
#include "app/random.h"
#include "app/signals.h"
#include "app/startup_files.h"
#include "app/window.h"
#include "gfx/draw2d.h"
#include "gfx/screen_pieces.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/platform.h"

static int firstFrameDone;

void MainLoopReset() {
    firstFrameDone = 0;
    WindowDragReset();
}

void UpdateFrameTimer() { UpdateFrameTimerAt(PlatTimeGetTime()); }

// ---- start-up

void ChooseWindowSize() {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(kPathKonfig, bytes, 1u << 16) != FileStatus::Ok) return;
    KonfigPairs pairs;
    if (!KonfigParse(bytes, pairs)) return;
    std::string question = KonfigQuestion(pairs);
    bool yes = PlatMessageBox(question.c_str(), "WindowSize(Размер окна)"_w, MB_YESNO) == IDYES;
    int width = yes ? pairs.widthA : pairs.widthB;
    int height = yes ? pairs.heightA : pairs.heightB;
    if (KonfigSizeValid(width, height)) {
        winWidth = width;
        winHeight = height;
    }
}

void PinStartDirectory() {
    std::memset(startDirectory, 0, sizeof startDirectory);
    std::memset(dialogFileName, 0, sizeof dialogFileName);
    PlatGetCurrentDirectory(startDirectory, kDirBufferSize - 1);
    std::memcpy(dialogFileName, startDirectory, kDirBufferSize - 1);
    PlatSetCurrentDirectory(startDirectory);
}

void StartGame() {
    MsgFeedReset();
    showFps = 1;
    ClearTextFocus();
    framePauseMs = 2;
    PaintWordsLoadFile(kPathPaintWord, kPathPaintDump);
    PrepareSoundSources();
    StartWorld();
}

int BrindomaMain() {
    asyncKeyProbe = PlatAsyncKeyHeld;
    RandSeed(PlatGetTickCount());
    ChooseWindowSize();
    MsgBaseClear();
    MsgBaseLoadFile(kPathMsgBase);
    PinStartDirectory();
    if (!CreateGLWindow(winWidth, winHeight)) {
        MsgBaseClear();
        return 0;
    }
    StartAudio();
    if (widgetLayerReady) BuildGameWidgets();
    StartGame();
    isActive = 1;

    RunMainLoop();

    SaveAtExit();
    ShutdownAudio();
    KillGlWindow();
    MsgBaseClear();
    return 0;
}

// ---- the loop

void RunMainLoop() {
    while (!isDone) {
        if (PlatPeekMessage()) continue;
        if (isActive) {
            DrawFrame(drawEnabled);
            PlatSwapBuffers();
            PlatSleep(framePauseMs);
        } else {
            PlatSleep(500);
        }
    }
}

void DrawMsgFeed() {
    if (const char* line = MsgFeedCurrentLine()) DrawFeedLine(line);
    MsgFeedStep();
}

void DrawFrame(int enabled) {
    if (!firstFrameDone) {
        firstFrameDone = 1;
        PlayStartSound();
    }
    UpdateFrameTimer();
    if (WindowDrag()) return;   // the window moved: nothing else this frame

    if (enabled) {
        GetCursorGL(&cursorX, &cursorY);
        SigUpdateTable();
        int button = sigTable[1].fired ? 1 : sigTable[2].fired ? 2 : 0;
        int clickTaken = UIDispatchClick(button);
        WorldStep(clickTaken);

        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glViewport(0, 0, winWidth, winHeight);
        Ortho2DBegin(0, winWidth, 0, winHeight);
        DrawWorld();
        DrawWidgetTree();
        DrawOverlayPanel();
        DrawScreenTint();
        glColor4f(1, 1, 1, 1);
        DrawMsgFeed();
        DrawStatusLine();
        Ortho2DEnd();
    }
    if (showFps) {
        CountFps();
        DrawFpsCounter(fpsValue);
    }
    if (enabled && sigTable[16].fired) TakeScreenshot();
}
