// Sound: the list parser and WAV sample extraction on bytes, the effects the
// build synthesised (headers, levels and clean ends), and the OpenAL layer on
// OpenAL Soft's null device: list loading rules, the SoundFailed gate, source
// operations, pitch steps, PlayIfIdle and replays, music and wind.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <cmath>

#include "../scripted/game_dir.h"
#include "app/log.h"
#include "app/random.h"
#include "io/files.h"
#include "platform/script/script_platform.h"
#include "sound/music.h"
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

std::span<const std::uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

// A canonical 16-bit mono 22050 Hz WAV of n quiet samples.
std::vector<std::uint8_t> Wav(std::uint32_t n) {
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
    GameDir dir{"sound_al", {}, false};
    std::string logPath = File("log.txt");   // the log keeps the pointer
    std::uint32_t src = 0;

    std::string File(const std::string& name) const { return (dir.Root() / name).string(); }
    void SetUp() override {
        SoundReset(), ScriptReset(), LogSetPath(logPath.c_str());
        ASSERT_EQ(InitOpenAL(), 1) << "the null device must open";
        EXPECT_TRUE(ScriptBoxes().empty());
        Write(File("a a.wav"), Wav(2205));
    }
    void TearDown() override {
        ReleaseSource(&src), ReleaseGameSources(), StopSound(), SoundReset();
        LogSetPath(nullptr), LogReset();
    }
    int Load(const Entries& entries) {
        Write(File("list.txt"), ListText(entries));
        return LoadPackWAV(soundBank, File("list.txt").c_str());
    }
    // Three short effects under 1..3, one-second ones under 4 and the loops' 10 and 11; sound on.
    void LoadStandard() {
        const std::string a = File("a a.wav"), l = File("long.wav");
        Write(l, Wav(22050));
        ASSERT_EQ(Load({{"1", a}, {"2", a}, {"3", a}, {"4", l}, {"10", l}, {"11", l}}), 1);
        soundOn = 1;
        ASSERT_EQ(CreateSource(&src), 1);
    }
};

}  // namespace

TEST(SoundList, ParsesEntriesByTheLineRules) {
    // names: "" for an entry without a name line
    struct Case { const char* what; std::string text; bool complete; std::vector<int> ids; std::vector<std::string> names; };
    const Case cases[] = {
        {"rest of number lines ignored", "t\n2 entries\n7 strike\na.wav\n\n8 knock\nb.wav\n", true, {7, 8}, {"a.wav", "b.wav"}},
        {"crlf and trimmed names", "t\r\n1\r\n3\r\n \t dir/c.wav\t \r\n//\r\n", true, {3}, {"dir/c.wav"}},
        {"ids clamped", "t\n3\n-4\na\n.\n301\nb\n.\n99999\nc\n.\n", true, {0, 300, 300}, {"a", "b", "c"}},
        {"last separator may be missing", "t\n1\n5\ne.wav", true, {5}, {"e.wav"}},
        {"negative count is zero", "t\n-3\n1\na\n.\n", true, {}, {}},
        {"empty file", "", false, {}, {}},
        {"count not a number", "t\nmany\n1\na\n.\n", false, {}, {}},
        {"fewer entries than promised", "t\n3\n1\na\n.\n2\nb\n.\n", false, {1, 2}, {"a", "b"}},
        {"id without a name line", "t\n2\n1\na\n.\n2", false, {1, 2}, {"a", ""}},
        {"id not a number", "t\n2\n1\na\n.\nx\nb\n.\n", false, {1}, {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundList l = ParseSoundList(Bytes(c.text));
        EXPECT_EQ(l.complete, c.complete);
        ASSERT_EQ(l.entries.size(), c.ids.size());
        for (std::size_t i = 0; i < c.ids.size(); ++i)
            EXPECT_TRUE(l.entries[i].id == c.ids[i] && l.entries[i].hasName == !c.names[i].empty() && l.entries[i].name == c.names[i]) << i;
    }
    std::string big = "t\n5000\n";
    for (int i = 0; i < 400; ++i) big += std::to_string(i) + "\nf\n.\n";
    SoundList l = ParseSoundList(Bytes(big));
    EXPECT_TRUE(l.complete && l.entries.size() == 301u);   // the count is cut to the bank
}

TEST(WavSamples, WholeSamplesAfterTheHeaderAndNothingOutside) {
    const std::pair<std::size_t, std::size_t> cases[] = {{0, 0}, {43, 0}, {44, 0}, {45, 0}, {46, 2}, {47, 2}, {1045, 1000}};
    for (auto [fileSize, samplesBytes] : cases) {
        std::vector<std::uint8_t> file(fileSize, 0x11);
        auto s = WavSampleBytes(file);
        EXPECT_TRUE(s.size() == samplesBytes && (s.empty() || s.data() == file.data() + 44)) << fileSize;
    }
}

TEST(SoundFiles, EveryEffectIsCanonicalMono16At22050WithoutClipping) {
    const char* env = std::getenv("BD_RUNTIME_DIR");
    std::string runtime = env ? std::string(env) + "/" : "";
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(ReadWholeFile((runtime + kSoundListPath).c_str(), bytes), FileStatus::Ok);
    SoundList list = ParseSoundList(bytes);
    ASSERT_TRUE(list.complete);
    std::set<int> ids;
    double quietest = 1, loudest = 0;
    for (const SoundListEntry& e : list.entries) {
        SCOPED_TRACE(e.name);
        EXPECT_TRUE(ids.insert(e.id).second) << "repeated id";
        std::vector<std::uint8_t> b;
        ASSERT_EQ(ReadWholeFile((runtime + e.name).c_str(), b, kSoundFileMaxBytes), FileStatus::Ok);
        ASSERT_GT(b.size(), 44u + 2 * 22050 / 50);   // at least 20 ms
        // The canonical header: RIFF, fmt of 16 bytes, PCM, mono, 22050 Hz, 16 bits, then data.
        const auto canonical = Wav(std::uint32_t(b.size() - 44) / 2);
        EXPECT_TRUE(std::equal(b.begin(), b.begin() + 44, canonical.begin()));
        std::vector<double> s;
        for (std::size_t i = 44; i + 1 < b.size(); i += 2) s.push_back(std::int16_t(b[i] | b[i + 1] << 8) / 32768.0);
        double peak = 0, maxStep = 0, sum = 0, loudestWindow = 0;
        const std::size_t w = 1102;   // 50 ms windows for the level
        for (std::size_t i = 0; i < s.size(); ++i) {
            peak = std::max(peak, std::fabs(s[i]));
            if (i) maxStep = std::max(maxStep, std::fabs(s[i] - s[i - 1]));
            sum += s[i] * s[i] - (i >= w ? s[i - w] * s[i - w] : 0);
            loudestWindow = std::max(loudestWindow, sum);
        }
        EXPECT_TRUE(peak > 0.05 && peak < 0.95) << "neither silent nor clipped, some headroom: " << peak;
        if (e.id >= 10) { EXPECT_LE(std::fabs(s.back() - s.front()), maxStep) << "loops are seamless"; continue; }
        EXPECT_LT(std::max(std::fabs(s.front()), std::fabs(s.back())), 0.002) << "a click at an end";
        EXPECT_LT(s.size(), 22050u) << "effects stay under a second";
        const double rms = std::sqrt(loudestWindow / w);
        quietest = std::min(quietest, rms), loudest = std::max(loudest, rms);
    }
    for (int id = 1; id <= 9; ++id) EXPECT_TRUE(ids.count(id)) << "effect " << id << " missing";
    EXPECT_LT(20 * std::log10(loudest / quietest), 8.0) << "levels matched";
}

// Ids are clamped; a repeated one ends the load (buffers made before it stay
// until StopSound); missing or broken files give empty buffers and loading goes on.
TEST_F(SoundAl, LoadingRules) {
    const std::string a = File("a a.wav");
    Write(File("odd.wav"), std::vector<std::uint8_t>(44 + 7, 7));
    Write(File("huge.wav"), std::vector<std::uint8_t>{});
    fs::resize_file(File("huge.wav"), kSoundFileMaxBytes + 1);   // sparse: never read into memory
    // sizes: id and buffer bytes, -1 for no buffer
    const struct Case { Entries list; int result; std::vector<std::pair<int, ALint>> sizes; } cases[] = {
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
    std::ifstream log(logPath);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(log), {}).find("sound file too large"), std::string::npos);
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
    SetSourceGain(&quiet, 0.25f), SetSourcePitch(&quiet, 0.5f), SetSourceLooping(&quiet, 1);
    PlaySound(&quiet, 3, 0, 0.5f, 1.0f, 1.0f, 0);
    EXPECT_EQ(SourceState(&quiet), SRC_NONE);
    EXPECT_EQ(std::tuple(SourceF(quiet, AL_GAIN), SourceF(quiet, AL_PITCH), Attached(quiet), SourceI(quiet, AL_LOOPING)),
              std::tuple(1.0f, 1.0f, 0u, AL_FALSE)) << "untouched while sound is off";
    SetSourceRelative(&quiet, 1);   // these two only ask for a valid source
    EXPECT_EQ(SourceI(quiet, AL_SOURCE_RELATIVE), AL_TRUE);
    EXPECT_TRUE(PlayIfIdle(&quiet, 1) == 1 && PlayIfIdle(&fresh, 1) == 0);
    ReleaseSource(&quiet);
    std::uint32_t old = src;
    for (int twice = 0; twice < 2; ++twice) ReleaseSource(&src);
    EXPECT_TRUE(src == 0u && !alIsSource(old));
}

// Music and wind loop on sources of their own; M silences everything, M
// again brings the loops back.
TEST_F(SoundAl, MusicWindAndTheSoundSwitch) {
    LoadStandard();
    MusicReset(), MusicStart();
    ASSERT_TRUE(musicSource && windSource && musicSource != windSource);
    MusicStep(0, 5000, 5000, 1, 0, 0);   // far from the forest: music only
    EXPECT_TRUE(SourceIsPlaying(&musicSource) && !SourceIsPlaying(&windSource));
    EXPECT_EQ(Attached(musicSource), soundBank.buffers[kMusicEffect]);
    MusicStep(0, 100, 0, 1, 0, 0);   // near: the wind joins
    EXPECT_TRUE(SourceIsPlaying(&windSource) && Attached(windSource) == soundBank.buffers[kWindEffect]);
    MusicStep(1, 100, 0, 1, 0, 0);   // M: everything off
    PlaySound(&src, 1, 0, 1, 1, 1, 0);
    EXPECT_TRUE(soundMuted && !SourceIsPlaying(&musicSource) && !SourceIsPlaying(&windSource) && !SourceIsPlaying(&src));
    EXPECT_EQ(PlayIfIdle(&src, 1), 0);
    MusicStep(1, 100, 0, 1, 0, 0);
    EXPECT_TRUE(SourceIsPlaying(&musicSource) && SourceIsPlaying(&windSource));
    MusicStop();
}

// StartSound reads the list from the working directory; a bad list leaves
// the game silent, with a box, and what it loaded freed.
TEST(StartSound, ABadListLeavesTheGameSilent) {
    GameDir dir("sound_start", {}, false);
    Write(kSoundListPath, ListText({{"1", "a.wav"}, {"1", "a.wav"}}));   // a repeated id
    SoundReset(), ScriptReset();
    StartSound();
    EXPECT_TRUE(soundOn == 0 && soundBank.buffers[1] == 0);
    ASSERT_EQ(ScriptBoxes().size(), 1u);
    EXPECT_EQ(ScriptBoxes()[0].text, "not LoadPackWAV");
    ReleaseGameSources(), StopSound(), SoundReset();
}
