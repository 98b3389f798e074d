// Helpers shared by the sound tests: a scratch folder, WAV files and lists.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace soundtest {

namespace fs = std::filesystem;

struct ScratchDir {
    fs::path path;
    explicit ScratchDir(const std::string& tag)
        : path(fs::temp_directory_path() / ("bd_sound_" + tag + "_" + std::to_string(getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScratchDir() { std::error_code ec; fs::remove_all(path, ec); }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// A canonical 16-bit mono 22050 Hz WAV holding a tone.
inline std::vector<std::uint8_t> ToneWav(double seconds, double hz = 440.0) {
    int n = static_cast<int>(seconds * 22050);
    std::vector<std::uint8_t> b;
    b.reserve(44 + 2 * static_cast<std::size_t>(n));
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i))); };
    auto u16 = [&](std::uint16_t v) { b.push_back(v & 0xFF); b.push_back(static_cast<std::uint8_t>(v >> 8)); };
    auto tag = [&](const char* t) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(t[i])); };
    tag("RIFF"); u32(36 + 2 * n); tag("WAVE"); tag("fmt "); u32(16); u16(1); u16(1);
    u32(22050); u32(44100); u16(2); u16(16); tag("data"); u32(2 * n);
    for (int i = 0; i < n; ++i)
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(6.2831853 * hz * i / 22050))));
    return b;
}

inline std::string ListText(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string t = "sounds\n" + std::to_string(entries.size()) + "\n";
    for (auto& [id, name] : entries) t += id + "\n" + name + "\n--\n";
    return t;
}

}  // namespace soundtest
