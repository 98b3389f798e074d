// The OpenAL layer: one device and context, the effect buffers, the sources.
#include "sound/sound_al.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <string>
#include <vector>

#include "app/log.h"
#include "app/random.h"
#include "io/files.h"
#include "platform/platform.h"
#include "sound/sound_list.h"

static ALCdevice* device = nullptr;
static ALCcontext* context = nullptr;

static constexpr int kProbeSources = 128;

static bool IsSource(std::uint32_t* source) { return source && *source && alIsSource(*source); }

static void SetListener() {
    const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alListenerfv(AL_ORIENTATION, orientation);
}

// ---- Source operations (the backend of sound.h)

static bool AlFailed() { return soundOn == 0 || alGetError() != AL_NO_ERROR; }

static void AlReleaseSource(std::uint32_t* source) {
    if (!source) return;
    if (IsSource(source)) {
        ALint state = 0;
        alGetSourcei(*source, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING || state == AL_PAUSED) alSourceStop(*source);
        alDeleteSources(1, source);
    }
    *source = 0;
}

static int AlCreateSource(std::uint32_t* source) {
    if (!source || AlFailed()) return 0;
    AlReleaseSource(source);
    alGenSources(1, source);
    if (alGetError() != AL_NO_ERROR) {
        *source = 0;
        return 0;
    }
    alSourcef(*source, AL_PITCH, 1.0f);
    alSourcef(*source, AL_GAIN, 1.0f);
    alSource3f(*source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSource3f(*source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alSourcei(*source, AL_LOOPING, AL_FALSE);
    return 1;
}

static void AttachEffect(std::uint32_t* source, int id) {
    if (id < 1 || id > kSoundMaxId) return;
    ALuint buffer = soundBank.buffers[id];
    if (buffer && alIsBuffer(buffer)) alSourcei(*source, AL_BUFFER, static_cast<ALint>(buffer));
}

static void AlSetSourceSound(std::uint32_t* source, int id) {
    if (!source || AlFailed()) return;
    if (*source == 0) AlCreateSource(source);
    if (IsSource(source)) AttachEffect(source, id);
}

static void AlSetSourceRelative(std::uint32_t* source, int flag) {
    if (IsSource(source)) alSourcei(*source, AL_SOURCE_RELATIVE, flag ? AL_TRUE : AL_FALSE);
}

static void AlSetSourcePosition(std::uint32_t* source, float x, float y, float z) {
    if (!AlFailed() && IsSource(source)) alSource3f(*source, AL_POSITION, x, y, z);
}

static void AlSetSourceGain(std::uint32_t* source, float gain) {
    if (!AlFailed() && IsSource(source)) alSourcef(*source, AL_GAIN, gain);
}

static void AlSetSourcePitch(std::uint32_t* source, float pitch) {
    if (!AlFailed() && IsSource(source)) alSourcef(*source, AL_PITCH, pitch);
}

static void AlSetSourceLooping(std::uint32_t* source, int loop) {
    if (!AlFailed() && IsSource(source)) alSourcei(*source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
}

static int AlSourceState(std::uint32_t* source) {
    if (AlFailed() || !IsSource(source)) return SRC_NONE;
    ALint state = 0;
    alGetSourcei(*source, AL_SOURCE_STATE, &state);
    switch (state) {
    case AL_PLAYING: return SRC_PLAYING;
    case AL_PAUSED:  return SRC_PAUSED;
    case AL_STOPPED: return SRC_STOPPED;
    default:         return SRC_INITIAL;
    }
}

// Gain first and stop after, so nothing is heard of the cut-off sound.
static void ResetValid(std::uint32_t* source) {
    alSourcef(*source, AL_GAIN, 0.0f);
    alSourcei(*source, AL_LOOPING, AL_FALSE);
    alSourceStop(*source);
    alSourcef(*source, AL_PITCH, 1.0f);
    alSourcef(*source, AL_GAIN, 1.0f);
    alSource3f(*source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
}

static void AlResetSource(std::uint32_t* source) {
    if (!AlFailed() && IsSource(source)) ResetValid(source);
}

static void AlPlaySound(std::uint32_t* source, int id, int loop, float gain, float pitchMin,
                        float pitchMax, int steps) {
    if (AlFailed() || !IsSource(source)) return;
    ResetValid(source);
    AttachEffect(source, id);
    alSourcei(*source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcef(*source, AL_GAIN, gain);
    float pitch = steps > 0 ? PitchStep(pitchMin, pitchMax, steps, Rand()) : pitchMin;
    alSourcef(*source, AL_PITCH, pitch);
    alSourcePlay(*source);
}

static int AlPlayIfIdle(std::uint32_t* source, int enabled) {
    if (!enabled || !IsSource(source)) return 0;
    ALint state = 0;
    alGetSourcei(*source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) return 0;
    alSourceRewind(*source);
    alSourcePlay(*source);
    return 1;
}

static const SoundBackend openAlBackend = {
    AlFailed,           AlCreateSource,    AlReleaseSource,  AlSetSourceSound,
    AlSetSourceRelative, AlSetSourcePosition, AlSetSourceGain, AlSetSourcePitch,
    AlSetSourceLooping, AlSourceState,     AlResetSource,    AlPlaySound,
    AlPlayIfIdle,
};

// ---- Device, context, effect list

static void CloseDevice() {
    if (device) alcCloseDevice(device);
    device = nullptr;
    context = nullptr;
}

int InitOpenAL() {
    // The design's device name; OpenAL Soft and other platforms only know
    // their default device.
    device = alcOpenDevice("DirectSound3D");
    if (!device) device = alcOpenDevice(nullptr);
    if (!device) {
        PlatMessageBox("DirectSound3D  sound device not present", "Error", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    context = alcCreateContext(device, nullptr);
    ALCenum err = alcGetError(device);
    if (err != ALC_NO_ERROR || !context) {
        std::string text = "ALC error: ";
        const ALCchar* what = alcGetString(device, err);
        text += what ? what : "";
        PlatMessageBox(text.c_str(), "Error", MB_OK | MB_ICONEXCLAMATION);
        if (context) alcDestroyContext(context);
        CloseDevice();
        return 0;
    }
    alcMakeContextCurrent(context);
    if (alcGetError(device) != ALC_NO_ERROR) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        CloseDevice();
        return 0;
    }
    SetListener();

    ALuint probe[kProbeSources];
    int made = 0;
    alGetError();
    while (made < kProbeSources) {
        alGenSources(1, &probe[made]);
        if (alGetError() != AL_NO_ERROR) break;
        ++made;
    }
    sndMaxSources = made;
    if (made > 0) alDeleteSources(made, probe);

    alGetError();
    alListenerf(AL_GAIN, 0.9f);
    alDopplerFactor(1.0f);
    alDopplerVelocity(343.0f);
    SoundInstallBackend(&openAlBackend);
    return 1;
}

// Reads one effect into its (already generated) buffer. A missing, empty or
// too large file leaves the buffer empty.
static void FillBuffer(ALuint buffer, const std::string& name) {
    std::vector<std::uint8_t> file;
    FileStatus st = ReadWholeFile(name.c_str(), file, kSoundFileMaxBytes);
    if (st == FileStatus::TooLarge) LogPrintf("\nsound file too large: %s", name.c_str());
    if (st != FileStatus::Ok) return;
    std::span<const std::uint8_t> pcm = WavSampleBytes(file);
    if (pcm.empty()) return;
    alBufferData(buffer, AL_FORMAT_MONO16, pcm.data(), static_cast<ALsizei>(pcm.size()), kWavRate);
}

int LoadPackWAV(SoundBank& bank, const char* path) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes, kSoundListMaxBytes) != FileStatus::Ok) return 0;
    SoundList list = ParseSoundList(bytes);
    for (const SoundListEntry& e : list.entries) {
        if (bank.buffers[e.id] != 0) return 0;   // ids may appear only once
        if (!e.hasName) return 0;
        alGetError();
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR || buffer == 0) return 0;
        bank.buffers[e.id] = buffer;
        FillBuffer(buffer, e.name);
    }
    if (!list.complete) return 0;
    return alGetError() == AL_NO_ERROR ? 1 : 0;
}

void StopSound() {
    if (context) {
        for (std::uint32_t& b : soundBank.buffers) {
            if (b && alIsBuffer(b)) alDeleteBuffers(1, &b);
            b = 0;
        }
    } else {
        for (std::uint32_t& b : soundBank.buffers) b = 0;
    }
    soundBank.initialised = 1;
    alcMakeContextCurrent(nullptr);
    if (context) alcDestroyContext(context);
    CloseDevice();
    if (SoundInstalledBackend() == &openAlBackend) SoundInstallBackend(nullptr);
}

void StartSound() {
    soundOn = 0;
    if (!InitOpenAL()) {
        PlatMessageBox("not InitOpenAL", "err", MB_OK);
        return;
    }
    if (LoadPackWAV(soundBank, kSoundListPath)) {
        soundOn = 1;
        SetListener();
    } else {
        PlatMessageBox("not LoadPackWAV", "err", MB_OK);
        StopSound();
    }
}
