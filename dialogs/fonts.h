#pragma once

#include <QFont>

namespace porteka {

// The windows were designed around "ＭＳ ゴシック" and "ＭＳ 明朝". Where they are
// missing the IPA fonts stand in: they share those fonts' metrics, while
// fontconfig on its own would fall back to DejaVu and break every layout.
void InstallFontSubstitutes();

inline constexpr const char* kGothic = "ＭＳ ゴシック";
inline constexpr const char* kMincho = "ＭＳ 明朝";

// A font sized in points as the layouts were designed, at 96 dots per inch, so
// text fits its twips-sized box whatever the screen reports.
QFont DesignFont(const char* family, double points, bool bold = false);

}  // namespace porteka
