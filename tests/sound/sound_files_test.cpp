// The effects the build synthesised: list, headers, levels and clean ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "io/files.h"
#include "sound/sound_list.h"

namespace {

std::string Runtime() {
    const char* r = std::getenv("BD_RUNTIME_DIR");
    return r ? r : "";
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::vector<double> Samples(const std::vector<std::uint8_t>& b) {
    std::vector<double> s;
    for (std::size_t i = 44; i + 1 < b.size(); i += 2)
        s.push_back(static_cast<std::int16_t>(U16(b, i)) / 32768.0);
    return s;
}

// Highest RMS over 50 ms windows.
double LoudestRms(const std::vector<double>& s) {
    const std::size_t w = 1102;
    double sum = 0, best = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        sum += s[i] * s[i];
        if (i >= w) sum -= s[i - w] * s[i - w];
        best = std::max(best, sum);
    }
    return std::sqrt(best / w);
}

struct Loaded {
    SoundList list;
    bool ok = false;
};

Loaded LoadList() {
    Loaded l;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile((Runtime() + "/" + kSoundListPath).c_str(), bytes) != FileStatus::Ok) return l;
    l.list = ParseSoundList(bytes);
    l.ok = true;
    return l;
}

// Loops are the ids the game does not play as one-shot effects.
bool IsLoop(int id) { return id >= 10; }

}  // namespace

TEST(SoundFiles, ListNamesEveryEffectTheGamePlaysOnce) {
    Loaded l = LoadList();
    ASSERT_TRUE(l.ok) << "build the sound_files target first";
    ASSERT_TRUE(l.list.complete);
    std::set<int> ids;
    for (const SoundListEntry& e : l.list.entries) {
        EXPECT_TRUE(ids.insert(e.id).second) << "repeated id " << e.id;
        EXPECT_GE(e.id, 1);
        EXPECT_TRUE(FileExists((Runtime() + "/" + e.name).c_str())) << e.name;
    }
    for (int id = 1; id <= 9; ++id) EXPECT_TRUE(ids.count(id)) << "effect " << id << " missing";
}

TEST(SoundFiles, EveryFileIsCanonicalMono16At22050WithoutClipping) {
    Loaded l = LoadList();
    ASSERT_TRUE(l.ok);
    double quietest = 1, loudest = 0;
    for (const SoundListEntry& e : l.list.entries) {
        SCOPED_TRACE(e.name);
        std::vector<std::uint8_t> b;
        ASSERT_EQ(ReadWholeFile((Runtime() + "/" + e.name).c_str(), b, kSoundFileMaxBytes), FileStatus::Ok);
        ASSERT_GT(b.size(), 44u + 2 * 22050 / 50);   // at least 20 ms
        EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
        EXPECT_EQ(U32(b, 4), b.size() - 8);
        EXPECT_EQ(std::memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(U32(b, 16), 16u);
        EXPECT_EQ(U16(b, 20), 1);        // PCM
        EXPECT_EQ(U16(b, 22), 1);        // mono
        EXPECT_EQ(U32(b, 24), 22050u);
        EXPECT_EQ(U32(b, 28), 44100u);
        EXPECT_EQ(U16(b, 32), 2);
        EXPECT_EQ(U16(b, 34), 16);
        EXPECT_EQ(std::memcmp(b.data() + 36, "data", 4), 0);
        EXPECT_EQ(U32(b, 40), b.size() - 44);
        EXPECT_EQ(b.size() % 2, 0u);

        std::vector<double> s = Samples(b);
        double peak = 0, maxStep = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            peak = std::max(peak, std::fabs(s[i]));
            if (i) maxStep = std::max(maxStep, std::fabs(s[i] - s[i - 1]));
        }
        EXPECT_LT(peak, 0.95) << "no clipping, some headroom";
        EXPECT_GT(peak, 0.05) << "not silent";
        if (IsLoop(e.id)) {
            // seamless: the jump from the last sample to the first is no larger
            // than any step inside the loop
            EXPECT_LE(std::fabs(s.back() - s.front()), maxStep);
        } else {
            EXPECT_LT(std::fabs(s.front()), 0.002) << "click at the start";
            EXPECT_LT(std::fabs(s.back()), 0.002) << "click at the end";
            EXPECT_LT(s.size(), 22050u) << "effects stay under a second";
            double rms = LoudestRms(s);
            quietest = std::min(quietest, rms);
            loudest = std::max(loudest, rms);
        }
    }
    // one-shot effects sit within 8 dB of each other
    EXPECT_LT(20 * std::log10(loudest / quietest), 8.0);
}
