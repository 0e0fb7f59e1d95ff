#include "records/statistics_keeper.h"

#include <utility>

#include "game/board_3bv.h"

namespace porteka {

StatisticsKeeper::StatisticsKeeper(std::filesystem::path file, FileWorker& worker, const Game& game)
    : file_(std::move(file)), worker_(worker), game_(game) {}

StatisticsKeeper::~StatisticsKeeper() { Finish(); }

void StatisticsKeeper::Note(GameMoment moment) {
  switch (moment) {
    case GameMoment::Started:
      // The board is as dealt until the clock starts: no cell open, no rubble.
      underWay_ = GameResult{game_.gro.GameLevel, GameOutcome::Abandoned, 0, Board3BV(game_.gro, game_.board)};
      break;
    case GameMoment::Won:
      Count(GameOutcome::Won);
      break;
    case GameMoment::Lost:
      Count(GameOutcome::Lost);
      break;
    case GameMoment::BoardDealt:
      Count(GameOutcome::Abandoned);
      break;
  }
}

void StatisticsKeeper::Count(GameOutcome outcome) {
  if (!underWay_) return;
  GameResult game = *std::exchange(underWay_, std::nullopt);
  game.outcome = outcome;
  game.frames = game_.gro.ElapsedTime;
  {
    const std::lock_guard lock(mutex_);
    unwritten_.push_back(game);
  }
  worker_.Post([this] { Write(); });
}

void StatisticsKeeper::Clear() {
  {
    const std::lock_guard lock(mutex_);
    unwritten_.clear();
    clear_ = true;
    ++clears_;
  }
  worker_.Post([this] { Write(); });
}

void StatisticsKeeper::Write() {
  std::vector<GameResult> games;
  bool clear = false;
  uint64_t clears = 0;
  {
    const std::lock_guard lock(mutex_);
    if (unwritten_.empty() && !clear_) return;
    games = unwritten_;
    clear = clear_;
    clears = clears_;
  }
  if (AddToStatistics(file_, games, clear).outcome == WriteResult::Outcome::kFailed) return;
  const std::lock_guard lock(mutex_);
  // A clearing asked for meanwhile has dropped these games already, and is still to be written.
  if (clears_ != clears) return;
  unwritten_.erase(unwritten_.begin(), unwritten_.begin() + static_cast<std::ptrdiff_t>(games.size()));
  clear_ = false;
}

int StatisticsKeeper::Finish() {
  Count(GameOutcome::Abandoned);
  worker_.Finish();
  Write();
  const std::lock_guard lock(mutex_);
  return static_cast<int>(unwritten_.size());
}


}  // namespace porteka
