#pragma once

#include <cstdint>

namespace porteka {

// The three sounds, each the number of the sound library's slot that holds it.
enum class SoundCue : int32_t { Open = 0, Explosion = 1, Mark = 2 };

}  // namespace porteka
