// Whole-file reads and safe whole-file writes.
//
// Every file is read completely into memory inside one call (with a size
// cap, so a huge or hostile file is refused before it is read) and parsed
// from the byte span. Writes go to a temporary file beside the target that
// replaces it only when every byte and the close succeeded, so a failed save
// never destroys the old file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class FileStatus { Ok, Missing, TooLarge, ReadError, WriteError };

// Default cap for data files (text lists, pictures, sounds, locations).
inline constexpr std::size_t kMaxDataFileBytes = 64u << 20;

FileStatus ReadWholeFile(const char* path, std::vector<std::uint8_t>& out,
                         std::size_t maxBytes = kMaxDataFileBytes);

FileStatus WriteFileSafely(const char* path, std::span<const std::uint8_t> bytes);

// Test hook: when > 0, the n-th following write made by WriteFileSafely
// fails (counted in calls of the low-level write), to prove the old file
// survives. 0 turns it off.
void InjectWriteFailureAfter(int writes);

bool FileExists(const char* path);
bool MakeDirectory(const char* path);  // true when it exists afterwards
