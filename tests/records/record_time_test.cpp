#include "records/record_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace porteka {
namespace {

// Whole hundredths without trailing zeros, cut off as floor(t / 30 * 100) in
// doubles does: 69 / 30 * 100 is 229.99999999999997, so 69 frames read 2.29.
// Negative times come only from a hand-edited file; they keep their sign.
TEST(FormatRecordTime, ShowsHundredthsAsDoubleArithmeticCutsThem) {
  const struct {
    int32_t frames;
    std::string text;
  } cases[] = {
      {0, "0[sec]"},         {1, "0.03[sec]"},    {2, "0.06[sec]"},       {3, "0.1[sec]"},
      {15, "0.5[sec]"},      {29, "0.96[sec]"},   {30, "1[sec]"},         {68, "2.26[sec]"},
      {69, "2.29[sec]"},     {70, "2.33[sec]"},   {123, "4.09[sec]"},     {370, "12.33[sec]"},
      {29970, "999[sec]"},   {300030, "10001[sec]"}, {-1, "-0.04[sec]"}, {-30, "-1[sec]"},
      {std::numeric_limits<int32_t>::max(), "71582788.23[sec]"},
      {std::numeric_limits<int32_t>::min(), "-71582788.27[sec]"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatRecordTime(c.frames), c.text) << c.frames;
}

}  // namespace
}  // namespace porteka
