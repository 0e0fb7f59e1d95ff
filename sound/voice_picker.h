#pragma once

// Which of a slot's voices a new play takes over, and how loud plays that
// start together should be.

#include <cstddef>
#include <cstdint>
#include <span>

namespace porteka {

struct VoiceState {
  bool playing = false;
  uint64_t startedAt = 0;  // play number, increasing; 0 = never played
};

// An idle voice if there is one, else the one that started first, so a burst
// of plays cuts off the stalest sound rather than one just begun.
// `voices` must not be empty.
std::size_t PickVoice(std::span<const VoiceState> voices);

// Volume (of `fullVolume`) for each of `voicesInStep` plays of one sound that
// start in the same mixing pass. Such copies add up sample for sample: eight
// would be eight times as loud and clip to a harsh buzz (Ctrl+A plays the
// mark eight times at once; a cascade opens many cells in one frame). Scaled
// by 1/sqrt(n) they are as loud together as n unrelated sounds would be.
int LockstepVolume(int voicesInStep, int fullVolume);

}  // namespace porteka
