#pragma once

#include <QImage>

namespace porteka::art {

constexpr int kExplosionFrameSize = 120;
constexpr int kExplosionFrames = 20;

// The 2400 x 120 explosion strip: a white-hot core inside a ring of burning
// debris that grows, hollows out and thins to a sparse dim ring.
QImage PaintExplosion();

}  // namespace porteka::art
