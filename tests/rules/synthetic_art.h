#pragma once

#include <cstdint>

#include "render/board_painter.h"
#include "game/effects.h"
#include "render/surface.h"

namespace porteka::test {

// A cell sheet where every pixel tells which cell and which spot it came from.
inline Surface TaggedCellSheet() {
  Surface sheet(256, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 256; ++x) sheet.Row(y)[x] = Rgb(static_cast<uint8_t>(x / 16 + 1), static_cast<uint8_t>(x % 16), static_cast<uint8_t>(y));
  return sheet;
}

// Effect frames like the real ones: a bright disc that shrinks frame by frame
// with sparse sparks around it, on black. A small generator keeps it repeatable.
inline Surface SyntheticStrip(int frameSize, int frames, uint32_t seed) {
  Surface strip(frameSize * frames, frameSize, Rgb(0, 0, 0));
  uint32_t state = seed;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  };
  const int centre = frameSize / 2;
  for (int f = 0; f < frames; ++f) {
    const int radius = frameSize * (frames - f) / (frames * 3) + 1;
    for (int y = 0; y < frameSize; ++y) {
      for (int x = 0; x < frameSize; ++x) {
        const int dx = x - centre, dy = y - centre;
        uint32_t& px = strip.Row(y)[f * frameSize + x];
        if (dx * dx + dy * dy <= radius * radius) {
          px = Rgb(255, static_cast<uint8_t>(200 - 10 * f), static_cast<uint8_t>(next() & 0x7f));
        } else if (next() % 23 == 0) {
          px = Rgb(static_cast<uint8_t>(next()), static_cast<uint8_t>(next() & 0x3f), 0);
        }
      }
    }
  }
  return strip;
}

inline SpriteSheets SyntheticSheets() {
  SpriteSheets sheets;
  sheets.cells = TaggedCellSheet();
  sheets.openFlash = SyntheticStrip(kOpenSpriteSize, kOpenFrames, 7);
  sheets.explosion = SyntheticStrip(kExplosionSpriteSize, kExplosionFrames, 11);
  return sheets;
}

}  // namespace porteka::test
