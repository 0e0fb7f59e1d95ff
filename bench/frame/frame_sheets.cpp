// Renders successive frames of a flood wave and of an explosion chain with the
// real drawing code and the committed art, and saves each run as a contact
// sheet (frames left to right, then the next row), every pixel doubled.
//
//   frame_sheets [output folder]   -> flood_wave.png, explosion_chain.png

#include <QImage>
#include <algorithm>
#include <QString>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench_art.h"
#include "game/game_flow.h"
#include "game/level.h"
#include "game/new_board.h"
#include "game/random.h"
#include "game/reveal.h"
#include "input/mouse.h"
#include "game/effects.h"
#include "render/frame.h"
#include "render/sprite_strip.h"
#include "tests/support/synthetic_art.h"

namespace porteka::bench {
namespace {

constexpr int kScale = 2;
constexpr int kGap = 6;
constexpr int kPerRow = 6;

using Rows = std::vector<std::string>;

// The painter's strips against a plain OR of the whole frame, at the edges too:
// the art must come out exactly as drawn.
bool StripsMatchPlainOr(const SpriteSheets& sheets) {
  const std::pair<const Surface*, std::pair<int, int>> strips[] = {
      {&sheets.openFlash, {kOpenSpriteSize, kOpenFrames}}, {&sheets.explosion, {kExplosionSpriteSize, kExplosionFrames}}};
  for (const auto& [strip, shape] : strips) {
    const auto [size, frames] = shape;
    const SpriteStrip sprites(*strip, size, frames);
    for (int frame = 1; frame <= frames; ++frame) {
      for (const int x : {-size + 3, -16, 0, 100, 256 - size / 2, 255}) {
        Surface got(256, 256, Rgb(128, 64, 32));
        Surface want = got;
        sprites.OrFrame(got, frame, x, x / 2);
        OrRect(want, x, x / 2, size, size, *strip, (frame - 1) * size, 0);
        if (got.pixels != want.pixels) return false;
      }
    }
  }
  return true;
}

class Film {
 public:
  void Add(const Surface& frame) { frames_.push_back(frame); }

  bool Save(const QString& path) const {
    if (frames_.empty()) return false;
    const int w = frames_[0].width * kScale, h = frames_[0].height * kScale;
    const int cols = std::min(kPerRow, static_cast<int>(frames_.size()));
    const int rows = (static_cast<int>(frames_.size()) + kPerRow - 1) / kPerRow;
    QImage sheet(cols * (w + kGap) + kGap, rows * (h + kGap) + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(40, 40, 48));
    for (size_t i = 0; i < frames_.size(); ++i) {
      const int left = kGap + static_cast<int>(i) % kPerRow * (w + kGap);
      const int top = kGap + static_cast<int>(i) / kPerRow * (h + kGap);
      for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(sheet.scanLine(top + y)) + left;
        const uint32_t* src = frames_[i].Row(y / kScale);
        for (int x = 0; x < w; ++x) line[x] = src[x / kScale];
      }
    }
    return sheet.save(path);
  }

 private:
  std::vector<Surface> frames_;
};

struct Player {
  explicit Player(const SpriteSheets& sheets) : painter(sheets), game(random, outside) { LoadGame(game); }
  void Deal(const Rows& rows) {
    std::vector<std::pair<int16_t, int16_t>> bombs;
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        if (rows[y][x] == '*' || rows[y][x] == 'F') bombs.emplace_back(static_cast<int16_t>(x), static_cast<int16_t>(y));
    SetCustomBoard(game, static_cast<int16_t>(rows[0].size()), static_cast<int16_t>(rows.size()),
                   static_cast<int16_t>(bombs.size()));
    game.gro.GameLevel = Level::Custom;
    StartGame(game, bombs);
    painter.Resize(game.layout.boardWidth, game.layout.boardHeight);
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        if (rows[y][x] == 'F') game.board.State(static_cast<int>(x), static_cast<int>(y)) = Cover::Flag;
  }
  // A left-button move over the cell after a press on it, as the player does it.
  void Uncover(int x, int y) {
    const float px = static_cast<float>(16 * x + 8), py = static_cast<float>(16 * y + 8);
    Picture1_MouseDown(game.pointer, px, py);
    Picture1_MouseMove(game, kLeftButton, px, py);
  }
  void Shoot(Film& film, int frames) {
    film.Add(painter.board());
    for (int i = 0; i < frames; ++i) {
      RunFrame(game, painter);
      film.Add(painter.board());
    }
  }
  PortableRandom random{1};
  SilentOutside outside;
  BoardPainter painter;
  Game game;
};

}  // namespace
}  // namespace porteka::bench

int main(int argc, char** argv) {
  using namespace porteka;
  using namespace porteka::bench;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  std::optional<SpriteSheets> sheets = RealSheets();
  if (!sheets) {
    std::fprintf(stderr, "the art under assets/ is missing: using stand-in art\n");
    sheets = test::SyntheticSheets();
  }
  std::printf("sprite strips against a plain OR: %s\n", StripsMatchPlainOr(*sheets) ? "identical" : "DIFFERENT");

  // A quiet board with a few scattered bombs: one move opens most of it.
  Player flood(*sheets);
  flood.Deal({"................",
              "................",
              "................",
              ".........*......",
              "................",
              "..............*.",
              "......*.........",
              "................",
              "...........*....",
              "*...............",
              "................",
              "....*......*....",
              "................",
              "........*.......",
              "..*...........*.",
              "................"});
  RunFrame(flood.game, flood.painter);  // the fresh board, before the move
  Film wave;
  flood.Uncover(1, 1);
  flood.Shoot(wave, 11);
  const bool waveSaved = wave.Save(folder + "/flood_wave.png");

  // Bombs two cells apart in a line that bends: each blast sets off the next.
  // A flagged bomb beside the line stays put.
  Player chain(*sheets);
  chain.Deal({"................",
              "..............*.",
              "..*.............",
              "....*..F........",
              "......*.........",
              "........*.......",
              "..........*.....",
              "............*...",
              "................",
              ".............*..",
              ".....*..........",
              "............*...",
              "..........*.....",
              ".*..............",
              "................",
              "................"});
  RunFrame(chain.game, chain.painter);
  Film blasts;
  chain.Uncover(2, 2);
  chain.Shoot(blasts, 17);
  const bool chainSaved = blasts.Save(folder + "/explosion_chain.png");

  std::printf("%s/flood_wave.png: %s\n%s/explosion_chain.png: %s\n", folder.toLocal8Bit().constData(),
              waveSaved ? "saved" : "NOT SAVED", folder.toLocal8Bit().constData(), chainSaved ? "saved" : "NOT SAVED");
  return waveSaved && chainSaved ? 0 : 1;
}
