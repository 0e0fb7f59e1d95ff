#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "game/outside.h"
#include "game/canvas.h"

namespace porteka::replay {

// One thing a frame drew over the board: an effect's sprite frame ('O' opening
// flash, 'E' explosion) or the red marker ('M', phase unused).
struct DrawOp {
  char kind;
  uint8_t phase;
  int16_t x;
  int16_t y;
};

// A record check: the level and the play clock at the moment of the call.
struct RecordCheck {
  Level level;
  int32_t elapsed;
};

// Stands in for the screen, the speakers and the records dialog: it keeps what
// the rules asked for during the current event, and the face and the counter
// strip as last drawn.
class Recorder final : public Outside, public Canvas {
 public:
  // The record check reads the game's settings, which exist only after the recorder.
  void Attach(const Game& game) { game_ = &game; }
  void BeginEvent();

  void PlaySound(SoundCue cue) override { sounds_.push_back(cue); }
  void DrawFace(Face face) override;
  void OfferRecord() override;
  void LayOutWindow() override {}  // the dump reads the layout from the game
  void DrawCounters(std::string_view timeText, std::string_view bombsText) override;
  void DrawBoard(const Settings&, const Board&) override { frameStart_ = ops_.size(); }
  void DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) override;
  void DrawMarker(int16_t gx, int16_t gy) override { ops_.push_back({'M', 0, gx, gy}); }
  void PresentBoard() override { frames_.emplace_back(frameStart_, ops_.size()); }

  Face face() const { return face_; }
  const std::optional<std::pair<std::string, std::string>>& counters() const { return counters_; }
  const std::vector<SoundCue>& sounds() const { return sounds_; }
  const std::vector<Face>& faces() const { return faces_; }
  const std::vector<RecordCheck>& records() const { return records_; }
  const std::vector<DrawOp>& ops() const { return ops_; }
  // Each frame of the event as a range [first, last) of ops().
  const std::vector<std::pair<size_t, size_t>>& frames() const { return frames_; }

 private:
  const Game* game_ = nullptr;
  Face face_ = Face::Normal;  // the face button's picture before any game
  std::optional<std::pair<std::string, std::string>> counters_;  // blank until first drawn

  std::vector<SoundCue> sounds_;
  std::vector<Face> faces_;
  std::vector<RecordCheck> records_;
  std::vector<DrawOp> ops_;
  std::vector<std::pair<size_t, size_t>> frames_;
  size_t frameStart_ = 0;
};

}  // namespace porteka::replay
