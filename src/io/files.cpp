// Whole-file reads and safe whole-file writes.
#include "io/files.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

static int injectedFailureCountdown = 0;

void InjectWriteFailureAfter(int writes) { injectedFailureCountdown = writes; }

FileStatus ReadWholeFile(const char* path, std::vector<std::uint8_t>& out, std::size_t maxBytes) {
    out.clear();
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return FileStatus::Missing;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        return FileStatus::ReadError;
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        std::fclose(f);
        return FileStatus::TooLarge;
    }
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = out.empty() ? 0 : std::fread(out.data(), 1, out.size(), f);
    bool error = std::ferror(f) != 0;
    std::fclose(f);
    if (error) {
        out.clear();
        return FileStatus::ReadError;
    }
    out.resize(got);  // the file may have shrunk since stat
    return FileStatus::Ok;
}

static bool WriteChunk(std::FILE* f, const std::uint8_t* p, std::size_t n) {
    if (injectedFailureCountdown > 0 && --injectedFailureCountdown == 0) return false;
    return std::fwrite(p, 1, n, f) == n;
}

FileStatus WriteFileSafely(const char* path, std::span<const std::uint8_t> bytes) {
    std::string temp = std::string(path) + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return FileStatus::WriteError;
    bool ok = true;
    constexpr std::size_t kChunk = 64 * 1024;
    for (std::size_t off = 0; ok && off < bytes.size(); off += kChunk) {
        std::size_t n = bytes.size() - off < kChunk ? bytes.size() - off : kChunk;
        ok = WriteChunk(f, bytes.data() + off, n);
    }
    if (ok) ok = std::fflush(f) == 0;
    if (std::fclose(f) != 0) ok = false;
    if (ok) ok = std::rename(temp.c_str(), path) == 0;
    if (!ok) {
        std::remove(temp.c_str());
        return FileStatus::WriteError;
    }
    return FileStatus::Ok;
}

bool FileExists(const char* path) {
    struct stat st {};
    return stat(path, &st) == 0;
}

bool MakeDirectory(const char* path) {
    if (mkdir(path, 0755) == 0) return true;
    struct stat st {};
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}
