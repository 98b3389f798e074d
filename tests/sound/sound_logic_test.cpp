// The sound list parser, WAV sample extraction, pitch steps and the
// forwarding layer with no backend or a recording one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/sound.h"
#include "sound/sound_list.h"

static std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

struct ListCase {
    const char* what;
    std::string text;
    bool complete;
    std::vector<int> ids;
    std::vector<std::string> names;   // "" for an entry without a name line
};

TEST(SoundList, ParsesEntriesByTheLineRules) {
    const ListCase cases[] = {
        {"plain", "title\n2\n1\na.wav\n--\n2\nb.wav\n--\n", true, {1, 2}, {"a.wav", "b.wav"}},
        {"rest of number lines ignored", "t\n2 entries\n7 strike\na.wav\n\n8 knock\nb.wav\n", true,
         {7, 8}, {"a.wav", "b.wav"}},
        {"crlf and trimmed names", "t\r\n1\r\n3\r\n \t dir/c.wav\t \r\n//\r\n", true, {3}, {"dir/c.wav"}},
        {"ids clamped", "t\n3\n-4\na\n.\n301\nb\n.\n99999\nc\n.\n", true, {0, 300, 300}, {"a", "b", "c"}},
        {"last separator may be missing", "t\n1\n5\ne.wav", true, {5}, {"e.wav"}},
        {"zero entries", "t\n0\n", true, {}, {}},
        {"negative count is zero", "t\n-3\n1\na\n.\n", true, {}, {}},
        {"empty file", "", false, {}, {}},
        {"title only", "title\n", false, {}, {}},
        {"count not a number", "t\nmany\n1\na\n.\n", false, {}, {}},
        {"fewer entries than promised", "t\n3\n1\na\n.\n2\nb\n.\n", false, {1, 2}, {"a", "b"}},
        {"id without a name line", "t\n2\n1\na\n.\n2", false, {1, 2}, {"a", ""}},
        {"id not a number", "t\n2\n1\na\n.\nx\nb\n.\n", false, {1}, {"a"}},
        {"separator missing mid-list", "t\n2\n1\na", false, {1}, {"a"}},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        SoundList l = ParseSoundList(Bytes(c.text));
        EXPECT_EQ(l.complete, c.complete);
        ASSERT_EQ(l.entries.size(), c.ids.size());
        for (std::size_t i = 0; i < c.ids.size(); ++i) {
            EXPECT_EQ(l.entries[i].id, c.ids[i]);
            EXPECT_EQ(l.entries[i].hasName, !c.names[i].empty());
            EXPECT_EQ(l.entries[i].name, c.names[i]);
        }
    }
}

TEST(SoundList, CountIsCutTo301) {
    std::string text = "t\n5000\n";
    for (int i = 0; i < 400; ++i) text += std::to_string(i) + "\nf\n.\n";
    SoundList l = ParseSoundList(Bytes(text));
    EXPECT_TRUE(l.complete);
    ASSERT_EQ(l.entries.size(), 301u);
    EXPECT_EQ(l.entries.back().id, 300);
}

TEST(WavSamples, WholeSamplesAfterTheHeaderAndNothingOutside) {
    struct Case {
        std::size_t fileSize, samplesBytes;
    } cases[] = {{0, 0}, {1, 0}, {43, 0}, {44, 0}, {45, 0}, {46, 2}, {47, 2}, {48, 4}, {1044, 1000}, {1045, 1000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileSize);
        std::vector<std::uint8_t> file(c.fileSize, 0x11);
        auto s = WavSampleBytes(file);
        EXPECT_EQ(s.size(), c.samplesBytes);
        if (!s.empty()) {
            EXPECT_EQ(s.data(), file.data() + 44);
        }
    }
}

TEST(PitchStep, StepsAreAbovePitchMinUpToPitchMax) {
    // steps 10 from 0.9 to 1.0: 0.91, 0.92 .. 1.0, never 0.9
    for (int r = 0; r < 100; ++r) {
        float p = PitchStep(0.9f, 1.0f, 10, r);
        EXPECT_NEAR(p, 0.9f + 0.01f * (r % 10 + 1), 1e-5f) << r;
        EXPECT_GT(p, 0.905f);
        EXPECT_LE(p, 1.0f + 1e-6f);
    }
    EXPECT_FLOAT_EQ(PitchStep(0.7f, 1.5f, 0, 12345), 0.7f);
    EXPECT_FLOAT_EQ(PitchStep(0.7f, 1.5f, -3, 12345), 0.7f);
    EXPECT_FLOAT_EQ(PitchStep(0.5f, 1.0f, 1, 999), 1.0f);
    float neg = PitchStep(0.9f, 1.0f, 10, -7);
    EXPECT_GT(neg, 0.905f);
    EXPECT_LE(neg, 1.0f + 1e-6f);
}

TEST(SoundApi, WithoutBackendEveryCallIsSilent) {
    SoundReset();
    soundOn = 1;   // even with the flag on, nothing is there to play
    std::uint32_t s = 0;
    EXPECT_TRUE(SoundFailed());
    EXPECT_EQ(CreateSource(&s), 0);
    SetSourceSound(&s, 1);
    PlaySound(&s, 4, 0, 0.8f, 0.9f, 1.0f, 10);
    EXPECT_EQ(PlayIfIdle(&s, 1), 0);
    EXPECT_EQ(SourceState(&s), SRC_NONE);
    EXPECT_FALSE(SourceIsPlaying(&s));
    SetupGameSources();
    EXPECT_EQ(sndSource1 | sndSource2 | sndSource3, 0u);
    ReleaseGameSources();
    EXPECT_EQ(s, 0u);
    SoundReset();
    EXPECT_EQ(soundOn, 0);
    EXPECT_EQ(soundBank.initialised, 1u);
}

// A backend that records what reached it.
namespace {
struct Call {
    std::string op;
    std::uint32_t* source;
    int a;
    float f[3];
};
std::vector<Call> calls;
void Rec(const char* op, std::uint32_t* s, int a = 0, float x = 0, float y = 0, float z = 0) {
    calls.push_back({op, s, a, {x, y, z}});
}
const SoundBackend recorder = {
    [] { Rec("failed", nullptr); return false; },
    [](std::uint32_t* s) { Rec("create", s); *s = 7; return 1; },
    [](std::uint32_t* s) { Rec("release", s); *s = 0; },
    [](std::uint32_t* s, int id) { Rec("sound", s, id); },
    [](std::uint32_t* s, int f) { Rec("relative", s, f); },
    [](std::uint32_t* s, float x, float y, float z) { Rec("position", s, 0, x, y, z); },
    [](std::uint32_t* s, float g) { Rec("gain", s, 0, g); },
    [](std::uint32_t* s, float p) { Rec("pitch", s, 0, p); },
    [](std::uint32_t* s, int l) { Rec("looping", s, l); },
    [](std::uint32_t* s) { Rec("state", s); return static_cast<int>(SRC_PLAYING); },
    [](std::uint32_t* s) { Rec("reset", s); },
    [](std::uint32_t* s, int id, int loop, float g, float lo, float hi, int steps) {
        Rec("play", s, id * 1000 + loop * 100 + steps, g, lo, hi);
    },
    [](std::uint32_t* s, int e) { Rec("idle", s, e); return 1; },
};
}  // namespace

TEST(SoundApi, CallsReachTheInstalledBackendUnchanged) {
    SoundReset();
    calls.clear();
    SoundInstallBackend(&recorder);
    std::uint32_t s = 0;
    EXPECT_FALSE(SoundFailed());
    EXPECT_EQ(CreateSource(&s), 1);
    EXPECT_EQ(s, 7u);
    PlaySound(&s, 4, 1, 0.8f, 0.9f, 1.0f, 10);
    EXPECT_TRUE(SourceIsPlaying(&s));
    EXPECT_EQ(PlayIfIdle(&s, 1), 1);
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[2].op, "play");
    EXPECT_EQ(calls[2].source, &s);
    EXPECT_EQ(calls[2].a, 4110);
    EXPECT_FLOAT_EQ(calls[2].f[0], 0.8f);
    EXPECT_FLOAT_EQ(calls[2].f[1], 0.9f);
    EXPECT_FLOAT_EQ(calls[2].f[2], 1.0f);

    // game start: source n gets effect n, listener-relative, one unit ahead
    calls.clear();
    SetupGameSources();
    ASSERT_EQ(calls.size(), 9u);
    std::uint32_t* sources[3] = {&sndSource1, &sndSource2, &sndSource3};
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(calls[3 * n].op, "sound");
        EXPECT_EQ(calls[3 * n].source, sources[n]);
        EXPECT_EQ(calls[3 * n].a, n + 1);
        EXPECT_EQ(calls[3 * n + 1].op, "relative");
        EXPECT_EQ(calls[3 * n + 1].a, 1);
        EXPECT_EQ(calls[3 * n + 2].op, "position");
        EXPECT_FLOAT_EQ(calls[3 * n + 2].f[2], -1.0f);
    }
    SoundReset();
    EXPECT_EQ(SoundInstalledBackend(), nullptr);
}
