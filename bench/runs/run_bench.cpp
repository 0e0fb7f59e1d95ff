// What a run costs to keep and to check, on the drawing thread:
//
// (a) a frame of the game in play with its run kept, against one without;
// (b) a beginner record's run played through to check it: a minute of play,
//     a move every frame;
// (c) the largest run the replay tool takes: 20,000 events and a million
//     frames on the largest board, its effects live; what opening the records
//     list can cost for each level at worst.

#include <benchmark/benchmark.h>

#include <string>

#include "game/game_flow.h"
#include "game/random.h"
#include "game/canvas.h"
#include "render/frame.h"
#include "runs/game_runs.h"
#include "runs/run_check.h"

namespace porteka::bench {
namespace {

void GameFrames(benchmark::State& state) {
  PortableRandom random(5);
  SilentOutside outside;
  Game game(random, outside);
  GameRuns runs(game, random, outside);
  BlankCanvas canvas;
  LoadGame(game);
  const bool kept = state.range(0) != 0;
  runs.Deal([&] { StartLevel(game, Level::Intermediate); });
  runs.MouseMove(0, 1, 1);
  uint32_t now = 0;
  for (auto _ : state) {
    now += 34;
    if (kept) {
      runs.LoopTurn(canvas, now);
    } else {
      LoopTurn(game, canvas, now);
    }
  }
  state.SetLabel(kept ? "kept as a run" : "not kept");
}
BENCHMARK(GameFrames)->Arg(0)->Arg(1);

// A run of moves with the same buttons, each followed by frames.
std::string Run(int level, const std::string& bombs, int moves, int framesEach, int button) {
  std::string text = "{\"level\":" + std::to_string(level) + bombs + ",\"events\":[";
  for (int i = 0; i < moves; ++i) {
    text += "{\"do\":\"mousemove\",\"button\":" + std::to_string(button) + ",\"x\":" + std::to_string((i * 37) % 120) +
            ".5,\"y\":" + std::to_string((i * 11) % 90) + "},{\"do\":\"frames\",\"n\":" + std::to_string(framesEach) +
            "},";
  }
  text.back() = ']';
  return text + "}";
}

void CheckRecordRun(benchmark::State& state, const std::string& run) {
  for (auto _ : state) benchmark::DoNotOptimize(PlayRun(run).elapsedTime);
  state.SetLabel(std::to_string(run.size() / 1024) + " KiB");
}

// Beginner, its bombs in the bottom row and two cells above it.
void BeginnerRecordRun(benchmark::State& state) {
  static const std::string run =
      Run(0, ",\"bombs\":[[0,6],[1,6],[0,7],[1,7],[2,7],[3,7],[4,7],[5,7],[6,7],[7,7]]", 1800, 1, 0);
  CheckRecordRun(state, run);
}
BENCHMARK(BeginnerRecordRun)->Unit(benchmark::kMillisecond);

// Custom 32 x 32 with a bomb in every fourth cell: the moves set off chains.
void LargestRun(benchmark::State& state) {
  static const std::string run = [] {
    std::string bombs = ",\"width\":32,\"height\":32,\"bomb_count\":256,\"bombs\":[";
    for (int i = 0; i < 256; ++i) {
      bombs += "[" + std::to_string((i * 4) % 32 + (i / 8) % 4) + "," + std::to_string(i / 8) + "],";
    }
    bombs.back() = ']';
    return Run(4, bombs, 9998, 100, 1);
  }();
  CheckRecordRun(state, run);
}
BENCHMARK(LargestRun)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace porteka::bench
