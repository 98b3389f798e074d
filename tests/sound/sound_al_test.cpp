// The OpenAL layer on OpenAL Soft's null device: list loading rules, the
// SoundFailed gate, source operations, pitch steps, PlayIfIdle and replays.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <unistd.h>

#include "app/log.h"
#include "app/random.h"
#include "io/files.h"
#include "platform/script/script_platform.h"
#include "sound/sound_al.h"
#include "sound/sound_list.h"

namespace fs = std::filesystem;
using Entries = std::vector<std::pair<std::string, std::string>>;

namespace {

ALint BufferI(std::uint32_t b, ALenum what) { ALint v = -1; alGetBufferi(b, what, &v); return v; }
ALint SourceI(std::uint32_t s, ALenum what) { ALint v = -1; alGetSourcei(s, what, &v); return v; }
std::uint32_t Attached(std::uint32_t s) { return static_cast<std::uint32_t>(SourceI(s, AL_BUFFER)); }
float SourceF(std::uint32_t s, ALenum what) { float v = -1; alGetSourcef(s, what, &v); return v; }

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_EQ(WriteFileSafely(path.c_str(), bytes), FileStatus::Ok);
}
void Write(const std::string& path, const std::string& text) { Write(path, std::vector<std::uint8_t>(text.begin(), text.end())); }

// A canonical 16-bit mono 22050 Hz WAV of quiet samples.
std::vector<std::uint8_t> Wav(double seconds) {
    const std::uint32_t n = static_cast<std::uint32_t>(seconds * 22050);
    std::vector<std::uint8_t> b;
    b.reserve(44 + 2 * n);
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i))); };
    auto tag = [&](const char* t) { u32(std::uint32_t(t[0] | t[1] << 8 | t[2] << 16 | t[3] << 24)); };
    tag("RIFF"), u32(36 + 2 * n), tag("WAVE"), tag("fmt "), u32(16), u32(1 | 1 << 16), u32(22050), u32(44100);
    u32(2 | 16 << 16), tag("data"), u32(2 * n);
    b.resize(b.size() + 2 * n, 1);
    return b;
}

std::string ListText(const Entries& entries) {
    std::string t = "sounds\n" + std::to_string(entries.size()) + "\n";
    for (auto& [id, name] : entries) t += id + "\n" + name + "\n--\n";
    return t;
}

class SoundAl : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("bd_sound_al_" + std::to_string(getpid()));
    std::string logPath = File("log.txt");   // the log keeps the pointer
    std::uint32_t src = 0;

    std::string File(const std::string& name) const { return (dir / name).string(); }
    void SetUp() override {
        fs::create_directories(dir);
        SoundReset();
        ScriptReset();
        LogSetPath(logPath.c_str());
        ASSERT_EQ(InitOpenAL(), 1) << "the null device must open";
        EXPECT_TRUE(ScriptBoxes().empty());
        Write(File("a a.wav"), Wav(0.1));
    }
    void TearDown() override {
        ReleaseSource(&src);
        ReleaseGameSources();
        StopSound();
        SoundReset();
        LogSetPath(nullptr);
        LogReset();
        fs::remove_all(dir);
    }
    int Load(const Entries& entries) {
        Write(File("list.txt"), ListText(entries));
        return LoadPackWAV(soundBank, File("list.txt").c_str());
    }
    // Three short effects under 1..3 and a one-second one under 4; sound on.
    void LoadStandard() {
        Write(File("long.wav"), Wav(1.0));
        ASSERT_EQ(Load({{"1", File("a a.wav")}, {"2", File("a a.wav")}, {"3", File("a a.wav")}, {"4", File("long.wav")}}), 1);
        soundOn = 1;
        ASSERT_EQ(CreateSource(&src), 1);
    }
};

}  // namespace

// Ids are clamped; a repeated one ends the load (buffers made before it stay
// until StopSound); missing or broken files give empty buffers and loading goes on.
TEST_F(SoundAl, LoadingRules) {
    const std::string a = File("a a.wav");
    Write(File("odd.wav"), std::vector<std::uint8_t>(44 + 7, 7));
    Write(File("huge.wav"), std::vector<std::uint8_t>{});
    fs::resize_file(File("huge.wav"), kSoundFileMaxBytes + 1);   // sparse: never read into memory
    const struct Case {
        Entries list;
        int result;
        std::vector<std::pair<int, ALint>> sizes;   // id, bytes; -1 no buffer
    } cases[] = {
        {{{"-5", a}, {"9 comment", " \t" + a + " "}, {"777", a}}, 1, {{0, 4410}, {9, 4410}, {300, 4410}, {1, -1}}},
        {{{"3", a}, {"3", a}, {"4", a}}, 0, {{3, 4410}, {4, -1}}},
        {{{"300", a}, {"301", a}}, 0, {{300, 4410}}},   // repeated after clamping
        {{{"1", File("nothere.wav")}, {"2", File("odd.wav")}, {"3", File("huge.wav")}, {"4", ""}, {"5", a}}, 1,
         {{1, 0}, {2, 6}, {3, 0}, {4, 0}, {5, 4410}}},   // odd: three whole samples of seven bytes
    };
    for (const Case& c : cases) {
        StopSound();
        ASSERT_EQ(InitOpenAL(), 1);
        EXPECT_EQ(Load(c.list), c.result);
        for (auto [id, size] : c.sizes) {
            if (size < 0) { EXPECT_EQ(soundBank.buffers[id], 0u) << id; continue; }
            EXPECT_EQ(BufferI(soundBank.buffers[id], AL_SIZE), size) << id;
            const ALint format = BufferI(soundBank.buffers[id], AL_FREQUENCY) * 10 + BufferI(soundBank.buffers[id], AL_CHANNELS);
            EXPECT_TRUE(!size || format == 220501) << id << " " << format;   // played at its own speed
        }
    }
    std::vector<std::uint8_t> log;
    ASSERT_EQ(ReadWholeFile(logPath.c_str(), log), FileStatus::Ok);
    EXPECT_NE(std::string(log.begin(), log.end()).find("sound file too large"), std::string::npos);
    EXPECT_EQ(LoadPackWAV(soundBank, File("no_list.txt").c_str()), 0);
    Write(File("short.txt"), "t\n3\n10\n" + File("x.wav") + "\n-\n");
    EXPECT_EQ(LoadPackWAV(soundBank, File("short.txt").c_str()), 0);
    EXPECT_NE(soundBank.buffers[10], 0u);   // the entry before the end stays
}

// An AL error is read once; sound off gates every operation but the relative
// flag and PlayIfIdle. A bad id keeps the buffer; id 0 or an empty id replays
// the last one. Pitch steps never give pitchMin; releasing twice is harmless.
TEST_F(SoundAl, SourceOperations) {
    LoadStandard();
    std::uint32_t quiet = 0;   // untouched until sound is off
    ASSERT_EQ(CreateSource(&quiet), 1);
    EXPECT_FALSE(SoundFailed());
    alSourcef(0xFFFFFF, AL_GAIN, 1.0f);   // leave an AL error behind
    EXPECT_TRUE(SoundFailed());
    EXPECT_FALSE(SoundFailed());
    SetSourceSound(&src, 4);
    for (int id : {250, 301, -1}) SetSourceSound(&src, id);
    EXPECT_EQ(Attached(src), soundBank.buffers[4]);
    PlaySound(&src, 2, 0, 0.8f, 1.0f, 1.0f, 0);
    for (int id : {0, 250, -3, 999}) {
        PlaySound(&src, id, 0, 0.8f, 1.0f, 1.0f, 0);
        EXPECT_TRUE(Attached(src) == soundBank.buffers[2] && SourceIsPlaying(&src)) << id;
    }
    std::set<int> seen;
    RandSeed(1234);
    for (int i = 0; i < 400; ++i) {
        PlaySound(&src, 1, 0, 0.8f, 0.9f, 1.0f, 10);
        const float p = SourceF(src, AL_PITCH);
        const int hundredths = static_cast<int>(std::lround(p * 100));
        ASSERT_TRUE(std::fabs(p - hundredths / 100.0f) < 1e-4f && hundredths >= 91 && hundredths <= 100) << p;
        seen.insert(hundredths);
    }
    EXPECT_EQ(seen.size(), 10u);
    for (int r : {-7, 12345}) {   // any draw stays in range; no steps gives pitchMin
        EXPECT_NEAR(PitchStep(0.9f, 1.0f, 10, r), 0.955f, 0.046f) << r;
        EXPECT_FLOAT_EQ(PitchStep(0.7f, 1.5f, r % 2 - 1, r), 0.7f) << r;
    }
    soundOn = 0;
    EXPECT_TRUE(SoundFailed());
    std::uint32_t fresh = 0;
    EXPECT_EQ(CreateSource(&fresh), 0);
    SetSourceGain(&quiet, 0.25f);
    SetSourcePitch(&quiet, 0.5f);
    SetSourceLooping(&quiet, 1);
    PlaySound(&quiet, 3, 0, 0.5f, 1.0f, 1.0f, 0);
    EXPECT_EQ(SourceState(&quiet), SRC_NONE);
    EXPECT_FLOAT_EQ(SourceF(quiet, AL_GAIN) + SourceF(quiet, AL_PITCH), 2.0f);
    EXPECT_TRUE(Attached(quiet) == 0u && SourceI(quiet, AL_LOOPING) == AL_FALSE);
    SetSourceRelative(&quiet, 1);   // these two only ask for a valid source
    EXPECT_EQ(SourceI(quiet, AL_SOURCE_RELATIVE), AL_TRUE);
    EXPECT_TRUE(PlayIfIdle(&quiet, 1) == 1 && PlayIfIdle(&fresh, 1) == 0);
    ReleaseSource(&quiet);
    std::uint32_t old = src;
    ReleaseSource(&src);
    ReleaseSource(&src);
    EXPECT_TRUE(src == 0u && !alIsSource(old));
}

// StartSound reads the list from the working directory.
TEST(StartSound, GoodListTurnsSoundOnBadListsLeaveTheGameSilent) {
    const fs::path dir = fs::temp_directory_path() / ("bd_sound_start_" + std::to_string(getpid())), oldCwd = fs::current_path();
    fs::create_directories(dir);
    fs::current_path(dir);
    const char* wav = "uni_files/res/zvu/a.wav";
    Write(wav, Wav(0.1));
    for (const char* secondId : {"2", "1", ""}) {   // good, repeated id, no list
        SCOPED_TRACE(secondId);
        SoundReset();
        ScriptReset();
        fs::remove(kSoundListPath);
        if (*secondId) Write(kSoundListPath, ListText({{"1", wav}, {secondId, wav}}));
        StartSound();
        bool good = std::string(secondId) == "2";
        EXPECT_EQ(soundOn, good ? 1 : 0);
        EXPECT_EQ(soundBank.buffers[1] != 0, good);   // a failed load is freed by StopSound
        ASSERT_EQ(ScriptBoxes().size(), good ? 0u : 1u);
        EXPECT_TRUE(good || ScriptBoxes()[0].text == "not LoadPackWAV");
        ReleaseGameSources();
        StopSound();
    }
    SoundReset();
    fs::current_path(oldCwd);
    fs::remove_all(dir);
}
