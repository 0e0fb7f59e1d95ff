#pragma once

// A look inside the sound library for tests and benchmarks; the game never
// needs it.

#include <cstdint>

namespace porteka {

enum class SoundDeviceState { kOff, kStarting, kReady, kMute };

SoundDeviceState CurrentSoundDeviceState();

// Waits at most `timeoutMs` for the device to leave kStarting; returns the state then.
SoundDeviceState WaitForSoundDevice(int32_t timeoutMs);

// How many of the slot's voices are sounding now; 0 for an empty slot.
int32_t SoundVoicesPlaying(int32_t slot);

}  // namespace porteka
