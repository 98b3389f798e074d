// What the game really plays: OpenAL Soft's wave writer captures the mix
// of effect 4 at a fixed pitch to a file, read back after the device closed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <cstdlib>
#include <thread>

#include "io/binary.h"
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

// Walks the RIFF chunks; the writer uses an extensible fmt chunk.
bool ReadCapture(const std::string& path, Capture& c) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path.c_str(), bytes) != FileStatus::Ok || bytes.size() < 12) return false;
    if (std::memcmp(bytes.data(), "RIFF", 4) || std::memcmp(bytes.data() + 8, "WAVE", 4)) return false;
    ByteReader r(std::span<const std::uint8_t>(bytes).subspan(12));
    while (r.Has(8)) {
        char id[4] = {};
        std::int32_t size = 0;
        r.ReadBytes(id, 4);
        r.ReadI32(size);
        if (size < 0 || !r.Has(static_cast<std::size_t>(size))) {
            if (std::memcmp(id, "data", 4) == 0) size = static_cast<std::int32_t>(r.Remaining());
            else return false;
        }
        std::span<const std::uint8_t> body = r.bytes.subspan(r.pos, static_cast<std::size_t>(size));
        if (std::memcmp(id, "fmt ", 4) == 0 && size >= 16) {
            c.channels = body[2] | body[3] << 8;
            c.rate = body[4] | body[5] << 8 | body[6] << 16 | body[7] << 24;
            c.bits = body[14] | body[15] << 8;
        } else if (std::memcmp(id, "data", 4) == 0) {
            c.frames.resize(body.size() / 2);
            std::memcpy(c.frames.data(), body.data(), c.frames.size() * 2);
        }
        r.Skip(static_cast<std::size_t>(size + (size & 1)));
    }
    return c.channels > 0 && !c.frames.empty();
}

// First and last index whose magnitude passes threshold; {-1, -1} when none.
template <typename T>
std::pair<long, long> LoudSpan(const std::vector<T>& v, double threshold) {
    long first = -1, last = -1;
    for (long i = 0; i < static_cast<long>(v.size()); ++i)
        if (std::abs(static_cast<double>(v[i])) > threshold) {
            if (first < 0) first = i;
            last = i;
        }
    return {first, last};
}

template <typename T>
double PeakOf(const std::vector<T>& v) {
    double p = 0;
    for (T x : v) p = std::max(p, std::abs(static_cast<double>(x)));
    return p;
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

    // the effect itself, as the build wrote it
    std::vector<std::uint8_t> file;
    ASSERT_EQ(ReadWholeFile((std::string(runtime) + "/uni_files/res/zvu/e04_strike.wav").c_str(), file),
              FileStatus::Ok);
    auto pcm = WavSampleBytes(file);
    std::vector<std::int16_t> effect(pcm.size() / 2);
    std::memcpy(effect.data(), pcm.data(), pcm.size());

    // non-silent span: everything above -40 dB of each one's own peak
    auto [e0, e1] = LoudSpan(effect, PeakOf(effect) * 0.01);
    double effectSeconds = (e1 - e0) / 22050.0;
    double capturePeak = PeakOf(cap.frames);
    ASSERT_GT(capturePeak, 1000.0) << "the capture is silent";
    auto [c0, c1] = LoudSpan(cap.frames, capturePeak * 0.01);
    double captureSeconds = (c1 / 2 - c0 / 2) / 44100.0;
    EXPECT_NEAR(captureSeconds, effectSeconds, 0.03)
        << "effect " << effectSeconds << " s, heard " << captureSeconds << " s";
    // silence around it (the writer renders in real time, so a busy machine
    // may shorten it, never remove it)
    long frames = static_cast<long>(cap.frames.size() / 2);
    EXPECT_GT(c0 / 2, 44100 / 100);
    EXPECT_LT(c1 / 2, frames - 44100 / 100);
    // both channels carry it (the source is straight ahead)
    double left = 0, right = 0;
    for (long i = c0 / 2; i <= c1 / 2; ++i) {
        left += std::abs(cap.frames[2 * i]);
        right += std::abs(cap.frames[2 * i + 1]);
    }
    EXPECT_NEAR(left / right, 1.0, 0.1);
}
