// The whole program on a machine without a usable audio driver: the
// messages, then frames run on silently.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "../scripted/reset_all.h"
#include "platform/platform.h"
#include "sound/sound_al.h"

TEST(SoundGameNoDevice, MessagesThenTheGameRunsSilently) {
    setenv("ALSOFT_DRIVERS", "no-such-driver", 1);   // before the library's first call
    ResetShellAndGame(5), SoundReset();
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_GE(ScriptSwapCount(), 5);
    const auto& boxes = ScriptBoxes();
    auto at = std::find_if(boxes.begin(), boxes.end(),
                           [](const ScriptBox& b) { return b.text == "DirectSound3D  sound device not present"; });
    ASSERT_TRUE(at != boxes.end() && at + 1 != boxes.end());
    EXPECT_TRUE(at->caption == "Error" && (at->flags & MB_ICONEXCLAMATION) == MB_ICONEXCLAMATION);
    EXPECT_EQ((at + 1)->caption + ": " + (at + 1)->text, "err: not InitOpenAL");
    EXPECT_TRUE(soundOn == 0 && SoundInstalledBackend() == nullptr);
    SetupGameSources();   // every sound call stays a harmless no-op
    PlaySound(&sndSource1, 4, 0, 0.8f, 0.9f, 1.0f, 10);
    EXPECT_EQ(sndSource1 | sndSource2 | sndSource3, 0u);
    EXPECT_TRUE(PlayIfIdle(&sndSource1, 1) == 0 && SoundFailed());
    ScriptReset(), SoundReset();
}
