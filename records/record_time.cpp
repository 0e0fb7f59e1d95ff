#include "records/record_time.h"

#include <cmath>
#include <cstdlib>

namespace porteka {

std::string FormatRecordTime(int32_t frames) {
  // Worked out in double precision in exactly this order, so the hundredths cut
  // off agree with every other place that shows a time, quirks of binary
  // fractions included.
  const double hundredthsDouble = std::floor(static_cast<double>(frames) / 30.0 * 100.0);
  const auto hundredths = static_cast<int64_t>(hundredthsDouble);

  std::string text;
  if (hundredths < 0) {
    // Only a hand-edited file holds a negative time; show it rather than lie.
    text += '-';
  }
  const int64_t magnitude = std::llabs(hundredths);
  text += std::to_string(magnitude / 100);
  const int64_t fraction = magnitude % 100;
  if (fraction != 0) {
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) {
      text += static_cast<char>('0' + fraction % 10);
    }
  }
  text += "[sec]";
  return text;
}

}  // namespace porteka
