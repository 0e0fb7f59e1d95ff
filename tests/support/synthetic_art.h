#pragma once

#include <cstdint>

#include "render/board_painter.h"

namespace porteka::test {

// Frame f of a strip: a disc (a flash, shrinking) or a ring (a blast, growing
// and hollowing) with sparks strewn around it, on black, from a seeded
// generator. The sizes light about as many pixels as the committed art, so a
// board full of effects costs what it costs in the game.
Surface SyntheticStrip(int frameSize, int frames, bool blast, uint32_t seed);

// Stand-in art for the tests and the benchmarks. Every pixel of the cell sheet
// differs from every other, so a copy from the wrong cell or spot shows.
SpriteSheets SyntheticSheets();

}  // namespace porteka::test
