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
        EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
        EXPECT_EQ(U32(b, 4), b.size() - 8);
        EXPECT_EQ(std::memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
        const std::pair<std::size_t, std::uint32_t> fmt[] = {{16, 16}, {28, 44100}, {24, 22050}};
        for (auto [at, v] : fmt) EXPECT_EQ(U32(b, at), v) << at;
        EXPECT_EQ(U16(b, 20), 1);   // PCM
        EXPECT_EQ(U16(b, 22), 1);   // mono
        EXPECT_EQ(U16(b, 32), 2);
        EXPECT_EQ(U16(b, 34), 16);
        EXPECT_EQ(std::memcmp(b.data() + 36, "data", 4), 0);
        EXPECT_EQ(U32(b, 40), b.size() - 44);

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
