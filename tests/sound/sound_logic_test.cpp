// The sound list parser and WAV sample extraction on bytes, the effects the
// build synthesised (list, headers, levels and clean ends), music and wind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "io/files.h"
#include "sound/music.h"
#include "sound/sound.h"
#include "sound/sound_list.h"

static std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(SoundList, ParsesEntriesByTheLineRules) {
    struct Case {
        const char* what;
        std::string text;
        bool complete;
        std::vector<int> ids;
        std::vector<std::string> names;   // "" for an entry without a name line
    } const cases[] = {
        {"rest of number lines ignored", "t\n2 entries\n7 strike\na.wav\n\n8 knock\nb.wav\n", true,
         {7, 8}, {"a.wav", "b.wav"}},
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
    const std::pair<std::size_t, std::size_t> cases[] = {{0, 0}, {43, 0}, {44, 0}, {45, 0}, {46, 2}, {47, 2},
                                                         {1045, 1000}};
    for (auto [fileSize, samplesBytes] : cases) {
        std::vector<std::uint8_t> file(fileSize, 0x11);
        auto s = WavSampleBytes(file);
        EXPECT_TRUE(s.size() == samplesBytes && (s.empty() || s.data() == file.data() + 44)) << fileSize;
    }
}

// Music and wind loop on sources of their own; M silences everything.
namespace {
std::vector<std::pair<std::uint32_t, int>> g_played;   // source, effect
int g_nextSource = 10;
std::uint32_t g_playing[64];
const SoundBackend kRecorder = {
    [] { return false; },
    [](std::uint32_t* s) { *s = std::uint32_t(g_nextSource++); return 1; },
    [](std::uint32_t* s) { *s = 0; },
    [](std::uint32_t*, int) {}, [](std::uint32_t*, int) {}, [](std::uint32_t*, float, float, float) {},
    [](std::uint32_t*, float) {}, [](std::uint32_t*, float) {}, [](std::uint32_t*, int) {},
    [](std::uint32_t* s) { return *s < 64 && g_playing[*s] ? int(SRC_PLAYING) : int(SRC_STOPPED); },
    [](std::uint32_t* s) { if (*s < 64) g_playing[*s] = 0; },
    [](std::uint32_t* s, int id, int, float, float, float, int) {
        g_played.push_back({*s, id});
        if (*s < 64) g_playing[*s] = 1;
    },
    [](std::uint32_t*, int) { return 1; },
};
}  // namespace

TEST(Music, LoopsOnTheirOwnSourcesAndTheSwitchSilences) {
    SoundReset();
    MusicReset();
    SoundInstallBackend(&kRecorder);
    soundOn = 1;
    MusicStart();
    ASSERT_NE(musicSource, 0u);
    ASSERT_NE(windSource, musicSource);
    MusicStep(0, 5000, 5000, 1, 0, 0);               // far from the forest: music only
    MusicStep(0, 5000, 5000, 1, 0, 0);               // still playing: not restarted
    ASSERT_EQ(g_played.size(), 1u);
    EXPECT_EQ(g_played[0], std::make_pair(musicSource, kMusicEffect));
    MusicStep(0, 100, 0, 1, 0, 0);                   // near: the wind joins
    ASSERT_EQ(g_played.size(), 2u);
    EXPECT_EQ(g_played[1], std::make_pair(windSource, kWindEffect));
    MusicStep(1, 100, 0, 1, 0, 0);                   // M: everything off
    EXPECT_EQ(soundMuted, 1);
    PlaySound(&sndSource1, 4, 0, 1, 1, 1, 0);
    EXPECT_EQ(PlayIfIdle(&sndSource1, 1), 0);
    EXPECT_EQ(g_played.size(), 2u);
    MusicStep(1, 100, 0, 1, 0, 0);                   // M again: the loops come back
    EXPECT_EQ(g_played.size(), 4u);
    SoundReset();
    MusicReset();
}

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

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
        const std::uint32_t head[11] = {0x46464952, std::uint32_t(b.size() - 8), 0x45564157, 0x20746D66, 16,
                                        1 | 1 << 16, 22050, 44100, 2 | 16 << 16, 0x61746164, std::uint32_t(b.size() - 44)};
        for (int i = 0; i < 11; ++i) EXPECT_EQ(U32(b, 4 * std::size_t(i)), head[i]) << "header word " << i;

        std::vector<double> s;
        for (std::size_t i = 44; i + 1 < b.size(); i += 2) s.push_back(static_cast<std::int16_t>(U16(b, i)) / 32768.0);
        double peak = 0, maxStep = 0, sum = 0, loudestWindow = 0;
        const std::size_t w = 1102;   // 50 ms windows for the level
        for (std::size_t i = 0; i < s.size(); ++i) {
            peak = std::max(peak, std::fabs(s[i]));
            if (i) maxStep = std::max(maxStep, std::fabs(s[i] - s[i - 1]));
            sum += s[i] * s[i] - (i >= w ? s[i - w] * s[i - w] : 0);
            loudestWindow = std::max(loudestWindow, sum);
        }
        EXPECT_LT(peak, 0.95) << "no clipping, some headroom";
        EXPECT_GT(peak, 0.05) << "not silent";
        if (e.id >= 10) {   // loops: seamless
            EXPECT_LE(std::fabs(s.back() - s.front()), maxStep);
            continue;
        }
        EXPECT_LT(std::fabs(s.front()), 0.002) << "click at the start";
        EXPECT_LT(std::fabs(s.back()), 0.002) << "click at the end";
        EXPECT_LT(s.size(), 22050u) << "effects stay under a second";
        double rms = std::sqrt(loudestWindow / w);
        quietest = std::min(quietest, rms);
        loudest = std::max(loudest, rms);
    }
    for (int id = 1; id <= 9; ++id) EXPECT_TRUE(ids.count(id)) << "effect " << id << " missing";
    EXPECT_LT(20 * std::log10(loudest / quietest), 8.0) << "levels matched";
}
