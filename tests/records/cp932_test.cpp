#include "records/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace porteka {
namespace {

struct Conversion {
  std::string from, to;
};

// Code page 932's table, not glibc's "SHIFT_JIS": "～", "①" and "髙" are where
// the two part ways. The wave dash U+301C that input methods type is stored as
// code page 932's 0x81 0x60 too, so every writer leaves the same bytes.
TEST(Cp932, UsesTheCp932TableBothWays) {
  const Conversion pairs[] = {
      {"～", "\x81\x60"}, {"①", "\x87\x40"}, {"髙", "\xFB\xFC"}, {"ｱ", "\xB1"}, {"\\~", "\\~"}, {"ソ表", "\x83\x5C\x95\x5C"},
      {"登録なし", "\x93\x6F\x98\x5E\x82\xC8\x82\xB5"},
  };
  for (const auto& pair : pairs) {
    EXPECT_EQ(Utf8ToCp932(pair.from), pair.to) << pair.from;
    EXPECT_EQ(Cp932ToUtf8(pair.to), pair.from) << pair.from;
  }
  EXPECT_EQ(Utf8ToCp932("〜"), "\x81\x60");
  const std::string texts[] = {"名無士乃権兵衛", "～①②Ⅹ㈱髙﨑", "ｶﾀｶﾅ", "abc, \"def\" ", "", std::string("a\0b", 3)};
  for (const std::string& text : texts) EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text) << text;
}

// Whatever the other side cannot hold, or is broken, becomes "?", without
// swallowing what follows.
TEST(Cp932, WritesAQuestionMarkForWhatItCannotHold) {
  const Conversion toCp932[] = {
      {"a😀b", "a?b"},     {"한글", "??"},  {"é名", "?\x96\xBC"},
      {"a\xFF" "b", "a?b"}, {"\xC0\x80", "??"} /* overlong NUL */, {"\xED\xA0\x80" "x", "???x"} /* surrogate */,
      {"x\xE5\x90", "x??"} /* cut short */, {"\xED\x9F\xBF" "x", "?x"} /* U+D7FF, just below the surrogates */,
  };
  for (const auto& c : toCp932) EXPECT_EQ(Utf8ToCp932(c.from), c.to) << c.from;
  const Conversion toUtf8[] = {
      {"a\xA0" "b", "a?b"}, {"\xFF\xFD", "??"},
      {"\x85\x40" "c", "?c"},  // a valid pair with no character: one "?"
      {"\x81\xAD\x85\xFC\xFC\xFC", "???"},  // the same at the ends of the lead and trail ranges
      {"\x96\"x", "?\"x"},     // a lead byte without its trail byte
      {"x\x96", "x?"},
  };
  for (const auto& c : toUtf8) EXPECT_EQ(Cp932ToUtf8(c.from), c.to) << c.from;
}

}  // namespace
}  // namespace porteka
