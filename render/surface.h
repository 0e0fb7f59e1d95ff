#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace porteka {

// A retained image of 32-bit pixels, 0xffRRGGBB, rows top down. Every picture
// the game draws into lives in one of these; the windows only show them.
struct Surface {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  Surface() = default;
  Surface(int w, int h, uint32_t fill = 0xff000000u)
      : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

  uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
  const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
  uint32_t At(int x, int y) const { return Row(y)[x]; }
  void Fill(uint32_t colour) { pixels.assign(pixels.size(), colour); }
};

constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return 0xff000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

// Copies the w x h rectangle at (sx, sy) of the source to (dx, dy), clipped to
// both images.
void CopyRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy);

// The same, storing destination OR source per colour bit.
void OrRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy);

// A one-pixel unfilled rectangle with corners (x0, y0) and (x1, y1), clipped.
void FrameRect(Surface& dst, int x0, int y0, int x1, int y1, uint32_t colour);

}  // namespace porteka
