// Background music and wind loops, and the sound switch.
#include "sound/music.h"

#include <cmath>

#include "sound/sound.h"

std::uint32_t musicSource = 0, windSource = 0;
int soundMuted = 0;

namespace {
float windGainNow = 0;

void StartLoop(std::uint32_t* source, int effect, float gain) {
    if (!*source || SourceIsPlaying(source)) return;
    PlaySound(source, effect, 1, gain, 1.0f, 1.0f, 0);
}
void Quiet(std::uint32_t* source) {
    if (*source) ResetSource(source);
}
}  // namespace

void MusicStart() {
    if (!soundOn) return;
    std::uint32_t* sources[2] = {&musicSource, &windSource};
    for (std::uint32_t* s : sources) {
        if (*s || !CreateSource(s)) continue;
        SetSourceRelative(s, 1);
        SetSourcePosition(s, 0.0f, 0.0f, -1.0f);
    }
}

void SoundSwitch() {
    soundMuted = !soundMuted;
    if (soundMuted) {
        Quiet(&musicSource);
        Quiet(&windSource);
        Quiet(&sndSource1);
        Quiet(&sndSource2);
        Quiet(&sndSource3);
    }
}

void MusicStep(int switchFired, float heroX, float heroZ, int haveHero, float forestX, float forestZ) {
    if (switchFired) SoundSwitch();
    if (!soundOn || soundMuted) return;
    StartLoop(&musicSource, kMusicEffect, kMusicGain);
    float gain = 0;
    if (haveHero) {
        const float d = std::hypot(heroX - forestX, heroZ - forestZ);
        if (d < kWindReach) gain = kWindGainMax * (1.0f - d / kWindReach);
    }
    if (gain <= 0.01f) {
        if (windGainNow > 0) Quiet(&windSource);
        windGainNow = 0;
        return;
    }
    StartLoop(&windSource, kWindEffect, gain);
    // Only a real change of level goes to the device.
    if (std::fabs(gain - windGainNow) > 0.02f) {
        SetSourceGain(&windSource, gain);
        windGainNow = gain;
    }
}

void MusicStop() {
    ReleaseSource(&musicSource);
    ReleaseSource(&windSource);
    windGainNow = 0;
}

void MusicReset() {
    musicSource = windSource = 0;
    soundMuted = 0;
    windGainNow = 0;
}
