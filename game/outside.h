#pragma once

#include <cstdint>
#include <string_view>

#include "sound/sound_cue.h"

namespace porteka {

// The pictures of the face button, in the order of the face sheet.
enum class Face : uint8_t { Normal = 0, Won = 1, Lost = 2 };

// Where a game stands, for the statistics: its clock started, the win test
// passed, the first explosion ended it, or a new board is being dealt.
enum class GameMoment : uint8_t { Started, Won, Lost, BoardDealt };

// Everything the rules ask of the world around them, beyond drawing the board
// (a frame draws that on a Canvas). The main window does it for real; tests and
// the replay tool record the calls instead.
class Outside {
 public:
  virtual ~Outside() = default;

  virtual void PlaySound(SoundCue cue) = 0;
  virtual void DrawFace(Face face) = 0;
  // After a win on a fixed level. May show the new-record dialog, and returns
  // only once it has closed, even from the middle of a frame.
  virtual void OfferRecord() = 0;
  // The level changed the board's size: move and resize the window around it.
  virtual void LayOutWindow() = 0;
  virtual void DrawCounters(std::string_view timeText, std::string_view bombsText) = 0;
  // Only the main window keeps count.
  virtual void NoteGame(GameMoment) {}
};

// A world that takes no notice: for tools and tests that need only the rules.
class SilentOutside final : public Outside {
 public:
  void PlaySound(SoundCue) override {}
  void DrawFace(Face) override {}
  void OfferRecord() override {}
  void LayOutWindow() override {}
  void DrawCounters(std::string_view, std::string_view) override {}
};

}  // namespace porteka
