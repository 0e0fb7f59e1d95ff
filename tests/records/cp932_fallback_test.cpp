#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <string>

#include "records/cp932.h"

// A system without glibc's converters, where iconv_open fails: this program's
// own definition stands in for the C library's.
extern "C" iconv_t iconv_open(const char*, const char*) noexcept {
  errno = EINVAL;
  return reinterpret_cast<iconv_t>(-1);
}

namespace porteka {
namespace {

// Without the converter plain ASCII still passes and every other character,
// whole or broken, becomes one "?", so the records file stays readable.
TEST(Cp932WithoutConverter, KeepsAsciiAndWritesOneQuestionMarkACharacter) {
  EXPECT_EQ(Utf8ToCp932("abc é名😀\x80\xFF" "x~"), "abc ?????x~");
  EXPECT_EQ(Utf8ToCp932("\xC3" "a\xED\xA0\x80"), "?a???");  // cut short; a surrogate
  EXPECT_EQ(Cp932ToUtf8("a\x9F\x40\x81\x7F\xE0\x40\xFC\xFC" "b\x80\xA0\x9F"), "a??\x7F??b???");
}

}  // namespace
}  // namespace porteka
