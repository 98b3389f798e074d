// Frame timing and the shell's global state.
#include "app/frame.h"

int isDone, isActive, drawEnabled, framePauseMs;
int frameDeltaMs = 1, prevFrameDeltaMs = 1;
float frameDeltaF = 1.0f;
int gameClockMs, worldPaused, showFps;
int fpsFrames, fpsAccumMs, fpsValue;
int winWidth = 800, winHeight = 600;
unsigned frameStampMs;
char startDirectory[kDirBufferSize];
char dialogFileName[kDirBufferSize];

static unsigned lastStampMs;
static constexpr double kTimeScale = 1000.0;  // game ms per real second

void FrameReset() {
    isDone = isActive = drawEnabled = framePauseMs = 0;
    frameDeltaMs = prevFrameDeltaMs = 1;
    frameDeltaF = 1.0f;
    gameClockMs = worldPaused = showFps = 0;
    fpsFrames = fpsAccumMs = fpsValue = 0;
    winWidth = 800;
    winHeight = 600;
    frameStampMs = lastStampMs = 0;
    startDirectory[0] = dialogFileName[0] = 0;
}

void UpdateFrameTimerAt(unsigned nowMs) {
    prevFrameDeltaMs = frameDeltaMs;
    int d = static_cast<int>(nowMs - lastStampMs);
    frameDeltaMs = d >= 1 ? d : 1;
    if (frameDeltaMs > 100) frameDeltaMs = 100;
    if (!worldPaused) gameClockMs += frameDeltaMs;
    lastStampMs = nowMs;
    frameStampMs = nowMs;
    frameDeltaF = static_cast<float>(frameDeltaMs * kTimeScale / 1000.0);
}

int Countdown(int* timer) {
    if (*timer < 1) return 1;
    int left = *timer - frameDeltaMs;
    if (left < 1) {
        *timer = 0;
        return 1;
    }
    *timer = left;
    return 0;
}

void CountFps() {
    ++fpsFrames;
    fpsAccumMs += frameDeltaMs;
    if (fpsAccumMs > 1000) {
        fpsValue = fpsFrames;
        fpsAccumMs -= 1000;
        fpsFrames = 0;
    }
}
