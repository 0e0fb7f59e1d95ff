#include "tools/art/title_card.h"

#include "tools/art/bomb_drawing.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace porteka::art {

namespace {

constexpr QColor kFaceLight(226, 252, 132);
constexpr QColor kFaceMid(168, 224, 40);
constexpr QColor kFaceDark(84, 150, 12);
constexpr QColor kFaceOutline(26, 60, 0);
constexpr QColor kMouth(118, 10, 26);
constexpr QColor kTongue(232, 44, 56);

// Twinkles scattered over the black.
void DrawStars(QPainter& painter) {
  struct Star {
    int x;
    int y;
    bool big;
  };
  constexpr std::array<Star, 7> kStars = {{{9, 53, true}, {52, 50, false}, {5, 92, false}, {45, 100, true},
                                           {120, 50, false}, {68, 56, false}, {22, 108, false}}};
  painter.setPen(Qt::NoPen);
  for (const Star& star : kStars) {
    painter.setBrush(QColor(255, 250, 200));
    painter.drawRect(star.x, star.y, 1, 1);
    if (star.big) {
      painter.setBrush(QColor(150, 140, 90));
      painter.drawRect(star.x - 1, star.y, 1, 1);
      painter.drawRect(star.x + 1, star.y, 1, 1);
      painter.drawRect(star.x, star.y - 1, 1, 1);
      painter.drawRect(star.x, star.y + 1, 1, 1);
    }
  }
}

// The laughing face of the face button, grown big and green, peeking in.
void DrawPeekingFace(QPainter& painter) {
  const QPointF centre(108, 114);
  constexpr double kRadius = 58;
  QRadialGradient skin(centre, kRadius, QPointF(86, 84));
  skin.setColorAt(0.0, kFaceLight);
  skin.setColorAt(0.5, kFaceMid);
  skin.setColorAt(1.0, kFaceDark);
  painter.setPen(QPen(kFaceOutline, 3));
  painter.setBrush(skin);
  painter.drawEllipse(centre, kRadius, kRadius);

  // Eyes glancing up at the title.
  for (const QPointF eye : {QPointF(82, 86), QPointF(111, 80)}) {
    painter.setPen(QPen(kFaceOutline, 2));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawEllipse(eye, 8.5, 11.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(16, 16, 24));
    painter.drawEllipse(eye + QPointF(-2.5, -3.5), 5.5, 6.5);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawEllipse(eye + QPointF(-4.2, -5.6), 1.8, 1.8);
  }

  // A wide laughing mouth with teeth and a tongue.
  QPainterPath mouth;
  mouth.moveTo(74, 102);
  mouth.lineTo(140, 102);
  mouth.arcTo(QRectF(74, 80, 66, 48), 0, -180);
  mouth.closeSubpath();
  painter.setPen(QPen(kFaceOutline, 3));
  painter.setBrush(kMouth);
  painter.drawPath(mouth);
  painter.save();
  painter.setClipPath(mouth);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255));
  painter.drawRect(QRectF(74, 102, 66, 6));
  painter.setBrush(kTongue);
  painter.drawEllipse(QPointF(106, 127), 18, 11);
  painter.setBrush(QColor(255, 140, 150));
  painter.drawEllipse(QPointF(99, 121), 4, 2.2);
  painter.restore();
  painter.setPen(QPen(kFaceOutline, 3));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(mouth);
}

QPainterPath TextPath(const QString& text, const QFont& font, double centreX, double baseline) {
  QPainterPath path;
  path.addText(0, 0, font, text);
  const QRectF bounds = path.boundingRect();
  path.translate(centreX - bounds.center().x(), baseline);
  return path;
}

void DrawTitle(QPainter& painter) {
  QFont font("IPAPGothic");
  font.setPixelSize(33);
  font.setHintingPreference(QFont::PreferNoHinting);
  const QPainterPath title = TextPath(QStringLiteral("ポルテカ"), font, 64, 39);

  // A hot orange drop shadow, a black outline, then the letters thickened in white.
  painter.setBrush(QColor(232, 72, 16));
  painter.setPen(QPen(QColor(232, 72, 16), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(title.translated(2.0, 2.5));
  painter.setBrush(QColor(0, 0, 0));
  painter.setPen(QPen(QColor(0, 0, 0), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(title);
  painter.setBrush(QColor(255, 255, 255));
  painter.setPen(QPen(QColor(255, 255, 255), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(title);

  // Version mark in crisp pixel letters.
  QFont small("IPAGothic");
  small.setPixelSize(12);
  small.setStyleStrategy(QFont::NoAntialias);
  painter.setFont(small);
  painter.setPen(QColor(236, 236, 236));
  painter.drawText(QPointF(5, 123), QStringLiteral("Ver 1.00"));
}

}  // namespace

QImage PaintTitleCard() {
  QImage card(kTitleSize, kTitleSize, QImage::Format_ARGB32);
  card.fill(qRgb(0, 0, 0));
  {
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawStars(painter);
    DrawPeekingFace(painter);
  }
  DrawBomb(card, 25.0, 82.0, 13.0, true);
  {
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawTitle(painter);
  }
  return card;
}

}  // namespace porteka::art
