#include "render/sprite_strip.h"

#include <algorithm>

namespace porteka {
namespace {

bool Lit(uint32_t pixel) { return (pixel & 0x00ffffffu) != 0; }

}  // namespace

SpriteStrip::SpriteStrip(const Surface& strip, int frameSize, int frames) : frameSize_(frameSize) {
  frameRuns_.resize(static_cast<size_t>(std::max(frames, 0)));
  for (int f = 0; f < frames; ++f) {
    const int left = f * frameSize;
    for (int row = 0; row < frameSize && row < strip.height; ++row) {
      const uint32_t* src = strip.Row(row);
      int col = 0;
      while (col < frameSize && left + col < strip.width) {
        if (!Lit(src[left + col])) {
          ++col;
          continue;
        }
        const int start = col;
        Run run{static_cast<int16_t>(row), static_cast<int16_t>(start), 0,
                static_cast<uint32_t>(pixels_.size())};
        while (col < frameSize && left + col < strip.width && Lit(src[left + col])) {
          pixels_.push_back(src[left + col]);
          ++col;
        }
        run.length = static_cast<int16_t>(col - start);
        frameRuns_[static_cast<size_t>(f)].push_back(run);
      }
    }
  }
}

void SpriteStrip::OrFrame(Surface& dst, int frame, int x, int y) const {
  if (frame < 1 || frame > frames()) return;
  // Whole sprite off the surface: nothing to do.
  if (x >= dst.width || y >= dst.height || x + frameSize_ <= 0 || y + frameSize_ <= 0) return;
  for (const Run& run : frameRuns_[static_cast<size_t>(frame - 1)]) {
    const int dy = y + run.row;
    if (dy < 0 || dy >= dst.height) continue;
    int dx = x + run.column;
    int length = run.length;
    const uint32_t* src = pixels_.data() + run.first;
    if (dx < 0) {
      src -= dx;
      length += dx;
      dx = 0;
    }
    length = std::min(length, dst.width - dx);
    uint32_t* d = dst.Row(dy) + dx;
    for (int i = 0; i < length; ++i) d[i] |= src[i];
  }
}

size_t SpriteStrip::LitPixels(int frame) const {
  if (frame < 1 || frame > frames()) return 0;
  size_t total = 0;
  for (const Run& run : frameRuns_[static_cast<size_t>(frame - 1)]) total += static_cast<size_t>(run.length);
  return total;
}

}  // namespace porteka
