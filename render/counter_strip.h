#pragma once

#include <QFont>
#include <QImage>
#include <string>
#include <string_view>

#include "render/picture_surface.h"

namespace porteka {

// The strip above the board: bombs left on the left, the play time on the
// right, white on black in "ＭＳ ゴシック" 12 pt. Blank until the first game.
class CounterStrip : public PictureSurface {
 public:
  static constexpr int kWidth = 257;
  static constexpr int kHeight = 24;

  explicit CounterStrip(QWidget* parent);
  void DrawCounters(std::string_view timeText, std::string_view bombsText);

 private:
  // Drawn every running frame, so the font, its ascent and the painting target
  // are made once, and texts already on the strip are not drawn again.
  QFont font_;
  int ascent_ = 0;
  QImage target_;
  std::string timeText_;
  std::string bombsText_;
  bool drawn_ = false;
};

}  // namespace porteka
