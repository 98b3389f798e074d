// Shared by the save tests: a whole file's bytes read and written, and the
// sanitizer build's mark (it runs the slow cases with fewer rounds).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BD_SAVE_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(BD_SAVE_SANITIZED)
#define BD_SAVE_SANITIZED 1
#endif

using Bytes = std::vector<std::uint8_t>;

// Empty for a missing file or a directory.
inline Bytes ReadFile(const std::filesystem::path& p) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(p, ec);
    Bytes b(ec ? 0 : size);
    std::ifstream(p, std::ios::binary).read(reinterpret_cast<char*>(b.data()), std::streamsize(b.size()));
    return b;
}
inline void WriteFile(const std::filesystem::path& p, const Bytes& b) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}
