#include "records/record_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace porteka {
namespace {

TEST(FormatRecordTime, ShowsWholeHundredthsWithoutTrailingZeros) {
  EXPECT_EQ(FormatRecordTime(0), "0[sec]");
  EXPECT_EQ(FormatRecordTime(1), "0.03[sec]");
  EXPECT_EQ(FormatRecordTime(15), "0.5[sec]");
  EXPECT_EQ(FormatRecordTime(29), "0.96[sec]");
  EXPECT_EQ(FormatRecordTime(30), "1[sec]");
  EXPECT_EQ(FormatRecordTime(370), "12.33[sec]");
  EXPECT_EQ(FormatRecordTime(29970), "999[sec]");
  EXPECT_EQ(FormatRecordTime(3), "0.1[sec]");
  EXPECT_EQ(FormatRecordTime(2), "0.06[sec]");
  EXPECT_EQ(FormatRecordTime(300030), "10001[sec]");
}

// The hundredths come from floor(t / 30 * 100) in doubles, not from exact
// arithmetic: 69 / 30 * 100 is 229.99999999999997, so 69 frames read 2.29.
TEST(FormatRecordTime, CutsOffAsDoubleArithmeticDoes) {
  EXPECT_EQ(FormatRecordTime(69), "2.29[sec]");
  EXPECT_EQ(FormatRecordTime(123), "4.09[sec]");
  EXPECT_EQ(FormatRecordTime(68), "2.26[sec]");
  EXPECT_EQ(FormatRecordTime(70), "2.33[sec]");
}

TEST(FormatRecordTime, HandlesTheWholeRangeOfTheClock) {
  EXPECT_EQ(FormatRecordTime(std::numeric_limits<int32_t>::max()), "71582788.23[sec]");
  // Negative times come only from a hand-edited file; they keep their sign.
  EXPECT_EQ(FormatRecordTime(-30), "-1[sec]");
  EXPECT_EQ(FormatRecordTime(-1), "-0.04[sec]");
  EXPECT_EQ(FormatRecordTime(std::numeric_limits<int32_t>::min()), "-71582788.27[sec]");
}

}  // namespace
}  // namespace porteka
