// Desktop file dialogs: zenity run as a child process.
#pragma once

// Runs argv (argv[0] looked up in PATH) with stdout captured and stderr
// silenced; on exit status 0 the first output line is the chosen path.
// Returns 1 and fills buffer with the path's bytes as the file system gave
// them; 0 on cancel, failure to start, an empty answer, or a path that does
// not fit in bufferSize bytes with its terminating zero (buffer untouched).
int RunFileDialog(const char* const* argv, char* buffer, int bufferSize);

// The zenity command line of the open (save = 0) or save dialog, starting at
// startName; fills argv (at least 8 entries) and returns it.
const char* const* ZenityArgs(int save, const char* startName, const char** argv, char* filenameArg,
                              int filenameArgSize);
