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
        if (swap == 0) {   // started (it may be over already on a busy machine); effects follow the listener
            ALint buffer = 0, state = AL_INITIAL, relative = 0;
            alGetSourcei(sndSource1, AL_BUFFER, &buffer);
            alGetSourcei(sndSource1, AL_SOURCE_STATE, &state);
            alGetSourcei(sndSource3, AL_SOURCE_RELATIVE, &relative);
            EXPECT_TRUE(buffer && std::uint32_t(buffer) == soundBank.buffers[1] && state != AL_INITIAL);
            EXPECT_TRUE(relative == AL_TRUE && !SourceIsPlaying(&sndSource2));
        }
        if (swap == 20) ScriptKeyDown(VK_ESCAPE);
        if (swap == 21) ScriptKeyUp(VK_ESCAPE);
    });
    ScriptQueueBoxAnswer(IDYES);
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_EQ(ScriptBoxes().size(), 1u) << ScriptBoxes()[0].text;
    EXPECT_EQ(ScriptBoxes()[0].caption + ScriptBoxes()[0].text, std::string("PauseExit ?? Выход"_w));
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
    EXPECT_TRUE((sndSource1 | sndSource2 | sndSource3) == 0u && SoundInstalledBackend() == nullptr);
    for (std::uint32_t b : soundBank.buffers) ASSERT_EQ(b, 0u);
}

TEST_F(FrameLoop, MissingSignalFileEndsWithNotInitGL) {
    GameDir dir("no_sig", {"uni_files/res/sig.txt"});
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_EQ(ScriptBoxes().size(), 1u);
    EXPECT_EQ(ScriptBoxes()[0].caption + ": " + ScriptBoxes()[0].text, "Error: not InitGL");
    EXPECT_EQ(ScriptSwapCount(), 0);
    EXPECT_FALSE(ScriptWindow().exists || ScriptWindow().hasContext || ScriptWindow().classRegistered);
}

// A size out of range answered Yes gives the default window.
TEST_F(FrameLoop, KonfigPairOutOfRangeGivesTheDefaultSize) {
    ResetShellAndGame(2);
    GameDir dir("konfig");
    dir.Write("konfig.txt", "sizes\n5000 700\n300 200\n");
    ScriptQueueBoxAnswer(IDYES);
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_GE(ScriptBoxes().size(), 1u);
    EXPECT_EQ(ScriptBoxes()[0].caption, std::string("WindowSize(Размер окна)"_w));
    EXPECT_EQ(ScriptWindow().width * 10000 + ScriptWindow().height, 800 * 10000 + 600);
}

}  // namespace
