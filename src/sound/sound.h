// Sound effects: what the game sees.
//
// Effects are played by number (1..300) on three fixed sources that sit just
// in front of the listener. Game logic calls these functions without ever
// touching OpenAL: each call is forwarded to the backend that the OpenAL layer
// (sound_al.h, library bd_audio) installs once its device is open. With no
// backend installed every call is a silent no-op, so a game without a sound
// device, and every logic test, simply runs silently.
#pragma once

#include <cstdint>

inline constexpr int kSoundMaxId = 300;            // effect ids 0..300; 0 is never played
inline constexpr int kSoundSlots = kSoundMaxId + 1;

struct SoundBank {
    std::uint32_t initialised;             // 1 once the bank is usable (set by StopSound too)
    std::uint32_t buffers[kSoundSlots];    // OpenAL buffer names by effect id, 0 = empty
};

extern int soundOn;              // 1 once the device and the effect list were loaded
extern SoundBank soundBank;
extern std::uint32_t sndSource1, sndSource2, sndSource3;   // 0 = none
extern int sndMaxSources;        // sources the device could create (probe, at most 128)

// Source states reported by SourceState.
enum : int { SRC_NONE = 0, SRC_INITIAL = 1, SRC_PLAYING = 2, SRC_PAUSED = 3, SRC_STOPPED = 4 };

// True when sound is off or the audio layer reports an error (which clears it).
bool SoundFailed();
int  CreateSource(std::uint32_t* source);              // 1/0
void ReleaseSource(std::uint32_t* source);
void SetSourceSound(std::uint32_t* source, int id);
void SetSourceRelative(std::uint32_t* source, int flag);
void SetSourcePosition(std::uint32_t* source, float x, float y, float z);
void SetSourceGain(std::uint32_t* source, float gain);
void SetSourcePitch(std::uint32_t* source, float pitch);
void SetSourceLooping(std::uint32_t* source, int loop);
int  SourceState(std::uint32_t* source);               // SRC_*
bool SourceIsPlaying(std::uint32_t* source);
void ResetSource(std::uint32_t* source);
// Cuts off whatever the source plays and plays effect id. Id 0, or an id with
// no buffer, replays the buffer the source already holds. With steps > 0 the
// pitch is one of steps evenly spaced values above pitchMin up to pitchMax.
void PlaySound(std::uint32_t* source, int id, int loop, float gain,
               float pitchMin, float pitchMax, int steps);
// Rewinds and plays the source's buffer unless it is still playing; the
// buttons' click. The game passes soundOn as enabled. 1 when it started.
int  PlayIfIdle(std::uint32_t* source, int enabled);

// The pitch PlaySound uses for a random value r (>= 0).
float PitchStep(float pitchMin, float pitchMax, int steps, int r);

// Game start: source n gets effect n, listener-relative, one unit ahead.
void SetupGameSources();
// Shut-down: the three sources are stopped and deleted.
void ReleaseGameSources();

// ---- The backend table. The OpenAL layer fills one in; tests may install
// their own. Every entry must be set.
struct SoundBackend {
    bool (*failed)();
    int  (*createSource)(std::uint32_t* source);
    void (*releaseSource)(std::uint32_t* source);
    void (*setSourceSound)(std::uint32_t* source, int id);
    void (*setSourceRelative)(std::uint32_t* source, int flag);
    void (*setSourcePosition)(std::uint32_t* source, float x, float y, float z);
    void (*setSourceGain)(std::uint32_t* source, float gain);
    void (*setSourcePitch)(std::uint32_t* source, float pitch);
    void (*setSourceLooping)(std::uint32_t* source, int loop);
    int  (*sourceState)(std::uint32_t* source);
    void (*resetSource)(std::uint32_t* source);
    void (*playSound)(std::uint32_t* source, int id, int loop, float gain,
                      float pitchMin, float pitchMax, int steps);
    int  (*playIfIdle)(std::uint32_t* source, int enabled);
};

// nullptr removes the backend (every call becomes a no-op again).
void SoundInstallBackend(const SoundBackend* backend);
const SoundBackend* SoundInstalledBackend();

// Start values: sound off, bank zeroed with its flag 1, no sources, no
// backend. Does not close a device (StopSound does).
void SoundReset();
