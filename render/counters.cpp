#include "render/counters.h"

#include <cstdio>
#include <string_view>

#include "game/play_clock.h"

namespace porteka {

double FramesToSeconds(int32_t frames) { return FramesToHundredths(frames) / 100.0; }

std::string DecimalText(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

namespace {

std::string PadAndCut(std::string text, std::string_view padding, size_t width) {
  text += padding;
  text.resize(width);
  return text;
}

}  // namespace

std::string TimeText(int32_t elapsedFrames) {
  return "Time " + PadAndCut(DecimalText(FramesToSeconds(elapsedFrames)), "    ", 4) + "sec";
}

std::string BombsText(int16_t bombsLeft) {
  return "Bom " + PadAndCut(std::to_string(bombsLeft), "   ", 3);
}

void UpdateCounters(const Settings& settings, const Board& board, Outside& outside) {
  outside.DrawCounters(TimeText(settings.ElapsedTime), BombsText(board.BombsLeft));
}

}  // namespace porteka
