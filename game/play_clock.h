#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace porteka {

// The play clock counts frames, nominally 30 a second. Every display of a time
// shows whole hundredths of a second, cut off rather than rounded, worked out
// in double precision in exactly this order, so the counter strip and the
// records agree on every time, quirks of binary fractions included.
inline double FramesToHundredths(int32_t frames) { return std::floor(static_cast<double>(frames) / 30.0 * 100.0); }

// A time in seconds as every display shows it: whole hundredths, no trailing
// zeros ("12.33" for 370 frames, "1" for 30, "-0.04" for -1).
std::string SecondsText(int32_t frames);

}  // namespace porteka
