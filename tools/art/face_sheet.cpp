#include "tools/art/face_sheet.h"

#include "tools/art/colour_math.h"
#include "tools/art/palette_quantizer.h"
#include "tools/art/shape_fill.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace porteka::art {

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kOutline = qRgb(112, 60, 0);
constexpr QRgb kYellowDark = qRgb(224, 142, 0);
constexpr QRgb kYellow = qRgb(255, 202, 0);
constexpr QRgb kYellowLight = qRgb(255, 234, 84);
constexpr QRgb kCream = qRgb(255, 250, 196);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kInk = qRgb(26, 22, 30);
constexpr QRgb kMouth = qRgb(118, 10, 26);
constexpr QRgb kRed = qRgb(232, 40, 52);
constexpr QRgb kPink = qRgb(255, 132, 140);
constexpr QRgb kBlue = qRgb(30, 96, 232);
constexpr QRgb kBlueLight = qRgb(124, 196, 255);
constexpr QRgb kSteel = qRgb(92, 100, 124);
constexpr QRgb kGlint = qRgb(180, 190, 214);
constexpr QRgb kBrown = qRgb(170, 92, 0);

// A round yellow head lit from the top left, in a brown outline.
void DrawHead(QImage& face) {
  constexpr double kCentre = 12.0;
  FillPixels(face, face.rect(), Disc(kCentre, kCentre, 11.8), kOutline);
  FillPixels(face, face.rect(), Disc(kCentre, kCentre, 10.8), [](double px, double py) {
    const double d = std::hypot(px - 8.5, py - 7.5) / 17.0;
    if (d < 0.22) return Mix(kCream, kYellowLight, d / 0.22);
    if (d < 0.55) return Mix(kYellowLight, kYellow, (d - 0.22) / 0.33);
    return Mix(kYellow, kYellowDark, (d - 0.55) / 0.35);
  });
}

void DrawLaughing(QImage& face) {
  DrawHead(face);
  for (int ex : {8, 16}) {
    FillPixels(face, BoxAround(ex - 3, 5, ex + 3, 12), Disc(ex, 9.0, 2.05), kInk);
    face.setPixel(ex - 1, 8, kWhite);
  }
  // A wide open D of a mouth: outline, dark inside, a row of teeth and a tongue.
  auto mouth = [](double inset) {
    return [inset](double px, double py) {
      const double top = 12.6 + inset;
      const double radius = 7.4 - inset;
      return py >= top && (px - 12.0) * (px - 12.0) + (py - 12.6) * (py - 12.6) <= radius * radius;
    };
  };
  const QRect mouthBox = BoxAround(3, 11, 21, 21);
  FillPixels(face, mouthBox, mouth(0.0), kOutline);
  auto inner = mouth(1.0);
  FillPixels(face, mouthBox, inner, kMouth);
  FillPixels(face, mouthBox, [inner](double px, double py) { return inner(px, py) && py < 14.7; }, kWhite);
  auto tongue = [inner](double px, double py) { return inner(px, py) && std::hypot(px - 12.5, py - 19.8) <= 3.9; };
  FillPixels(face, mouthBox, tongue, kRed);
  FillPixels(face, mouthBox, [tongue](double px, double py) { return tongue(px, py) && std::hypot(px - 11.2, py - 17.6) <= 1.2; },
            kPink);
}

void DrawCool(QImage& face) {
  DrawHead(face);
  // Sunglasses: two rounded lenses on a bridge, arms running off to the ears.
  auto lens = [](double cx) {
    return [cx](double px, double py) {
      const double dx = (px - cx) / 4.0;
      const double dy = (py - 8.6) / 3.2;
      return py >= 6.6 && dx * dx + dy * dy <= 1.0;
    };
  };
  const QRect glassesBox = BoxAround(0, 4, 24, 13);
  FillPixels(face, glassesBox, Capsule(2.2, 7.0, 21.8, 7.0, 1.4), kInk);
  for (double cx : {7.6, 16.4}) {
    FillPixels(face, glassesBox, lens(cx), kInk);
    FillPixels(face, glassesBox, Capsule(cx - 2.2, 9.6, cx - 0.6, 7.9, 0.9), kGlint);
    FillPixels(face, glassesBox, Capsule(cx + 1.6, 10.2, cx + 2.4, 9.3, 0.8), kSteel);
  }
  // A cool, flat smile with a little lift at the corners.
  const QRect smileBox = BoxAround(5, 13, 19, 19);
  FillPixels(face, smileBox, Capsule(8.5, 16.6, 15.5, 16.6, 1.4), kOutline);
  FillPixels(face, smileBox, Capsule(15.5, 16.6, 16.9, 15.4, 1.3), kOutline);
  FillPixels(face, smileBox, Capsule(8.5, 16.6, 7.5, 16.0, 1.2), kBrown);
}

void DrawCrying(QImage& face) {
  DrawHead(face);
  const QRect eyesBox = BoxAround(3, 4, 21, 13);
  // Eyes squeezed shut: > <
  FillPixels(face, eyesBox, Capsule(5.6, 6.6, 9.4, 8.6, 1.4), kInk);
  FillPixels(face, eyesBox, Capsule(9.4, 8.6, 5.6, 10.4, 1.4), kInk);
  FillPixels(face, eyesBox, Capsule(18.4, 6.6, 14.6, 8.6, 1.4), kInk);
  FillPixels(face, eyesBox, Capsule(14.6, 8.6, 18.4, 10.4, 1.4), kInk);
  // Wailing mouth.
  const QRect mouthBox = BoxAround(7, 12, 17, 21);
  FillPixels(face, mouthBox, Ellipse(12.0, 16.4, 3.6, 3.3), kOutline);
  FillPixels(face, mouthBox, Ellipse(12.0, 16.5, 2.6, 2.3), kMouth);
  FillPixels(face, mouthBox,
            [](double px, double py) { return Ellipse(12.0, 16.5, 2.6, 2.3)(px, py) && py > 17.3; }, kRed);
  // Tears streaming down both cheeks, ending in drops.
  for (const auto& [top, bottom] : {std::pair{7.0, 6.0}, std::pair{17.0, 18.0}}) {
    const QRect tearBox = BoxAround(std::min(top, bottom) - 3, 10, std::max(top, bottom) + 3, 23);
    FillPixels(face, tearBox, Capsule(top, 12.4, bottom, 18.0, 3.0), kBlue);
    FillPixels(face, tearBox, Disc(bottom, 19.2, 2.3), kBlue);
    FillPixels(face, tearBox, Capsule(top, 12.4, bottom, 18.6, 1.1), kBlueLight);
    FillPixels(face, tearBox, Disc(bottom - 0.6, 19.0, 0.6), kWhite);
  }
}

}  // namespace

QList<QRgb> FacePalette() {
  return {kBlack, kOutline,  kYellowDark, kYellow, kYellowLight, kCream, kWhite, kInk,
          kMouth, kRed,      kPink,       kBlue,   kBlueLight,   kSteel, kGlint, kBrown};
}

QImage PaintFaceSheet() {
  QImage sheet(kFaceSize * kFaceCount, kFaceSize, QImage::Format_ARGB32);
  sheet.fill(kBlack);
  auto paint = [&sheet](int index, void (*draw)(QImage&)) {
    QImage face(kFaceSize, kFaceSize, QImage::Format_ARGB32);
    face.fill(kBlack);
    draw(face);
    // Snap every blended edge to the sixteen colours, then place the face.
    const QImage snapped = MapToPalette(face, FacePalette()).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kFaceSize; ++y) {
      for (int x = 0; x < kFaceSize; ++x) sheet.setPixel(index * kFaceSize + x, y, snapped.pixel(x, y));
    }
  };
  paint(0, DrawLaughing);
  paint(1, DrawCool);
  paint(2, DrawCrying);
  return sheet;
}

}  // namespace porteka::art
