// What the game really plays: OpenAL Soft's wave writer captures the mix
// of effect 4 at a fixed pitch to a file, read back after the device closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <thread>

#include "io/files.h"
#include "platform/platform.h"
#include "sound/sound_al.h"
#include "sound/sound_list.h"
#include "sound_test_util.h"

using namespace soundtest;

namespace {

struct Capture {
    int channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> frames;   // interleaved
};

// The writer puts its fmt chunk first; the data chunk runs to the end.
bool ReadCapture(const std::string& path, Capture& c) {
    std::vector<std::uint8_t> b;
    if (ReadWholeFile(path.c_str(), b) != FileStatus::Ok || b.size() < 36) return false;
    if (std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVEfmt ", 8)) return false;
    c.channels = b[22] | b[23] << 8;
    c.rate = b[24] | b[25] << 8 | b[26] << 16 | b[27] << 24;
    c.bits = b[34] | b[35] << 8;
    const char tag[] = "data";
    auto data = std::search(b.begin() + 36, b.end(), tag, tag + 4);
    if (b.end() - data < 8) return false;
    c.frames.resize(static_cast<std::size_t>(b.end() - data - 8) / 2);
    std::memcpy(c.frames.data(), &*(data + 8), c.frames.size() * 2);
    return c.channels > 0 && !c.frames.empty();
}

// First and last index above -40 dB of the peak; {-1, -1} when all silent.
std::pair<long, long> LoudSpan(const std::vector<std::int16_t>& v) {
    double peak = 0;
    for (auto x : v) peak = std::max(peak, std::abs(static_cast<double>(x)));
    long first = -1, last = -1;
    for (long i = 0; i < static_cast<long>(v.size()); ++i)
        if (std::abs(static_cast<double>(v[i])) > peak * 0.01 && peak > 1000) {
            if (first < 0) first = i;
            last = i;
        }
    return {first, last};
}

}  // namespace

TEST(SoundWave, EffectFourIsHeardForItsWholeLength) {
    const char* runtime = std::getenv("BD_RUNTIME_DIR");
    ASSERT_NE(runtime, nullptr);
    ScratchDir dir("wave");
    std::string capturePath = dir.File("capture.wav");
    WriteText(dir.File("alsoft.conf"),
              "[general]\ndrivers=wave\nfrequency=44100\nchannels=stereo\nsample-type=int16\nhrtf=false\n"
              "[wave]\nfile=" + capturePath + "\n");
    // before the library's first call, which reads its configuration once
    setenv("ALSOFT_CONF", dir.File("alsoft.conf").c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);

    fs::path old = fs::current_path();
    fs::current_path(runtime);
    SoundReset();
    StartSound();
    fs::current_path(old);
    ASSERT_EQ(soundOn, 1) << "the generated effect list must load on the wave device";
    SetupGameSources();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));   // silence before
    PlaySound(&sndSource1, 4, 0, 0.8f, 1.0f, 1.0f, 0);
    for (int i = 0; i < 300 && SourceIsPlaying(&sndSource1); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(SourceIsPlaying(&sndSource1));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));   // silence after
    ReleaseGameSources();
    StopSound();
    SoundReset();

    Capture cap;
    ASSERT_TRUE(ReadCapture(capturePath, cap));
    EXPECT_EQ(cap.channels, 2);
    EXPECT_EQ(cap.rate, 44100);
    EXPECT_EQ(cap.bits, 16);

    std::vector<std::uint8_t> file;
    ASSERT_EQ(ReadWholeFile((std::string(runtime) + "/uni_files/res/zvu/e04_strike.wav").c_str(), file),
              FileStatus::Ok);
    auto pcm = WavSampleBytes(file);
    std::vector<std::int16_t> effect(pcm.size() / 2);
    std::memcpy(effect.data(), pcm.data(), pcm.size());
    auto [e0, e1] = LoudSpan(effect);
    auto [c0, c1] = LoudSpan(cap.frames);
    ASSERT_GE(c0, 0) << "the capture is silent";
    double effectSeconds = (e1 - e0) / 22050.0, captureSeconds = (c1 / 2 - c0 / 2) / 44100.0;
    EXPECT_NEAR(captureSeconds, effectSeconds, 0.03) << "effect " << effectSeconds << " s, heard " << captureSeconds;
    // silence around it (the writer renders in real time, so a busy machine
    // may shorten it, never remove it)
    EXPECT_GT(c0 / 2, 44100 / 100);
    EXPECT_LT(c1 / 2, static_cast<long>(cap.frames.size() / 2) - 44100 / 100);
}
