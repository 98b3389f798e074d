// Current directory: the same POSIX calls for both backends.
#include <cstring>
#include <unistd.h>

#include "platform/platform.h"

int PlatGetCurrentDirectory(char* buffer, int bufferSize) {
    if (!buffer || bufferSize < 2) return 0;
    if (!getcwd(buffer, static_cast<std::size_t>(bufferSize))) {
        buffer[0] = 0;
        return 0;
    }
    return static_cast<int>(std::strlen(buffer));
}

int PlatSetCurrentDirectory(const char* path) { return path && chdir(path) == 0 ? 1 : 0; }
