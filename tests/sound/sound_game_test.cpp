// The whole program over the script backend: the first frame sounds
// effect 1 on the first source, and shut-down gives every sound resource back.
#include <gtest/gtest.h>

#include <AL/al.h>

#include "game_run.h"

TEST(SoundGame, FirstFramePlaysTheOpeningEffectAndShutDownReleasesAll) {
    bool checked = false;
    EXPECT_EQ(RunGame(3, [&](int swap) {
        if (swap != 0) return;
        checked = true;
        EXPECT_EQ(soundOn, 1);
        ASSERT_NE(sndSource1, 0u);
        ALint buffer = 0;
        alGetSourcei(sndSource1, AL_BUFFER, &buffer);
        EXPECT_EQ(static_cast<std::uint32_t>(buffer), soundBank.buffers[1]);
        EXPECT_TRUE(SourceIsPlaying(&sndSource1));
        EXPECT_FALSE(SourceIsPlaying(&sndSource2));
        EXPECT_NE(sndSource3, 0u);
    }), 0);
    EXPECT_TRUE(checked);
    for (const ScriptBox& b : ScriptBoxes())
        for (const char* fault : {"sound device", "not InitOpenAL", "not LoadPackWAV"})
            EXPECT_EQ(b.text.find(fault), std::string::npos) << b.text;
    EXPECT_EQ(sndSource1 | sndSource2 | sndSource3, 0u);
    for (std::uint32_t b : soundBank.buffers) EXPECT_EQ(b, 0u);
    EXPECT_EQ(SoundInstalledBackend(), nullptr);
    ScriptReset();
    SoundReset();
}
