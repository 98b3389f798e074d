// The effects the build synthesised: list, headers, levels and clean ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
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
