// The sound list parser and WAV sample extraction on bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/sound.h"
#include "sound/music.h"
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
