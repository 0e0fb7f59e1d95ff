#include "game/counters.h"

#include <string_view>

#include "game/play_clock.h"

namespace porteka {

namespace {

std::string PadAndCut(std::string text, std::string_view padding, size_t width) {
  text += padding;
  text.resize(width);
  return text;
}

}  // namespace

std::string TimeText(int32_t elapsedFrames) {
  return "Time " + PadAndCut(SecondsText(elapsedFrames), "    ", 4) + "sec";
}

std::string BombsText(int16_t bombsLeft) {
  return "Bom " + PadAndCut(std::to_string(bombsLeft), "   ", 3);
}

void UpdateCounters(const Settings& settings, const Board& board, Outside& outside) {
  outside.DrawCounters(TimeText(settings.ElapsedTime), BombsText(board.BombsLeft));
}

}  // namespace porteka
