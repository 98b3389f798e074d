// Frame timing and the shell's global state.
//
// Every game timer is an int of milliseconds counted down by frameDeltaMs
// with Countdown(); frameDeltaMs is clamped to 1..100, so after a stall the
// game slows down rather than skipping.
#pragma once

inline constexpr int kDirBufferSize = 256;

extern int isDone;          // leave the main loop at the next test
extern int isActive;        // frames run while non-zero
extern int drawEnabled;     // input, update and drawing happen only when non-zero
extern int framePauseMs;    // slept after every frame
extern int frameDeltaMs;    // length of the last frame, 1..100
extern int prevFrameDeltaMs;
extern float frameDeltaF;
extern int gameClockMs;     // game time; stops while worldPaused
extern int worldPaused;
extern int showFps;
extern int fpsFrames, fpsAccumMs, fpsValue;
extern int winWidth, winHeight;   // client size, default 800 x 600
extern unsigned frameStampMs;     // timeGetTime of the current frame
extern char startDirectory[kDirBufferSize];
extern char dialogFileName[kDirBufferSize];

// Puts every value above back to its start value (tests run in one process).
void FrameReset();

// Updates prevFrameDeltaMs, frameDeltaMs, frameDeltaF and gameClockMs from
// the platform clock (defined with the main loop, so logic links without a
// platform backend).
void UpdateFrameTimer();
// Same, with an explicit clock reading (the platform clock's value).
void UpdateFrameTimerAt(unsigned nowMs);

// Lowers *timer by frameDeltaMs. Returns 1 when it was already below 1 or
// reaches 0 now (then stores 0), else 0.
int Countdown(int* timer);

// fps counter step: counts the frame and refreshes fpsValue every second.
void CountFps();
