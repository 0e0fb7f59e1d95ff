#include "render/surface.h"

#include <algorithm>
#include <cstring>

namespace porteka {
namespace {

struct Clipped {
  int dx, dy, sx, sy, w, h;
  bool empty() const { return w <= 0 || h <= 0; }
};

Clipped Clip(const Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
  Clipped c{dx, dy, sx, sy, w, h};
  const int cutLeft = std::max({0, -c.dx, -c.sx});
  c.dx += cutLeft, c.sx += cutLeft, c.w -= cutLeft;
  const int cutTop = std::max({0, -c.dy, -c.sy});
  c.dy += cutTop, c.sy += cutTop, c.h -= cutTop;
  c.w = std::min({c.w, dst.width - c.dx, src.width - c.sx});
  c.h = std::min({c.h, dst.height - c.dy, src.height - c.sy});
  return c;
}

}  // namespace

void CopyRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
  const Clipped c = Clip(dst, dx, dy, w, h, src, sx, sy);
  if (c.empty()) return;
  for (int row = 0; row < c.h; ++row) {
    std::memcpy(dst.Row(c.dy + row) + c.dx, src.Row(c.sy + row) + c.sx,
                static_cast<size_t>(c.w) * sizeof(uint32_t));
  }
}

void OrRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
  const Clipped c = Clip(dst, dx, dy, w, h, src, sx, sy);
  if (c.empty()) return;
  for (int row = 0; row < c.h; ++row) {
    uint32_t* d = dst.Row(c.dy + row) + c.dx;
    const uint32_t* s = src.Row(c.sy + row) + c.sx;
    for (int i = 0; i < c.w; ++i) d[i] |= s[i];
  }
}

void FrameRect(Surface& dst, int x0, int y0, int x1, int y1, uint32_t colour) {
  auto plot = [&](int x, int y) {
    if (x >= 0 && x < dst.width && y >= 0 && y < dst.height) dst.Row(y)[x] = colour;
  };
  for (int x = x0; x <= x1; ++x) {
    plot(x, y0);
    plot(x, y1);
  }
  for (int y = y0 + 1; y < y1; ++y) {
    plot(x0, y);
    plot(x1, y);
  }
}

}  // namespace porteka
