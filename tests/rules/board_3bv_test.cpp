#include "game/board_3bv.h"

#include <functional>

#include "tests/rules/rules_fixture.h"

namespace porteka::test {
namespace {

class Board3BVTest : public RulesTest {
 protected:
  // A board with bombs is dealt; one without is the empty arrays at that size.
  void Lay(const Rows& rows) {
    if (std::any_of(rows.begin(), rows.end(), [](const std::string& row) { return row.find('*') != row.npos; })) {
      DealCustom(rows);
      return;
    }
    game.board.CellValue.fill(0);
    game.gro.BoardWidth = static_cast<int16_t>(rows[0].size());
    game.gro.BoardHeight = static_cast<int16_t>(rows.size());
  }
};

TEST_F(Board3BVTest, CountsRegionsAndTheNumbersNoRegionOpens) {
  Rows checkered(32, std::string(32, '.'));
  for (size_t y = 0; y < 32; y += 2)
    for (size_t x = 0; x < 32; x += 2) checkered[y][x] = '*';
  const struct {
    Rows rows;
    int16_t clicks;
  } boards[] = {
      {{"**", "**"}, 0},                       // all bombs
      {{"...", "..."}, 1},                     // no bombs: one region
      {Rows(32, std::string(32, '.')), 1},     // the largest board, empty
      {kSmall, 1},                             // two empty halves meeting at a corner
      {{"*.*", "...", "*.*"}, 5},              // numbers with no empty cell anywhere
      {{"*.", ".."}, 3},                       // three 1s
      {{"..*..", "..*.."}, 2},                 // two regions apart, the bombs between
      {{"..*....", "..*.*..", "..*...."}, 7},  // two regions, and five numbers that neither reaches
      {{"*.*...", "......"}, 5},               // a region and the four numbers it does not reach
      {checkered, 768},                        // 32 x 32 with 256 bombs: every safe cell on its own
  };
  for (const auto& board : boards) {
    Lay(board.rows);
    EXPECT_EQ(Board3BV(game.gro, game.board), board.clicks) << board.rows[0] << " " << board.rows.size();
  }
}

// A plain flood fill from the bombs alone: every empty cell still closed is
// uncovered, which opens its region and the numbers around it, then every
// number still closed.
int PlainClicks(const Game& game) {
  const int w = game.gro.BoardWidth, h = game.gro.BoardHeight;
  const auto in = [&](int x, int y) { return x >= 0 && x < w && y >= 0 && y < h; };
  const auto bomb = [&](int x, int y) { return in(x, y) && game.board.CellValue[x + kArraySide * y] == kBomb; };
  const auto around = [&](int x, int y) {
    int bombs = 0;
    for (int i = 0; i < 9; ++i) bombs += bomb(x + i % 3 - 1, y + i / 3 - 1);
    return bombs;
  };
  std::vector<bool> open(kArraySide * kArraySide);
  const std::function<void(int, int)> flood = [&](int x, int y) {
    if (!in(x, y) || bomb(x, y) || open[x + kArraySide * y]) return;
    open[x + kArraySide * y] = true;
    for (int i = 0; i < 9 && around(x, y) == 0; ++i) flood(x + i % 3 - 1, y + i / 3 - 1);
  };
  int clicks = 0;
  for (const bool numbers : {false, true})
    for (int i = 0; i < w * h; ++i)
      if (!bomb(i % w, i / w) && !open[i % w + kArraySide * (i / w)] && (around(i % w, i / w) != 0) == numbers) {
        flood(i % w, i / w);
        ++clicks;
      }
  return clicks;
}

TEST_F(Board3BVTest, AgreesWithAPlainFloodFillOnRandomBoards) {
  PortableRandom sizes(424242);
  const auto pick = [&](int from, int to) {
    return static_cast<int16_t>(from + static_cast<int>(sizes.Next() * static_cast<float>(to - from + 1)));
  };
  for (int board = 0; board < 2000; ++board) {
    const int16_t width = pick(2, 32);
    const int16_t height = pick(2, 32);
    SetCustomBoard(game, width, height, pick(1, std::min(width * height, board % 4 == 0 ? 256 : width * height / 5 + 1)));
    StartCustomGame(game);
    ASSERT_EQ(Board3BV(game.gro, game.board), PlainClicks(game)) << width << " x " << height << ", " << game.gro.BombCount << " bombs";
  }
}

}  // namespace
}  // namespace porteka::test
