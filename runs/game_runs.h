#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "game/game.h"
#include "game/canvas.h"
#include "runs/run_recorder.h"

namespace porteka {

// The runs of the main window's game. Every call of the windows into the
// rules, every deal and every turn of the frame loop passes through here, so
// the board in play is kept as a run (see RunRecorder) and the last finished
// game is remembered.
//
// Watching a run puts the run's game in place of the one in play, from the
// start-up state, and plays a frame of it every 1/30 s with the window's
// sounds, faces, counters and layout, but no records check: the game it
// replaces is abandoned, and no input reaches the rules. Stop() (the windows
// call it on a key, a click or a menu choice) ends it with a fresh board of
// the run's level; until then a run played to its end keeps its last
// picture. A watched game is not kept as a run itself.
class GameRuns {
 public:
  // `random` and `world`: the game's own chance and window, given back to it
  // when watching ends.
  GameRuns(Game& game, RandomSource& random, Outside& world);
  ~GameRuns();
  GameRuns(const GameRuns&) = delete;
  GameRuns& operator=(const GameRuns&) = delete;

  // Told when watching starts (true) and when it ends.
  void OnWatching(std::function<void(bool watching)> told) { onWatching_ = std::move(told); }

  // The windows' calls into the rules.
  void MouseDown(float x, float y);
  void MouseMove(int16_t button, float x, float y);
  void DblClick();
  void KeyDown(int16_t keyCode, int16_t shift);
  // Every new board: `deal` deals it.
  void Deal(const std::function<void()>& deal);

  // One turn of the frame loop at a millisecond clock reading: a frame of the
  // game in play, or of the run being watched, when one is due. Says whether
  // one ran.
  bool LoopTurn(Canvas& canvas, uint32_t now);
  uint32_t MillisecondsToNextFrame(uint32_t now) const;

  // The board in play, kept so far.
  const RunRecorder& recorder() const { return recorder_; }
  // The run of the game just won, for its record, asked during the records
  // check; empty when it cannot be kept.
  std::string RecordRun() const;

  // Watching, or showing the last picture of a run watched to its end.
  bool watching() const { return watch_ != nullptr; }
  // Starts watching a run (a scenario that starts with a dealt board); false
  // when it cannot be played.
  bool Watch(std::string_view run, uint32_t now);
  // The last game played to its end, won or lost, from memory.
  bool HasLastGame() const { return LastGame() != nullptr; }
  bool WatchLastGame(uint32_t now);
  // Ends watching with a fresh board; false when nothing was being watched.
  bool Stop();

 private:
  struct Watching;

  const RunRecorder* LastGame() const;
  // A game that has ended becomes the last game.
  void KeepLastGame();
  // The game's own chance and window back, the board left as it is.
  void EndWatch();
  // Plays the run's events up to its next frame and that frame; false at its end.
  bool PlayToNextFrame(Canvas& canvas);

  Game& game_;
  RandomSource& random_;
  Outside& world_;
  RunRecorder recorder_;
  std::optional<RunRecorder> last_;
  std::unique_ptr<Watching> watch_;
  std::function<void(bool)> onWatching_;
  uint32_t lastNow_ = 0;
};

}  // namespace porteka
