// The whole program on a machine without a usable audio driver: the
// messages, then frames run on silently.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/frame.h"
#include "app/main_loop.h"
#include "platform/script/script_platform.h"
#include "sound/sound_al.h"
#include "leak_pause.h"

TEST(SoundGameNoDevice, MessagesThenTheGameRunsSilently) {
    setenv("ALSOFT_DRIVERS", "no-such-driver", 1);   // before the library's first call
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ScriptReset();
    FrameReset();
    MainLoopReset();
    SoundReset();
    ScriptCloseAfterSwaps(5);
    {
        [[maybe_unused]] LeakPause pause;
        EXPECT_EQ(BrindomaMain(), 0);
    }
    EXPECT_GE(ScriptSwapCount(), 5);
    const auto& boxes = ScriptBoxes();
    auto at = std::find_if(boxes.begin(), boxes.end(), [](const ScriptBox& b) {
        return b.text == "DirectSound3D  sound device not present";
    });
    ASSERT_NE(at, boxes.end());
    EXPECT_EQ(at->caption, "Error");
    ASSERT_NE(at + 1, boxes.end());
    EXPECT_EQ((at + 1)->text, "not InitOpenAL");
    EXPECT_EQ((at + 1)->caption, "err");
    EXPECT_EQ(soundOn, 0);
    EXPECT_EQ(sndSource1 | sndSource2 | sndSource3, 0u);
    ScriptReset();
    SoundReset();
}
