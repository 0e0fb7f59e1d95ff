#include "game/play_clock.h"

#include <cstdlib>

namespace porteka {

std::string SecondsText(int32_t frames) {
  const auto hundredths = static_cast<int64_t>(FramesToHundredths(frames));
  std::string text;
  if (hundredths < 0) {
    // Only a hand-edited file or a scenario holds a negative time; show it rather than lie.
    text += '-';
  }
  const int64_t magnitude = std::llabs(hundredths);
  text += std::to_string(magnitude / 100);
  const int64_t fraction = magnitude % 100;
  if (fraction != 0) {
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  }
  return text;
}

}  // namespace porteka
