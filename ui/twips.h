#pragma once

#include <QRect>

namespace porteka {

// The dialogs are laid out in twips, 1/1440 of an inch; at the usual 96 dots
// per inch that is 15 twips to the pixel, and the fonts are sized to match.
inline constexpr int kTwipsPerPixel = 15;

constexpr int Twips(int twips) { return twips / kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

}  // namespace porteka
