// The OpenAL layer (library bd_audio): device, context, listener, effect
// buffers and the real source operations behind sound.h.
#pragma once

#include "sound/sound.h"

// Start-up: InitOpenAL, then the effect list. Failures show their message
// box and leave the game silent; sets soundOn to 1 on success.
void StartSound();
// Opens the device ("DirectSound3D", else the default), makes the context
// current, sets the listener and Doppler values, probes sndMaxSources and
// installs the OpenAL backend of sound.h. 1/0.
int  InitOpenAL();
// Loads every effect of the list at path into bank. 1/0; buffers made
// before a failure stay until StopSound.
int  LoadPackWAV(SoundBank& bank, const char* path);
// Deletes the bank's buffers, closes the context and device and removes the
// backend (later calls are no-ops).
void StopSound();
