#pragma once

#include <cstdint>
#include <string>

namespace porteka {

// The text the record dialogs show for a time in frames: whole hundredths of a
// second, cut off rather than rounded, no trailing zeros, then "[sec]"
// (370 frames read "12.33[sec]", 30 frames "1[sec]").
std::string FormatRecordTime(int32_t frames);

}  // namespace porteka
