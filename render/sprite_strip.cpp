#include "render/sprite_strip.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace porteka {
namespace {

bool Lit(uint32_t pixel) { return (pixel & 0x00ffffffu) != 0; }

// Each row of a frame keeps one span, from its first lit pixel to its last,
// widened to whole groups of this many pixels of the frame so the OR runs
// without a ragged tail. The black pixels taken in change nothing under OR,
// and walking a few more pixels costs less than walking more spans.
constexpr int kGroup = 4;

void OrPixels(uint32_t* __restrict dst, const uint32_t* __restrict src, int count) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(d, s));
  }
#endif
  for (; i < count; ++i) dst[i] |= src[i];
}

}  // namespace

SpriteStrip::SpriteStrip(const Surface& strip, int frameSize, int frames) : frameSize_(frameSize) {
  const size_t count = static_cast<size_t>(std::max(frames, 0));
  frameSpans_.resize(count);
  litPixels_.resize(count);
  for (int f = 0; f < frames; ++f) {
    const int left = f * frameSize;
    // Columns of this frame that the strip really has.
    const int width = std::clamp(strip.width - left, 0, frameSize);
    for (int row = 0; row < frameSize && row < strip.height; ++row) {
      const uint32_t* src = strip.Row(row) + left;
      int first = 0;
      while (first < width && !Lit(src[first])) ++first;
      if (first == width) continue;
      int last = width - 1;
      while (!Lit(src[last])) --last;
      const int start = first / kGroup * kGroup;
      const int stop = std::min((last + kGroup) / kGroup * kGroup, width);
      frameSpans_[static_cast<size_t>(f)].push_back(Span{static_cast<int16_t>(row), static_cast<int16_t>(start),
                                                         static_cast<int16_t>(stop - start),
                                                         static_cast<uint32_t>(pixels_.size())});
      pixels_.insert(pixels_.end(), src + start, src + stop);
      for (int c = 0; c < width; ++c) litPixels_[static_cast<size_t>(f)] += Lit(src[c]) ? 1 : 0;
    }
  }
}

void SpriteStrip::OrFrame(Surface& dst, int frame, int x, int y) const {
  if (frame < 1 || frame > frames()) return;
  // Whole sprite off the surface: nothing to do.
  if (x >= dst.width || y >= dst.height || x + frameSize_ <= 0 || y + frameSize_ <= 0) return;
  const std::vector<Span>& spans = frameSpans_[static_cast<size_t>(frame - 1)];

  if (x >= 0 && y >= 0 && x + frameSize_ <= dst.width && y + frameSize_ <= dst.height) {
    for (const Span& span : spans) {
      OrPixels(dst.Row(y + span.row) + x + span.column, pixels_.data() + span.first, span.length);
    }
    return;
  }

  // Partly off the surface, at the board's edges.
  for (const Span& span : spans) {
    const int dy = y + span.row;
    if (dy < 0 || dy >= dst.height) continue;
    const int dx = x + span.column;
    const int cut = std::max(0, -dx);
    const int length = std::min(static_cast<int>(span.length), dst.width - dx) - cut;
    if (length <= 0) continue;
    OrPixels(dst.Row(dy) + dx + cut, pixels_.data() + span.first + cut, length);
  }
}

size_t SpriteStrip::LitPixels(int frame) const {
  if (frame < 1 || frame > frames()) return 0;
  return litPixels_[static_cast<size_t>(frame - 1)];
}

}  // namespace porteka
