#pragma once

#include <string>
#include <string_view>

namespace porteka {

// Code page 932, the Japanese Windows code page the records file is kept in
// (Microsoft's Shift_JIS: "～" is 0x81 0x60, "①" 0x87 0x40, "髙" 0xFB 0xFC).
// Neither direction ever fails: whatever has no place on the other side comes
// out as "?", so a bad name or a damaged file can never stop the game.

// UTF-8 to code page 932. Characters the code page cannot hold and bytes that
// are not UTF-8 become "?".
std::string Utf8ToCp932(std::string_view utf8);

// Code page 932 to UTF-8. Bytes and byte pairs that are not code page 932
// become "?".
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace porteka
