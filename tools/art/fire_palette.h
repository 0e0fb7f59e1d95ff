#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace porteka::art {

// The sixteen colours shared by the opening flash and the explosion: a fire
// ramp from black (entry 0, exactly 0,0,0) through dark red, red, orange and
// yellow to white. Entry i is heat i / 15.
QList<QRgb> FirePalette();

// A square field of heat (0 cold .. 1 white hot) for one animation frame.
class HeatFrame {
 public:
  explicit HeatFrame(int size);

  int size() const { return size_; }
  double At(int x, int y) const;
  // Raises a pixel's heat to at least the given value; pixels off the frame are ignored.
  void Raise(int x, int y, double heat);
  // Paints the frame into a Format_Indexed8 strip over FirePalette() at the
  // given column. Heat too faint to show stays pure black, and so does the
  // outermost ring of pixels, so nothing reaches into the next frame.
  void PaintInto(QImage& strip, int left) const;

 private:
  int size_;
  QList<double> heat_;
};

// An empty strip of frameCount square frames on black.
QImage MakeFireStrip(int frameSize, int frameCount);

}  // namespace porteka::art
