#pragma once

#include <array>

namespace porteka::art {

constexpr int kGlyphWidth = 10;
constexpr int kGlyphHeight = 12;

// The bold digits 1 to 8 of the open cells, drawn by hand pixel by pixel so
// that every digit pixel carries exactly its own colour: '#' is ink.
using DigitGlyph = std::array<const char*, kGlyphHeight>;
const DigitGlyph& GlyphForDigit(int digit);

}  // namespace porteka::art
