#include "rules_fixture.h"

namespace porteka::test {
namespace {

// How boards are dealt from a seed, collisions included, the custom_levels
// dump decides; the random play checks every board's bombs and numbers.

constexpr uint32_t kMultiplier = 1664525u;
constexpr uint32_t kIncrement = 1013904223u;

// The seed whose next state is the one given: the generator run backwards.
uint32_t SeedBefore(uint32_t state) {
  uint32_t inverse = kMultiplier;  // Newton's iteration for the inverse modulo 2^32
  for (int i = 0; i < 5; ++i) inverse *= 2u - kMultiplier * inverse;
  return (state - kIncrement) * inverse;
}

// The largest value is still below one, and times the widest board it is
// still the last column.
TEST(PortableRandomTest, TheLargestValueIsBelowOne) {
  PortableRandom top(SeedBefore(0xffffffffu));
  const float r = top.Next();
  EXPECT_EQ(r, 16777215.0f / 16777216.0f);
  EXPECT_EQ(static_cast<int>(std::floor(static_cast<double>(r) * 32)), 31);
}

}  // namespace
}  // namespace porteka::test
