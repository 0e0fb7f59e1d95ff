#pragma once

#include <QRect>

namespace porteka {

// The windows were laid out in twips; we place them at 15 twips to the pixel,
// the usual 96 dots per inch they were drawn for.
inline constexpr int kTwipsPerPixel = 15;

constexpr int Twips(int twips) { return twips / kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

}  // namespace porteka
