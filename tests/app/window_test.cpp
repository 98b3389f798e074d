// Window procedure, creation failures and teardown, cursor, drag and file
// dialogs, over the script backend (no GL context needed here).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unistd.h>

#include "app/frame.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"

namespace {

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptReset();
        ScriptUseGL(false);
        FrameReset();
        InputReset();
        MainLoopReset();
        asyncKeyProbe = PlatAsyncKeyHeld;
    }
    void TearDown() override {
        KillGlWindow();
        InputReset();
        ScriptReset();
    }
};

TEST_F(Window, ActivationFocusAndSizeMessages) {
    struct Step {
        unsigned message;
        std::uintptr_t wParam;
        int drawEnabled, isActive;   // state after the message, starting from 0, 0
    };
    const Step steps[] = {
        {WM_ACTIVATE, WA_ACTIVE, 1, 1},
        {WM_ACTIVATE, WA_ACTIVE | (1u << 16), 1, 0},   // minimised: draw, but not active
        {WM_SETFOCUS, 0, 1, 1},
        {WM_KILLFOCUS, 0, 0, 0},
        {WM_SIZE, SIZE_RESTORED, 1, 1},
        {WM_SIZE, SIZE_MINIMIZED, 0, 0},
        {WM_SIZE, SIZE_MAXIMIZED, 1, 0},
        {WM_SIZE, 4, 0, 0},                              // other kinds: nothing
    };
    for (const Step& s : steps) {
        drawEnabled = isActive = 0;
        EXPECT_EQ(WndProc(s.message, s.wParam, 0), 0);
        EXPECT_EQ(drawEnabled, s.drawEnabled) << s.message << " " << s.wParam;
        EXPECT_EQ(isActive, s.isActive) << s.message << " " << s.wParam;
    }
    drawEnabled = isActive = 1;
    WndProc(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(isActive, 1);   // losing focus stops input and drawing only
    EXPECT_EQ(drawEnabled, 0);
}

TEST_F(Window, KeysButtonsCloseAndSystemCommands) {
    WndProc(WM_KEYDOWN, 'A', 0);
    WndProc(WM_KEYDOWN, 'A', 0);   // auto-repeat
    EXPECT_EQ(keyDown[int{'A'}], 1);
    WndProc(WM_KEYUP, 'A', 0);
    EXPECT_EQ(keyDown[int{'A'}], 0);
    WndProc(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(keyDown[VK_ESCAPE], 0);
    WndProc(WM_KEYDOWN, 100000, 0);   // out of range: ignored
    const unsigned down[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    const unsigned up[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    const int vk[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    for (int i = 0; i < 3; ++i) {
        WndProc(down[i], 0, 0);
        EXPECT_EQ(keyDown[vk[i]], 1);
        WndProc(up[i], 0, 0);
        EXPECT_EQ(keyDown[vk[i]], 0);
    }
    for (unsigned sc : {SC_SIZE, SC_MOVE, SC_MAXIMIZE, SC_KEYMENU, SC_SCREENSAVE, SC_HOTKEY, SC_MONITORPOWER,
                        SC_CONTEXTHELP})
        EXPECT_EQ(WndProc(WM_SYSCOMMAND, sc | 3, 0), 0) << sc;
    EXPECT_NE(WndProc(WM_SYSCOMMAND, SC_MINIMIZE, 0), 0);
    EXPECT_NE(WndProc(0x0200 /* mouse move */, 0, 0), 0);
    EXPECT_EQ(isDone, 0);
    EXPECT_EQ(WndProc(WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(isDone, 1);
}

TEST_F(Window, EscapeReleasedAsksThePauseQuestion) {
    ScriptQueueBoxAnswer(IDNO);
    ScriptQueueBoxAnswer(IDYES);
    WndProc(WM_KEYUP, VK_ESCAPE, 0);
    ASSERT_EQ(ScriptBoxes().size(), 1u);
    EXPECT_EQ(ScriptBoxes()[0].caption, "Pause");
    EXPECT_EQ(ScriptBoxes()[0].text, std::string("Exit ?? Выход"_w));
    EXPECT_EQ(ScriptBoxes()[0].flags & 0x0F, MB_YESNO);
    EXPECT_EQ(isDone, 0);
    WndProc(WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_EQ(isDone, 1);
}

TEST_F(Window, EveryCreationStepReportsItsFailureAndTearsDown) {
    struct Case { ScriptStep step; const char* text; };
    const Case cases[] = {
        {ScriptStep::RegisterClass, "not RegisterClass"},
        {ScriptStep::CreateWindow, "not CreateWindowEx"},
        {ScriptStep::GetDC, "not GetDC"},
        {ScriptStep::ChoosePixelFormat, "not ChoosePixelFormat"},
        {ScriptStep::SetPixelFormat, "not SetPixelFormat"},
        {ScriptStep::CreateGLContext, "not wglCreateContext"},
        {ScriptStep::MakeCurrent, "not wglMakeCurrent"},
    };
    for (const Case& c : cases) {
        ScriptReset();
        ScriptUseGL(false);
        ScriptFailStep(c.step);
        EXPECT_EQ(CreateGLWindow(800, 600), 0);
        ASSERT_EQ(ScriptBoxes().size(), 1u) << c.text;
        EXPECT_EQ(ScriptBoxes()[0].text, c.text);
        EXPECT_EQ(ScriptBoxes()[0].caption, "Error");
        EXPECT_EQ(ScriptBoxes()[0].flags, MB_OK | MB_ICONEXCLAMATION);
        const ScriptWindowState& w = ScriptWindow();
        EXPECT_FALSE(w.exists || w.hasDC || w.hasContext || w.classRegistered) << c.text;
    }
}

TEST_F(Window, TeardownFailuresAreReportedAndTeardownGoesOn) {
    // A window that got as far as its context (InitGL fails: no fonts here).
    struct Case { ScriptStep step; const char* text; std::size_t boxes; };
    const Case cases[] = {
        {ScriptStep::ReleaseContext, "KillGlWindow", 2}, {ScriptStep::DeleteContext, "KillGlWindow", 2},
        {ScriptStep::ReleaseDC, "-", 2},
        {ScriptStep::DestroyWindow, "-", 3},   // the class of a live window cannot go either
        {ScriptStep::UnregisterClass, "-", 2},
    };
    for (const Case& c : cases) {
        ScriptReset();
        ScriptUseGL(false);
        ScriptFailStep(c.step);
        EXPECT_EQ(CreateGLWindow(800, 600), 0);
        ASSERT_EQ(ScriptBoxes().size(), c.boxes);
        EXPECT_EQ(ScriptBoxes()[0].text, "not InitGL");
        EXPECT_EQ(ScriptBoxes()[1].text, c.text);
        EXPECT_EQ(ScriptBoxes()[1].caption, "Err");
        KillGlWindow();   // a second teardown has nothing left to do
        EXPECT_EQ(ScriptBoxes().size(), c.boxes);
    }
}

TEST_F(Window, CursorIsInWindowPixelsFromTheBottomLeft) {
    ScriptMoveCursor(130, 20);
    while (PlatPeekMessage()) {}
    int x = 0, y = 0;
    GetCursorGL(&x, &y);
    EXPECT_EQ(x, 130);
    EXPECT_EQ(y, 580);
}

TEST_F(Window, DragMovesRightAndDownByAtMostHalfTheWindow) {
    ASSERT_EQ(PlatRegisterClass("t", WndProc), 1);
    ASSERT_EQ(PlatCreateWindow("t", 800, 600), 1);
    drawEnabled = 1;
    ScriptMoveCursor(100, 100);
    ScriptMouseDown(VK_RBUTTON);
    ScriptKeyDown(VK_BACK);
    while (PlatPeekMessage()) {}
    EXPECT_EQ(WindowDrag(), 1);          // starts: remembers the cursor
    auto moveTo = [](int x, int y) {
        ScriptMoveCursor(x, y);
        while (PlatPeekMessage()) {}
        return WindowDrag();
    };
    EXPECT_EQ(moveTo(150, 130), 1);
    EXPECT_EQ(ScriptWindow().x, 50);
    EXPECT_EQ(ScriptWindow().y, 30);
    EXPECT_EQ(moveTo(0, 0), 1);          // left and up: stops at the screen origin
    EXPECT_EQ(ScriptWindow().x, 0);
    EXPECT_EQ(ScriptWindow().y, 0);
    EXPECT_EQ(moveTo(2000, 2000), 1);    // far right and down: half the window
    EXPECT_EQ(ScriptWindow().x, 400);
    EXPECT_EQ(ScriptWindow().y, 300);
    EXPECT_EQ(ScriptWindow().width, 800);
    ScriptKeyUp(VK_BACK);
    while (PlatPeekMessage()) {}
    EXPECT_EQ(WindowDrag(), 0);
    drawEnabled = 0;
    ScriptKeyDown(VK_BACK);
    while (PlatPeekMessage()) {}
    EXPECT_EQ(WindowDrag(), 0);          // no drawing, no drag
    PlatDestroyWindow();
    PlatUnregisterClass("t");
}

TEST_F(Window, FileDialogsKeepTheNameAndRestoreTheStartDirectory) {
    char cwd[512];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    std::string start = cwd;
    PinStartDirectory();
    EXPECT_EQ(std::string(dialogFileName), std::string(startDirectory));

    ScriptQueueFileAnswer("/tmp/some where/etap2");
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(OpenFileDialog(), 1);
    EXPECT_STREQ(dialogFileName, "/tmp/some where/etap2");
    EXPECT_EQ(std::string(getcwd(cwd, sizeof cwd)), start);
    ASSERT_EQ(ScriptDialogs().size(), 1u);
    EXPECT_FALSE(ScriptDialogs()[0].save);
    EXPECT_EQ(ScriptDialogs()[0].startName, start);

    ScriptQueueFileAnswer(nullptr);                      // cancel
    EXPECT_EQ(SaveFileDialog(), 0);
    EXPECT_STREQ(dialogFileName, "/tmp/some where/etap2");
    EXPECT_TRUE(ScriptDialogs()[1].save);
    EXPECT_EQ(ScriptDialogs()[1].startName, "/tmp/some where/etap2");

    std::string tooLong = "/tmp/" + std::string(300, 'n');
    ScriptQueueFileAnswer(tooLong.c_str());
    EXPECT_EQ(SaveFileDialog(), 0);                      // does not fit in 256 bytes
    EXPECT_STREQ(dialogFileName, "/tmp/some where/etap2");

    std::string bytes = "/tmp/\xcf\xf0\xe8\xe2\xe5\xf2";   // kept as the file system's bytes
    ScriptQueueFileAnswer(bytes.c_str());
    EXPECT_EQ(SaveFileDialog(), 1);
    EXPECT_EQ(std::string(dialogFileName), bytes);
}

}  // namespace
