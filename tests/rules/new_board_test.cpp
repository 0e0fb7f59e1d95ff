#include "rules_fixture.h"

namespace porteka::test {
namespace {

constexpr uint32_t kMultiplier = 1664525u;
constexpr uint32_t kIncrement = 1013904223u;

// The seed whose next state is the one given: the generator run backwards.
uint32_t SeedBefore(uint32_t state) {
  uint32_t inverse = kMultiplier;  // Newton's iteration for the inverse modulo 2^32
  for (int i = 0; i < 5; ++i) inverse *= 2u - kMultiplier * inverse;
  return (state - kIncrement) * inverse;
}

TEST(PortableRandomTest, KnownValuesAndNeverOne) {
  PortableRandom one(1);
  EXPECT_EQ(one.Next(), 3967065.0f / 16777216.0f);
  EXPECT_EQ(one.Next(), 6195333.0f / 16777216.0f);

  // The largest value is still below one, and times the widest board it is
  // still the last column.
  PortableRandom top(SeedBefore(0xffffffffu));
  const float r = top.Next();
  EXPECT_EQ(r, 16777215.0f / 16777216.0f);
  EXPECT_EQ(static_cast<int>(std::floor(static_cast<double>(r) * 32)), 31);
}

using NewBoardTest = RulesTest;

// What a fresh board must look like, whatever the random draws were.
void ExpectFreshBoard(Game& game) {
  const int w = game.gro.BoardWidth, h = game.gro.BoardHeight;
  int bombs = 0;
  for (int y = 0; y < kArraySide; ++y) {
    for (int x = 0; x < kArraySide; ++x) {
      SCOPED_TRACE(testing::Message() << "cell " << x << "," << y);
      if (!game.OnBoard(x, y)) {
        ASSERT_EQ(game.Value(x, y) + static_cast<int>(game.State(x, y)), 0);  // empty and open
        continue;
      }
      ASSERT_EQ(game.State(x, y), Cover::Covered);
      int around = 0;
      for (int ny = y - 1; ny <= y + 1; ++ny)
        for (int nx = x - 1; nx <= x + 1; ++nx) around += nx >= 0 && nx < w && ny >= 0 && ny < h && game.Value(nx, ny) == kBomb;
      bombs += game.Value(x, y) == kBomb;
      if (game.Value(x, y) != kBomb) {
        ASSERT_EQ(game.Value(x, y), around);
      }
    }
  }
  EXPECT_EQ(bombs, game.gro.BombCount);
  EXPECT_EQ(game.CoveredCount, w * h);
  EXPECT_EQ(game.BombsLeft, game.gro.BombCount);
  EXPECT_EQ(game.GameState, GamePhase::Waiting);
  EXPECT_EQ(game.gro.ElapsedTime, 0);
}

TEST_F(NewBoardTest, ManySeedsAndSizesGiveExactBombsAndTrueCounts) {
  const std::pair<int16_t, int16_t> sizes[] = {{2, 2}, {8, 8}, {16, 16}, {30, 16}, {32, 32}, {5, 31}, {32, 2}, {3, 17}};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    PortableRandom r(seed * 2654435761u);
    game.random = &r;
    for (const auto& [w, h] : sizes) {
      const int cells = w * h;
      // The last count puts a bomb on every cell of the smaller boards.
      for (const int bombs : {1, cells / 5 + 1, std::min(cells, 256)}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " " << w << "x" << h << " bombs " << bombs);
        SetCustomBoard(game, w, h, static_cast<int16_t>(bombs));
        StartCustomGame(game);
        ExpectFreshBoard(game);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST_F(NewBoardTest, ALargerBoardLeavesNothingBehindOutsideASmallerOne) {
  SetCustomBoard(game, 32, 32, 256);
  StartCustomGame(game);
  // Play on it: open, flag and mark cells, blow something up.
  for (int i = 0; i < 200; ++i) {
    Move(RevealMode{static_cast<int16_t>(1 + i % 2)}, (i * 7) % 32, (i * 13) % 32);
    Frames(1);
  }
  Form_KeyDown(game, kKeyA, kCtrlKey);
  StartLevel(game, Level::Beginner);
  ExpectFreshBoard(game);
}

TEST_F(NewBoardTest, TheColumnIsDrawnBeforeTheRowAndACollisionCostsAPair) {
  ScriptedRandom scripted({0.5f, 0.25f,         // (4, 2) on 8 x 8
                           0.5f, 0.25f,         // (4, 2) again: discarded
                           0.0f, 0.99999994f,   // (0, 7)
                           0.9f, 0.1f});        // (7, 0)
  game.random = &scripted;
  SetCustomBoard(game, 8, 8, 3);
  StartCustomGame(game);
  EXPECT_EQ(scripted.draws(), 8u);
  EXPECT_EQ(Value(4, 2), kBomb);
  EXPECT_EQ(Value(0, 7), kBomb);
  EXPECT_EQ(Value(7, 0), kBomb);
  EXPECT_EQ(std::count(game.CellValue.begin(), game.CellValue.end(), kBomb), 3);
}

TEST_F(NewBoardTest, StartGameLaysOutResetsTheFaceThenDealsFromTheSameGenerator) {
  StartLevel(game, Level::Beginner);
  EXPECT_EQ(outside.Take(), (S{"layout", "face 0", "counters Time 0   sec|Bom 10 "}));
  const auto first = game.CellValue;
  StartLevel(game, Level::Beginner);
  EXPECT_NE(game.CellValue, first);
}

}  // namespace
}  // namespace porteka::test
