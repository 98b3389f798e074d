// What the game really plays: OpenAL Soft's wave writer captures effect 4 at a
// fixed pitch; the capture, read after the device closed, is stereo at the
// device rate, silent around the effect and loud for the effect's length.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>
#include <thread>
#include <vector>

#include "io/files.h"
#include "sound/sound.h"
#include "sound/sound_al.h"
#include "sound/sound_list.h"

namespace {

struct Loud { double first = -1, last = -1; };   // seconds

// First and last moment above 1 % of the peak of interleaved 16-bit samples.
Loud LoudSpan(std::span<const std::uint8_t> pcm, int channels, int rate) {
    std::vector<int> v(pcm.size() / 2);
    int peak = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        v[i] = std::abs(int(std::int16_t(pcm[2 * i] | pcm[2 * i + 1] << 8)));
        peak = std::max(peak, v[i]);
    }
    Loud l;
    for (std::size_t i = 0; i < v.size() && peak > 1000; ++i)
        if (v[i] * 100 > peak) {
            l.last = double(i / std::size_t(channels)) / rate;
            if (l.first < 0) l.first = l.last;
        }
    return l;
}

void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TEST(SoundWave, EffectFourIsHeardForItsLengthWithSilenceAround) {
    const std::string capture = testing::TempDir() + "capture.wav";
    const std::string conf = testing::TempDir() + "alsoft.conf";
    std::ofstream(conf) << "[general]\ndrivers=wave\nfrequency=44100\nchannels=stereo\nsample-type=int16\n"
                        << "[wave]\nfile=" << capture << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);   // before the library's first call
    setenv("ALSOFT_DRIVERS", "wave", 1);
    SoundReset();
    StartSound();
    ASSERT_EQ(soundOn, 1);
    SetupGameSources();
    Wait(400);   // the writer renders in real time
    PlaySound(&sndSource1, 4, 0, 0.8f, 1.0f, 1.0f, 0);
    for (int i = 0; i < 300 && SourceIsPlaying(&sndSource1); ++i) Wait(10);
    Wait(300);
    ReleaseGameSources();
    StopSound();
    SoundReset();

    std::vector<std::uint8_t> cap, effect;
    ASSERT_EQ(ReadWholeFile(capture.c_str(), cap), FileStatus::Ok);
    ASSERT_EQ(ReadWholeFile("uni_files/res/zvu/e04_strike.wav", effect), FileStatus::Ok);
    ASSERT_TRUE(cap.size() > 44 && std::memcmp(cap.data(), "RIFF", 4) == 0);
    const int channels = cap[22];
    const int rate = cap[24] | cap[25] << 8 | cap[26] << 16;
    EXPECT_EQ(std::pair(channels, rate), std::pair(2, 44100));
    const std::size_t data = std::string_view(reinterpret_cast<const char*>(cap.data()), cap.size()).find("data", 36);
    ASSERT_LT(data + 8, cap.size());
    const std::span<const std::uint8_t> pcm = std::span(cap).subspan(data + 8);
    const Loud heard = LoudSpan(pcm, channels, rate);
    const Loud played = LoudSpan(WavSampleBytes(effect), 1, 22050);
    const double total = double(pcm.size() / 2 / std::size_t(channels)) / rate;
    EXPECT_TRUE(heard.first > 0.1 && total - heard.last > 0.05) << heard.first << " " << heard.last << " of " << total;
    EXPECT_NEAR(heard.last - heard.first, played.last - played.first, 0.03);
}

}  // namespace
