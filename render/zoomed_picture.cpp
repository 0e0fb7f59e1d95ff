#include "render/zoomed_picture.h"

#include <algorithm>
#include <cstring>

namespace porteka {

namespace {

// One row of pixels, each written `Zoom` times over; a factor known to the
// compiler lets it write whole blocks at once.
template <int Zoom>
void ZoomRow(const uint32_t* from, int w, uint32_t* to) {
  for (int i = 0; i < w; ++i) {
    const uint32_t pixel = from[i];
    for (int k = 0; k < Zoom; ++k) to[Zoom * i + k] = pixel;
  }
}

void ZoomRow(const uint32_t* from, int w, int zoom, uint32_t* to) {
  switch (zoom) {
    case 2:
      return ZoomRow<2>(from, w, to);
    case 3:
      return ZoomRow<3>(from, w, to);
    case 4:
      return ZoomRow<4>(from, w, to);
    default:
      for (int i = 0; i < w; ++i) {
        for (int k = 0; k < zoom; ++k) to[zoom * i + k] = from[i];
      }
  }
}

}  // namespace

void ZoomRect(const Surface& src, int x, int y, int w, int h, int zoom, Surface& dst) {
  const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(zoom) * sizeof(uint32_t);
  for (int row = y; row < y + h; ++row) {
    // One row of blocks written pixel by pixel, the other rows of the blocks
    // copied from it.
    uint32_t* first = dst.Row(row * zoom) + x * zoom;
    ZoomRow(src.Row(row) + x, w, zoom, first);
    for (int k = 1; k < zoom; ++k) std::memcpy(dst.Row(row * zoom + k) + x * zoom, first, rowBytes);
  }
}

Surface Zoomed(const Surface& src, int zoom) {
  Surface dst(src.width * zoom, src.height * zoom);
  ZoomRect(src, 0, 0, src.width, src.height, zoom, dst);
  return dst;
}

void ZoomedPicture::SetZoom(int zoom) {
  if (zoom == zoom_) return;
  zoom_ = zoom;
  zoomed_ = zoom_ > 1 ? Zoomed(drawn_, zoom_) : Surface();
}

PixelRect ZoomedPicture::Update(const Surface& now) {
  if (now.width != drawn_.width || now.height != drawn_.height) {
    drawn_ = now;
    if (zoom_ > 1) zoomed_ = Zoomed(drawn_, zoom_);
    return {0, 0, now.width * zoom_, now.height * zoom_};
  }
  int top = -1, bottom = -1, left = now.width, right = -1;
  for (int y = 0; y < now.height; ++y) {
    const uint32_t* fresh = now.Row(y);
    uint32_t* before = drawn_.Row(y);
    if (std::memcmp(fresh, before, static_cast<size_t>(now.width) * sizeof(uint32_t)) == 0) continue;
    int first = 0, last = now.width - 1;
    while (fresh[first] == before[first]) ++first;
    while (fresh[last] == before[last]) --last;
    std::memcpy(before + first, fresh + first, static_cast<size_t>(last - first + 1) * sizeof(uint32_t));
    if (zoom_ > 1) ZoomRect(drawn_, first, y, last - first + 1, 1, zoom_, zoomed_);
    if (top < 0) top = y;
    bottom = y;
    left = std::min(left, first);
    right = std::max(right, last);
  }
  if (top < 0) return {};
  return {left * zoom_, top * zoom_, (right - left + 1) * zoom_, (bottom - top + 1) * zoom_};
}

}  // namespace porteka
