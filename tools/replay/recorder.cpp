#include "tools/replay/recorder.h"

namespace porteka::replay {

void Recorder::BeginEvent() {
  sounds_.clear();
  faces_.clear();
  records_.clear();
  ops_.clear();
  frames_.clear();
  frameStart_ = 0;
}

void Recorder::DrawFace(Face face) {
  face_ = face;
  faces_.push_back(face);
}

void Recorder::OfferRecord() {
  if (game_ != nullptr) records_.push_back({game_->gro.GameLevel, game_->gro.ElapsedTime});
}

void Recorder::DrawCounters(std::string_view timeText, std::string_view bombsText) {
  counters_.emplace(std::string(timeText), std::string(bombsText));
}

void Recorder::DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) {
  ops_.push_back({kind == EffectKind::Open ? 'O' : 'E', phase, x, y});
}

}  // namespace porteka::replay
