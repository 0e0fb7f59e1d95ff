#include "records/record_time.h"

#include "game/play_clock.h"

namespace porteka {

std::string FormatRecordTime(int32_t frames) { return SecondsText(frames) + "[sec]"; }

}  // namespace porteka
