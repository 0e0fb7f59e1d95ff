// What one frame costs: the board redrawn cell by cell, every live effect
// ORed over it with its trigger, the marker and the counter texts.
//
// (a) the worst frame the game can meet: a 32 x 32 board with every slot of
//     both pools live, phases spread over all frames, all over the board;
// (b) a typical frame: intermediate, a few effects;
// (c) the worst frame as the window shows it at each zoom: also compared with
//     the frame before and the changed part zoomed, and, in the repainted
//     cases, copied into a window-sized image as the repaint does.
// Each iteration starts from the same state, so the triggers that fire do the
// same work every time.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <memory>

#include "bench_art.h"
#include "game/game_flow.h"
#include "game/level.h"
#include "game/random.h"
#include "game/reveal.h"
#include "game/effects.h"
#include "render/frame.h"
#include "render/sprite_strip.h"
#include "render/zoomed_picture.h"
#include "tests/support/synthetic_art.h"

namespace porteka::bench {
namespace {

// The rules drawing with the board painter, as in the main window; the rest of
// the world takes no notice.
struct Scene {
  explicit Scene(const SpriteSheets& sheets) : painter(sheets), game(random, outside) { LoadGame(game); }
  // The board dealt: the painter's surface takes its size, as the main window's does.
  void FitPainter() { painter.Resize(game.layout.boardWidth, game.layout.boardHeight); }
  PortableRandom random{20240601};
  SilentOutside outside;
  BoardPainter painter;
  Game game;
};

void FillPools(Game& game) {
  for (int i = 0; i < kOpenEffectSlots; ++i) {
    const int cell = (i * 389) % 1024;
    game.effects.OpenEffects[i] = {static_cast<uint8_t>(1 + i % kOpenFrames), static_cast<int16_t>(16 * (cell % 32) - kOpenOffset),
                           static_cast<int16_t>(16 * (cell / 32) - kOpenOffset)};
  }
  for (int i = 0; i < kExplosionSlots; ++i) {
    const int cell = (i * 997) % 1024;
    game.effects.Explosions[i] = {static_cast<uint8_t>(1 + i % kExplosionFrames),
                          static_cast<int16_t>(16 * (cell % 32) - kExplosionOffset),
                          static_cast<int16_t>(16 * (cell / 32) - kExplosionOffset)};
  }
}

// A game running on a board with part of it opened, as a real game looks.
void PlayALittle(Game& game, int moves) {
  for (int i = 0; i < moves; ++i) {
    const float x = static_cast<float>((i * 53) % game.layout.boardWidth);
    const float y = static_cast<float>((i * 29) % game.layout.boardHeight);
    RevealCell(game, i % 5 == 0 ? RevealMode::CycleMark : RevealMode{0}, x, y);
  }
}

void RunFrames(benchmark::State& state, Scene& scene) {
  scene.FitPainter();
  const Game start = scene.game;
  for (auto _ : state) {
    scene.game = start;  // about 10 KB copied: small next to a frame
    RunFrame(scene.game, scene.painter);
    benchmark::DoNotOptimize(scene.painter.board().pixels.data());
    benchmark::ClobberMemory();
  }
  state.counters["board_px"] = static_cast<double>(scene.painter.board().pixels.size());
}

std::unique_ptr<Scene> MakeScene(benchmark::State& state, std::string_view art) {
  static const std::optional<SpriteSheets> real = RealSheets();
  static const SpriteSheets synthetic = test::SyntheticSheets();
  if (art == "real" && !real) {
    state.SkipWithError("assets/open_flash.png or assets/explosion.png missing");
    return nullptr;
  }
  return std::make_unique<Scene>(art == "real" ? *real : synthetic);
}

void DealWorstFrame(Game& game) {
  SetCustomBoard(game, 32, 32, 256);
  StartCustomGame(game);
  PlayALittle(game, 300);
  FillPools(game);
  game.board.GameState = GamePhase::Running;  // the clock runs, so the counters are drawn
  game.loop.CursorBlink = 0;                 // and the marker too
  game.pointer.PointerX = 250;
  game.pointer.PointerY = 250;
}

void BM_WorstFrame(benchmark::State& state, std::string_view art) {
  auto scene = MakeScene(state, art);
  if (!scene) return;
  DealWorstFrame(scene->game);
  RunFrames(state, *scene);
}

// Frames alternate between two successive states, so each is compared with a
// real frame before it.
void BM_WorstFrameZoomed(benchmark::State& state, bool repainted) {
  auto scene = MakeScene(state, "real");
  if (!scene) return;
  const int zoom = static_cast<int>(state.range(0));
  DealWorstFrame(scene->game);
  scene->FitPainter();
  const Game first = scene->game;
  Game second = first;
  RunFrame(second, scene->painter);
  ZoomedPicture picture;
  picture.SetZoom(zoom);
  picture.Update(scene->painter.board());
  QImage window(picture.shown().width, picture.shown().height, QImage::Format_RGB32);
  double changedPixels = 0;
  int64_t frames = 0;
  for (auto _ : state) {
    scene->game = frames++ % 2 == 0 ? first : second;
    RunFrame(scene->game, scene->painter);
    const PixelRect changed = picture.Update(scene->painter.board());
    changedPixels += static_cast<double>(changed.width) * changed.height;
    if (repainted) {
      const Surface& shown = picture.shown();
      const QImage image(reinterpret_cast<const uchar*>(shown.pixels.data()), shown.width, shown.height,
                         static_cast<qsizetype>(shown.width) * 4, QImage::Format_RGB32);
      QPainter painter(&window);
      const QRect area(changed.x, changed.y, changed.width, changed.height);
      painter.drawImage(area.topLeft(), image, area);
    }
    benchmark::ClobberMemory();
  }
  state.counters["changed_px"] = changedPixels / static_cast<double>(std::max<int64_t>(frames, 1));
}

void BM_TypicalFrame(benchmark::State& state, std::string_view art) {
  auto scene = MakeScene(state, art);
  if (!scene) return;
  Game& game = scene->game;
  StartLevel(game, Level::Intermediate);
  PlayALittle(game, 40);
  const int16_t cells[][2] = {{3, 4}, {4, 4}, {5, 5}, {12, 9}, {0, 15}};
  for (int i = 0; i < 5; ++i) {
    game.effects.OpenEffects[i] = {static_cast<uint8_t>(3 + i), static_cast<int16_t>(16 * cells[i][0] - kOpenOffset),
                           static_cast<int16_t>(16 * cells[i][1] - kOpenOffset)};
  }
  game.effects.Explosions[0] = {9, 16 * 8 - kExplosionOffset, 16 * 7 - kExplosionOffset};
  game.board.GameState = GamePhase::Running;
  game.loop.CursorBlink = 0;
  RunFrames(state, *scene);
}

// The parts of the worst frame on their own, to see where its time goes.
void BM_WorstBoardOnly(benchmark::State& state, std::string_view art) {
  auto scene = MakeScene(state, art);
  if (!scene) return;
  SetCustomBoard(scene->game, 32, 32, 256);
  StartCustomGame(scene->game);
  scene->FitPainter();
  for (auto _ : state) {
    scene->painter.DrawBoard(scene->game.gro, scene->game.board);
    benchmark::DoNotOptimize(scene->painter.board().pixels.data());
    benchmark::ClobberMemory();
  }
}

void BM_WorstEffectsOnly(benchmark::State& state, std::string_view art) {
  auto scene = MakeScene(state, art);
  if (!scene) return;
  SetCustomBoard(scene->game, 32, 32, 256);
  StartCustomGame(scene->game);
  FillPools(scene->game);
  scene->FitPainter();
  BoardPainter& painter = scene->painter;
  const Game& game = scene->game;
  // What the pools ask for: lit pixels ORed and runs of them walked.
  const SpriteSheets sheets = *SheetsNamed(art);
  const auto runs = [](const Surface& strip, int size, int frame) {
    int n = 0;
    for (int y = 0; y < size; ++y) {
      bool lit = false;
      for (int x = 0; x < size; ++x) {
        const bool now = (strip.At((frame - 1) * size + x, y) & 0x00ffffffu) != 0;
        n += now && !lit;
        lit = now;
      }
    }
    return n;
  };
  double litPixels = 0, litRuns = 0;
  for (const EffectRecord& r : game.effects.OpenEffects) {
    litPixels += static_cast<double>(SpriteStrip(sheets.openFlash, kOpenSpriteSize, kOpenFrames).LitPixels(r.Phase));
    litRuns += runs(sheets.openFlash, kOpenSpriteSize, r.Phase);
  }
  for (const EffectRecord& r : game.effects.Explosions) {
    litPixels += static_cast<double>(SpriteStrip(sheets.explosion, kExplosionSpriteSize, kExplosionFrames).LitPixels(r.Phase));
    litRuns += runs(sheets.explosion, kExplosionSpriteSize, r.Phase);
  }
  state.counters["lit_px"] = litPixels;
  state.counters["runs"] = litRuns;
  for (auto _ : state) {
    for (const EffectRecord& r : game.effects.OpenEffects) painter.DrawEffect(EffectKind::Open, r.Phase, r.X, r.Y);
    for (const EffectRecord& r : game.effects.Explosions) painter.DrawEffect(EffectKind::Explosion, r.Phase, r.X, r.Y);
    benchmark::DoNotOptimize(painter.board().pixels.data());
    benchmark::ClobberMemory();
  }
}

void BM_WorstRulesOnly(benchmark::State& state) {
  // The walk and its triggers with nothing drawn: the rules' own share.
  SilentOutside silent;
  BlankCanvas nothing;
  PortableRandom random(20240601);
  Game game(random, silent);
  LoadGame(game);
  SetCustomBoard(game, 32, 32, 256);
  StartCustomGame(game);
  PlayALittle(game, 300);
  FillPools(game);
  game.board.GameState = GamePhase::Running;
  const Game start = game;
  for (auto _ : state) {
    game = start;
    RunFrame(game, nothing);
    benchmark::ClobberMemory();
  }
}

BENCHMARK_CAPTURE(BM_WorstFrame, real, "real")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, synthetic, "synthetic")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrameZoomed, real, false)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrameZoomed, repainted, true)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypicalFrame, real, "real")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TypicalFrame, synthetic, "synthetic")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstBoardOnly, real, "real")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstEffectsOnly, real, "real")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstEffectsOnly, synthetic, "synthetic")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorstRulesOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace porteka::bench
