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

// Exact bomb counts and a clean board outside a smaller one are checked after
// every action of the random play; the numbers on every board in the tests here.
TEST_F(NewBoardTest, TheColumnIsDrawnBeforeTheRowAndACollisionCostsAPair) {
  ScriptedRandom scripted({0.5f, 0.25f,         // (8, 2) on 16 x 8
                           0.5f, 0.25f,         // (8, 2) again: discarded
                           0.0f, 0.99999994f,   // (0, 7)
                           0.9f, 0.1f});        // (14, 0)
  game.random = &scripted;
  SetCustomBoard(game, 16, 8, 3);
  StartCustomGame(game);
  EXPECT_EQ(scripted.draws(), 8u);
  EXPECT_EQ(Value(8, 2), kBomb);
  EXPECT_EQ(Value(0, 7), kBomb);
  EXPECT_EQ(Value(14, 0), kBomb);
  EXPECT_EQ(std::count(game.CellValue.begin(), game.CellValue.end(), kBomb), 3);
}

}  // namespace
}  // namespace porteka::test
