#include "tests/support/synthetic_art.h"

#include <algorithm>

#include "game/effects.h"

namespace porteka::test {

Surface SyntheticStrip(int frameSize, int frames, bool blast, uint32_t seed) {
  Surface strip(frameSize * frames, frameSize, Rgb(0, 0, 0));
  const int centre = frameSize / 2;
  for (int f = 0; f < frames; ++f) {
    const int outer = blast ? 12 + 45 * f / frames : 11 - f;
    const int inner = blast ? std::max(0, outer - 10) : 0;
    const int sparkOdds = blast ? 6 : 4;
    const int reach = std::min(outer + (blast ? 8 : 10), centre);  // sparks fly a little way out
    for (int y = 0; y < frameSize; ++y) {
      for (int x = 0; x < frameSize; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const int dx = x - centre, dy = y - centre;
        const int d2 = dx * dx + dy * dy;
        uint32_t& px = strip.Row(y)[f * frameSize + x];
        if (d2 <= outer * outer && d2 >= inner * inner) {
          px = Rgb(255, static_cast<uint8_t>(255 - 10 * f), static_cast<uint8_t>((seed >> 24) & 0x7f));
        } else if ((seed >> 16) % sparkOdds == 0 && d2 <= reach * reach) {
          px = Rgb(static_cast<uint8_t>(seed >> 24), static_cast<uint8_t>((seed >> 8) & 0x3f), 0);
        }
      }
    }
  }
  return strip;
}

SpriteSheets SyntheticSheets() {
  SpriteSheets sheets;
  sheets.cells = Surface(256, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 256; ++x) sheets.cells.Row(y)[x] = Rgb(static_cast<uint8_t>(x), static_cast<uint8_t>(y * 16), 128);
  sheets.openFlash = SyntheticStrip(kOpenSpriteSize, kOpenFrames, false, 7);
  sheets.explosion = SyntheticStrip(kExplosionSpriteSize, kExplosionFrames, true, 11);
  sheets.faces = Surface(72, 24, Rgb(255, 220, 0));
  return sheets;
}

}  // namespace porteka::test
