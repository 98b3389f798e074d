// The run log.
#include "app/log.h"

#include <cstdarg>
#include <cstdio>

int logWrites;
static const char* const kDefaultLogPath = "uni_files/log.txt";
static const char* logPath = kDefaultLogPath;

void LogSetPath(const char* path) { logPath = path ? path : kDefaultLogPath; }
void LogReset() {
    logWrites = 0;
    logPath = kDefaultLogPath;
}

void LogPrintf(const char* format, ...) {
    if (logWrites >= LOG_MAX_WRITES) return;
    std::FILE* f = std::fopen(logPath, "a");
    if (!f) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    if (++logWrites == LOG_MAX_WRITES) std::fprintf(f, "\n(%d) so mach msgs and log-sys close ...\n", logWrites);
    std::fclose(f);
}
