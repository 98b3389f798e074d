// Sound effects: the forwarding layer between game logic and the backend.
#include "sound/sound.h"

#include <cstring>

#include "sound/music.h"

int soundOn = 0;
SoundBank soundBank = {1, {}};
std::uint32_t sndSource1 = 0, sndSource2 = 0, sndSource3 = 0;
int sndMaxSources = 0;

static const SoundBackend* backend = nullptr;

void SoundInstallBackend(const SoundBackend* b) { backend = b; }
const SoundBackend* SoundInstalledBackend() { return backend; }

void SoundReset() {
    soundOn = 0;
    std::memset(&soundBank, 0, sizeof soundBank);
    soundBank.initialised = 1;
    sndSource1 = sndSource2 = sndSource3 = 0;
    sndMaxSources = 0;
    backend = nullptr;
}

bool SoundFailed() { return backend ? backend->failed() : true; }

int CreateSource(std::uint32_t* source) { return backend ? backend->createSource(source) : 0; }

void ReleaseSource(std::uint32_t* source) {
    if (backend) backend->releaseSource(source);
}

void SetSourceSound(std::uint32_t* source, int id) {
    if (backend) backend->setSourceSound(source, id);
}

void SetSourceRelative(std::uint32_t* source, int flag) {
    if (backend) backend->setSourceRelative(source, flag);
}

void SetSourcePosition(std::uint32_t* source, float x, float y, float z) {
    if (backend) backend->setSourcePosition(source, x, y, z);
}

void SetSourceGain(std::uint32_t* source, float gain) {
    if (backend) backend->setSourceGain(source, gain);
}

void SetSourcePitch(std::uint32_t* source, float pitch) {
    if (backend) backend->setSourcePitch(source, pitch);
}

void SetSourceLooping(std::uint32_t* source, int loop) {
    if (backend) backend->setSourceLooping(source, loop);
}

int SourceState(std::uint32_t* source) { return backend ? backend->sourceState(source) : SRC_NONE; }

bool SourceIsPlaying(std::uint32_t* source) { return SourceState(source) == SRC_PLAYING; }

void ResetSource(std::uint32_t* source) {
    if (backend) backend->resetSource(source);
}

void PlaySound(std::uint32_t* source, int id, int loop, float gain, float pitchMin, float pitchMax,
               int steps) {
    if (soundMuted) return;
    if (backend) backend->playSound(source, id, loop, gain, pitchMin, pitchMax, steps);
}

int PlayIfIdle(std::uint32_t* source, int enabled) {
    if (soundMuted) return 0;
    return backend ? backend->playIfIdle(source, enabled) : 0;
}

float PitchStep(float pitchMin, float pitchMax, int steps, int r) {
    if (steps <= 0) return pitchMin;
    int k = (r % steps + steps) % steps + 1;   // a negative r still lands in 1..steps
    return pitchMin + static_cast<float>(k) * (pitchMax - pitchMin) / static_cast<float>(steps);
}

void SetupGameSources() {
    std::uint32_t* sources[3] = {&sndSource1, &sndSource2, &sndSource3};
    for (int n = 0; n < 3; ++n) {
        SetSourceSound(sources[n], n + 1);
        SetSourceRelative(sources[n], 1);
        SetSourcePosition(sources[n], 0.0f, 0.0f, -1.0f);
    }
}

void ReleaseGameSources() {
    ReleaseSource(&sndSource1);
    ReleaseSource(&sndSource2);
    ReleaseSource(&sndSource3);
}
