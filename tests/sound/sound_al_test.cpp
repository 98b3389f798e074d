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

ALint BufferSize(std::uint32_t b) { ALint v = -1; alGetBufferi(b, AL_SIZE, &v); return v; }
ALint SourceI(std::uint32_t s, ALenum what) { ALint v = -1; alGetSourcei(s, what, &v); return v; }
std::uint32_t Attached(std::uint32_t s) { return static_cast<std::uint32_t>(SourceI(s, AL_BUFFER)); }
float SourceF(std::uint32_t s, ALenum what) { float v = -1; alGetSourcef(s, what, &v); return v; }

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
        WriteBytes(dir.File("a a.wav"), ToneWav(0.1));
    }
    void TearDown() override {
        ReleaseSource(&src);
        ReleaseGameSources();
        StopSound();
        SoundReset();
        LogSetPath(nullptr);
        LogReset();
    }
    int Load(const std::vector<std::pair<std::string, std::string>>& entries) {
        WriteText(dir.File("list.txt"), ListText(entries));
        return LoadPackWAV(soundBank, dir.File("list.txt").c_str());
    }
    // Three short effects under 1..3 and a one-second tone under 4; sound on.
    void LoadStandard() {
        WriteBytes(dir.File("b.wav"), ToneWav(0.2, 660));
        WriteBytes(dir.File("long.wav"), ToneWav(1.0));
        ASSERT_EQ(Load({{"1", dir.File("a a.wav")}, {"2", dir.File("b.wav")}, {"3", dir.File("a a.wav")},
                        {"4", dir.File("long.wav")}}), 1);
        soundOn = 1;
        ASSERT_EQ(CreateSource(&src), 1);
    }
};

}  // namespace

TEST_F(SoundAl, LoadingClampsIdsAndStopsAtARepeatedOne) {
    const std::string a = dir.File("a a.wav");
    const struct Case {
        std::vector<std::pair<std::string, std::string>> list;
        int result;
        std::vector<int> loaded, absent;
    } cases[] = {
        {{{"-5", a}, {"9 comment", " \t" + a + " "}, {"777", a}}, 1, {0, 9, 300}, {1}},
        {{{"3", a}, {"3", a}, {"4", a}}, 0, {3}, {4}},   // made before the fault: kept until StopSound
        {{{"300", a}, {"301", a}}, 0, {300}, {}},         // repeated after clamping
    };
    for (const Case& c : cases) {
        StopSound();
        ASSERT_EQ(InitOpenAL(), 1);
        EXPECT_EQ(Load(c.list), c.result);
        for (int id : c.loaded) EXPECT_EQ(BufferSize(soundBank.buffers[id]), 2 * 2205) << id;
        for (int id : c.absent) EXPECT_EQ(soundBank.buffers[id], 0u) << id;
    }
}

TEST_F(SoundAl, MissingOrBrokenFilesGiveEmptyBuffersAndLoadingGoesOn) {
    WriteBytes(dir.File("odd.wav"), std::vector<std::uint8_t>(44 + 7, 7));
    WriteBytes(dir.File("huge.wav"), {});
    fs::resize_file(dir.File("huge.wav"), kSoundFileMaxBytes + 1);   // sparse: never read into memory
    EXPECT_EQ(Load({{"1", dir.File("nothere.wav")}, {"2", dir.File("odd.wav")}, {"3", dir.File("huge.wav")},
                    {"4", ""}, {"5", dir.File("a a.wav")}}), 1);
    const ALint sizes[] = {0, 6, 0, 0, 2 * 2205};   // odd: three whole samples of seven bytes
    for (int id = 1; id <= 5; ++id) {
        ASSERT_NE(soundBank.buffers[id], 0u) << id;
        EXPECT_EQ(BufferSize(soundBank.buffers[id]), sizes[id - 1]) << id;
    }
    std::vector<std::uint8_t> log;
    ASSERT_EQ(ReadWholeFile(logPath.c_str(), log), FileStatus::Ok);
    EXPECT_NE(std::string(log.begin(), log.end()).find("sound file too large"), std::string::npos);

    EXPECT_EQ(LoadPackWAV(soundBank, dir.File("no_list.txt").c_str()), 0);
    WriteText(dir.File("short.txt"), "t\n3\n10\n" + dir.File("x.wav") + "\n-\n");
    EXPECT_EQ(LoadPackWAV(soundBank, dir.File("short.txt").c_str()), 0);
    EXPECT_NE(soundBank.buffers[10], 0u);   // the entry before the end stays
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
    SetSourceLooping(&src, 1);
    SetSourceSound(&src, 2);
    PlaySound(&src, 3, 0, 0.5f, 1.0f, 1.0f, 0);
    EXPECT_EQ(SourceState(&src), SRC_NONE);
    EXPECT_FLOAT_EQ(SourceF(src, AL_GAIN), 1.0f);
    EXPECT_FLOAT_EQ(SourceF(src, AL_PITCH), 1.0f);
    EXPECT_EQ(Attached(src), 0u);
    EXPECT_EQ(SourceI(src, AL_LOOPING), AL_FALSE);
    // these two only ask for a valid source
    SetSourceRelative(&src, 1);
    EXPECT_EQ(SourceI(src, AL_SOURCE_RELATIVE), AL_TRUE);
    EXPECT_EQ(PlayIfIdle(&src, 1), 1);
    EXPECT_EQ(PlayIfIdle(&fresh, 1), 0);
}

TEST_F(SoundAl, BadIdsReleaseAndGameStartSources) {
    LoadStandard();
    SetSourceSound(&src, 4);
    for (int id : {250, 301, -1}) SetSourceSound(&src, id);   // no buffer or out of range: kept
    EXPECT_EQ(Attached(src), soundBank.buffers[4]);
    std::uint32_t old = src;
    ReleaseSource(&src);
    EXPECT_EQ(src, 0u);
    EXPECT_FALSE(alIsSource(old));
    ReleaseSource(&src);   // twice is harmless

    SetupGameSources();   // source n holds effect n, listener-relative, one unit ahead
    std::uint32_t sources[3] = {sndSource1, sndSource2, sndSource3};
    for (int n = 0; n < 3; ++n) {
        ASSERT_TRUE(alIsSource(sources[n])) << n;
        EXPECT_EQ(Attached(sources[n]), soundBank.buffers[n + 1]);
        EXPECT_EQ(SourceI(sources[n], AL_SOURCE_RELATIVE), AL_TRUE);
        float pos[3] = {};
        alGetSourcefv(sources[n], AL_POSITION, pos);
        EXPECT_FLOAT_EQ(pos[2], -1.0f);
    }
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
    for (int r : {-7, 12345}) {   // any draw stays in range; no steps gives pitchMin
        EXPECT_NEAR(PitchStep(0.9f, 1.0f, 10, r), 0.955f, 0.046f) << r;
        EXPECT_FLOAT_EQ(PitchStep(0.7f, 1.5f, r % 2 - 1, r), 0.7f) << r;
    }
}

TEST_F(SoundAl, PlayIfIdleDoesNotRestartAPlayingSource) {
    LoadStandard();
    SetSourceSound(&src, 4);   // one second long
    EXPECT_EQ(PlayIfIdle(&src, 0), 0);
    EXPECT_FALSE(SourceIsPlaying(&src));
    EXPECT_EQ(PlayIfIdle(&src, 1), 1);
    ALint before = 0;
    for (int i = 0; i < 300 && before < 2000; ++i) {   // let the null device play a little
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        before = SourceI(src, AL_SAMPLE_OFFSET);
    }
    ASSERT_GE(before, 2000) << "the null device should advance playback";
    EXPECT_EQ(PlayIfIdle(&src, 1), 0);
    EXPECT_GE(SourceI(src, AL_SAMPLE_OFFSET), before);
    EXPECT_TRUE(SourceIsPlaying(&src));
    alSourceStop(src);   // once stopped it plays again from the start
    EXPECT_EQ(PlayIfIdle(&src, 1), 1);
    EXPECT_LT(SourceI(src, AL_SAMPLE_OFFSET), before);
}

TEST_F(SoundAl, IdZeroOrAnEmptyIdReplaysThePreviousBuffer) {
    LoadStandard();
    PlaySound(&src, 2, 0, 0.8f, 1.0f, 1.0f, 0);
    for (int id : {0, 250, -3, 999}) {
        PlaySound(&src, id, 0, 0.8f, 1.0f, 1.0f, 0);
        EXPECT_EQ(Attached(src), soundBank.buffers[2]) << id;
        EXPECT_TRUE(SourceIsPlaying(&src)) << id;
    }
    PlaySound(&src, 4, 0, 0.8f, 1.0f, 1.0f, 0);   // a new effect cuts the old one off
    EXPECT_EQ(Attached(src), soundBank.buffers[4]);

    ReleaseSource(&src);
    StopSound();
    for (std::uint32_t b : soundBank.buffers) EXPECT_EQ(b, 0u);
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    StopSound();   // twice is harmless
}

// StartSound reads the list from the working directory.
TEST(StartSound, GoodListTurnsSoundOnBadListsLeaveTheGameSilent) {
    ScratchDir dir("start");
    fs::path oldCwd = fs::current_path();
    fs::current_path(dir.path);
    const char* wav = "uni_files/res/zvu/a.wav";
    WriteBytes(dir.File(wav), ToneWav(0.1));
    for (const char* secondId : {"2", "1", ""}) {   // good, repeated id, no list
        SCOPED_TRACE(secondId);
        SoundReset();
        ScriptReset();
        fs::remove(kSoundListPath);
        if (*secondId) WriteText(kSoundListPath, ListText({{"1", wav}, {secondId, wav}}));
        StartSound();
        bool good = std::string(secondId) == "2";
        EXPECT_EQ(soundOn, good ? 1 : 0);
        EXPECT_EQ(soundBank.buffers[1] != 0, good);   // a failed load is freed by StopSound
        ASSERT_EQ(ScriptBoxes().size(), good ? 0u : 1u);
        if (!good) {
            EXPECT_EQ(ScriptBoxes()[0].text, "not LoadPackWAV");
        }
        ReleaseGameSources();
        StopSound();
    }
    SoundReset();
    fs::current_path(oldCwd);
}
