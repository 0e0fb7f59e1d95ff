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

TEST(PortableRandomTest, SeedOneGivesTheKnownSequence) {
  PortableRandom r(1);
  EXPECT_EQ(r.Next(), 3967065.0f / 16777216.0f);
  EXPECT_EQ(r.Next(), 6195333.0f / 16777216.0f);
}

TEST(PortableRandomTest, TheLargestValueIsStillBelowOne) {
  PortableRandom top(SeedBefore(0xffffffffu));
  const float r = top.Next();
  EXPECT_EQ(r, 16777215.0f / 16777216.0f);
  EXPECT_LT(r, 1.0f);
  // Times the widest board it is still the last column.
  EXPECT_EQ(static_cast<int>(std::floor(static_cast<double>(r) * 32)), 31);

  PortableRandom bottom(SeedBefore(0x000000ffu));
  EXPECT_EQ(bottom.Next(), 0.0f);
}

TEST(PortableRandomTest, AMillionDrawsStayInTheUnitInterval) {
  PortableRandom r(0);
  double sum = 0;
  for (int i = 0; i < 1000000; ++i) {
    const float v = r.Next();
    ASSERT_GE(v, 0.0f);
    ASSERT_LT(v, 1.0f);
    sum += v;
  }
  EXPECT_NEAR(sum / 1000000, 0.5, 0.002);
}

using NewBoardTest = RulesTest;

// What a fresh board must look like, whatever the random draws were.
void ExpectFreshBoard(Game& game) {
  const int w = game.gro.BoardWidth;
  const int h = game.gro.BoardHeight;
  int bombs = 0;
  for (int y = 0; y < kArraySide; ++y) {
    for (int x = 0; x < kArraySide; ++x) {
      SCOPED_TRACE(testing::Message() << "cell " << x << "," << y);
      if (x >= w || y >= h) {
        ASSERT_EQ(game.Value(x, y), 0);
        ASSERT_EQ(game.State(x, y), kOpen);
        continue;
      }
      ASSERT_EQ(game.State(x, y), kCovered);
      if (game.Value(x, y) == kBomb) {
        ++bombs;
        continue;
      }
      int around = 0;
      for (int ny = y - 1; ny <= y + 1; ++ny)
        for (int nx = x - 1; nx <= x + 1; ++nx)
          if (nx >= 0 && nx < w && ny >= 0 && ny < h && game.Value(nx, ny) == kBomb) ++around;
      ASSERT_EQ(game.Value(x, y), around);
    }
  }
  EXPECT_EQ(bombs, game.gro.BombCount);
  EXPECT_EQ(game.CoveredCount, w * h);
  EXPECT_EQ(game.GameState, -1);
  EXPECT_EQ(game.gro.ElapsedTime, 0);
  EXPECT_EQ(game.BombsLeft, game.gro.BombCount);
}

TEST_F(NewBoardTest, ManySeedsAndSizesGiveExactBombsAndTrueCounts) {
  const std::pair<int16_t, int16_t> sizes[] = {{2, 2}, {8, 8}, {16, 16}, {30, 16}, {32, 32}, {5, 31}, {32, 2}, {3, 17}};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    PortableRandom r(seed * 2654435761u);
    game.random = &r;
    for (const auto& [w, h] : sizes) {
      const int cells = w * h;
      for (const int bombs : {1, cells / 5 + 1, std::min(cells, 256)}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " " << w << "x" << h << " bombs " << bombs);
        SetCustomBoard(game, w, h, static_cast<int16_t>(bombs));
        StartCustomGame(game);
        ExpectFreshBoard(game);
        if (HasFatalFailure()) return;
      }
    }
  }
  game.random = &random;
}

TEST_F(NewBoardTest, AdvancedHasNinetyNineBombsOnFourHundredEightyCells) {
  StartLevel(game, kAdvanced);
  ExpectFreshBoard(game);
  EXPECT_EQ(game.CoveredCount, 480);
  EXPECT_EQ(std::count(game.CellValue.begin(), game.CellValue.end(), kBomb), 99);
}

TEST_F(NewBoardTest, ABombOnEveryCellStillEnds) {
  SetCustomBoard(game, 2, 2, 4);
  StartCustomGame(game);
  ExpectFreshBoard(game);
  SetCustomBoard(game, 16, 16, 256);
  StartCustomGame(game);
  ExpectFreshBoard(game);
  EXPECT_EQ(std::count(game.CellValue.begin(), game.CellValue.end(), kBomb), 256);
}

TEST_F(NewBoardTest, ALargerBoardLeavesNothingBehindOutsideASmallerOne) {
  SetCustomBoard(game, 32, 32, 256);
  StartCustomGame(game);
  // Play on it: open, flag and mark cells, blow something up.
  for (int i = 0; i < 200; ++i) {
    Move(static_cast<int16_t>(1 + i % 2), (i * 7) % 32, (i * 13) % 32);
    Frames(1);
  }
  Form_KeyDown(game, 65, 2);
  StartLevel(game, kBeginner);
  ExpectFreshBoard(game);
}

TEST_F(NewBoardTest, TheColumnIsDrawnBeforeTheRowAndACollisionCostsAPair) {
  ScriptedRandom scripted({0.5f, 0.25f,         // (4, 2) on 8 x 8
                           0.5f, 0.25f,         // (4, 2) again: discarded
                           0.0f, 0.99999994f,   // (0, 7)
                           0.9f, 0.1f});        // (7, 0)
  game.random = &scripted;
  game.gro.GameLevel = kCustom;
  game.gro.BoardWidth = 8;
  game.gro.BoardHeight = 8;
  game.gro.BombCount = 3;
  StartGame(game);
  game.random = &random;
  EXPECT_EQ(scripted.draws(), 8u);
  EXPECT_EQ(Value(4, 2), kBomb);
  EXPECT_EQ(Value(0, 7), kBomb);
  EXPECT_EQ(Value(7, 0), kBomb);
  EXPECT_EQ(Value(2, 4), 0);
  EXPECT_EQ(std::count(game.CellValue.begin(), game.CellValue.end(), kBomb), 3);
}

TEST_F(NewBoardTest, ANewGameGoesOnWithTheSameSequence) {
  StartLevel(game, kIntermediate);
  const auto first = game.CellValue;
  StartLevel(game, kIntermediate);
  const auto second = game.CellValue;
  EXPECT_NE(first, second);

  // Replay from the same seed, counting the first board's draws, and the
  // second board must come out of the draws after them.
  PortableRandom again(20240601);
  game.random = &again;
  StartLevel(game, kIntermediate);
  EXPECT_EQ(game.CellValue, first);
  StartLevel(game, kIntermediate);
  EXPECT_EQ(game.CellValue, second);
  game.random = &random;
}

TEST_F(NewBoardTest, StartGameLaysOutResetsTheFaceThenDeals) {
  StartLevel(game, kBeginner);
  EXPECT_EQ(outside.Take(), (std::vector<std::string>{"layout", "face 0", "counters Time 0   sec|Bom 10 "}));
  StartLevel(game, kAdvanced);
  EXPECT_EQ(outside.Take(), (std::vector<std::string>{"layout", "face 0", "counters Time 0   sec|Bom 99 "}));
}

TEST_F(NewBoardTest, ANewBoardLeavesTheEffectsAndTheMarkerAlone) {
  StartLevel(game, kBeginner);
  game.PointerX = 100;
  game.PointerY = 50;
  game.OpenEffects[3] = {4, 16, 32};
  game.Explosions[256] = {19, -52, 400};
  StartLevel(game, kIntermediate);
  EXPECT_EQ(game.OpenEffects[3].Phase, 4);
  EXPECT_EQ(game.OpenEffects[3].X, 16);
  EXPECT_EQ(game.Explosions[256].Phase, 19);
  EXPECT_EQ(game.Explosions[256].Y, 400);
  EXPECT_EQ(game.PointerX, 100);
  EXPECT_EQ(game.PointerY, 50);
}

TEST_F(NewBoardTest, HandDealtBoardsCountTheirNeighbours) {
  DealCustom({"*..*",
              "....",
              "..**"});
  // Corners see three cells at most, edges five.
  const int want[3][4] = {{9, 1, 1, 9}, {1, 2, 3, 3}, {0, 1, 9, 9}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Value(x, y), want[y][x]) << x << "," << y;
  EXPECT_EQ(game.CoveredCount, 12);
  EXPECT_EQ(game.BombsLeft, 4);
}

}  // namespace
}  // namespace porteka::test
