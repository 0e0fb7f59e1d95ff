#pragma once

#include <QImage>

namespace porteka::art {

// A round black bomb lit from the top left, with its metal cap and a short
// fuse pointing up and to the right; a burning fuse ends in a spark. The
// picture reaches about 1.35 radii up and right of the centre.
void DrawBomb(QImage& image, double cx, double cy, double radius, bool burning);

}  // namespace porteka::art
