#pragma once

#include <QRect>

#include "ui/zoom.h"

namespace porteka {

// The dialogs are laid out in twips, 1/1440 of an inch; at the usual 96 dots
// per inch that is 15 twips to the pixel, and the fonts are sized to match.
// At a zoom of k a twip is k times as large.
inline constexpr int kTwipsPerPixel = 15;

inline int Twips(int twips) { return twips * Zoom() / kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

}  // namespace porteka
