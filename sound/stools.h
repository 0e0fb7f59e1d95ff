#pragma once

// The sound library the game talks to: three entry points, called only from
// the game's thread. Every call is safe at any time: before STInit, with a
// slot out of range, or with no audio device, it simply does nothing.
// Results: 1 when the call did what it was asked, else 0; the game ignores them.

#include <cstddef>
#include <cstdint>

namespace porteka {

inline constexpr int32_t kSoundSlotCount = 32;
inline constexpr int32_t kMaxVoicesPerSlot = 32;

// Starts the audio device. The window handle and the second argument are not
// needed on this platform. Returns within a fraction of a second even when the
// audio system hangs; the device then comes up later, or never, and until it
// does every play is silent.
int32_t STInit(int32_t windowHandle, int32_t reserved);

// Loads the RIFF WAVE image at `image` into `slot`, so that up to `count`
// plays of it can sound at once. The image's length comes from its RIFF
// header, which is trusted; the image is copied before the call returns.
int32_t STReadBytes(int32_t slot, const uint8_t* image, int32_t count);

// STReadBytes for callers that know how many bytes they hold: nothing past
// `available` is read, whatever the header claims. A damaged image leaves
// the slot empty.
int32_t STReadBytesChecked(int32_t slot, const uint8_t* image, std::size_t available, int32_t count);

// Starts the slot's sound and returns at once. When all the slot's voices are
// busy, the one that started first is cut off and reused. Plays of a slot
// that start at the same instant share out the loudness (see LockstepVolume).
int32_t STPlay(int32_t slot);

}  // namespace porteka
