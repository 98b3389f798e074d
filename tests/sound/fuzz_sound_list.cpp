// Fuzz target: the effect list and WAV sample extraction on any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "sound/sound.h"
#include "sound/sound_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    SoundList list = ParseSoundList(bytes);
    if (list.entries.size() > static_cast<std::size_t>(kSoundListMaxEntries)) std::abort();
    for (const SoundListEntry& e : list.entries) {
        if (e.id < 0 || e.id > kSoundMaxId) std::abort();
        if (!e.hasName && !e.name.empty()) std::abort();
    }
    auto pcm = WavSampleBytes(bytes);
    if (pcm.size() % 2 || (!pcm.empty() && pcm.data() + pcm.size() > data + size)) std::abort();
    volatile unsigned sum = 0;
    for (std::uint8_t b : pcm) sum = sum + b;   // every byte must be readable
    return 0;
}
