// The OpenAL layer on OpenAL Soft's null device: list loading rules, the
// SoundFailed gate, source operations, pitch steps, PlayIfIdle and replays.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <chrono>
#include <set>
#include <thread>

#include "app/log.h"
#include "app/random.h"
#include "io/files.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "sound/sound_al.h"
#include "sound/sound_list.h"
#include "sound_test_util.h"

using namespace soundtest;

namespace {

ALint BufferSize(std::uint32_t buffer) {
    ALint size = -1;
    alGetBufferi(buffer, AL_SIZE, &size);
    return size;
}

ALint Attached(std::uint32_t source) {
    ALint b = 0;
    alGetSourcei(source, AL_BUFFER, &b);
    return b;
}

float SourceF(std::uint32_t source, ALenum what) {
    float v = -1;
    alGetSourcef(source, what, &v);
    return v;
}

class SoundAl : public ::testing::Test {
protected:
    ScratchDir dir{"al"};
    std::string logPath = dir.File("log.txt");   // the log keeps the pointer
    std::uint32_t src = 0;

    void SetUp() override {
        SoundReset();
        ScriptReset();
        LogSetPath(logPath.c_str());
        ASSERT_EQ(InitOpenAL(), 1) << "the null device must open";
        EXPECT_TRUE(ScriptBoxes().empty());
        EXPECT_GT(sndMaxSources, 3);
        EXPECT_LE(sndMaxSources, 128);
    }
    void TearDown() override {
        ReleaseSource(&src);
        ReleaseGameSources();
        StopSound();
        SoundReset();
        LogSetPath(nullptr);
        LogReset();
    }
    // Writes the list and loads it into soundBank.
    int Load(const std::vector<std::pair<std::string, std::string>>& entries) {
        WriteText(dir.File("list.txt"), ListText(entries));
        return LoadPackWAV(soundBank, dir.File("list.txt").c_str());
    }
    // Three short effects under 1..3 and a one-second tone under 4; sound on.
    void LoadStandard() {
        WriteBytes(dir.File("a.wav"), ToneWav(0.1));
        WriteBytes(dir.File("b.wav"), ToneWav(0.2, 660));
        WriteBytes(dir.File("c.wav"), ToneWav(0.3, 880));
        WriteBytes(dir.File("long.wav"), ToneWav(1.0));
        ASSERT_EQ(Load({{"1", dir.File("a.wav")}, {"2", dir.File("b.wav")}, {"3", dir.File("c.wav")},
                        {"4", dir.File("long.wav")}}), 1);
        soundOn = 1;
        ASSERT_EQ(CreateSource(&src), 1);
    }
};

}  // namespace

TEST_F(SoundAl, ListLoadsEveryEffectWithItsSamples) {
    WriteBytes(dir.File("a.wav"), ToneWav(0.1));
    WriteBytes(dir.File("b b.wav"), ToneWav(0.25));
    EXPECT_EQ(Load({{"1", dir.File("a.wav")}, {"9 comment", " \t" + dir.File("b b.wav") + " "}}), 1);
    EXPECT_EQ(BufferSize(soundBank.buffers[1]), 2 * 2205);
    EXPECT_EQ(BufferSize(soundBank.buffers[9]), 2 * 5512);
    ALint freq = 0;
    alGetBufferi(soundBank.buffers[1], AL_FREQUENCY, &freq);
    EXPECT_EQ(freq, 22050);
    for (int id = 0; id <= kSoundMaxId; ++id)
        if (id != 1 && id != 9) {
            EXPECT_EQ(soundBank.buffers[id], 0u) << id;
        }
}

TEST_F(SoundAl, IdsAreClampedToTheBank) {
    WriteBytes(dir.File("a.wav"), ToneWav(0.1));
    EXPECT_EQ(Load({{"-5", dir.File("a.wav")}, {"777", dir.File("a.wav")}}), 1);
    EXPECT_NE(soundBank.buffers[0], 0u);
    EXPECT_NE(soundBank.buffers[300], 0u);
}

TEST_F(SoundAl, RepeatedIdStopsLoadingWithZero) {
    WriteBytes(dir.File("a.wav"), ToneWav(0.1));
    EXPECT_EQ(Load({{"3", dir.File("a.wav")}, {"3", dir.File("a.wav")}, {"4", dir.File("a.wav")}}), 0);
    EXPECT_NE(soundBank.buffers[3], 0u);   // made before the fault: kept until StopSound
    EXPECT_EQ(soundBank.buffers[4], 0u);   // never reached
    // ids that only collide after clamping count as repeated too
    StopSound();
    ASSERT_EQ(InitOpenAL(), 1);
    EXPECT_EQ(Load({{"300", dir.File("a.wav")}, {"301", dir.File("a.wav")}}), 0);
}

TEST_F(SoundAl, MissingOrBrokenFilesGiveEmptyBuffersAndLoadingGoesOn) {
    WriteBytes(dir.File("a.wav"), ToneWav(0.1));
    WriteBytes(dir.File("short.wav"), std::vector<std::uint8_t>(20, 7));
    WriteBytes(dir.File("header.wav"), std::vector<std::uint8_t>(44, 7));
    WriteBytes(dir.File("odd.wav"), std::vector<std::uint8_t>(44 + 7, 7));
    WriteBytes(dir.File("empty.wav"), {});
    {   // over the size cap: a sparse file, never read into memory
        std::ofstream f(dir.File("huge.wav"), std::ios::binary);
    }
    fs::resize_file(dir.File("huge.wav"), kSoundFileMaxBytes + 1);
    EXPECT_EQ(Load({{"1", dir.File("nothere.wav")}, {"2", dir.File("short.wav")},
                    {"3", dir.File("header.wav")}, {"4", dir.File("odd.wav")}, {"5", dir.File("empty.wav")},
                    {"6", dir.File("huge.wav")}, {"7", ""}, {"8", dir.File("a.wav")}}),
              1);
    for (int id = 1; id <= 8; ++id) ASSERT_NE(soundBank.buffers[id], 0u) << id;
    EXPECT_EQ(BufferSize(soundBank.buffers[1]), 0);
    EXPECT_EQ(BufferSize(soundBank.buffers[2]), 0);
    EXPECT_EQ(BufferSize(soundBank.buffers[3]), 0);
    EXPECT_EQ(BufferSize(soundBank.buffers[4]), 6);   // three whole samples of seven bytes
    EXPECT_EQ(BufferSize(soundBank.buffers[5]), 0);
    EXPECT_EQ(BufferSize(soundBank.buffers[6]), 0);
    EXPECT_EQ(BufferSize(soundBank.buffers[7]), 0);
    EXPECT_EQ(BufferSize(soundBank.buffers[8]), 2 * 2205);
    std::vector<std::uint8_t> log;
    ASSERT_EQ(ReadWholeFile(logPath.c_str(), log), FileStatus::Ok);
    EXPECT_NE(std::string(log.begin(), log.end()).find("sound file too large"), std::string::npos);
}

TEST_F(SoundAl, BrokenListsFail) {
    EXPECT_EQ(LoadPackWAV(soundBank, dir.File("no_list.txt").c_str()), 0);
    WriteText(dir.File("short.txt"), "t\n3\n1\n" + dir.File("x.wav") + "\n-\n");
    EXPECT_EQ(LoadPackWAV(soundBank, dir.File("short.txt").c_str()), 0);
    EXPECT_NE(soundBank.buffers[1], 0u);   // the entry before the end stays
    WriteText(dir.File("empty.txt"), "");
    EXPECT_EQ(LoadPackWAV(soundBank, dir.File("empty.txt").c_str()), 0);
}

TEST_F(SoundAl, SoundFailedGatesEveryOperationButRelativeAndPlayIfIdle) {
    LoadStandard();
    EXPECT_FALSE(SoundFailed());
    alSourcef(0xFFFFFF, AL_GAIN, 1.0f);   // leave an AL error behind
    EXPECT_TRUE(SoundFailed());
    EXPECT_FALSE(SoundFailed());          // reading it cleared it

    soundOn = 0;
    EXPECT_TRUE(SoundFailed());
    std::uint32_t fresh = 0;
    EXPECT_EQ(CreateSource(&fresh), 0);
    SetSourceSound(&fresh, 1);
    EXPECT_EQ(fresh, 0u);
    SetSourceGain(&src, 0.25f);
    SetSourcePitch(&src, 0.5f);
    SetSourcePosition(&src, 5, 5, 5);
    SetSourceLooping(&src, 1);
    SetSourceSound(&src, 2);
    PlaySound(&src, 3, 0, 0.5f, 1.0f, 1.0f, 0);
    EXPECT_EQ(SourceState(&src), SRC_NONE);
    EXPECT_FLOAT_EQ(SourceF(src, AL_GAIN), 1.0f);
    EXPECT_FLOAT_EQ(SourceF(src, AL_PITCH), 1.0f);
    EXPECT_EQ(Attached(src), 0);
    ALint looping = -1, relative = -1;
    alGetSourcei(src, AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_FALSE);
    // these two only ask for a valid source
    SetSourceRelative(&src, 1);
    alGetSourcei(src, AL_SOURCE_RELATIVE, &relative);
    EXPECT_EQ(relative, AL_TRUE);
    EXPECT_EQ(PlayIfIdle(&src, 1), 1);
    EXPECT_EQ(PlayIfIdle(&fresh, 1), 0);
}

TEST_F(SoundAl, SourceOperationsSetTheirProperty) {
    LoadStandard();
    EXPECT_EQ(SourceState(&src), SRC_INITIAL);
    SetSourceSound(&src, 4);
    EXPECT_EQ(static_cast<std::uint32_t>(Attached(src)), soundBank.buffers[4]);
    SetSourceGain(&src, 0.25f);
    SetSourcePitch(&src, 0.5f);
    SetSourceLooping(&src, 1);
    SetSourcePosition(&src, 1, 2, 3);
    float pos[3] = {};
    alGetSourcefv(src, AL_POSITION, pos);
    EXPECT_FLOAT_EQ(pos[1], 2.0f);
    EXPECT_FLOAT_EQ(SourceF(src, AL_GAIN), 0.25f);
    EXPECT_FLOAT_EQ(SourceF(src, AL_PITCH), 0.5f);
    EXPECT_EQ(PlayIfIdle(&src, 1), 1);
    EXPECT_EQ(SourceState(&src), SRC_PLAYING);
    EXPECT_TRUE(SourceIsPlaying(&src));
    alSourcePause(src);
    EXPECT_EQ(SourceState(&src), SRC_PAUSED);
    ResetSource(&src);
    EXPECT_EQ(SourceState(&src), SRC_STOPPED);
    EXPECT_FLOAT_EQ(SourceF(src, AL_GAIN), 1.0f);
    EXPECT_FLOAT_EQ(SourceF(src, AL_PITCH), 1.0f);
    ALint looping = -1;
    alGetSourcei(src, AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_FALSE);
    // an id without a buffer, or out of range, leaves the buffer attached
    SetSourceSound(&src, 250);
    SetSourceSound(&src, 301);
    SetSourceSound(&src, -1);
    EXPECT_EQ(static_cast<std::uint32_t>(Attached(src)), soundBank.buffers[4]);
    std::uint32_t old = src;
    ReleaseSource(&src);
    EXPECT_EQ(src, 0u);
    EXPECT_FALSE(alIsSource(old));
    ReleaseSource(&src);   // twice is harmless
    // SetSourceSound makes the source it needs
    SetSourceSound(&src, 2);
    ASSERT_NE(src, 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(Attached(src)), soundBank.buffers[2]);
}

TEST_F(SoundAl, GameStartSourcesHoldEffectsOneToThreeInFrontOfTheListener) {
    LoadStandard();
    SetupGameSources();
    std::uint32_t sources[3] = {sndSource1, sndSource2, sndSource3};
    for (int n = 0; n < 3; ++n) {
        ASSERT_TRUE(alIsSource(sources[n])) << n;
        EXPECT_EQ(static_cast<std::uint32_t>(Attached(sources[n])), soundBank.buffers[n + 1]);
        ALint relative = 0;
        alGetSourcei(sources[n], AL_SOURCE_RELATIVE, &relative);
        EXPECT_EQ(relative, AL_TRUE);
        float pos[3] = {};
        alGetSourcefv(sources[n], AL_POSITION, pos);
        EXPECT_FLOAT_EQ(pos[2], -1.0f);
    }
    // the first frame's opening sound
    EXPECT_EQ(PlayIfIdle(&sndSource1, soundOn), 1);
    EXPECT_TRUE(SourceIsPlaying(&sndSource1));
    ReleaseGameSources();
    EXPECT_EQ(sndSource1 | sndSource2 | sndSource3, 0u);
}

TEST_F(SoundAl, PitchStepsNeverGivePitchMin) {
    LoadStandard();
    std::set<int> seen;
    RandSeed(1234);
    for (int i = 0; i < 400; ++i) {
        PlaySound(&src, 1, 0, 0.8f, 0.9f, 1.0f, 10);
        float p = SourceF(src, AL_PITCH);
        int hundredths = static_cast<int>(std::lround(p * 100));
        EXPECT_NEAR(p, hundredths / 100.0f, 1e-4f);
        ASSERT_GE(hundredths, 91) << p;
        ASSERT_LE(hundredths, 100) << p;
        seen.insert(hundredths);
    }
    EXPECT_EQ(seen.size(), 10u);
    PlaySound(&src, 6, 0, 0.8f, 0.7f, 0.7f, 0);
    EXPECT_FLOAT_EQ(SourceF(src, AL_PITCH), 0.7f);
    EXPECT_FLOAT_EQ(SourceF(src, AL_GAIN), 0.8f);
    PlaySound(&src, 3, 1, 0.9f, 0.7f, 2.0f, -1);
    EXPECT_FLOAT_EQ(SourceF(src, AL_PITCH), 0.7f);
    ALint looping = 0;
    alGetSourcei(src, AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_TRUE);
}

TEST_F(SoundAl, PlayIfIdleDoesNotRestartAPlayingSource) {
    LoadStandard();
    SetSourceSound(&src, 4);   // one second long
    EXPECT_EQ(PlayIfIdle(&src, 0), 0);
    EXPECT_FALSE(SourceIsPlaying(&src));
    EXPECT_EQ(PlayIfIdle(&src, 1), 1);
    ALint before = 0, after = 0;
    for (int i = 0; i < 300 && before < 2000; ++i) {   // let the null device play a little
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        alGetSourcei(src, AL_SAMPLE_OFFSET, &before);
    }
    ASSERT_GE(before, 2000) << "the null device should advance playback";
    EXPECT_EQ(PlayIfIdle(&src, 1), 0);
    alGetSourcei(src, AL_SAMPLE_OFFSET, &after);
    EXPECT_GE(after, before);
    EXPECT_TRUE(SourceIsPlaying(&src));
    // once stopped it plays again from the start
    alSourceStop(src);
    EXPECT_EQ(PlayIfIdle(&src, 1), 1);
    alGetSourcei(src, AL_SAMPLE_OFFSET, &after);
    EXPECT_LT(after, before);
}

TEST_F(SoundAl, IdZeroOrAnEmptyIdReplaysThePreviousBuffer) {
    LoadStandard();
    PlaySound(&src, 2, 0, 0.8f, 1.0f, 1.0f, 0);
    EXPECT_EQ(static_cast<std::uint32_t>(Attached(src)), soundBank.buffers[2]);
    EXPECT_TRUE(SourceIsPlaying(&src));
    for (int id : {0, 250, -3, 999}) {
        SCOPED_TRACE(id);
        PlaySound(&src, id, 0, 0.8f, 1.0f, 1.0f, 0);
        EXPECT_EQ(static_cast<std::uint32_t>(Attached(src)), soundBank.buffers[2]);
        EXPECT_TRUE(SourceIsPlaying(&src));
    }
    PlaySound(&src, 4, 0, 0.8f, 1.0f, 1.0f, 0);   // a new effect cuts the old one off
    EXPECT_EQ(static_cast<std::uint32_t>(Attached(src)), soundBank.buffers[4]);
}

TEST_F(SoundAl, StopSoundFreesEverythingAndSilencesTheApi) {
    LoadStandard();
    ReleaseSource(&src);
    std::uint32_t b1 = soundBank.buffers[1];
    StopSound();
    for (std::uint32_t b : soundBank.buffers) EXPECT_EQ(b, 0u);
    EXPECT_EQ(soundBank.initialised, 1u);
    EXPECT_EQ(SoundInstalledBackend(), nullptr);
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    EXPECT_TRUE(SoundFailed());
    PlaySound(&src, 1, 0, 1, 1, 1, 0);
    EXPECT_EQ(PlayIfIdle(&src, 1), 0);
    (void)b1;
    StopSound();   // twice is harmless
}

// StartSound reads the list from the working directory.
class StartSoundTest : public ::testing::Test {
protected:
    ScratchDir dir{"start"};
    std::string logPath = dir.File("log.txt");
    fs::path oldCwd;
    void SetUp() override {
        SoundReset();
        ScriptReset();
        oldCwd = fs::current_path();
        fs::current_path(dir.path);
        LogSetPath(logPath.c_str());
        WriteBytes(dir.File("uni_files/res/zvu/a.wav"), ToneWav(0.1));
    }
    void TearDown() override {
        ReleaseGameSources();
        StopSound();
        SoundReset();
        fs::current_path(oldCwd);
        LogSetPath(nullptr);
        LogReset();
    }
};

TEST_F(StartSoundTest, AGoodListTurnsSoundOn) {
    WriteText(kSoundListPath, ListText({{"1", "uni_files/res/zvu/a.wav"}, {"2", "uni_files/res/zvu/a.wav"}}));
    StartSound();
    EXPECT_TRUE(ScriptBoxes().empty());
    EXPECT_EQ(soundOn, 1);
    EXPECT_NE(soundBank.buffers[2], 0u);
    float gain = 0;
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.9f);
    EXPECT_FLOAT_EQ(alGetFloat(AL_DOPPLER_FACTOR), 1.0f);
    EXPECT_FLOAT_EQ(alGetFloat(AL_DOPPLER_VELOCITY), 343.0f);
    float at[6] = {};
    alGetListenerfv(AL_ORIENTATION, at);
    EXPECT_FLOAT_EQ(at[2], -1.0f);
    EXPECT_FLOAT_EQ(at[4], 1.0f);
}

TEST_F(StartSoundTest, ARepeatedIdLeavesTheGameSilent) {
    WriteText(kSoundListPath, ListText({{"1", "uni_files/res/zvu/a.wav"}, {"1", "uni_files/res/zvu/a.wav"}}));
    StartSound();
    ASSERT_EQ(ScriptBoxes().size(), 1u);
    EXPECT_EQ(ScriptBoxes()[0].text, "not LoadPackWAV");
    EXPECT_EQ(ScriptBoxes()[0].caption, "err");
    EXPECT_EQ(soundOn, 0);
    EXPECT_EQ(soundBank.buffers[1], 0u);   // freed by StopSound
    EXPECT_EQ(SoundInstalledBackend(), nullptr);
    SetupGameSources();
    EXPECT_EQ(sndSource1, 0u);
    EXPECT_EQ(PlayIfIdle(&sndSource1, soundOn), 0);
}

TEST_F(StartSoundTest, NoListLeavesTheGameSilent) {
    StartSound();
    ASSERT_EQ(ScriptBoxes().size(), 1u);
    EXPECT_EQ(ScriptBoxes()[0].text, "not LoadPackWAV");
    EXPECT_EQ(soundOn, 0);
}
