#pragma once

#include <QImage>

namespace porteka::art {

constexpr int kTitleSize = 128;

// The 128 x 128 title card, true colour: the title in big white letters on
// black, a version mark, a lit bomb and a big yellow-green face peeking in
// from the lower right corner. Needs a QGuiApplication for the fonts.
QImage PaintTitleCard();

}  // namespace porteka::art
