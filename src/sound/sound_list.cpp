// The effect list and WAV sample extraction.
#include "sound/sound_list.h"

#include <algorithm>

#include "io/text_reader.h"
#include "sound/sound.h"

SoundList ParseSoundList(std::span<const std::uint8_t> bytes) {
    SoundList list;
    TextReader r(bytes);
    if (!SkipLine(r)) return list;          // title
    int count = 0;
    if (!r.ReadInt(count)) return list;
    SkipLine(r);
    count = std::clamp(count, 0, kSoundListMaxEntries);
    list.entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SoundListEntry e;
        if (!r.ReadInt(e.id)) return list;   // no id where one was promised
        e.id = std::clamp(e.id, 0, kSoundMaxId);
        std::string line;
        if (SkipLine(r) && r.ReadLine(line)) {
            e.hasName = true;
            e.name = Trim(line);
        }
        list.entries.push_back(std::move(e));
        if (!list.entries.back().hasName) return list;
        if (!SkipLine(r) && i + 1 < count) return list;   // the last separator may be missing
    }
    list.complete = true;
    return list;
}

std::span<const std::uint8_t> WavSampleBytes(std::span<const std::uint8_t> file) {
    if (file.size() <= kWavHeaderBytes) return {};
    std::size_t n = (file.size() - kWavHeaderBytes) & ~std::size_t{1};
    return file.subspan(kWavHeaderBytes, n);
}
