// Scripted runs of the real program: BrindomaMain over the script backend
// with offscreen GL, a virtual clock and scripted input.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <string>
#include <vector>

#include "game_dir.h"
#include "reset_all.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/platform.h"
#include "sound/sound_al.h"

namespace {

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override { ResetShellAndGame(3000); }
    void TearDown() override { ResetShellAndGame(3000); }
};

// The first frame also sounds effect 1 on the first source; shut-down gives
// every sound resource back.
TEST_F(FrameLoop, RunsOnTheVirtualClockAndEscapeYesEndsTheGame) {
    GameDir dir("escape_yes");
    std::vector<int> deltas;
    ScriptOnSwap([&](int swap) {
        deltas.push_back(frameDeltaMs);
        if (swap == 0) {
            ALint buffer = 0, relative = 0;
            alGetSourcei(sndSource1, AL_BUFFER, &buffer);
            EXPECT_EQ(static_cast<std::uint32_t>(buffer), soundBank.buffers[1]);
            EXPECT_NE(buffer, 0);
            ALint state = AL_INITIAL;   // started (it may be over already on a busy machine)
            alGetSourcei(sndSource1, AL_SOURCE_STATE, &state);
            EXPECT_NE(state, AL_INITIAL);
            EXPECT_FALSE(SourceIsPlaying(&sndSource2));
            alGetSourcei(sndSource3, AL_BUFFER, &buffer);
            EXPECT_EQ(static_cast<std::uint32_t>(buffer), soundBank.buffers[3]);
            alGetSourcei(sndSource3, AL_SOURCE_RELATIVE, &relative);   // effects follow the listener
            EXPECT_EQ(relative, AL_TRUE);
        }
        if (swap == 20) ScriptKeyDown(VK_ESCAPE);
        if (swap == 21) ScriptKeyUp(VK_ESCAPE);
    });
    ScriptQueueBoxAnswer(IDYES);
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_EQ(ScriptBoxes().size(), 1u) << ScriptBoxes()[0].text;
    EXPECT_EQ(ScriptBoxes()[0].caption, "Pause");
    EXPECT_EQ(ScriptBoxes()[0].text, std::string("Exit ?? Выход"_w));
    // 22 frames, then the pause screen's own swap; the first frame follows a
    // long stall, every later one the 2 ms pause.
    EXPECT_EQ(ScriptSwapCount(), 23);
    ASSERT_GE(deltas.size(), 22u);
    EXPECT_EQ(deltas[0], 100);
    for (int i = 1; i < 22; ++i) EXPECT_EQ(deltas[i], 2) << i;
    const ScriptWindowState& w = ScriptWindow();
    EXPECT_FALSE(w.exists || w.hasContext || w.classRegistered);
    EXPECT_EQ(w.title, "RPG Brindoma");
    EXPECT_TRUE(FileExists("uni_files/test_paint.txt"));
    EXPECT_EQ(sndSource1 | sndSource2 | sndSource3, 0u);
    for (std::uint32_t b : soundBank.buffers) EXPECT_EQ(b, 0u);
    EXPECT_EQ(SoundInstalledBackend(), nullptr);
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
}

TEST_F(FrameLoop, KonfigAsksForTheWindowSize) {
    struct Case { const char* konfig; int answer, width, height; };
    const Case cases[] = {
        {"sizes\n5000 700\n300 200\n", IDYES, 800, 600},   // pair A out of range
        {"sizes\r\n1024 768 big\r\n640 480\r\n", IDNO, 640, 480},
    };
    for (const Case& c : cases) {
        ResetShellAndGame(2);
        GameDir dir("konfig");
        dir.Write("konfig.txt", c.konfig);
        ScriptQueueBoxAnswer(c.answer);
        EXPECT_EQ(BrindomaMain(), 0);
        ASSERT_GE(ScriptBoxes().size(), 1u);
        EXPECT_EQ(ScriptBoxes()[0].caption, std::string("WindowSize(Размер окна)"_w));
        EXPECT_EQ(ScriptWindow().width, c.width) << c.konfig;
        EXPECT_EQ(ScriptWindow().height, c.height) << c.konfig;
    }
}

}  // namespace
