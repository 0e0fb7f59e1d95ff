#include "ui/fonts.h"

#include <QStringList>
#include <cmath>

namespace porteka {
namespace {

void InstallFontSubstitutes() {
  QFont::insertSubstitutions(QString::fromUtf8(kGothic), {QStringLiteral("IPAGothic")});
  QFont::insertSubstitutions(QString::fromUtf8(kMincho), {QStringLiteral("IPAMincho")});
}

}  // namespace

QFont DesignFont(const char* family, double points, bool bold, int zoom) {
  static const bool substitutesInstalled = (InstallFontSubstitutes(), true);
  (void)substitutesInstalled;
  QFont font(QString::fromUtf8(family));
  font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)) * zoom);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferDefault);
  return font;
}

}  // namespace porteka
