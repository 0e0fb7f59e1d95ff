#include "runs/run_check.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <new>

#include "game/game_flow.h"
#include "game/random.h"
#include "records/player_file.h"
#include "records/run_files.h"
#include "game/canvas.h"
#include "render/frame.h"
#include "runs/scenario_steps.h"

namespace porteka {
namespace {

// Far beyond any run or bug report; a larger file is not read.
constexpr size_t kMaxWatchedFileBytes = size_t{64} << 20;

// Notes what a run shows of the world: the face and the records checks.
class EndOutside final : public Outside {
 public:
  const Game* game = nullptr;
  Face face = Face::Normal;
  std::vector<std::pair<Level, int32_t>> checks;

  void PlaySound(SoundCue) override {}
  void DrawFace(Face shown) override { face = shown; }
  void OfferRecord() override { checks.emplace_back(game->gro.GameLevel, game->gro.ElapsedTime); }
  void LayOutWindow() override {}
  void DrawCounters(std::string_view, std::string_view) override {}
};

bool EffectsLive(const Game& game) {
  const auto live = [](const EffectRecord& record) { return record.Phase != 0; };
  return std::any_of(game.effects.OpenEffects.begin(), game.effects.OpenEffects.end(), live) ||
         std::any_of(game.effects.Explosions.begin(), game.effects.Explosions.end(), live);
}

}  // namespace

RunEnd PlayRun(std::string_view text) {
  RunEnd end;
  try {
    const replay::Scenario scenario = replay::ParseScenario(text);
    if (!scenario.first.level) throw replay::ScenarioError("a run starts with a dealt board: it needs \"level\"");
    EndOutside outside;
    ScriptedRandom random = replay::ChanceOf(scenario.random);
    auto game = std::make_unique<Game>(random, outside);
    outside.game = game.get();
    BlankCanvas canvas;
    LoadGame(*game);
    EnterLoop(game->loop, 0);
    replay::DealFirst(*game, scenario);
    for (size_t i = 0; i < scenario.events.size(); ++i) replay::PlayEventOf(*game, canvas, scenario, i);
    end.level = game->gro.GameLevel;
    end.elapsedTime = game->gro.ElapsedTime;
    end.state = game->board.GameState;
    end.face = outside.face;
    end.recordChecks = std::move(outside.checks);
    while (end.framesToRest < kMaxRestFrames && EffectsLive(*game)) {
      RunFrame(*game, canvas);
      ++end.framesToRest;
    }
  } catch (const replay::ScenarioError& e) {
    end.error = e.what();
  } catch (const std::bad_alloc&) {
    end.error = "out of memory: the run is too large to play";
  }
  return end;
}

bool IsRunOf(const RunEnd& end, Level level, int32_t time) {
  const std::pair<Level, int32_t> record{level, time};
  return end.error.empty() && end.state == GamePhase::Over && end.level == level && end.elapsedTime == time &&
         std::find(end.recordChecks.begin(), end.recordChecks.end(), record) != end.recordChecks.end();
}

std::string FinishRun(const RunRecorder& recorder, std::optional<std::pair<Level, int32_t>> record) {
  const std::string text = recorder.Text();
  if (text.empty()) return {};
  const RunEnd end = PlayRun(text);
  if (!end.error.empty() || end.state != GamePhase::Over) return {};
  if (record && !IsRunOf(end, record->first, record->second)) return {};
  // And one frame more, which draws the board at rest: the last move shown, no effect over it.
  return recorder.Text(std::min(end.framesToRest + 1, kMaxRestFrames));
}

std::optional<std::string> RecordRunOf(const std::filesystem::path& recordsFile, Level level, int32_t time) {
  FileRead read = ReadPlayerFile(RunFileOf(recordsFile, level), kMaxRunFileBytes);
  if (read.status != FileRead::Status::kRead || !IsRunOf(PlayRun(read.bytes), level, time)) return std::nullopt;
  return std::move(read.bytes);
}

std::optional<std::string> ReadRunToWatch(const std::filesystem::path& file, std::string& error) {
  std::string text;
  try {
    std::ifstream in(file, std::ios::binary);
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
      text.append(buffer, static_cast<size_t>(in.gcount()));
      if (text.size() > kMaxWatchedFileBytes) {
        error = "the run is larger than 64 MiB";
        return std::nullopt;
      }
    }
    if (!in.eof()) {
      error = "cannot read " + file.string();
      return std::nullopt;
    }
  } catch (const std::bad_alloc&) {
    error = "out of memory reading the run";
    return std::nullopt;
  }
  error = PlayRun(text).error;
  if (!error.empty()) return std::nullopt;
  return text;
}

}  // namespace porteka
