// Window procedure, creation failures and teardown and the window drag, over
// the script backend (no GL context needed here). The editor's runs play the
// file dialogs.
#include <gtest/gtest.h>

#include "app/frame.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"

namespace {

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptReset(), ScriptUseGL(false), FrameReset(), InputReset(), MainLoopReset();
        asyncKeyProbe = PlatAsyncKeyHeld;
    }
    void TearDown() override { KillGlWindow(), InputReset(), ScriptReset(); }
    static void Pump() { while (PlatPeekMessage()) {} }
};

TEST_F(Window, CreationAndTeardownFailuresAreReported) {
    struct Case { ScriptStep step; const char* text; std::size_t boxes; };
    const Case cases[] = {
        {ScriptStep::RegisterClass, "not RegisterClass", 1}, {ScriptStep::GetDC, "not GetDC", 1},
        {ScriptStep::MakeCurrent, "not wglMakeCurrent", 1},
        // These get as far as the context; InitGL fails (no fonts here) and teardown goes on.
        {ScriptStep::DeleteContext, "KillGlWindow", 2}, {ScriptStep::DestroyWindow, "-", 3},
    };
    for (const Case& c : cases) {
        ScriptReset(), ScriptUseGL(false), ScriptFailStep(c.step);
        EXPECT_EQ(CreateGLWindow(800, 600), 0);
        ASSERT_EQ(ScriptBoxes().size(), c.boxes) << c.text;
        EXPECT_EQ(ScriptBoxes()[c.boxes == 1 ? 0 : 1].text, c.text);
        KillGlWindow();   // a second teardown has nothing left to do
        EXPECT_EQ(ScriptBoxes().size(), c.boxes);
        const ScriptWindowState& w = ScriptWindow();   // the early failures leave nothing behind
        EXPECT_TRUE(c.boxes > 1 || !(w.exists || w.hasDC || w.hasContext || w.classRegistered)) << c.text;
    }
}

TEST_F(Window, DragStopsAtItsLimits) {
    ASSERT_EQ(PlatRegisterClass("t", WndProc), 1);
    ASSERT_EQ(PlatCreateWindow("t", 800, 600), 1);
    EXPECT_EQ(WndProc(WM_KEYDOWN, 100000, 0) + WndProc(WM_CHAR, 100000, 0), 0);   // out of range: ignored
    drawEnabled = 1;
    ScriptMoveCursor(100, 100);
    ScriptMouseDown(VK_RBUTTON);
    ScriptKeyDown(VK_BACK);
    Pump();
    EXPECT_EQ(WindowDrag(), 1);
    struct Move { int x, y, wx, wy; };   // left/up stops at the origin; right/down at half the window
    for (const Move& m : {Move{150, 130, 50, 30}, {0, 0, 0, 0}, {2000, 2000, 400, 300}}) {
        ScriptMoveCursor(m.x, m.y);
        Pump();
        EXPECT_EQ(WindowDrag(), 1);
        EXPECT_EQ(ScriptWindow().x * 1000 + ScriptWindow().y, m.wx * 1000 + m.wy) << m.x << "," << m.y;
    }
    ScriptKeyUp(VK_BACK);
    Pump();
    EXPECT_EQ(WindowDrag(), 0);
    PlatDestroyWindow();
    PlatUnregisterClass("t");
}

}  // namespace
