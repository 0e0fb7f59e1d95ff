#pragma once

#include "render/surface.h"

namespace porteka {

// A rectangle of pixels, empty when it has no width or no height.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const PixelRect&) const = default;
};

// Writes the w x h rectangle at (x, y) of the source into the destination,
// each pixel as a zoom x zoom block at (zoom * x, zoom * y): nearest neighbour,
// so the art keeps its exact pixels and colours at any size. The rectangle
// must lie inside the source and, zoomed, inside the destination.
void ZoomRect(const Surface& src, int x, int y, int w, int h, int zoom, Surface& dst);

// A whole surface zoomed.
Surface Zoomed(const Surface& src, int zoom);

// What a shown surface last put on the screen, and the same picture at the
// zoom it is shown at. Each update takes the surface as drawn now, finds what
// changed since the last one and zooms only that, so a frame costs the pixels
// it changes, not the size of the window.
class ZoomedPicture {
 public:
  int zoom() const { return zoom_; }
  // The whole picture is zoomed again at once: nothing waits for a frame.
  void SetZoom(int zoom);
  // Takes the picture as drawn now and gives the rectangle of the shown
  // picture that changed; a new size changes all of it.
  PixelRect Update(const Surface& now);
  // The picture as last taken.
  const Surface& drawn() const { return drawn_; }
  // What to show: zoom() times the size of what was drawn.
  const Surface& shown() const { return zoom_ == 1 ? drawn_ : zoomed_; }

 private:
  Surface drawn_;   // as last taken, at the surface's own size
  Surface zoomed_;  // the same picture zoomed; unused at 1
  int zoom_ = 1;
};

}  // namespace porteka
