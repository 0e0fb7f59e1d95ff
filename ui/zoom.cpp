#include "ui/zoom.h"

#include <algorithm>

namespace porteka {
namespace {

int current = kMinZoom;

}  // namespace

int Zoom() { return current; }

void SetZoom(int zoom) { current = std::clamp(zoom, kMinZoom, kMaxZoom); }

}  // namespace porteka
