#include "records/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace porteka {
namespace {

// The Windows table, not glibc's "SHIFT_JIS": these are the characters where
// the two part ways.
TEST(Cp932, UsesTheWindowsTable) {
  EXPECT_EQ(Utf8ToCp932("～"), "\x81\x60");
  EXPECT_EQ(Utf8ToCp932("①"), "\x87\x40");
  EXPECT_EQ(Utf8ToCp932("髙"), "\xFB\xFC");
  EXPECT_EQ(Utf8ToCp932("登録なし"), "\x93\x6F\x98\x5E\x82\xC8\x82\xB5");
  EXPECT_EQ(Utf8ToCp932("ｱ"), "\xB1");
  EXPECT_EQ(Utf8ToCp932("\\~"), "\\~");
  EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～");
  EXPECT_EQ(Cp932ToUtf8("\x87\x40\xFB\xFC"), "①髙");
  EXPECT_EQ(Cp932ToUtf8("\x83\x5C\x95\x5C"), "ソ表");
}

TEST(Cp932, RoundTripsWhatTheCodePageHolds) {
  const std::string texts[] = {"名無士乃権兵衛", "～①②Ⅹ㈱髙﨑", "ソ表能", "ｶﾀｶﾅ",
                               "abc, \"def\" ", "", std::string("a\0b", 3)};
  for (const std::string& text : texts) {
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text) << text;
  }
}

// The wave dash a Unix input method types is the byte pair Windows uses for
// "～", so both systems write the same file.
TEST(Cp932, StoresTheUnixWaveDashAsTheWindowsOne) {
  EXPECT_EQ(Utf8ToCp932("〜"), "\x81\x60");
}

TEST(Cp932, WritesAQuestionMarkForWhatItCannotHold) {
  EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToCp932("한글"), "??");
  EXPECT_EQ(Utf8ToCp932("é名"), "?\x96\xBC");
}

TEST(Cp932, TurnsBrokenUtf8IntoQuestionMarks) {
  EXPECT_EQ(Utf8ToCp932("a\xFF" "b"), "a?b");
  EXPECT_EQ(Utf8ToCp932("\xC0\x80"), "??");           // overlong NUL
  EXPECT_EQ(Utf8ToCp932("\xED\xA0\x80" "x"), "???x");  // a surrogate
  EXPECT_EQ(Utf8ToCp932("x\xE5\x90"), "x??");         // cut short at the end
}

TEST(Cp932, TurnsBytesOutsideTheCodePageIntoQuestionMarks) {
  EXPECT_EQ(Cp932ToUtf8("a\xA0" "b"), "a?b");
  EXPECT_EQ(Cp932ToUtf8("\xFF\xFD"), "??");
  // A lead byte with a valid trail byte that has no character: one "?", not two.
  EXPECT_EQ(Cp932ToUtf8("\x85\x40" "c"), "?c");
  // A lead byte without a trail byte keeps what follows it.
  EXPECT_EQ(Cp932ToUtf8("\x96\"x"), "?\"x");
  EXPECT_EQ(Cp932ToUtf8("x\x96"), "x?");
}

}  // namespace
}  // namespace porteka
