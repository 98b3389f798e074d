// Sound: list parsing, loading every effect, and the per-call cost of the
// play operations the game runs during frames (OpenAL Soft's null device).
#include <benchmark/benchmark.h>

#include <AL/al.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/random.h"
#include "io/files.h"
#include "sound/sound_al.h"
#include "sound/sound_list.h"

namespace {

// The null device, set before OpenAL reads its configuration.
const bool nullDevice = [] { return setenv("ALSOFT_DRIVERS", "null", 1) == 0; }();

std::string ListPath() { return std::string(BD_RUNTIME_DIR) + "/" + kSoundListPath; }

// Runs fn with the runtime folder as working directory (the list's names are relative to it).
template <typename Fn>
void InRuntime(Fn fn) {
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(BD_RUNTIME_DIR);
    fn();
    std::filesystem::current_path(old);
}

void BM_ParseSoundList(benchmark::State& state) {
    std::vector<std::uint8_t> bytes;
    ReadWholeFile(ListPath().c_str(), bytes);
    for (auto _ : state) benchmark::DoNotOptimize(ParseSoundList(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseSoundList);

void BM_LoadPackWAV(benchmark::State& state) {
    (void)nullDevice;
    SoundReset();
    if (!InitOpenAL()) {
        state.SkipWithError("no null device");
        return;
    }
    InRuntime([&] {
        for (auto _ : state) {
            benchmark::DoNotOptimize(LoadPackWAV(soundBank, kSoundListPath));
            state.PauseTiming();
            for (std::uint32_t& b : soundBank.buffers) {
                if (b) alDeleteBuffers(1, &b);
                b = 0;
            }
            state.ResumeTiming();
        }
    });
    StopSound();
    SoundReset();
}
BENCHMARK(BM_LoadPackWAV)->Unit(benchmark::kMillisecond);

class Playing : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override {
        SoundReset();
        InRuntime([] { StartSound(); });
        SetupGameSources();
        RandSeed(1);
    }
    void TearDown(const benchmark::State&) override {
        ReleaseGameSources();
        StopSound();
        SoundReset();
    }
};

// The strike's call: effect 4, pitch 0.9..1.0 in 10 steps.
BENCHMARK_F(Playing, PlaySoundStrike)(benchmark::State& state) {
    for (auto _ : state) PlaySound(&sndSource1, 4, 0, 0.8f, 0.9f, 1.0f, 10);
}

// A button's click on a source that is still playing: the common case.
BENCHMARK_F(Playing, PlayIfIdleWhilePlaying)(benchmark::State& state) {
    PlaySound(&sndSource2, 10, 1, 0.5f, 1.0f, 1.0f, 0);   // the music loop keeps it busy
    for (auto _ : state) benchmark::DoNotOptimize(PlayIfIdle(&sndSource2, soundOn));
}

// With sound off every call is one check.
void BM_PlaySoundSilent(benchmark::State& state) {
    SoundReset();
    std::uint32_t s = 0;
    for (auto _ : state) PlaySound(&s, 4, 0, 0.8f, 0.9f, 1.0f, 10);
}
BENCHMARK(BM_PlaySoundSilent);

}  // namespace
