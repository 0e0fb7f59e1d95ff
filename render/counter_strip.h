#pragma once

#include <QFont>
#include <QImage>
#include <string>
#include <string_view>

#include "render/picture_surface.h"

namespace porteka {

// The strip above the board: bombs left on the left, the play time on the
// right, white on black in "ＭＳ ゴシック" 12 pt. Blank until the first game.
// At a zoom of k the strip is k times as large and its text is drawn at k
// times its size, sharp, not as blocks.
class CounterStrip : public PictureSurface {
 public:
  static constexpr int kWidth = 257;
  static constexpr int kHeight = 24;

  explicit CounterStrip(QWidget* parent);
  void Draw(std::string_view timeText, std::string_view bombsText);
  void SetZoom(int zoom) override;

 private:
  // Sizes the strip, its font and its painting target for a text zoom.
  void Prepare(int zoom);
  void Draw();

  // Drawn every running frame, so the font, its ascent and the painting target
  // are made once, and texts already on the strip are not drawn again.
  QFont font_;
  int ascent_ = 0;
  QImage target_;
  int textZoom_ = 1;
  std::string timeText_;
  std::string bombsText_;
  bool drawn_ = false;
};

}  // namespace porteka
