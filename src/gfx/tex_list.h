// The texture list "uni_files/res/pix_start.txt": a title line, the entry
// count, then four lines per entry (comment, slot, file name, mip setting).
// Parsed without GL so it can be tested and fuzzed; the loader in
// textures.cpp uploads the entries in order.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr int kTexSlots = 501;

struct TexListEntry {
    int slot = 0;        // clamped to 0..500
    std::string path;    // trimmed, relative to the working directory
    int mip = 0;
};

struct TexList {
    std::vector<TexListEntry> entries;  // in file order, each slot once
    bool complete = false;  // false: the list stopped at a bad or repeated entry
    int lastSlot = -1;      // slot of the last entry read
};

TexList ParseTexList(std::span<const std::uint8_t> text);
