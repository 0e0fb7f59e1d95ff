#pragma once

#include <QFont>

#include "ui/zoom.h"

namespace porteka {

// The dialogs and the counter strip are laid out for "ＭＳ ゴシック" and
// "ＭＳ 明朝". Where those are missing the IPA fonts stand in: they share their
// metrics, while fontconfig on its own would fall back to DejaVu and break
// every layout.
inline constexpr const char* kGothic = "ＭＳ ゴシック";
inline constexpr const char* kMincho = "ＭＳ 明朝";

// A font sized in points at 96 dots per inch, the size its twips-sized box is
// laid out for, whatever the screen reports, and zoom times that. The first
// call puts the IPA stand-ins in place.
QFont DesignFont(const char* family, double points, bool bold = false, int zoom = Zoom());

}  // namespace porteka
