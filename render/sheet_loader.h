#pragma once

#include <QImage>
#include <QString>

#include "render/board_painter.h"
#include "render/surface.h"

namespace porteka {

// Pixels of an image as a surface, 0xffRRGGBB.
Surface ToSurface(const QImage& image);

// A surface seen as an image, sharing its pixels: valid while the surface lives
// and keeps its size.
QImage AsImage(const Surface& surface);

// The picture at a resource path, or a black one of the expected size when it
// is missing or the wrong size, so missing art never takes the game down.
Surface LoadSheet(const QString& path, int width, int height);

// The art the board and the face button are drawn from.
SpriteSheets LoadSpriteSheets();

}  // namespace porteka
