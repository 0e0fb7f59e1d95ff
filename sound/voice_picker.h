#pragma once

// Which of a slot's voices a new play takes over.

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

}  // namespace porteka
