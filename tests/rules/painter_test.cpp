#include "render/board_painter.h"
#include "render/sprite_strip.h"
#include "rules_fixture.h"
#include "tests/support/synthetic_art.h"

namespace porteka::test {
namespace {

// An opaque board of noise, so every OR shows.
Surface NoiseSurface(int w, int h, uint32_t seed) {
  Surface s(w, h);
  for (uint32_t& p : s.pixels) {
    seed = seed * 747796405u + 2891336453u;
    p = 0xff000000u | ((seed >> 7) & 0x00f0f0f0u);
  }
  return s;
}

class PainterTest : public RulesTest {
 protected:
  SpriteSheets sheets = SyntheticSheets();
  BoardPainter painter{sheets};
};

TEST_F(PainterTest, ACoveredCellShowsOnlyItsCoverAnOpenCellOnlyItsContent) {
  game.gro.BoardWidth = 12;
  game.gro.BoardHeight = 5;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 12; ++x) {
      State(x, y) = static_cast<Cover>(y);  // open, covered, flag, second mark, keyboard mark
      Value(x, y) = static_cast<uint8_t>(x);  // every content, bomb and rubble included
    }
  // Only the board's cells are drawn on a fresh grey surface.
  Surface want(256, 256, kBoardBackground);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 12; ++x) CopyRect(want, 16 * x, 16 * y, 16, 16, sheets.cells, 16 * (y == 0 ? x + 4 : y - 1), 0);
  painter.Resize(256, 256);
  painter.DrawBoard(game.gro, game.board);
  EXPECT_EQ(painter.board().pixels, want.pixels);
  // A surface smaller than the board clips.
  painter.Resize(40, 24);
  EXPECT_EQ(painter.board().At(0, 0), kBoardBackground);
  painter.DrawBoard(game.gro, game.board);
  Surface corner(40, 24);
  CopyRect(corner, 0, 0, 40, 24, want, 0, 0);
  EXPECT_EQ(painter.board().pixels, corner.pixels);
}

// The strip's own clipping and a plain OrRect, clipping against both images,
// must agree wherever a frame lands.
TEST(SpriteStripTest, OrFrameMatchesAPlainOrOfTheWholeFrameAtEveryEdge) {
  struct StripCase {
    int size, frames, stripWidth, stripHeight;
  };
  const StripCase cases[] = {
      {48, 10, 480, 48}, {120, 20, 2400, 120}, {7, 3, 21, 7},
      {48, 10, 460, 48},  // last frame cut short
      {48, 10, 480, 40},  // every frame cut short
  };
  for (const StripCase& c : cases) {
    Surface full = SyntheticStrip(c.size, c.frames, true, static_cast<uint32_t>(c.size));
    Surface strip(c.stripWidth, c.stripHeight);
    CopyRect(strip, 0, 0, c.stripWidth, c.stripHeight, full, 0, 0);
    const SpriteStrip sprites(strip, c.size, c.frames);
    EXPECT_EQ(sprites.frames(), c.frames);

    const int w = 300, h = 200;  // room for a whole blast, to take the unclipped path too
    const int xs[] = {-c.size - 3, -c.size, -c.size + 1, -c.size / 2, -1, 0, 1, 37, w - c.size, w - c.size + 1, w - 1, w, w + 5};
    const int ys[] = {-c.size, -c.size + 1, -5, 0, 3, h - c.size, h - 2, h - 1, h};
    for (int frame = -1; frame <= c.frames + 1; ++frame)  // frames that do not exist draw nothing
      for (const int x : xs)
        for (const int y : ys) {
          Surface got = NoiseSurface(w, h, static_cast<uint32_t>(x * 131 + y));
          Surface want = got;
          sprites.OrFrame(got, frame, x, y);
          if (frame >= 1 && frame <= c.frames) OrRect(want, x, y, c.size, c.size, strip, (frame - 1) * c.size, 0);
          ASSERT_EQ(got.pixels, want.pixels) << "size " << c.size << " frame " << frame << " at " << x << "," << y;
        }
    EXPECT_EQ(sprites.LitPixels(c.frames + 1) + sprites.LitPixels(255) + sprites.LitPixels(-1), 0u);
  }
}

// A one-pixel red frame along the cell's edge, clipped at the surface's edges.
TEST_F(PainterTest, TheMarkerFramesTheCellAndIsClipped) {
  painter.Resize(64, 64);
  const Surface& b = painter.board();
  for (const auto& [gx, gy] : {std::pair{16, 32}, {-8, -8}, {56, 56}, {64, 0}, {0, 64}, {512, 512}, {-16, -16}}) {
    painter.board().Fill(Rgb(0, 0, 255));
    painter.DrawMarker(static_cast<int16_t>(gx), static_cast<int16_t>(gy));
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const bool inCell = x >= gx && x <= gx + 15 && y >= gy && y <= gy + 15;
        const bool edge = inCell && (x == gx || x == gx + 15 || y == gy || y == gy + 15);
        ASSERT_EQ(b.At(x, y), edge ? Rgb(255, 0, 0) : Rgb(0, 0, 255)) << gx << "," << gy << ": " << x << "," << y;
      }
  }
}

// A real frame: the rules draw with the painter as their canvas.
TEST_F(PainterTest, AFrameIsTheBoardThenEveryEffectOredThenTheMarker) {
  SetCustomBoard(game, 6, 5, 1);
  const std::pair<int16_t, int16_t> bomb[] = {{4, 3}};
  StartCustomGame(game, bomb);
  EXPECT_EQ(game.layout.boardWidth, 96);
  painter.Resize(game.layout.boardWidth, game.layout.boardHeight);
  Picture1_MouseDown(game.pointer, 20, 20);
  RevealCell(game, RevealMode::Uncover, 8, 72);   // a flash at (0, 4)
  RevealCell(game, RevealMode::Uncover, 72, 56);  // the bomb
  RevealCell(game, RevealMode::Uncover, 90, 8);   // a flash at (5, 0)
  RunFrame(game, painter);

  BoardPainter board{sheets};  // the cells alone, as the first test checks them
  board.Resize(96, 80);
  board.DrawBoard(game.gro, game.board);
  Surface want = board.board();
  OrRect(want, -16, 48, 48, 48, sheets.openFlash, 0, 0);
  OrRect(want, 64, -16, 48, 48, sheets.openFlash, 0, 0);
  OrRect(want, 12, -4, 120, 120, sheets.explosion, 0, 0);
  FrameRect(want, 16, 16, 31, 31, kMarkerColour);
  EXPECT_EQ(painter.board().pixels, want.pixels);
}

}  // namespace
}  // namespace porteka::test
