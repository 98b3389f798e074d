// The run log "uni_files/log.txt": appended, opened and closed per write so
// it is complete on disk even if the program is killed; capped per run.
#pragma once

inline constexpr int LOG_MAX_WRITES = 3500;
extern int logWrites;

// printf-style append; a silent no-op when the file cannot be opened or the
// cap is reached. No line feed is added.
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Tests point the log elsewhere; nullptr restores "uni_files/log.txt".
void LogSetPath(const char* path);
void LogReset();
