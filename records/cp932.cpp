#include "records/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace porteka {
namespace {

// glibc's "CP932" is the Windows table. Its "SHIFT_JIS" is not: it turns
// 0x81 0x60 into U+301C and has no "①" or "髙".
constexpr const char* kCodePage = "CP932";

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// How many bytes of `text` from `pos` belong to the code page 932 character
// that iconv refused, so that it turns into a single "?".
size_t Cp932CharLength(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (IsLeadByte(lead) && pos + 1 < text.size() &&
      IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
    return 2;
  }
  return 1;
}

// How many bytes of `text` from `pos` make up one UTF-8 sequence, or 1 when
// the bytes there are not valid UTF-8 (each stray byte then becomes its own "?").
size_t Utf8CharLength(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  size_t length = 0;
  uint32_t minimum = 0;
  uint32_t codePoint = 0;
  if (lead < 0x80) {
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, minimum = 0x80, codePoint = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, minimum = 0x800, codePoint = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, minimum = 0x10000, codePoint = lead & 0x07;
  } else {
    return 1;
  }
  if (pos + length > text.size()) {
    return 1;
  }
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if ((byte & 0xC0) != 0x80) {
      return 1;
    }
    codePoint = (codePoint << 6) | (byte & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) {
    return 1;
  }
  return length;
}

// Without the converter (a system lacking glibc's gconv modules) plain ASCII
// still passes and everything else becomes "?", which keeps the file valid.
std::string AsciiOnly(std::string_view text, size_t (*charLength)(std::string_view, size_t)) {
  std::string out;
  for (size_t pos = 0; pos < text.size();) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++pos;
    } else {
      out += '?';
      pos += charLength(text, pos);
    }
  }
  return out;
}

std::string Convert(std::string_view in, const char* to, const char* from,
                    size_t (*charLength)(std::string_view, size_t)) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    return AsciiOnly(in, charLength);
  }

  std::string out;
  out.reserve(in.size() * 2 + 16);
  char buffer[1024];
  size_t pos = 0;
  while (pos < in.size()) {
    // iconv's prototype takes a non-const input pointer but never writes through it.
    char* inPtr = const_cast<char*>(in.data() + pos);
    size_t inLeft = in.size() - pos;
    char* outPtr = buffer;
    size_t outLeft = sizeof(buffer);
    const size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    pos = static_cast<size_t>(inPtr - in.data());
    if (result != static_cast<size_t>(-1)) {
      break;
    }
    if (error == E2BIG) {
      continue;
    }
    // EILSEQ (nothing to map to, or not valid input) or EINVAL (cut short at
    // the end): one "?" for the offending character, then carry on after it.
    out += '?';
    pos += charLength(in, pos);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(converter);
  return out;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  return Convert(utf8, kCodePage, "UTF-8", Utf8CharLength);
}

std::string Cp932ToUtf8(std::string_view cp932) {
  return Convert(cp932, "UTF-8", kCodePage, Cp932CharLength);
}

}  // namespace porteka
