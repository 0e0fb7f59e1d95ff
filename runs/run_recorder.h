#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"

namespace porteka {

// The most frames a finished run may add for its board to come to rest.
inline constexpr uint32_t kMaxRestFrames = 1000;

// Keeps a game as it is played, from the board as dealt: every call the
// windows make into the rules and the frames run between them, as a scenario
// of the replay tool that plays the same game again, frame for frame.
//
// The replay starts from the start-up state, while a board in play inherits
// the selected cell, the buttons of the last move and the marker's blink from
// the one before. The run begins with a press on the selected cell and a
// frame for the blink where they differ. The buttons matter only to a double
// click before the first move; a selected cell off the new surface (left by
// a larger board) no press can reproduce: such a game is not kept.
//
// A move that changes nothing (no button that acts, or off the surface, with
// the same buttons as the move before, on a board already started) is left
// out. The wait before the first move shows no change but the blink, so it is
// cut to about a second. The run ends with the call or frame that ends the
// game; after that nothing more is kept. Past the replay tool's caps the run
// is not kept either. A frame costs a count, a call one append.
class RunRecorder {
 public:
  // A board was just dealt: the run starts from it.
  void Begin(const Game& game);
  // Nothing is kept until the next board.
  void Drop() { state_ = State::kIdle; }

  // Before each call into the rules and before each frame.
  void MouseDown(const Game& game, float x, float y);
  void MouseMove(const Game& game, int16_t button, float x, float y);
  void DblClick(const Game& game);
  void Key(int16_t keyCode, int16_t shift);
  void Frame();
  // After each call and each frame: the game may have ended.
  void After(const Game& game);

  // A board has been dealt since the last Drop().
  bool started() const { return state_ != State::kIdle; }
  // A run from the board as dealt up to now, that the replay can play.
  bool kept() const { return state_ == State::kRecording || state_ == State::kEnded; }
  // The game has ended, and the run with it.
  bool ended() const { return state_ == State::kEnded; }

  // The run as a scenario, followed by `restFrames` frames; empty when it is
  // not kept. Frames still being counted are part of it.
  std::string Text(uint32_t restFrames = 0) const;

 private:
  enum class State { kIdle, kRecording, kEnded, kNotKept };
  struct Step {
    enum class Kind : uint8_t { kFrames, kMouseDown, kMouseMove, kDblClick, kKey };
    Kind kind = Kind::kFrames;
    int16_t button = 0;  // mousemove: the buttons; key: the modifiers
    int16_t keyCode = 0;
    uint32_t frames = 0;
    float x = 0;
    float y = 0;
  };

  void Push(Step step);
  // The frames counted since the last call become a step of their own.
  void CloseFrames();

  State state_ = State::kIdle;
  Level level_ = Level::Beginner;
  int16_t width_ = 0;
  int16_t height_ = 0;
  std::vector<std::pair<int16_t, int16_t>> bombs_;
  std::vector<Step> steps_;
  uint32_t pendingFrames_ = 0;
  bool pendingWaiting_ = false;  // the frames being counted run on a board not yet started
  uint64_t frames_ = 0;          // in the steps
  int16_t replayButtons_ = 0;    // the buttons of the last move the replay makes
};

}  // namespace porteka
