#include <climits>

#include "rules_fixture.h"

namespace porteka::test {
namespace {

TEST(CountersTest, TimeTextIsCutToFourCharacters) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, "Time 0   sec"},     {30, "Time 1   sec"},      {29, "Time 0.96sec"},   {45, "Time 1.5 sec"},
      {1, "Time 0.03sec"},     // 0.03 printed to 17 digits would start 0.02
      {69, "Time 2.29sec"},    // 69 / 30 * 100 falls just short of 230
      {370, "Time 12.3sec"},   // 12.33 cut
      {3701, "Time 123.sec"},  // 123.36 cut after the point
      {3000, "Time 100 sec"},  {30000, "Time 1000sec"},
      {300000, "Time 1000sec"},  // 10000 s loses its last digit
      {INT32_MAX, "Time 7158sec"},
  };
  for (const auto& [frames, text] : cases) EXPECT_EQ(TimeText(frames), text) << frames;
}

TEST(CountersTest, BombsTextIsCutToThreeCharacters) {
  const std::pair<int16_t, const char*> cases[] = {
      {10, "Bom 10 "},   {0, "Bom 0  "},    {-1, "Bom -1 "},   {100, "Bom 100"},        {-10, "Bom -10"},
      {1000, "Bom 100"}, {-100, "Bom -10"}, {40, "Bom 40 "},   {INT16_MIN, "Bom -32"},  {INT16_MAX, "Bom 327"},
  };
  for (const auto& [bombs, text] : cases) EXPECT_EQ(BombsText(bombs), text) << bombs;
}

}  // namespace
}  // namespace porteka::test
