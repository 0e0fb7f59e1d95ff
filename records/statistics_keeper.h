#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "game/game.h"
#include "records/file_worker.h"
#include "records/finished_at_exit.h"
#include "records/statistics_file.h"

namespace porteka {

// Counts the games for the statistics file. A game counts once its clock has
// started; its outcome is the first of a win, an explosion, or a new board
// (or the end of the program) while it still runs. Each outcome is written
// at once, off the thread that draws; one that cannot be written (a full disk,
// another game holding the lock too long) is kept and goes with the next
// write, and at the end, however the program ends: should the process exit
// under a dialog, the game under way is counted and written on the way out.
class StatisticsKeeper final : public FinishedAtExit {
 public:
  // `game` is read when its phase changes (its level, its board, its clock).
  StatisticsKeeper(std::filesystem::path file, FileWorker& worker, const Game& game);
  // Finish().
  ~StatisticsKeeper();

  const std::filesystem::path& file() const { return file_; }

  // From the rules (Outside::NoteGame), on the thread that draws.
  void Note(GameMoment moment);
  // Starts the statistics afresh, in the background; games not yet written go.
  void Clear();
  // The game under way counts as abandoned; waits for the writes under way
  // and tries what is left once more, here and now. Answers the games that
  // could not be written.
  int Finish() override;

 private:
  void Count(GameOutcome outcome);
  // On the worker's thread, or at the end.
  void Write();

  std::filesystem::path file_;
  FileWorker& worker_;
  const Game& game_;
  // The game whose clock runs: its level and 3BV, as dealt.
  std::optional<GameResult> underWay_;

  std::mutex mutex_;
  std::vector<GameResult> unwritten_;
  bool clear_ = false;
  uint64_t clears_ = 0;  // each clearing asked for
};

}  // namespace porteka
