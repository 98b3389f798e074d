// The whole program on a machine without a usable audio driver: the
// messages, then frames run on silently.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/frame.h"
#include "app/main_loop.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "sound/sound_al.h"

TEST(SoundGameNoDevice, MessagesThenTheGameRunsSilently) {
    setenv("ALSOFT_DRIVERS", "no-such-driver", 1);   // before the library's first call
    ScriptReset();
    FrameReset();
    MainLoopReset();
    SoundReset();
    ScriptCloseAfterSwaps(5);
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_GE(ScriptSwapCount(), 5);
    const auto& boxes = ScriptBoxes();
    auto at = std::find_if(boxes.begin(), boxes.end(),
                           [](const ScriptBox& b) { return b.text == "DirectSound3D  sound device not present"; });
    ASSERT_NE(at, boxes.end());
    EXPECT_EQ(at->caption, "Error");
    EXPECT_EQ(at->flags & MB_ICONEXCLAMATION, MB_ICONEXCLAMATION);
    ASSERT_NE(at + 1, boxes.end());
    EXPECT_EQ((at + 1)->text, "not InitOpenAL");
    EXPECT_EQ((at + 1)->caption, "err");
    EXPECT_EQ(soundOn, 0);
    EXPECT_EQ(SoundInstalledBackend(), nullptr);
    // every sound call stays a harmless no-op
    SetupGameSources();
    EXPECT_EQ(sndSource1 | sndSource2 | sndSource3, 0u);
    PlaySound(&sndSource1, 4, 0, 0.8f, 0.9f, 1.0f, 10);
    EXPECT_EQ(PlayIfIdle(&sndSource1, 1), 0);
    EXPECT_TRUE(SoundFailed());
    ScriptReset();
    SoundReset();
}
