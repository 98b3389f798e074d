// Desktop file dialogs: zenity run as a child process (fork + exec, no shell,
// so file names are passed as they are).
#include "platform/sdl/file_dialog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

int RunFileDialog(const char* const* argv, char* buffer, int bufferSize) {
    if (!argv || !argv[0] || !buffer || bufferSize < 1) return 0;
    int pipeFd[2];
    if (pipe(pipeFd) != 0) return 0;
    pid_t pid = fork();
    if (pid < 0) {
        close(pipeFd[0]);
        close(pipeFd[1]);
        return 0;
    }
    if (pid == 0) {
        dup2(pipeFd[1], STDOUT_FILENO);
        int devNull = open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            dup2(devNull, STDERR_FILENO);
            dup2(devNull, STDIN_FILENO);
        }
        close(pipeFd[0]);
        close(pipeFd[1]);
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    close(pipeFd[1]);
    // Read the whole answer (a path can be long); keep only what fits a path.
    char answer[4096 + 2];
    std::size_t got = 0;
    bool overflow = false;
    for (;;) {
        char chunk[512];
        ssize_t n = read(pipeFd[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        std::size_t take = static_cast<std::size_t>(n);
        if (got + take > sizeof answer - 1) {
            take = sizeof answer - 1 - got;
            overflow = true;
        }
        std::memcpy(answer + got, chunk, take);
        got += take;
    }
    close(pipeFd[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || overflow) return 0;
    answer[got] = 0;
    char* end = static_cast<char*>(std::memchr(answer, '\n', got));
    std::size_t len = end ? static_cast<std::size_t>(end - answer) : got;
    if (len == 0 || len >= static_cast<std::size_t>(bufferSize)) return 0;
    if (std::memchr(answer, 0, len)) return 0;   // a zero inside a path: not a path
    std::memcpy(buffer, answer, len);
    buffer[len] = 0;
    return 1;
}

const char* const* ZenityArgs(int save, const char* startName, const char** argv, char* filenameArg,
                              int filenameArgSize) {
    int n = 0;
    argv[n++] = "zenity";
    argv[n++] = "--file-selection";
    argv[n++] = save ? "--title=Save" : "--title=Open";
    if (save) {
        argv[n++] = "--save";
        argv[n++] = "--confirm-overwrite";
    }
    argv[n++] = save ? "--file-filter=Any type | *" : "--file-filter=Any file | *";
    if (startName && startName[0]) {
        // A folder needs its trailing slash, or zenity takes it for a file name.
        struct stat st {};
        std::size_t len = std::strlen(startName);
        bool folder = stat(startName, &st) == 0 && S_ISDIR(st.st_mode) && startName[len - 1] != '/';
        std::snprintf(filenameArg, static_cast<std::size_t>(filenameArgSize), "--filename=%s%s", startName,
                      folder ? "/" : "");
        argv[n++] = filenameArg;
    }
    argv[n] = nullptr;
    return argv;
}
