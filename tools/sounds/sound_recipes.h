#pragma once

// The game's three sound effects, synthesised from fixed recipes so that every
// run of the generator writes the same bytes.

#include <cstdint>
#include <vector>

#include "sound/wave_image.h"

namespace porteka {

struct GeneratedSound {
  const char* fileName;
  WaveFormat format;
  std::vector<uint8_t> samples;  // 8-bit unsigned, 128 is silence
};

GeneratedSound MakeOpenSound();       // cue 0: a cell opens
GeneratedSound MakeExplosionSound();  // cue 1: a bomb goes off
GeneratedSound MakeMarkSound();       // cue 2: the keyboard mark

}  // namespace porteka
