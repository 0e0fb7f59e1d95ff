#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/surface.h"

namespace porteka {

// A strip of square animation frames on black, ready to be ORed onto the board.
// OR with black changes nothing, and most of every frame is black, so each row
// of a frame keeps only the span between its first and last lit pixels: a full
// board of effects then costs about the lit pixels, not tens of megabytes of
// no-ops.
class SpriteStrip {
 public:
  SpriteStrip() = default;
  SpriteStrip(const Surface& strip, int frameSize, int frames);

  int frames() const { return static_cast<int>(frameSpans_.size()); }

  // Frame n (from 1) ORed onto the destination with its top left at (x, y),
  // clipped to the destination. The same pixels as an OR of the whole frame.
  void OrFrame(Surface& dst, int frame, int x, int y) const;

  // Lit pixels in a frame: what drawing it costs.
  size_t LitPixels(int frame) const;

 private:
  // The part of one row of a frame that holds its lit pixels.
  struct Span {
    int16_t row;
    int16_t column;
    int16_t length;
    uint32_t first;  // index of its first pixel in pixels_
  };
  int frameSize_ = 0;
  std::vector<std::vector<Span>> frameSpans_;
  std::vector<size_t> litPixels_;
  std::vector<uint32_t> pixels_;
};

}  // namespace porteka
