// Scripted runs of the real program: BrindomaMain over the script backend
// with offscreen GL, a virtual clock and scripted input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/game_hooks.h"
#include "app/input.h"
#include "app/log.h"
#include "app/main_loop.h"
#include "app/msgfeed.h"
#include "app/signals.h"
#include "app/startup_files.h"
#include "game_dir.h"
#include "reset_all.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"

namespace {

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override { ResetAll(); }
    void TearDown() override { ResetAll(); }
    static void ResetAll() { ResetShellAndGame(3000); }
    static int BoxCount(const char* caption) {
        int n = 0;
        for (const ScriptBox& b : ScriptBoxes()) n += b.caption == caption;
        return n;
    }
};

TEST_F(FrameLoop, RunsOnTheVirtualClockAndEscapeYesEndsTheGame) {
    GameDir dir("escape_yes");
    std::vector<int> deltas;
    std::vector<unsigned char> pausePixel, framePixel;
    ScriptOnSwap([&](int swap) {
        deltas.push_back(frameDeltaMs);
        if (swap == 21) framePixel = ScriptReadPixels(400, 300, 1, 1);
        if (swap == 20) ScriptKeyDown(VK_ESCAPE);
        if (swap == 21) ScriptKeyUp(VK_ESCAPE);
    });
    ScriptOnBox([&](const ScriptBox& box) {
        if (box.caption == "Pause") pausePixel = ScriptReadPixels(400, 300, 1, 1);
    });
    ScriptQueueBoxAnswer(IDYES);
    EXPECT_EQ(BrindomaMain(), 0);

    ASSERT_EQ(ScriptBoxes().size(), 1u) << ScriptBoxes()[0].text;
    EXPECT_EQ(ScriptBoxes()[0].caption, "Pause");
    EXPECT_EQ(ScriptBoxes()[0].text, std::string("Exit ?? Выход"_w));
    EXPECT_EQ(isDone, 1);
    // 22 frames drawn, then the pause screen's own swap; every frame but the
    // first (a long stall since the clock started) lasted the 2 ms pause.
    EXPECT_EQ(ScriptSwapCount(), 23);
    ASSERT_GE(deltas.size(), 22u);
    EXPECT_EQ(deltas[0], 100);
    for (int i = 1; i < 22; ++i) EXPECT_EQ(deltas[i], 2) << i;
    EXPECT_EQ(framePauseMs, 2);
    EXPECT_EQ(showFps, 1);
    // The window is gone again.
    const ScriptWindowState& w = ScriptWindow();
    EXPECT_FALSE(w.exists || w.hasContext || w.classRegistered);
    EXPECT_EQ(w.title, "RPG Brindoma");
    EXPECT_EQ(w.colourBits, 24);
    EXPECT_EQ(w.depthBits, 16);
    EXPECT_EQ(w.doubleBuffer, 1);
    // The darkened screen under the box: the last frame under (0, 0.2, 0.4) at 0.7.
    ASSERT_EQ(pausePixel.size(), 4u);
    ASSERT_EQ(framePixel.size(), 4u);
    const double tint[3] = {0.0, 0.2 * 255, 0.4 * 255};
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(pausePixel[c], 0.3 * framePixel[c] + 0.7 * tint[c], 3) << c;
    // The word dump was written at game start.
    EXPECT_TRUE(FileExists("uni_files/test_paint.txt"));
}

TEST_F(FrameLoop, EscapeNoKeepsPlaying) {
    GameDir dir("escape_no");
    int swapsAfterBox = -1;
    ScriptOnSwap([&](int swap) {
        if (swap == 3) ScriptKeyTap(VK_ESCAPE);
        if (!ScriptBoxes().empty() && swapsAfterBox < 0) swapsAfterBox = 0;
        if (swapsAfterBox >= 0 && ++swapsAfterBox == 10) ScriptPost(WM_CLOSE);
    });
    ScriptQueueBoxAnswer(IDNO);
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_EQ(BoxCount("Pause"), 1);
    EXPECT_EQ(swapsAfterBox, 10);
}

TEST_F(FrameLoop, MissingSignalFileEndsWithNotInitGL) {
    GameDir dir("no_sig", {"uni_files/res/sig.txt"});
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_EQ(ScriptBoxes().size(), 1u);
    EXPECT_EQ(ScriptBoxes()[0].caption, "Error");
    EXPECT_EQ(ScriptBoxes()[0].text, "not InitGL");
    EXPECT_EQ(ScriptSwapCount(), 0);
    const ScriptWindowState& w = ScriptWindow();
    EXPECT_FALSE(w.exists || w.hasContext || w.classRegistered);
    EXPECT_EQ(MsgBaseStrings(), 0);
}

TEST_F(FrameLoop, MissingTextureListSaysNotLoadTGA) {
    GameDir dir("no_pix", {"uni_files/res/pix_start.txt"});
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_EQ(ScriptBoxes().size(), 2u);
    EXPECT_EQ(ScriptBoxes()[0].caption, "err");
    EXPECT_EQ(ScriptBoxes()[0].text, "not Load TGA");
    EXPECT_EQ(ScriptBoxes()[1].text, "not InitGL");
}

TEST_F(FrameLoop, KonfigAsksForTheWindowSize) {
    struct Case {
        const char* konfig;
        int answer, width, height;
    };
    const Case cases[] = {
        {"sizes\n5000 700\n300 200\n", IDYES, 800, 600},   // pair A out of range
        {"sizes\n5000 700\n300 200\n", IDNO, 300, 200},
        {"sizes\r\n1024 768 big\r\n640 480\r\n", IDYES, 1024, 768},
    };
    for (const Case& c : cases) {
        ResetAll();
        GameDir dir("konfig");
        dir.Write("konfig.txt", c.konfig);
        ScriptQueueBoxAnswer(c.answer);
        ScriptOnSwap([](int swap) {
            if (swap == 2) ScriptPost(WM_CLOSE);
        });
        EXPECT_EQ(BrindomaMain(), 0);
        ASSERT_GE(ScriptBoxes().size(), 1u);
        EXPECT_EQ(ScriptBoxes()[0].caption, std::string("WindowSize(Размер окна)"_w));
        EXPECT_EQ(ScriptBoxes()[0].flags & 0x0F, MB_YESNO);
        EXPECT_EQ(winWidth, c.width) << c.konfig;
        EXPECT_EQ(winHeight, c.height) << c.konfig;
        EXPECT_EQ(ScriptWindow().width, c.width);
        EXPECT_EQ(ScriptWindow().height, c.height);
    }
}

TEST_F(FrameLoop, MinimisedWindowOnlySleepsAndGameTimeWaits) {
    GameDir dir("minimised");
    int clockAtMinimise = 0, longNaps = 0, swapsWhileMinimised = 0;
    bool minimised = false;
    ScriptOnSwap([&](int swap) {
        if (minimised) ++swapsWhileMinimised;
        if (swap == 5) {
            PlatMinimizeWindow();
            minimised = true;
            clockAtMinimise = gameClockMs;
        }
        if (swap == 8) ScriptPost(WM_CLOSE);
    });
    ScriptOnSleep([&](int ms) {
        if (ms != 500) return;
        ++longNaps;
        if (longNaps == 4) {
            EXPECT_EQ(gameClockMs, clockAtMinimise);   // no frames, no game time
            minimised = false;
            ScriptPost(WM_SIZE, SIZE_RESTORED);
        }
    });
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_EQ(longNaps, 4);
    EXPECT_EQ(swapsWhileMinimised, 0);
    // The first frame after 2 s asleep counts 100 ms of game time, no more;
    // then two more frames of 2 ms.
    EXPECT_EQ(gameClockMs, clockAtMinimise + 100 + 2 + 2);
}

TEST_F(FrameLoop, ClickSignalFiresOnceAndReachesTheFrame) {
    GameDir dir("click");
    int leftFrames = 0, rightFrames = 0;
    ScriptMoveCursor(200, 150);
    ScriptOnSwap([&](int swap) {
        leftFrames += sigTable[1].fired != 0;
        rightFrames += sigTable[2].fired != 0;
        if (swap == 3) ScriptMouseDown(VK_LBUTTON);
        if (swap == 6) ScriptMouseUp(VK_LBUTTON);
        if (swap == 8) ScriptMouseDown(VK_RBUTTON);
        if (swap == 9) ScriptMouseUp(VK_RBUTTON);
        if (swap == 10) ScriptClick(VK_RBUTTON);   // down and up between two frames: no frame sees it
        if (swap == 14) ScriptPost(WM_CLOSE);
    });
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_EQ(leftFrames, 1);
    EXPECT_EQ(rightFrames, 1);
    EXPECT_EQ(cursorX, 200);
    EXPECT_EQ(cursorY, 450);
    EXPECT_EQ(sigTable[1].pressX[0], 200);
}

TEST_F(FrameLoop, DraggingMovesTheWindowAndSkipsTheFrame) {
    GameDir dir("drag");
    int clearedDuringDrag = -1;
    ScriptMoveCursor(100, 100);
    ScriptOnSwap([&](int swap) {
        if (swap == 2) {
            ScriptMouseDown(VK_RBUTTON);
            ScriptKeyDown(VK_BACK);
        }
        if (swap == 4) ScriptMoveCursor(160, 140);
        if (swap == 6) {
            ScriptKeyUp(VK_BACK);
            ScriptMouseUp(VK_RBUTTON);
        }
        if (swap == 8) ScriptPost(WM_CLOSE);
        if (swap == 5) clearedDuringDrag = static_cast<int>(sigTable[2].holdMs);
    });
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_EQ(ScriptWindow().x, 60);
    EXPECT_EQ(ScriptWindow().y, 40);
    EXPECT_EQ(clearedDuringDrag, 0);   // no signal pass ran while dragging
}

TEST_F(FrameLoop, F12SavesOneScreenshot) {
    GameDir dir("f12");
    ScriptOnSwap([&](int swap) {
        if (swap == 2) ScriptKeyDown(VK_F12);
        if (swap == 3) ScriptKeyUp(VK_F12);
        if (swap == 6) ScriptPost(WM_CLOSE);
    });
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_TRUE(FileExists("screenshots/shot0001.bmp"));
    EXPECT_FALSE(FileExists("screenshots/shot0002.bmp"));
}

}  // namespace
