#include "runs/game_runs.h"

#include <utility>

#include "game/game_flow.h"
#include "game/new_board.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "render/frame.h"
#include "runs/run_check.h"
#include "runs/scenario_steps.h"

namespace porteka {
namespace {

// The window as a watched game sees it: everything but the records check.
class WatchedOutside final : public Outside {
 public:
  explicit WatchedOutside(Outside& world) : world_(world) {}
  // The start-up state the run starts from is never shown: the deal lays out.
  bool quiet = false;

  void PlaySound(SoundCue cue) override { world_.PlaySound(cue); }
  void DrawFace(Face face) override { world_.DrawFace(face); }
  void OfferRecord() override {}
  void LayOutWindow() override {
    if (!quiet) world_.LayOutWindow();
  }
  void DrawCounters(std::string_view timeText, std::string_view bombsText) override {
    world_.DrawCounters(timeText, bombsText);
  }

 private:
  Outside& world_;
};

// Frame n of a run is due n/30 s after its start, counted from the start so
// that no rounding adds up.
uint32_t FrameDue(uint64_t frame) { return static_cast<uint32_t>((frame * 1000 + 29) / 30); }

}  // namespace

struct GameRuns::Watching {
  Watching(replay::Scenario run, Outside& world)
      : scenario(std::move(run)), random(replay::ChanceOf(scenario.random)), outside(world) {}

  replay::Scenario scenario;
  ScriptedRandom random;
  WatchedOutside outside;
  size_t next = 0;          // the next event
  uint32_t framesLeft = 0;  // of the frames event under way
  bool inFrames = false;
  bool ended = false;
  uint32_t start = 0;
  uint64_t frames = 0;  // shown so far
};

GameRuns::GameRuns(Game& game, RandomSource& random, Outside& world) : game_(game), random_(random), world_(world) {}

GameRuns::~GameRuns() = default;

void GameRuns::MouseDown(float x, float y) {
  if (watch_) return;
  recorder_.MouseDown(game_, x, y);
  Picture1_MouseDown(game_.pointer, x, y);
  recorder_.After(game_);
}

void GameRuns::MouseMove(int16_t button, float x, float y) {
  if (watch_) return;
  recorder_.MouseMove(game_, button, x, y);
  Picture1_MouseMove(game_, button, x, y);
  recorder_.After(game_);
}

void GameRuns::DblClick() {
  if (watch_) return;
  recorder_.DblClick(game_);
  Picture1_DblClick(game_);
  recorder_.After(game_);
}

void GameRuns::KeyDown(int16_t keyCode, int16_t shift) {
  if (watch_) return;
  recorder_.Key(keyCode, shift);
  Form_KeyDown(game_, keyCode, shift);
  recorder_.After(game_);
}

void GameRuns::Deal(const std::function<void()>& deal) {
  KeepLastGame();
  deal();
  recorder_.Begin(game_);
}

bool GameRuns::LoopTurn(Canvas& canvas, uint32_t now) {
  lastNow_ = now;
  if (!watch_) {
    if (porteka::MillisecondsToNextFrame(game_.loop, now) != 0) return false;
    recorder_.Frame();
    porteka::LoopTurn(game_, canvas, now);
    recorder_.After(game_);
    return true;
  }
  Watching& watch = *watch_;
  if (watch.ended || now - watch.start < FrameDue(watch.frames)) return false;
  // A loop held up (a dialog of the window system, a stalled display) goes on
  // from here rather than catch up in a burst.
  if (now - watch.start >= FrameDue(watch.frames + 1)) watch.start = now - FrameDue(watch.frames);
  if (!PlayToNextFrame(canvas)) {
    watch.ended = true;
    return false;
  }
  ++watch.frames;
  return true;
}

uint32_t GameRuns::MillisecondsToNextFrame(uint32_t now) const {
  if (!watch_) return porteka::MillisecondsToNextFrame(game_.loop, now);
  // At its end the run waits for the player, who wakes the loop.
  if (watch_->ended) return 1000;
  const uint32_t due = FrameDue(watch_->frames);
  const uint32_t elapsed = now - watch_->start;
  return due > elapsed ? due - elapsed : 0;
}

bool GameRuns::PlayToNextFrame(Canvas& canvas) {
  Watching& watch = *watch_;
  const std::vector<replay::Event>& events = watch.scenario.events;
  try {
    while (watch.next < events.size()) {
      const replay::Event& event = events[watch.next];
      if (event.kind == replay::EventKind::Frame || event.kind == replay::EventKind::Frames) {
        if (!watch.inFrames) watch.framesLeft = event.count;
        watch.inFrames = watch.framesLeft != 0;
        if (!watch.inFrames) {
          ++watch.next;
          continue;
        }
        RunFrame(game_, canvas);
        if (--watch.framesLeft == 0) {
          watch.inFrames = false;
          ++watch.next;
        }
        return true;
      }
      ++watch.next;
      if (event.kind == replay::EventKind::Poll) {
        if (porteka::LoopTurn(game_, canvas, event.now)) return true;
        continue;
      }
      replay::PlayEventOf(game_, canvas, watch.scenario, watch.next - 1);
    }
  } catch (const replay::ScenarioError&) {
    // A run was played through before it was shown; one that fails all the same just ends.
    watch.next = events.size();
  }
  return false;
}

std::string GameRuns::RecordRun() const {
  if (watch_) return {};
  return FinishRun(recorder_, std::pair{game_.gro.GameLevel, game_.gro.ElapsedTime});
}

bool GameRuns::Watch(std::string_view run, uint32_t now) {
  replay::Scenario scenario;
  try {
    scenario = replay::ParseScenario(run);
  } catch (const replay::ScenarioError&) {
    return false;
  }
  if (!scenario.first.level) return false;
  EndWatch();
  KeepLastGame();
  recorder_.Drop();

  // The replay's start: the start-up state, then the run's first board.
  auto watch = std::make_unique<Watching>(std::move(scenario), world_);
  const uint8_t running = game_.loop.LoopRunning;
  game_ = Game(watch->random, watch->outside);
  game_.loop.LoopRunning = running;
  watch->outside.quiet = true;
  LoadGame(game_);
  watch->outside.quiet = false;
  watch->start = now;
  watch_ = std::move(watch);
  if (onWatching_) onWatching_(true);
  try {
    replay::DealFirst(game_, watch_->scenario);
  } catch (const replay::ScenarioError&) {
    Stop();
    return false;
  }
  return true;
}

bool GameRuns::WatchLastGame(uint32_t now) {
  const RunRecorder* last = LastGame();
  if (last == nullptr) return false;
  const std::string run = FinishRun(*last);
  return !run.empty() && Watch(run, now);
}

bool GameRuns::Stop() {
  if (!watch_) return false;
  EndWatch();
  Deal([this] { StartGame(game_); });
  return true;
}

void GameRuns::EndWatch() {
  if (!watch_) return;
  game_.random = &random_;
  game_.outside = &world_;
  game_.loop.LastFrameTime = lastNow_;
  watch_.reset();
  if (onWatching_) onWatching_(false);
}

const RunRecorder* GameRuns::LastGame() const {
  if (!watch_ && recorder_.started() && game_.board.GameState == GamePhase::Over) {
    return recorder_.ended() ? &recorder_ : nullptr;
  }
  return last_ ? &*last_ : nullptr;
}

void GameRuns::KeepLastGame() {
  if (watch_ || !recorder_.started() || game_.board.GameState != GamePhase::Over) return;
  if (recorder_.ended()) {
    last_ = std::move(recorder_);
  } else {
    last_.reset();
  }
  recorder_.Drop();
}

}  // namespace porteka
