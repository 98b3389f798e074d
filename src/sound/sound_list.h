// The effect list "uni_files/res/zvu_start.txt" and the WAV files it names,
// parsed from byte spans (no device needed, so both can be fuzzed).
//
// List layout: a title line; the number of entries (rest of line ignored,
// more than 301 cut to 301); then three lines per entry: the effect id (rest
// of line ignored, clamped to 0..300), the file name (trimmed of blanks and
// tabs) and one ignored line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr const char* kSoundListPath = "uni_files/res/zvu_start.txt";
inline constexpr int kSoundListMaxEntries = 301;
inline constexpr std::size_t kSoundListMaxBytes = 1u << 20;
// A sound file larger than this is not read into memory (a 16-bit mono
// 22050 Hz effect of this size would last over six minutes).
inline constexpr std::size_t kSoundFileMaxBytes = 16u << 20;
inline constexpr std::size_t kWavHeaderBytes = 44;
inline constexpr int kWavRate = 22050;

struct SoundListEntry {
    int id = 0;              // clamped to 0..300
    bool hasName = false;    // false: the list ended right after the id
    std::string name;        // trimmed
};

struct SoundList {
    std::vector<SoundListEntry> entries;
    // False when the list ended early or was malformed: the entries before the
    // fault are in `entries` (the last one perhaps without a name) and the
    // loader stops with 0 when it gets there.
    bool complete = false;
};

SoundList ParseSoundList(std::span<const std::uint8_t> bytes);

// The samples of a WAV file of the game's one kind: everything after the
// 44-byte header, cut to whole 16-bit samples. Empty when the file is no
// longer than its header. The header itself is not examined.
std::span<const std::uint8_t> WavSampleBytes(std::span<const std::uint8_t> file);
