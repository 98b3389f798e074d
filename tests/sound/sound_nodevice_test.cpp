// A machine with no usable audio driver: the design's message boxes, then a
// silent game on which every sound call is a harmless no-op.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "sound/sound_al.h"

TEST(SoundNoDevice, MessagesThenSilence) {
    setenv("ALSOFT_DRIVERS", "no-such-driver", 1);   // before the library's first call
    SoundReset();
    ScriptReset();
    StartSound();
    ASSERT_EQ(ScriptBoxes().size(), 2u);
    EXPECT_EQ(ScriptBoxes()[0].text, "DirectSound3D  sound device not present");
    EXPECT_EQ(ScriptBoxes()[0].caption, "Error");
    EXPECT_EQ(ScriptBoxes()[0].flags & MB_ICONEXCLAMATION, MB_ICONEXCLAMATION);
    EXPECT_EQ(ScriptBoxes()[1].text, "not InitOpenAL");
    EXPECT_EQ(ScriptBoxes()[1].caption, "err");
    EXPECT_EQ(soundOn, 0);
    EXPECT_EQ(SoundInstalledBackend(), nullptr);

    // the game goes on: sources, plays and the first frame's sound do nothing
    SetupGameSources();
    EXPECT_EQ(sndSource1 | sndSource2 | sndSource3, 0u);
    EXPECT_EQ(PlayIfIdle(&sndSource1, soundOn), 0);
    PlaySound(&sndSource1, 4, 0, 0.8f, 0.9f, 1.0f, 10);
    EXPECT_FALSE(SourceIsPlaying(&sndSource1));
    EXPECT_TRUE(SoundFailed());
    ReleaseGameSources();
    StopSound();
    EXPECT_EQ(ScriptBoxes().size(), 2u);
    SoundReset();
}
