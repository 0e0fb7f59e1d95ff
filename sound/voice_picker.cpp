#include "sound/voice_picker.h"

#include <cmath>

namespace porteka {

std::size_t PickVoice(std::span<const VoiceState> voices) {
  std::size_t oldest = 0;
  for (std::size_t i = 0; i < voices.size(); ++i) {
    if (!voices[i].playing) return i;
    if (voices[i].startedAt < voices[oldest].startedAt) oldest = i;
  }
  return oldest;
}

int LockstepVolume(int voicesInStep, int fullVolume) {
  if (voicesInStep <= 1) return fullVolume;
  return static_cast<int>(std::lround(fullVolume / std::sqrt(static_cast<double>(voicesInStep))));
}

}  // namespace porteka
